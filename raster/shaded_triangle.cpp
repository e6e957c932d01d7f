#include "raster/shaded_triangle.h"

#include <utility>

namespace zep {

void DrawShadedSpan(double xLeft, double xRight, double uLeft, double uRight, double vLeft,
                    double vRight, double shadeLeft, double shadeRight, std::int32_t rowOffset,
                    const Pixel* texture, Pixel* destination, const std::uint32_t* table) {
    const std::int32_t first = static_cast<std::int32_t>(xLeft);
    const std::int32_t end = static_cast<std::int32_t>(xRight);
    if (first >= end) return;
    const double width = xRight - xLeft;
    const double du = (uRight - uLeft) / width;
    const double dv = (vRight - vLeft) / width;
    const double dshade = (shadeRight - shadeLeft) / width;
    double u = uLeft;
    double v = vLeft;
    double shade = shadeLeft;
    Pixel* row = destination + rowOffset;
    for (std::int32_t x = first; x < end; ++x) {
        const Pixel texel =
            texture[static_cast<std::int32_t>(v) * 256 + static_cast<std::int32_t>(u)];
        const std::uint32_t* levels = table + static_cast<std::int32_t>(shade) * 256;
        row[x] = levels[Red(texel)] * 65536u + levels[Green(texel)] * 256u + levels[Blue(texel)];
        u += du;
        v += dv;
        shade += dshade;
    }
}

namespace {

// One edge walked down the rows: position, texture coordinates and shade,
// and what is added to them per row.
struct EdgeWalk {
    double x, u, v, shade;
    double dx, du, dv, dshade;

    void Start(const ShadedVertex& from, const ShadedVertex& to) {
        x = from.x;
        u = from.u;
        v = from.v;
        shade = from.shade;
        Aim(from, to);
    }
    void Aim(const ShadedVertex& from, const ShadedVertex& to) {
        const double height = to.y - from.y;
        dx = (to.x - from.x) / height;
        du = (to.u - from.u) / height;
        dv = (to.v - from.v) / height;
        dshade = (to.shade - from.shade) / height;
    }
    void Step() {
        x += dx;
        u += du;
        v += dv;
        shade += dshade;
    }
};

void WalkRows(std::int32_t top, std::int32_t bottom, EdgeWalk& left, EdgeWalk& right,
              const Pixel* texture, Pixel* destination, const std::uint32_t* table) {
    std::int32_t row_offset = top * kPitch;
    for (std::int32_t y = top; y < bottom; ++y) {
        DrawShadedSpan(left.x, right.x, left.u, right.u, left.v, right.v, left.shade,
                       right.shade, row_offset, texture, destination, table);
        left.Step();
        right.Step();
        row_offset += kPitch;
    }
}

}  // namespace

void DrawShadedTriangle(ShadedVertex p0, ShadedVertex p1, ShadedVertex p2, const Pixel* texture,
                        Pixel* destination, const std::uint32_t* table) {
    // Top to bottom; strict comparisons keep equal rows in the given order.
    if (p1.y < p0.y) std::swap(p0, p1);
    if (p2.y < p1.y) std::swap(p1, p2);
    if (p1.y < p0.y) std::swap(p0, p1);
    if (p0.y == p2.y) return;  // a single row: both halves are empty

    EdgeWalk long_edge;
    long_edge.Start(p0, p2);
    EdgeWalk short_edge;
    short_edge.x = p0.x;
    short_edge.u = p0.u;
    short_edge.v = p0.v;
    short_edge.shade = p0.shade;

    // The long edge's side is decided once, at the middle vertex's row.
    const double long_at_middle = long_edge.dx * (p1.y - p0.y) + p0.x;
    const bool long_is_right = long_at_middle > p1.x;
    EdgeWalk& left = long_is_right ? short_edge : long_edge;
    EdgeWalk& right = long_is_right ? long_edge : short_edge;

    if (p0.y != p1.y) {
        short_edge.Aim(p0, p1);
        WalkRows(p0.y, p1.y, left, right, texture, destination, table);
    }
    if (p1.y == p2.y) return;
    short_edge.Start(p1, p2);
    WalkRows(p1.y, p2.y, left, right, texture, destination, table);
}

}  // namespace zep
