// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "raster/textured_triangle.h"

#include "raster/edge_walk.h"
#include "raster/texture_span.h"

// EdgeValues pass only between functions of this file, most of them
// inlined, so how a build without 32-byte vector registers would pass them
// to other code does not matter.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace zep::inline ZEP_CODE_PATH {
namespace {

// A textured vertex as the shared walk sees it: no shade.
[[gnu::always_inline]] inline EdgeVertex Edge(const TexturedVertex& p) {
    return EdgeVertex{p.x, p.y, p.u, p.v, 0};
}

}  // namespace

void DrawTexturedTriangle(TexturedVertex a, TexturedVertex b, TexturedVertex c,
                          const Pixel* texture, Pixel* destination) {
    // Orientation in 32-bit wrap-around arithmetic; positive means
    // counter-clockwise on the screen.
    const auto ux = static_cast<std::uint32_t>(a.x) - static_cast<std::uint32_t>(b.x);
    const auto uy = static_cast<std::uint32_t>(a.y) - static_cast<std::uint32_t>(b.y);
    const auto wx = static_cast<std::uint32_t>(c.x) - static_cast<std::uint32_t>(b.x);
    const auto wy = static_cast<std::uint32_t>(c.y) - static_cast<std::uint32_t>(b.y);
    if (static_cast<std::int32_t>(ux * wy - wx * uy) > 0) return;

    WalkTriangle(Edge(a), Edge(b), Edge(c),
                 [&](const EdgeValues& start, const EdgeValues& end, std::int32_t y) {
                     TextureSpan(start, end, destination + y * kPitch, texture);
                 });
}

}  // namespace zep::inline ZEP_CODE_PATH

#pragma GCC diagnostic pop
