#include "scenes/planes.h"

#include <cmath>
#include <cstring>
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

void TileTexture(const Pixel* texture, Pixel* tiled) {
    for (int v = 0; v < kTextureSide; ++v)
        for (int u = 0; u < kTextureSide; ++u) tiled[TiledIndex(u, v)] = texture[v * 256 + u];
}

void FillPlanesRow(Pixel* surface, int y, const Pixel* const tiled[3],
                   const PlaneTables* const tables[3]) {
    // Plane 1 stores, planes 2 and 3 add with 32-bit wrap-around; the sum
    // does not depend on the order, so the three planes go in one sweep.
    const Pixel* __restrict t1 = tiled[0];
    const Pixel* __restrict t2 = tiled[1];
    const Pixel* __restrict t3 = tiled[2];
    const std::int32_t u1 = tables[0]->row_u[y], v1 = tables[0]->row_v[y];
    const std::int32_t u2 = tables[1]->row_u[y], v2 = tables[1]->row_v[y];
    const std::int32_t u3 = tables[2]->row_u[y], v3 = tables[2]->row_v[y];
    const std::int32_t* __restrict cu1 = tables[0]->col_u.data();
    const std::int32_t* __restrict cv1 = tables[0]->col_v.data();
    const std::int32_t* __restrict cu2 = tables[1]->col_u.data();
    const std::int32_t* __restrict cv2 = tables[1]->col_v.data();
    const std::int32_t* __restrict cu3 = tables[2]->col_u.data();
    const std::int32_t* __restrict cv3 = tables[2]->col_v.data();
    // Summed into a local row first: the texel reads then cannot alias the
    // surface, which lets the compiler use vector gathers.
    Pixel sum[kWidth];
    for (int x = 0; x < kWidth; ++x) {
        const std::int32_t i1 = TiledIndex((u1 + cu1[x]) & 255, (v1 + cv1[x]) & 255);
        const std::int32_t i2 = TiledIndex((u2 + cu2[x]) & 255, (v2 + cv2[x]) & 255);
        const std::int32_t i3 = TiledIndex((u3 + cu3[x]) & 255, (v3 + cv3[x]) & 255);
        sum[x] = t1[i1] + t2[i2] + t3[i3];
    }
    std::memcpy(surface + y * kPitch, sum, sizeof sum);
}

void DrawLogoRow(Pixel* surface, int y, const LogoWindow& window, const StripPixels& strip) {
    const int r = y - window.top;
    if (r < 0 || r >= kStripRows) return;
    const Pixel* from = strip.data() + r * kStripWidth;
    Pixel* to = surface + y * kPitch + window.left;
    for (int k = 0; k < kStripWidth; ++k)
        if (from[k] != 0) to[k] = from[k];
}

Pixel SmearPixel(Pixel left, Pixel mid, Pixel right) {
    const std::uint32_t r = (Red(left) + Red(mid) + Red(right) + Green(mid)) >> 2;
    const std::uint32_t g = (Green(left) + Green(mid) + Blue(mid) + r) >> 2;
    const std::uint32_t b = (Blue(left) + Blue(mid) + g) >> 2;
    return MakePixel(r, g, b);
}

void SmearPassSerial(Pixel* surface) {
    Pixel left = surface[kSmearFirst - 1];  // row 0's last pixel, never smeared
    for (int i = kSmearFirst; i < kSmearEnd; ++i) {
        left = SmearPixel(left, surface[i], surface[i + 1]);
        surface[i] = left;
    }
}

namespace {

// Sixteen 32-bit lanes, one per stretch of the smear chain (a GCC/Clang
// vector type: plain arithmetic, compiled to whatever vector width the
// target has).
using Lanes = std::uint32_t __attribute__((vector_size(4 * kSmearLanes)));

Lanes LoadLanes(const Pixel* p) {
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void StoreLanes(Pixel* p, Lanes v) { std::memcpy(p, &v, sizeof v); }

}  // namespace

void SmearPass(Pixel* surface, SmearScratch& scratch) {
    // The pass is one serial chain through rows 1 to 478. Each block of the
    // chain is cut into kSmearLanes stretches that run side by side, every
    // stretch but the first from a guessed left pixel. Then the true left
    // pixel is pushed into each stretch in turn until the recomputed pixel
    // equals the guessed run's pixel at the same place: the state carried
    // along the chain is exactly the last output pixel, so from there on both
    // runs agree. The result is the serial pass, bit for bit, whatever the
    // guess; the recomputing usually stops after a pixel or two.
    constexpr int L = kSmearLanes, S = kSmearSteps;
    Pixel* in = scratch.in.data();
    Pixel* out = scratch.out.data();
    for (int block = 0; block < kSmearBlocks; ++block) {
        const int base = kSmearFirst + block * L * S;
        // Step s of lane k is pixel base + k*S + s; one extra step gives each
        // stretch's last pixel its right neighbour (not yet smeared).
        for (int s = 0; s <= S; ++s)
            for (int k = 0; k < L; ++k) in[s * L + k] = surface[base + k * S + s];

        Pixel guess[L];
        for (int k = 0; k < L; ++k) guess[k] = k == 0 ? surface[base - 1] : in[k - 1];
        const Lanes g0 = LoadLanes(guess);
        Lanes lr = (g0 >> 16) & 255, lg = (g0 >> 8) & 255, lb = g0 & 255;
        Lanes mid = LoadLanes(in);
        for (int s = 0; s < S; ++s) {
            const Lanes right = LoadLanes(in + (s + 1) * L);
            const Lanes mr = (mid >> 16) & 255, mg = (mid >> 8) & 255, mb = mid & 255;
            lr = (mr + ((right >> 16) & 255) + mg + lr) >> 2;
            lg = (mg + mb + lg + lr) >> 2;
            lb = (mb + lb + lg) >> 2;
            StoreLanes(out + s * L, (lr << 16) | (lg << 8) | lb);
            mid = right;
        }

        for (int k = 1; k < L; ++k) {
            Pixel left = out[(S - 1) * L + k - 1];
            for (int s = 0; s < S; ++s) {
                const Pixel v = SmearPixel(left, in[s * L + k], in[(s + 1) * L + k]);
                if (v == out[s * L + k]) break;
                out[s * L + k] = v;
                left = v;
            }
        }
        for (int s = 0; s < S; ++s)
            for (int k = 0; k < L; ++k) surface[base + k * S + s] = out[s * L + k];
    }
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
        for (int i = 0; i < 3; ++i) {
            data.Read(kFiles[i], textures_[i].get());
            tiled_[i] = std::make_unique<Pixel[]>(kTexturePixels);
            TileTexture(textures_[i].get(), tiled_[i].get());
        }
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
        const Pixel* const textures[3] = {tiled_[0].get(), tiled_[1].get(), tiled_[2].get()};
        const PlaneTables* const tables[3] = {&tables_[0], &tables_[1], &tables_[2]};
        const LogoWindow* logo = LogoAt(t);

        for (int y = 0; y < kHeight; ++y) {
            FillPlanesRow(surface, y, textures, tables);
            if (logo) DrawLogoRow(surface, y, *logo, strip_pixels_[logo->strip]);
        }
        SmearPass(surface, *smear_);
    }

    PresentRows Present() const override { return {1, 479}; }

private:
    std::unique_ptr<SmearScratch> smear_ = std::make_unique<SmearScratch>();
    std::unique_ptr<Pixel[]> textures_[3];
    std::unique_ptr<Pixel[]> tiled_[3];  // the textures in 4 x 4 tiles
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
