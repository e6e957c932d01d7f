#include "raster/textured_triangle.h"

#include <utility>

namespace zep {

void DrawTexturedSpan(double xStart, double xEnd, double uStart, double uEnd, double vStart,
                      double vEnd, std::int32_t rowOffset, const Pixel* texture,
                      Pixel* destination) {
    const std::int32_t first = rowOffset + static_cast<std::int32_t>(xStart);
    const std::int32_t last = rowOffset + static_cast<std::int32_t>(xEnd);
    if (first >= last) return;
    // The step uses the real width, not the pixel count, so the samples never
    // reach (uEnd, vEnd).
    const double width = xEnd - xStart;
    const double du = (uEnd - uStart) / width;
    const double dv = (vEnd - vStart) / width;
    double u = uStart;
    double v = vStart;
    for (std::int32_t i = first; i < last; ++i) {
        destination[i] = texture[static_cast<std::int32_t>(v) * 256 + static_cast<std::int32_t>(u)];
        u += du;
        v += dv;
    }
}

namespace {

// One edge walked down the rows: position and texture coordinates, and what
// is added to them per row.
struct EdgeWalk {
    double x, u, v;
    double dx, du, dv;

    void Start(const TexturedVertex& from, const TexturedVertex& to) {
        x = from.x;
        u = from.u;
        v = from.v;
        Aim(from, to);
    }
    void Aim(const TexturedVertex& from, const TexturedVertex& to) {
        const double height = to.y - from.y;
        dx = (to.x - from.x) / height;
        du = (to.u - from.u) / height;
        dv = (to.v - from.v) / height;
    }
    void Step() {
        x += dx;
        u += du;
        v += dv;
    }
};

// Rows [top, bottom) between two edges; the edges keep their state for the
// next half.
void WalkRows(std::int32_t top, std::int32_t bottom, EdgeWalk& start, EdgeWalk& end,
              const Pixel* texture, Pixel* destination) {
    std::int32_t row_offset = top * kPitch;
    for (std::int32_t y = top; y < bottom; ++y) {
        DrawTexturedSpan(start.x, end.x, start.u, end.u, start.v, end.v, row_offset, texture,
                         destination);
        start.Step();
        end.Step();
        row_offset += kPitch;
    }
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

    // Top to bottom; strict comparisons keep equal rows in the given order.
    if (b.y < a.y) std::swap(a, b);
    if (c.y < b.y) std::swap(b, c);
    if (b.y < a.y) std::swap(a, b);
    if (a.y == c.y) return;  // a single row: both halves are empty

    EdgeWalk long_edge;
    long_edge.Start(a, c);
    EdgeWalk short_edge;
    short_edge.x = a.x;
    short_edge.u = a.u;
    short_edge.v = a.v;

    // The long edge's side is decided once, at the middle vertex's row.
    const double long_at_middle = long_edge.dx * (b.y - a.y) + a.x;
    const bool long_is_right = long_at_middle > b.x;
    EdgeWalk& start = long_is_right ? short_edge : long_edge;
    EdgeWalk& end = long_is_right ? long_edge : short_edge;

    if (a.y != b.y) {
        short_edge.Aim(a, b);
        WalkRows(a.y, b.y, start, end, texture, destination);
    }
    if (b.y == c.y) return;
    short_edge.Start(b, c);
    WalkRows(b.y, c.y, start, end, texture, destination);
}

}  // namespace zep
