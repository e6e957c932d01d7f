#include "raster/textured_triangle.h"

#include <utility>

namespace zep::inline ZEP_CODE_PATH {
namespace {

// x, u, v (and an unused lane) side by side. Every operation on it works
// lane by lane in IEEE double, exactly as separate doubles would; one vector
// division costs about half as much as two scalar ones.
typedef double Attributes __attribute__((vector_size(32)));
// Attributes pass only between functions of this file, most of them inlined,
// so how a build without 32-byte vector registers would pass them to other
// code does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

[[gnu::always_inline]] inline Attributes Values(const TexturedVertex& p) {
    return Attributes{static_cast<double>(p.x), static_cast<double>(p.u), static_cast<double>(p.v),
                      0.0};
}

// Per-row increments from one vertex to another: each integer difference
// divided by the height.
[[gnu::always_inline]] inline Attributes Increments(const TexturedVertex& from,
                                                    const TexturedVertex& to) {
    const Attributes difference{static_cast<double>(to.x - from.x),
                                static_cast<double>(to.u - from.u),
                                static_cast<double>(to.v - from.v), 0.0};
    return difference / static_cast<double>(to.y - from.y);
}

// One span from the start edge's values to the end edge's, shared by
// DrawTexturedSpan and the triangle's row loop (where it is inlined). `row`
// points at the row's first pixel.
inline void TextureSpan(const Attributes& start, const Attributes& end, Pixel* row,
                        const Pixel* texture) {
    const auto first = static_cast<std::int32_t>(start[0]);
    const auto last = static_cast<std::int32_t>(end[0]);
    if (first >= last) return;
    // The step uses the real width, not the pixel count, so the samples never
    // reach the end's values. Lane 0 is the width divided by itself, unused.
    const Attributes step = (end - start) / (end[0] - start[0]);
    const double du = step[1], dv = step[2];
    double u = start[1], v = start[2];
    // u and v lie within 0-255 (the caller's promise): no wrapping.
    for (Pixel *p = row + first, *stop = row + last; p != stop; ++p) {
        *p = texture[static_cast<std::int64_t>(v) * 256 + static_cast<std::int64_t>(u)];
        u += du;
        v += dv;
    }
}

// Rows [top, bottom) between the start and the end edge, each edge's values
// advancing by its increments after every row.
void WalkRows(std::int32_t top, std::int32_t bottom, Attributes& start,
              const Attributes& start_step, Attributes& end, const Attributes& end_step,
              const Pixel* texture, Pixel* destination) {
    Attributes s = start, e = end;  // kept in registers
    const Attributes ds = start_step, de = end_step;
    Pixel* row = destination + top * kPitch;
    for (std::int32_t y = top; y < bottom; ++y) {
        TextureSpan(s, e, row, texture);
        s += ds;
        e += de;
        row += kPitch;
    }
    start = s;
    end = e;
}

}  // namespace

void DrawTexturedSpan(double xStart, double xEnd, double uStart, double uEnd, double vStart,
                      double vEnd, std::int32_t rowOffset, const Pixel* texture,
                      Pixel* destination) {
    TextureSpan(Attributes{xStart, uStart, vStart, 0.0}, Attributes{xEnd, uEnd, vEnd, 0.0},
                destination + rowOffset, texture);
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

    // Top to bottom; strict comparisons keep equal rows in the given order.
    if (b.y < a.y) std::swap(a, b);
    if (c.y < b.y) std::swap(b, c);
    if (b.y < a.y) std::swap(a, b);
    if (a.y == c.y) return;  // a single row: both halves are empty

    // The long edge runs from the top vertex to the bottom one, the short
    // edges from top to middle and from middle to bottom; both start at the
    // top vertex's values.
    const Attributes long_step = Increments(a, c);
    Attributes long_edge = Values(a);
    Attributes short_edge = long_edge;

    // The long edge's side is decided once, at the middle vertex's row.
    const double long_at_middle = long_step[0] * (b.y - a.y) + a.x;
    const bool long_is_right = long_at_middle > b.x;

    auto walk = [&](std::int32_t top, std::int32_t bottom, const Attributes& short_step) {
        if (long_is_right)
            WalkRows(top, bottom, short_edge, short_step, long_edge, long_step, texture,
                     destination);
        else
            WalkRows(top, bottom, long_edge, long_step, short_edge, short_step, texture,
                     destination);
    };
    if (a.y != b.y) walk(a.y, b.y, Increments(a, b));
    if (b.y == c.y) return;
    short_edge = Values(b);
    walk(b.y, c.y, Increments(b, c));
}

}  // namespace zep::inline ZEP_CODE_PATH
