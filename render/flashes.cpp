// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "render/flashes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zep::render {
namespace {

constexpr double kStep = 0.1;        // the least change of relative luminance
constexpr double kDarkBelow = 0.8;   // the darker state must be below this
constexpr double kRedStep = 0.2;     // the least change in u'v' for red
constexpr double kRedShare = 0.8;    // R / (R + G + B) of a saturated red
// ...and a red bright enough to see: (R - G - B) x 320 above 20, the
// intensity the older red flash measure asks for. Without it the faint
// colour of a nearly black area would count.
constexpr double kRedExcess = 20.0 / 320.0;
constexpr int kTooMany = 8;          // transitions in one second: four flashes

// sRGB byte to linear light.
std::array<double, 256> LinearTable() {
    std::array<double, 256> table{};
    for (int i = 0; i < 256; ++i) {
        const double c = i / 255.0;
        table[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    return table;
}

}  // namespace

void FlashCheck::Transitions::Add(long frame) {
    frames[next] = frame;
    next = (next + 1) % kKept;
    count = std::min(count + 1, kKept);
}

int FlashCheck::Transitions::Within(long first) const {
    int n = 0;
    for (int k = 1; k <= count; ++k) {
        if (frames[(next - k + kKept) % kKept] < first) break;
        ++n;
    }
    return n;
}

FlashCheck::FlashCheck(int frames_per_second, long first_frame)
    : fps_(std::max(frames_per_second, 1)),
      frame_(first_frame - 1),
      together_(std::max(1, fps_ / 20)),
      luminance_(kQuarters),
      red_(kQuarters) {}

namespace {

struct Linear {
    double r = 0.0, g = 0.0, b = 0.0;
};

// A luminance transition of the track to `y`, at most one a frame.
bool LuminanceTurns(LuminanceTrack& t, double y) {
    if (!t.started) {
        t.started = true;
        t.low = t.high = t.extreme = y;
        return false;
    }
    if (t.direction == 0) {
        // Before the first transition the first change of a full step in
        // either direction is one.
        t.low = std::min(t.low, y);
        t.high = std::max(t.high, y);
        if (t.high - t.low < kStep || t.low >= kDarkBelow) return false;
        t.direction = y == t.high ? 1 : -1;
        t.extreme = y;
        return true;
    }
    if (t.direction > 0) {
        if (y > t.extreme) {
            t.extreme = y;
            return false;
        }
        if (t.extreme - y < kStep || y >= kDarkBelow) return false;
        t.direction = -1;
    } else {
        if (y < t.extreme) {
            t.extreme = y;
            return false;
        }
        if (y - t.extreme < kStep || t.extreme >= kDarkBelow) return false;
        t.direction = 1;
    }
    t.extreme = y;
    return true;
}

Chroma ChromaOf(const Linear& c) {
    Chroma out;
    const double sum = c.r + c.g + c.b;
    out.red = sum > 0.0 && c.r >= kRedShare * sum && c.r - c.g - c.b > kRedExcess;
    const double x = 0.4124 * c.r + 0.3576 * c.g + 0.1805 * c.b;
    const double y = 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
    const double z = 0.0193 * c.r + 0.1192 * c.g + 0.9505 * c.b;
    const double d = x + 15.0 * y + 3.0 * z;
    if (d <= 0.0) {
        // Black has no colour of its own: the white point.
        out.u = 0.1978;
        out.v = 0.4683;
    } else {
        out.u = 4.0 * x / d;
        out.v = 9.0 * y / d;
    }
    return out;
}

// Written out rather than std::hypot, whose x86-64 glibc symbol is newer
// than the oldest glibc the Linux download runs on; chromaticities are small,
// so the squares cannot overflow.
double Distance(const Chroma& a, const Chroma& b) {
    const double du = a.u - b.u;
    const double dv = a.v - b.v;
    return std::sqrt(du * du + dv * dv);
}

// A red-flash transition of the track to `c`.
bool RedTurns(RedTrack& t, const Chroma& c) {
    if (!t.started) {
        t.started = true;
        t.anchor = t.previous = c;
        return false;
    }
    // Still moving away from the state before the last transition: the
    // transition goes on to here.
    if (t.turned && Distance(c, t.previous) > Distance(t.anchor, t.previous)) {
        t.anchor = c;
        return false;
    }
    if (Distance(c, t.anchor) <= kRedStep || !(c.red || t.anchor.red)) return false;
    t.previous = t.anchor;
    t.anchor = c;
    t.turned = true;
    return true;
}

}  // namespace

void FlashCheck::Add(const Pixel* picture) {
    static const std::array<double, 256> linear = LinearTable();
    ++frame_;
    // The cells' sums of linear light, then their sums over every rectangle
    // from the top left corner.
    std::vector<Linear> sums((kColumns + 1) * (kRows + 1));
    auto at = [&](int cx, int cy) -> Linear& { return sums[cy * (kColumns + 1) + cx]; };
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const Pixel p = picture[y * kWidth + x];
            Linear& c = at(x / kCell + 1, y / kCell + 1);
            c.r += linear[Red(p)];
            c.g += linear[Green(p)];
            c.b += linear[Blue(p)];
        }
    for (int cy = 1; cy <= kRows; ++cy)
        for (int cx = 1; cx <= kColumns; ++cx) {
            Linear& c = at(cx, cy);
            const Linear& left = at(cx - 1, cy);
            const Linear& up = at(cx, cy - 1);
            const Linear& corner = at(cx - 1, cy - 1);
            c.r += left.r + up.r - corner.r;
            c.g += left.g + up.g - corner.g;
            c.b += left.b + up.b - corner.b;
        }
    constexpr double kPixels = kQuarterColumns * kQuarterRows * kCell * kCell;
    for (int qy = 0; qy < kQuartersDown; ++qy)
        for (int qx = 0; qx < kQuartersAcross; ++qx) {
            const Linear& a = at(qx + kQuarterColumns, qy + kQuarterRows);
            const Linear& b = at(qx, qy + kQuarterRows);
            const Linear& c = at(qx + kQuarterColumns, qy);
            const Linear& d = at(qx, qy);
            const Linear mean{(a.r - b.r - c.r + d.r) / kPixels, (a.g - b.g - c.g + d.g) / kPixels,
                              (a.b - b.b - c.b + d.b) / kPixels};
            const int i = qy * kQuartersAcross + qx;
            if (LuminanceTurns(luminance_[i], 0.2126 * mean.r + 0.7152 * mean.g + 0.0722 * mean.b))
                (luminance_[i].direction > 0 ? general_.last_up : general_.last_down)[i] = frame_;
            const Chroma chroma = ChromaOf(mean);
            if (RedTurns(red_[i], chroma))
                (chroma.red ? red_flashes_.last_up : red_flashes_.last_down)[i] = frame_;
        }
    Judge(general_);
    Judge(red_flashes_);
}

void FlashCheck::Judge(Kind& kind) {
    const long recent = frame_ - together_ + 1;
    const long first = frame_ - fps_ + 1;
    FlashSecond worst;
    worst.kind = kind.kind;
    worst.second = (frame_ - 1) / fps_;
    int most = 0;
    for (int ry = 0; ry < kDown; ++ry)
        for (int rx = 0; rx < kAcross; ++rx) {
            // The region's quarters, and whether all of them turned one way
            // just now.
            const int q[4] = {ry * kQuartersAcross + rx, ry * kQuartersAcross + rx + kQuarterColumns,
                              (ry + kQuarterRows) * kQuartersAcross + rx,
                              (ry + kQuarterRows) * kQuartersAcross + rx + kQuarterColumns};
            bool up = true, down = true;
            for (int i : q) {
                up = up && kind.last_up[i] >= recent;
                down = down && kind.last_down[i] >= recent;
            }
            const int r = ry * kAcross + rx;
            if (up != down && kind.direction[r] != (up ? 1 : -1)) {
                kind.direction[r] = up ? 1 : -1;
                kind.transitions[r].Add(frame_);
            }
            const int n = kind.transitions[r].Within(first);
            if (n < kTooMany || n <= most) continue;
            most = n;
            worst.flashes = n / 2;
            worst.x = rx * kCell;
            worst.y = ry * kCell;
        }
    if (most == 0) return;
    worst.width = kRegionColumns * kCell;
    worst.height = kRegionRows * kCell;
    // One entry per second and kind: the worst region of that second.
    for (auto it = failures_.rbegin(); it != failures_.rend() && it->second == worst.second; ++it)
        if (it->kind == kind.kind) {
            if (worst.flashes > it->flashes) *it = worst;
            return;
        }
    failures_.push_back(worst);
}

namespace {

// Where a region lies in the picture, in words.
std::string PlaceName(const FlashSecond& s) {
    const int cx = s.x + s.width / 2, cy = s.y + s.height / 2;
    const char* row = cy < kHeight / 3 ? "top" : cy >= 2 * kHeight / 3 ? "bottom" : "";
    const char* column = cx < kWidth / 3 ? "left" : cx >= 2 * kWidth / 3 ? "right" : "";
    std::string name = std::string(row) + (*row && *column ? " " : "") + column;
    return name.empty() ? "centre" : name;
}

}  // namespace

std::string DescribeFlashSecond(const FlashSecond& s, int frames_per_second) {
    char line[256];
    const long fps = std::max(frames_per_second, 1);
    std::snprintf(line, sizeof line,
                  "second %ld (frames %ld to %ld): %s, %d in one second, over a quarter of a "
                  "10-degree field at x %d-%d, y %d-%d (%s)",
                  s.second, s.second * fps + 1, (s.second + 1) * fps,
                  s.kind == FlashKind::General ? "general flashes" : "red flashes", s.flashes, s.x, s.x + s.width - 1, s.y, s.y + s.height - 1,
                  PlaceName(s).c_str());
    return line;
}

}  // namespace zep::render
