// Straightforward copies of the two triangle fillers, written step by step
// from their description, for checking the fillers and the scenes that use
// them against.
#pragma once

#include <cstdint>
#include <utility>

#include "shell/types.h"

namespace zep::test {

inline void RefTexturedSpan(double x0, double x1, double u0, double u1, double v0, double v1,
                            int row, const Pixel* tex, Pixel* dst) {
    const double du = (u1 - u0) / (x1 - x0), dv = (v1 - v0) / (x1 - x0);
    const int first = row + static_cast<int>(x0), last = row + static_cast<int>(x1);
    if (first >= last) return;
    double u = u0, v = v0;
    for (int i = first; i < last; ++i) {
        dst[i] = tex[(static_cast<int>(v) << 8) + static_cast<int>(u)];
        u += du;
        v += dv;
    }
}

inline void RefTexturedTriangle(int x1, int y1, int u1, int v1, int x2, int y2, int u2, int v2,
                                int x3, int y3, int u3, int v3, const Pixel* tex, Pixel* dst) {
    if ((x1 - x2) * (y3 - y2) - (x3 - x2) * (y1 - y2) > 0) return;
    auto swap = [](int& xa, int& ya, int& ua, int& va, int& xb, int& yb, int& ub, int& vb) {
        std::swap(xa, xb), std::swap(ya, yb), std::swap(ua, ub), std::swap(va, vb);
    };
    if (y2 < y1) swap(x1, y1, u1, v1, x2, y2, u2, v2);
    if (y3 < y2) swap(x2, y2, u2, v2, x3, y3, u3, v3);
    if (y2 < y1) swap(x1, y1, u1, v1, x2, y2, u2, v2);
    const double dx13 = double(x3 - x1) / (y3 - y1), du13 = double(u3 - u1) / (y3 - y1),
                 dv13 = double(v3 - v1) / (y3 - y1);
    const double dx12 = double(x2 - x1) / (y2 - y1), du12 = double(u2 - u1) / (y2 - y1),
                 dv12 = double(v2 - v1) / (y2 - y1);
    const bool long_right = dx13 * (y2 - y1) + x1 > x2;
    double xl = x1, ul = u1, vl = v1, xs = x1, us = u1, vs = v1;
    auto span = [&](int y) {
        if (long_right) RefTexturedSpan(xs, xl, us, ul, vs, vl, y * 640, tex, dst);
        else RefTexturedSpan(xl, xs, ul, us, vl, vs, y * 640, tex, dst);
    };
    if (y1 != y2)
        for (int y = y1; y < y2; ++y) {
            span(y);
            xs += dx12, xl += dx13, us += du12, ul += du13, vs += dv12, vl += dv13;
        }
    if (y2 == y3) return;
    xs = x2, us = u2, vs = v2;
    const double dx23 = double(x3 - x2) / (y3 - y2), du23 = double(u3 - u2) / (y3 - y2),
                 dv23 = double(v3 - v2) / (y3 - y2);
    for (int y = y2; y < y3; ++y) {
        span(y);
        xs += dx23, xl += dx13, us += du23, ul += du13, vs += dv23, vl += dv13;
    }
}

inline void RefShadedSpan(double xl, double xr, double ul, double ur, double vl, double vr,
                          double sl, double sr, int row, const Pixel* tex, Pixel* dst,
                          const std::uint32_t* table) {
    const double w = xr - xl;
    const double du = (ur - ul) / w, dv = (vr - vl) / w, ds = (sr - sl) / w;
    const int first = static_cast<int>(xl), end = static_cast<int>(xr);
    if (first >= end) return;
    double u = ul, v = vl, s = sl;
    for (int x = first; x < end; ++x) {
        const Pixel t = tex[static_cast<int>(v) * 256 + static_cast<int>(u)];
        const int k = static_cast<int>(s) * 256;
        dst[row + x] = table[k + ((t >> 16) & 255)] * 65536u + table[k + ((t >> 8) & 255)] * 256u +
                       table[k + (t & 255)];
        u += du, v += dv, s += ds;
    }
}

struct RefVertex {
    int x, y, u, v, s;
};

inline void RefShadedTriangle(RefVertex a, RefVertex b, RefVertex c, const Pixel* tex,
                              Pixel* dst, const std::uint32_t* table) {
    if (b.y < a.y) std::swap(a, b);
    if (c.y < b.y) std::swap(b, c);
    if (b.y < a.y) std::swap(a, b);
    if (c.y == a.y) return;
    auto step = [](RefVertex p, RefVertex q, double d[4]) {
        d[0] = double(q.x - p.x) / (q.y - p.y), d[1] = double(q.u - p.u) / (q.y - p.y);
        d[2] = double(q.v - p.v) / (q.y - p.y), d[3] = double(q.s - p.s) / (q.y - p.y);
    };
    double dl[4], ds[4];
    step(a, c, dl);
    step(a, b, ds);
    const bool short_left = dl[0] * (b.y - a.y) + a.x > b.x;
    double el[4] = {double(a.x), double(a.u), double(a.v), double(a.s)};
    double es[4] = {el[0], el[1], el[2], el[3]};
    auto rows = [&](int from, int to) {
        for (int y = from; y < to; ++y) {
            const double* l = short_left ? es : el;
            const double* r = short_left ? el : es;
            RefShadedSpan(l[0], r[0], l[1], r[1], l[2], r[2], l[3], r[3], y * 640, tex, dst, table);
            for (int k = 0; k < 4; ++k) el[k] += dl[k], es[k] += ds[k];
        }
    };
    if (a.y != b.y) rows(a.y, b.y);
    if (b.y == c.y) return;
    es[0] = b.x, es[1] = b.u, es[2] = b.v, es[3] = b.s;
    step(b, c, ds);
    rows(b.y, c.y);
}

}  // namespace zep::test
