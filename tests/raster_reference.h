// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Straightforward copies of the two triangle fillers, written step by step
// from their description, to check the fillers and the scenes against.
#pragma once

#include <cstdint>
#include <utility>

#include "core/types.h"

namespace zep::test {

struct RefVertex {
    int x, y, u, v, s;  // s: shade, unused by the textured filler
};

// Sorts by y with three strict compare-and-exchange steps; returns false for
// a triangle on a single row.
inline bool RefSort(RefVertex& a, RefVertex& b, RefVertex& c) {
    if (b.y < a.y) std::swap(a, b);
    if (c.y < b.y) std::swap(b, c);
    if (b.y < a.y) std::swap(a, b);
    return a.y != c.y;
}

// Walks the rows of a sorted triangle: edge values (x, u, v, s) start at the
// top vertex, the short edge restarts at the middle vertex, and `span` gets
// the left and right values of each row.
template <typename Span>
void RefWalk(RefVertex a, RefVertex b, RefVertex c, Span span) {
    auto step = [](RefVertex p, RefVertex q, double* d) {
        d[0] = double(q.x - p.x) / (q.y - p.y), d[1] = double(q.u - p.u) / (q.y - p.y);
        d[2] = double(q.v - p.v) / (q.y - p.y), d[3] = double(q.s - p.s) / (q.y - p.y);
    };
    double dl[4], ds[4];
    step(a, c, dl);
    step(a, b, ds);
    const bool long_right = dl[0] * (b.y - a.y) + a.x > b.x;
    double el[4] = {double(a.x), double(a.u), double(a.v), double(a.s)};
    double es[4] = {el[0], el[1], el[2], el[3]};
    auto rows = [&](int from, int to) {
        for (int y = from; y < to; ++y) {
            span(y * 640, long_right ? es : el, long_right ? el : es);
            for (int k = 0; k < 4; ++k) el[k] += dl[k], es[k] += ds[k];
        }
    };
    if (a.y != b.y) rows(a.y, b.y);
    if (b.y == c.y) return;
    es[0] = b.x, es[1] = b.u, es[2] = b.v, es[3] = b.s;
    step(b, c, ds);
    rows(b.y, c.y);
}

inline void RefTexturedTriangle(RefVertex a, RefVertex b, RefVertex c, const Pixel* tex,
                                Pixel* dst) {
    if ((a.x - b.x) * (c.y - b.y) - (c.x - b.x) * (a.y - b.y) > 0) return;
    if (!RefSort(a, b, c)) return;
    RefWalk(a, b, c, [&](int row, const double* l, const double* r) {
        const double du = (r[1] - l[1]) / (r[0] - l[0]), dv = (r[2] - l[2]) / (r[0] - l[0]);
        double u = l[1], v = l[2];
        for (int i = row + int(l[0]); i < row + int(r[0]); ++i, u += du, v += dv)
            dst[i] = tex[(int(v) << 8) + int(u)];
    });
}

inline void RefShadedTriangle(RefVertex a, RefVertex b, RefVertex c, const Pixel* tex, Pixel* dst,
                              const std::uint32_t* table) {
    if (!RefSort(a, b, c)) return;
    RefWalk(a, b, c, [&](int row, const double* l, const double* r) {
        const double w = r[0] - l[0];
        const double du = (r[1] - l[1]) / w, dv = (r[2] - l[2]) / w, ds = (r[3] - l[3]) / w;
        double u = l[1], v = l[2], s = l[3];
        for (int x = int(l[0]); x < int(r[0]); ++x, u += du, v += dv, s += ds) {
            const Pixel t = tex[int(v) * 256 + int(u)];
            const std::uint32_t* k = table + int(s) * 256;
            dst[row + x] = k[(t >> 16) & 255] * 65536u + k[(t >> 8) & 255] * 256u + k[t & 255];
        }
    });
}

}  // namespace zep::test
