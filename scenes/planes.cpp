#include "scenes/planes.h"

#include <cmath>
#include <memory>
#include <vector>

#include "scenes/scenes.h"

namespace zep::planes {

void AdvancePlane(TexturePlane& plane, const PlaneSteps& steps) {
    plane.angle += steps.angle;
    plane.zoom_phase += steps.zoom_phase;
    plane.shift_x_phase += steps.shift_x_phase;
    plane.shift_y_phase += steps.shift_y_phase;
}

PlaneFrame ComputePlaneFrame(const TexturePlane& plane, const PlaneSteps& steps) {
    PlaneFrame f;
    f.zoom = static_cast<std::int32_t>(1000.0 * std::sin(plane.zoom_phase) - 1220.0);
    f.shift_x = static_cast<std::int32_t>(steps.shift_scale * std::sin(plane.shift_x_phase) +
                                          steps.shift_centre);
    f.shift_y = static_cast<std::int32_t>(steps.shift_scale * std::sin(plane.shift_y_phase) +
                                          steps.shift_centre);
    const double c = std::cos(plane.angle);
    const double s = std::sin(plane.angle);
    for (std::size_t i = 0; i < kCornerPoints.size(); ++i) {
        const double x = kCornerPoints[i].x;
        const double y = kCornerPoints[i].y;
        const auto rx = static_cast<std::int32_t>(x * c - y * s);
        const auto ry = static_cast<std::int32_t>(x * s + y * c);
        f.mapped[i].x = (rx * f.zoom) / 200 + f.shift_x;
        f.mapped[i].y = (ry * f.zoom) / 200 + f.shift_y;
    }
    return f;
}

void BuildPlaneTables(const PlaneFrame& f, PlaneTables& t) {
    const Corner p0 = f.mapped[0], p1 = f.mapped[1], p2 = f.mapped[2];
    for (int y = 0; y < kHeight; ++y) {
        t.row_u[y] = p0.x + (((p1.x - p0.x) * y) >> 9);
        t.row_v[y] = p0.y + (((p1.y - p0.y) * y) >> 9);
    }
    for (int x = 0; x < kWidth; ++x) {
        t.col_u[x] = ((p2.x - p0.x) * x) >> 9;
        t.col_v[x] = ((p2.y - p0.y) * x) >> 9;
    }
}

void ConvertStrip(const std::uint8_t* bytes, StripPixels& pixels) {
    for (int i = 0; i < kStripWidth * kStripRows; ++i)
        pixels[i] = Rgb24ToPixel(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]);
}

const LogoWindow* LogoAt(SceneClock t) {
    for (const LogoWindow& w : kLogoWindows)
        if (w.after < t && t < w.before) return &w;
    return nullptr;
}

void FillPlanesRow(Pixel* surface, int y, const Pixel* const textures[3],
                   const PlaneTables* const tables[3]) {
    // Plane 1 stores, planes 2 and 3 add with 32-bit wrap-around; the sum
    // does not depend on the order, so the three planes go in one sweep.
    const Pixel* t1 = textures[0];
    const Pixel* t2 = textures[1];
    const Pixel* t3 = textures[2];
    const std::int32_t u1 = tables[0]->row_u[y], v1 = tables[0]->row_v[y];
    const std::int32_t u2 = tables[1]->row_u[y], v2 = tables[1]->row_v[y];
    const std::int32_t u3 = tables[2]->row_u[y], v3 = tables[2]->row_v[y];
    const std::int32_t* cu1 = tables[0]->col_u.data();
    const std::int32_t* cv1 = tables[0]->col_v.data();
    const std::int32_t* cu2 = tables[1]->col_u.data();
    const std::int32_t* cv2 = tables[1]->col_v.data();
    const std::int32_t* cu3 = tables[2]->col_u.data();
    const std::int32_t* cv3 = tables[2]->col_v.data();
    Pixel* row = surface + y * kPitch;
    for (int x = 0; x < kWidth; ++x) {
        const std::uint32_t i1 = (((v1 + cv1[x]) & 255) << 8) | ((u1 + cu1[x]) & 255);
        const std::uint32_t i2 = (((v2 + cv2[x]) & 255) << 8) | ((u2 + cu2[x]) & 255);
        const std::uint32_t i3 = (((v3 + cv3[x]) & 255) << 8) | ((u3 + cu3[x]) & 255);
        row[x] = t1[i1] + t2[i2] + t3[i3];
    }
}

