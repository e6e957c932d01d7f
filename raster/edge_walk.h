// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The row walk both triangle fillers share: the vertices sorted top to
// bottom, the long edge from the top vertex to the bottom one, the short
// edges from top to middle and from middle to bottom, and every row handed
// to the filler's span as the values of its left and its right edge.
#pragma once

#include <cstdint>
#include <utility>

#include "core/code_path.h"

// EdgeValues pass only between inlined functions of the fillers, so how a
// build without 32-byte vector registers would pass them to other code does
// not matter.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace zep::inline ZEP_CODE_PATH {

// x, u, v and shade side by side. Every operation on it works lane by lane
// in IEEE double, exactly as four separate doubles would: one vector
// division costs about half as much as two scalar ones, and one vector
// addition steps every attribute of an edge.
#if defined(__AVX__)
typedef double EdgeValues __attribute__((vector_size(32)));

// The four lanes as one 32-byte vector.
[[gnu::always_inline]] inline EdgeValues AllLanes(const EdgeValues& a) { return a; }

#define ZEP_WALK_INLINE inline
#else
// Without 32-byte registers (x86-64's baseline, WebAssembly, ARM64) the
// compiler keeps a 32-byte vector in memory, and every row's step of the
// walk went through the stack. Two 16-byte halves stay in registers, with
// the same operations lane by lane.
struct EdgeValues {
    typedef double Half __attribute__((vector_size(16)));
    Half xu, vs;  // x and u; v and shade

    EdgeValues() = default;
    constexpr EdgeValues(Half xu_, Half vs_) : xu(xu_), vs(vs_) {}
    constexpr EdgeValues(double x, double u, double v, double shade)
        : xu(Half{x, u}), vs(Half{v, shade}) {}

    double operator[](int lane) const { return lane < 2 ? xu[lane] : vs[lane - 2]; }
    EdgeValues& operator+=(const EdgeValues& b) {
        xu += b.xu;
        vs += b.vs;
        return *this;
    }
    friend EdgeValues operator+(EdgeValues a, const EdgeValues& b) { return a += b; }
    friend EdgeValues operator-(const EdgeValues& a, const EdgeValues& b) {
        return {a.xu - b.xu, a.vs - b.vs};
    }
    friend EdgeValues operator/(const EdgeValues& a, double d) {
        return {a.xu / d, a.vs / d};
    }
};

// The walk inlined into its filler, where the halves stay in registers; the
// compiler's own choice left it out of line, with the values in memory.
#define ZEP_WALK_INLINE [[gnu::always_inline]] inline

typedef double AllLanesVector __attribute__((vector_size(32)));

// The four lanes as one 32-byte vector, for a conversion of all of them.
[[gnu::always_inline]] inline AllLanesVector AllLanes(const EdgeValues& a) {
    return __builtin_shufflevector(a.xu, a.vs, 0, 1, 2, 3);
}
#endif

// A vertex as the walk sees it; the textured filler leaves shade at 0, so
// its lane stays 0 all the way.
struct EdgeVertex {
    std::int32_t x, y;   // screen column and row
    std::int32_t u, v;   // texture column and row
    std::int32_t shade;  // shade level
};

[[gnu::always_inline]] inline EdgeValues ValuesAt(const EdgeVertex& p) {
    return EdgeValues{static_cast<double>(p.x), static_cast<double>(p.u), static_cast<double>(p.v),
                      static_cast<double>(p.shade)};
}

// Per-row increments from one vertex to another: each integer difference
// divided by the height.
[[gnu::always_inline]] inline EdgeValues Increments(const EdgeVertex& from, const EdgeVertex& to) {
    const EdgeValues difference{
        static_cast<double>(to.x - from.x), static_cast<double>(to.u - from.u),
        static_cast<double>(to.v - from.v), static_cast<double>(to.shade - from.shade)};
    return difference / static_cast<double>(to.y - from.y);
}

// Rows [top, bottom) between the left and the right edge: span(left, right,
// y) for each, then each edge's values advance by its increments.
template <typename Span>
ZEP_WALK_INLINE void WalkRows(std::int32_t top, std::int32_t bottom, EdgeValues& left,
                              const EdgeValues& left_step, EdgeValues& right,
                              const EdgeValues& right_step, Span& span) {
    EdgeValues l = left, r = right;  // kept in registers
    const EdgeValues dl = left_step, dr = right_step;
    Span row_span = span;  // a copy nothing else can reach, kept in registers
    for (std::int32_t y = top; y < bottom; ++y) {
        row_span(l, r, y);
        l += dl;
        r += dr;
    }
    left = l;
    right = r;
}

// Rows p0.y to p2.y - 1 of the triangle (after sorting), whatever the
// winding; the bottom row is never walked. Strict comparisons keep vertices
// on equal rows in the given order.
template <typename Span>
ZEP_WALK_INLINE void WalkTriangle(EdgeVertex p0, EdgeVertex p1, EdgeVertex p2, Span span) {
    if (p1.y < p0.y) std::swap(p0, p1);
    if (p2.y < p1.y) std::swap(p1, p2);
    if (p1.y < p0.y) std::swap(p0, p1);
    if (p0.y == p2.y) return;  // a single row: both halves are empty

    // Both edges start at the top vertex's values.
    const EdgeValues long_step = Increments(p0, p2);
    EdgeValues long_edge = ValuesAt(p0);
    EdgeValues short_edge = long_edge;

    // The long edge's side is decided once, at the middle vertex's row.
    const double long_at_middle = long_step[0] * (p1.y - p0.y) + p0.x;
    const bool long_is_right = long_at_middle > p1.x;

    auto walk = [&](std::int32_t top, std::int32_t bottom, const EdgeValues& short_step) {
        if (long_is_right)
            WalkRows(top, bottom, short_edge, short_step, long_edge, long_step, span);
        else
            WalkRows(top, bottom, long_edge, long_step, short_edge, short_step, span);
    };
    if (p0.y != p1.y) walk(p0.y, p1.y, Increments(p0, p1));
    if (p1.y == p2.y) return;
    short_edge = ValuesAt(p1);
    walk(p1.y, p2.y, Increments(p1, p2));
}

}  // namespace zep::inline ZEP_CODE_PATH

#undef ZEP_WALK_INLINE

#pragma GCC diagnostic pop
