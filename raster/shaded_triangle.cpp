// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "raster/shaded_triangle.h"

#include "raster/edge_walk.h"
#include "raster/shade_span.h"

// EdgeValues pass only between functions of this file, most of them
// inlined, so how a build without 32-byte vector registers would pass them
// to other code does not matter.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace zep::inline ZEP_CODE_PATH {
namespace {

// A shaded vertex as the shared walk sees it.
[[gnu::always_inline]] inline EdgeVertex Edge(const ShadedVertex& p) {
    return EdgeVertex{p.x, p.y, p.u, p.v, p.shade};
}

void ShadeTriangle(ShadedVertex p0, ShadedVertex p1, ShadedVertex p2, const Pixel* texture,
                   Pixel* destination, const std::uint32_t* table, Coverage* coverage) {
    WalkTriangle(Edge(p0), Edge(p1), Edge(p2),
                 [=](const EdgeValues& left, const EdgeValues& right, std::int32_t y) {
                     std::uint64_t* covered =
                         coverage ? coverage->bits.data() + y * Coverage::kWordsPerRow : nullptr;
                     ShadeSpan(left, right, destination + y * kPitch, texture, table, covered);
                 });
}

}  // namespace

void DrawShadedTriangle(ShadedVertex p0, ShadedVertex p1, ShadedVertex p2, const Pixel* texture,
                        Pixel* destination, const std::uint32_t* table) {
    ShadeTriangle(p0, p1, p2, texture, destination, table, nullptr);
}

void DrawShadedTriangleBehind(ShadedVertex p0, ShadedVertex p1, ShadedVertex p2,
                              const Pixel* texture, Pixel* destination, const std::uint32_t* table,
                              Coverage& coverage) {
    ShadeTriangle(p0, p1, p2, texture, destination, table, &coverage);
}

}  // namespace zep::inline ZEP_CODE_PATH

#pragma GCC diagnostic pop