void DrawLogoRow(Pixel* surface, int y, const LogoWindow& window, const StripPixels& strip) {
    const int r = y - window.top;
    if (r < 0 || r >= kStripRows) return;
    const Pixel* from = strip.data() + r * kStripWidth;
    Pixel* to = surface + y * kPitch + window.left;
    for (int k = 0; k < kStripWidth; ++k)
        if (from[k] != 0) to[k] = from[k];
}

SmearCarry SmearStart(const Pixel* surface) {
    const Pixel left = surface[kPitch - 1];  // row 0's last pixel, never smeared
    return {Red(left), Green(left), Blue(left)};
}

void SmearRow(Pixel* surface, int y, SmearCarry& left) {
    // Each pixel mixes with the already smeared pixel before it and the
    // untouched pixel after it (the next row's first for the last column).
    Pixel* p = surface + y * kPitch;
    std::uint32_t lr = left.r, lg = left.g, lb = left.b;
    std::uint32_t mid = p[0];
    for (int x = 0; x < kWidth; ++x) {
        const std::uint32_t right = p[x + 1];
        const std::uint32_t mr = Red(mid), mg = Green(mid), mb = Blue(mid);
        const std::uint32_t nr = (lr + mr + Red(right) + mg) >> 2;
        const std::uint32_t ng = (lg + mg + mb + nr) >> 2;
        const std::uint32_t nb = (lb + mb + ng) >> 2;
        p[x] = (nr << 16) | (ng << 8) | nb;
        lr = nr;
        lg = ng;
        lb = nb;
        mid = right;
    }
    left = {lr, lg, lb};
}

void SmearPass(Pixel* surface) {
    SmearCarry left = SmearStart(surface);
    for (int y = 1; y <= 478; ++y) SmearRow(surface, y, left);
}

namespace {

constexpr DataFile kFiles[] = {
    {"ttx2.raw", kTextureBytes},   {"ttx3.raw", kTextureBytes},   {"ttx4.raw", kTextureBytes},
    {"zepzep.raw", kStripBytes},   {"zepzep2.raw", kStripBytes},  {"zepzep3.raw", kStripBytes},
};

class PlanesScene : public Scene {
public:
    explicit PlanesScene(const DataDir& data) {
        for (auto& texture : textures_) texture = std::make_unique<Pixel[]>(kTexturePixels);
        for (auto& strip : strips_) strip = std::make_unique<std::uint8_t[]>(kStripBytes);
        for (int i = 0; i < 3; ++i) data.Read(kFiles[i], textures_[i].get());
        for (int i = 0; i < 3; ++i) {
            data.Read(kFiles[3 + i], strips_[i].get());
            ConvertStrip(strips_[i].get(), strip_pixels_[i]);
        }
    }

    void Draw(Pixel* surface, SceneClock t) override {
        for (int i = 0; i < 3; ++i) {
            AdvancePlane(planes_[i], kPlaneSteps[i]);
            BuildPlaneTables(ComputePlaneFrame(planes_[i], kPlaneSteps[i]), tables_[i]);
        }
        const Pixel* const textures[3] = {textures_[0].get(), textures_[1].get(),
                                          textures_[2].get()};
        const PlaneTables* const tables[3] = {&tables_[0], &tables_[1], &tables_[2]};
        const LogoWindow* logo = LogoAt(t);

        // Row by row, so each row is smeared while it is still in cache: a
        // row is smeared once the row below it (its right neighbour at the
        // end) has its planes and logo.
        auto draw_row = [&](int y) {
            FillPlanesRow(surface, y, textures, tables);
            if (logo) DrawLogoRow(surface, y, *logo, strip_pixels_[logo->strip]);
        };
        draw_row(0);
        draw_row(1);
        SmearCarry left = SmearStart(surface);
        for (int y = 1; y <= 478; ++y) {
            draw_row(y + 1);
            SmearRow(surface, y, left);
        }
    }

    PresentRows Present() const override { return {1, 479}; }

private:
    std::unique_ptr<Pixel[]> textures_[3];
    std::unique_ptr<std::uint8_t[]> strips_[3];
    StripPixels strip_pixels_[3];
    TexturePlane planes_[3];
    PlaneTables tables_[3];
};

std::unique_ptr<Scene> StartPlanes(const DataDir& data) {
    return std::make_unique<PlanesScene>(data);
}

}  // namespace
}  // namespace zep::planes

namespace zep {
const SceneEntry kPlanesScene{"layered planes", 22.0, planes::kFiles, planes::StartPlanes};
}  // namespace zep
