#include "raster/textured_triangle.h"

#include "raster/edge_walk.h"
#include "raster/spans_for_tests.h"

namespace zep::inline ZEP_CODE_PATH {
namespace {

// A textured vertex as the shared walk sees it: no shade.
[[gnu::always_inline]] inline EdgeVertex Edge(const TexturedVertex& p) {
    return EdgeVertex{p.x, p.y, p.u, p.v, 0};
}

// EdgeValues pass only between functions of this file, most of them
// inlined, so how a build without 32-byte vector registers would pass them
// to other code does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

// One span from the start edge's values to the end edge's, shared by
// DrawTexturedSpan and the triangle's row loop (where it is inlined). `row`
// points at the row's first pixel.
inline void TextureSpan(const EdgeValues& start, const EdgeValues& end, Pixel* row,
                        const Pixel* texture) {
    const auto first = static_cast<std::int32_t>(start[0]);
    const auto last = static_cast<std::int32_t>(end[0]);
    if (first >= last) return;
    // The step uses the real width, not the pixel count, so the samples never
    // reach the end's values. Lane 0 is the width divided by itself, unused.
    const EdgeValues step = (end - start) / (end[0] - start[0]);
    const double du = step[1], dv = step[2];
    double u = start[1], v = start[2];
    // u and v lie within 0-255 (the caller's promise): no wrapping.
    for (Pixel *p = row + first, *stop = row + last; p != stop; ++p) {
        *p = texture[static_cast<std::int64_t>(v) * 256 + static_cast<std::int64_t>(u)];
        u += du;
        v += dv;
    }
}

}  // namespace

void DrawTexturedSpan(double x_start, double x_end, double u_start, double u_end, double v_start,
                      double v_end, std::int32_t row_offset, const Pixel* texture,
                      Pixel* destination) {
    TextureSpan(EdgeValues{x_start, u_start, v_start, 0.0}, EdgeValues{x_end, u_end, v_end, 0.0},
                destination + row_offset, texture);
}

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
