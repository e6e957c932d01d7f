// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "scenes/cube/cube.h"

#include <cmath>

#include "raster/textured_triangle.h"

namespace zep::inline ZEP_CODE_PATH::cube {

namespace {

struct AngleTerms {
    double ca, sa, cb, sb, cg, sg;
    explicit AngleTerms(const CubeAngles& a)
        : ca(std::cos(a.alpha)),
          sa(std::sin(a.alpha)),
          cb(std::cos(a.beta)),
          sb(std::sin(a.beta)),
          cg(std::cos(a.gamma)),
          sg(std::sin(a.gamma)) {}
};

ScreenPoint Project(const Point3& p, const AngleTerms& t) {
    const auto y1 = static_cast<std::int32_t>(p.y * t.ca + p.x * t.sa);
    const auto x1 = static_cast<std::int32_t>(p.x * t.ca - p.y * t.sa);
    const auto z2 = static_cast<std::int32_t>(p.z * t.cb + y1 * t.sb);
    const auto y2 = static_cast<std::int32_t>(y1 * t.cb - p.z * t.sb);
    const auto z3 = static_cast<std::int32_t>(z2 * t.cg - x1 * t.sg);
    const auto x3 = static_cast<std::int32_t>(x1 * t.cg + z2 * t.sg);
    const double size = 1.25 + 0.5 * t.sb;
    const double column = (x3 * 640) * size / (z3 + 4510);
    const double row = (y2 * 480) * size / (z3 + 3510);
    return {static_cast<std::int32_t>(column) - static_cast<std::int32_t>(52 * t.cg) + 320,
            static_cast<std::int32_t>(row) - static_cast<std::int32_t>(42 * t.sb) + 260};
}

}  // namespace

void ProjectCube(const CubeAngles& angles, std::array<ScreenPoint, 8>& screen) {
    const AngleTerms terms(angles);
    for (std::size_t i = 0; i < kCubeVertices.size(); ++i)
        screen[i] = Project(kCubeVertices[i], terms);
}

void AdvanceAngles(CubeAngles& angles) {
    angles.alpha -= 0.056;
    angles.beta -= 0.078;
    angles.gamma += 0.082;
}

namespace {
bool OnPicture(ScreenPoint p) {
    return p.x >= 0 && p.x <= kWidth && p.y >= 0 && p.y <= kHeight;
}
}  // namespace

void DrawCube(Pixel* surface, const std::array<ScreenPoint, 8>& screen, const Pixel* texture) {
    for (const auto& face : kCubeFaces) {
        const ScreenPoint a = screen[face[0]], b = screen[face[1]];
        const ScreenPoint c = screen[face[2]], d = screen[face[3]];
        const TexturedVertex ta{a.x, a.y, 0, 0}, tb{b.x, b.y, 255, 0};
        const TexturedVertex tc{c.x, c.y, 255, 255}, td{d.x, d.y, 0, 255};
        if (OnPicture(a) && OnPicture(b) && OnPicture(c))
            DrawTexturedTriangle(ta, tb, tc, texture, surface);
        if (OnPicture(a) && OnPicture(c) && OnPicture(d))
            DrawTexturedTriangle(ta, tc, td, texture, surface);
    }
}

void FillZoomSourceTable(std::int32_t* table) {
    for (int y = 0; y < kHeight; ++y) {
        const auto row = static_cast<std::int32_t>(60 + 0.75 * y);
        for (int x = 0; x < kWidth; ++x)
            table[y * kWidth + x] = row * kPitch + static_cast<std::int32_t>(80 + 0.75 * x);
    }
}

ZoomSource MakeZoomSource() {
    ZoomSource source;
    source.table = std::make_unique<std::int32_t[]>(kZoomSourceEntries);
    FillZoomSourceTable(source.table.get());
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::int32_t from = source.table[y * kWidth + x];
            if (from >= y * kPitch && from < (y + 1) * kPitch) source.reads_own_row[y] = true;
        }
    return source;
}

namespace {

struct Quadrant {
    int first_row, last_row;  // visited from first to last, inclusive
    int first_col, last_col;
};
constexpr Quadrant kQuadrants[4] = {
    {239, 0, 319, 0}, {240, 479, 319, 0}, {239, 0, 320, 639}, {240, 479, 320, 639}};

// A row whose sources all lie in rows rewritten before it: the order within
// the row does not matter, and the row and its sources never overlap.
void TrailRowFromOtherRows(Pixel* __restrict row, const Pixel* __restrict surface,
                           const std::int32_t* __restrict sources, int count) {
    for (int i = 0; i < count; ++i) row[i] = TrailPixel(row[i], surface[sources[i]]);
}

// A row that reads pixels of its own: pixel by pixel in the quadrant's order.
void TrailRowInOrder(Pixel* surface, const std::int32_t* table, int y, const Quadrant& q) {
    const int step = q.last_col >= q.first_col ? 1 : -1;
    for (int x = q.first_col;; x += step) {
        const int p = y * kPitch + x;
        surface[p] = TrailPixel(surface[p], surface[table[p]]);
        if (x == q.last_col) break;
    }
}

}  // namespace

void ZoomTrailPass(Pixel* surface, const ZoomSource& source) {
    const std::int32_t* table = source.table.get();
    for (const Quadrant& q : kQuadrants) {
        const int row_step = q.last_row >= q.first_row ? 1 : -1;
        const int left = q.first_col < q.last_col ? q.first_col : q.last_col;
        const int count = kWidth / 2;
        for (int y = q.first_row;; y += row_step) {
            if (source.reads_own_row[y]) {
                TrailRowInOrder(surface, table, y, q);
            } else {
                TrailRowFromOtherRows(surface + y * kPitch + left, surface,
                                      table + y * kWidth + left, count);
            }
            if (y == q.last_row) break;
        }
    }
}

void DiagonalAveragePass(Pixel* surface) {
    constexpr int kPartner = 2 * kPitch + 4;
    constexpr int kPixels = 476 * kPitch;
    for (int p = 0; p < kPixels; ++p) surface[p] = AveragePixel(surface[p], surface[p + kPartner]);
}

namespace {


class CubeScene : public Scene {
public:
    explicit CubeScene(const DataDir& data)
        : source_(MakeZoomSource()), texture_(std::make_unique<Pixel[]>(kTexturePixels)) {
        data.Read(kCubeTexture, texture_.get());
    }

    void Draw(Pixel* surface, SceneClock t) override {
        std::array<ScreenPoint, 8> screen;
        ProjectCube(angles_, screen);
        AdvanceAngles(angles_);
        if (t < kCubeUntil) DrawCube(surface, screen, texture_.get());
        ZoomTrailPass(surface, source_);
        DiagonalAveragePass(surface);
    }

    PresentRows Present() const override { return {1, 479}; }

private:
    CubeAngles angles_;
    ZoomSource source_;
    std::unique_ptr<Pixel[]> texture_;
};

}  // namespace

std::unique_ptr<Scene> Start(const DataDir& data) { return std::make_unique<CubeScene>(data); }

}  // namespace zep::inline ZEP_CODE_PATH::cube
