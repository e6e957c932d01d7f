#include "scenes/landscape.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "scenes/scenes.h"

namespace zep::landscape {

Motion StartMotion() { return {30.2, 6.55, 1.046 * std::sin(6.55)}; }

void UpdateCorners(const Motion& motion, ViewCorners& corners) {
    const double cx = 160.0 * std::cos(motion.orbit_angle);
    const double cy = 160.0 * std::sin(motion.orbit_angle);
    const double s = std::sin(motion.turn_angle);
    const double c = std::cos(motion.turn_angle);
    for (int k = 0; k < 4; ++k) {
        const CornerOffset& o = kCornerOffsets[k];
        corners[k].x = static_cast<std::int32_t>(cx + o.along * s + o.across * c);
        corners[k].y = static_cast<std::int32_t>(cy + o.along * c - o.across * s);
    }
}

void AdvanceMotion(Motion& motion) {
    motion.turn_angle = 1.046 * std::sin(motion.turn_phase);
    motion.orbit_angle += 0.0521;
    motion.turn_phase -= 0.049;
}

void BuildScanTables(const ViewCorners& p, ScanTables& scan) {
    for (std::int32_t b = -130; b <= 129; ++b) {
        const int j = b + 130;
        const std::int32_t left_x = p[0].x + (b * (p[0].x - p[2].x)) / 130;
        const std::int32_t left_y = p[0].y + (b * (p[0].y - p[2].y)) / 130;
        const std::int32_t right_x = p[1].x + (b * (p[1].x - p[3].x)) / 130;
        const std::int32_t right_y = p[1].y + (b * (p[1].y - p[3].y)) / 130;
        scan.start_u[j] = left_x;
        scan.start_v[j] = left_y;
        scan.step_u[j] = static_cast<double>(left_x - right_x) * 0.0015625;
        scan.step_v[j] = static_cast<double>(left_y - right_y) * 0.0015625;
    }
}

void BuildCloudTexture(const std::uint8_t* raw, Pixel* clouds) {
    for (int i = 0; i < kCloudTexels; ++i)
        clouds[i] = Rgb24ToPixel(raw[3 * i], raw[3 * i + 1], raw[3 * i + 2]);
}

void BuildSpotLightMap(std::uint8_t* spot) {
    for (int r = 0; r < kMapSide; ++r)
        for (int col = 0; col < kMapSide; ++col) {
            const int dx = col - 256, dy = r - 256;
            const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
            double value = 305.0 - d;
            if (value > 255.0) value = 255.0;
            if (value < 64.0) value = 64.0;
            spot[r * kMapSide + col] = static_cast<std::uint8_t>(static_cast<std::int32_t>(value));
        }
}

namespace {

// Column 0 and 511 copy their neighbours in rows 0 to 510, then rows 0 and
// 511 copy theirs, whole.
void FixSlopeBorders(std::int32_t* map) {
    for (int r = 0; r <= 510; ++r) {
        std::int32_t* row = map + r * kMapSide;
        row[0] = row[1];
        row[511] = row[510];
    }
    std::memcpy(map, map + kMapSide, kMapSide * sizeof(std::int32_t));
    std::memcpy(map + 511 * kMapSide, map + 510 * kMapSide, kMapSide * sizeof(std::int32_t));
}

}  // namespace

void BuildSlopeMaps(const std::uint8_t* bump, std::int32_t* slope_x, std::int32_t* slope_y) {
    for (int r = 1; r <= 510; ++r)
        for (int col = 1; col <= 510; ++col) {
            const int i = r * kMapSide + col;
            slope_x[i] = static_cast<std::int32_t>(bump[i + 1]) - bump[i - 1];
            slope_y[i] = static_cast<std::int32_t>(bump[i + kMapSide]) - bump[i - kMapSide];
        }
    FixSlopeBorders(slope_x);
    FixSlopeBorders(slope_y);
}

void BuildRowShiftMap(const std::uint8_t* heights, std::int32_t* shifts) {
    for (int i = 0; i < kMapTexels; ++i) shifts[i] = (static_cast<std::int32_t>(heights[i]) - 127) * kPitch;
}

void BuildLightOffsets(const std::int32_t* slope_x, const std::int32_t* slope_y,
                       std::uint32_t* offsets) {
    for (int y = 0; y < kMapSide; ++y)
        for (int x = 0; x < kMapSide; ++x) {
            const int i = y * kMapSide + x;
            const auto lx = static_cast<std::uint32_t>(slope_x[i] - x) & kMapMask;
            const auto ly = static_cast<std::uint32_t>(slope_y[i] - y) & kMapMask;
            offsets[i] = (ly << 16) | lx;
        }
}

void LightingPass(const Pixel* colours, const std::uint32_t* light_offsets,
                  const std::uint8_t* spot, Point light, Pixel* lit) {
    const std::uint32_t add = ((static_cast<std::uint32_t>(light.y) & kMapMask) << 16) |
                              (static_cast<std::uint32_t>(light.x) & kMapMask);
    for (int i = 0; i < kMapTexels; ++i) {
        const std::uint32_t at = light_offsets[i] + add;
        const std::uint32_t l = spot[((at >> 7) & (kMapMask << 9)) | (at & kMapMask)];
        const Pixel c = colours[i];
        lit[i] = (((l * Red(c)) >> 8) << 16) | (((l * Green(c)) >> 8) << 8) | ((l * Blue(c)) >> 8);
    }
}

void SkyPass(Pixel* surface, const Pixel* clouds, const ScanTables& scan) {
    for (int m = 0; m <= 117; ++m) {
        const int r = 256 - 2 * m;
        const int j = 2 * m;
        double u = scan.start_u[j], v = scan.start_v[j];
        const double du = scan.step_u[j], dv = scan.step_v[j];
        Pixel* row = surface + r * kPitch;
        for (int k = 0; k < kWidth; ++k) {
            const int tu = static_cast<std::int32_t>(u) & 255;
            const int tv = static_cast<std::int32_t>(v) & 127;
            const Pixel texel = clouds[tv * 256 + tu];
            row[k] = texel;
            row[k - kPitch] = texel;
            u += du;
            v += dv;
        }
    }
}

void FarGroundPass(Pixel* surface, const Pixel* lit, const std::int32_t* shifts,
                   const ScanTables& scan) {
    for (int m = 0; m <= 97; ++m) {
        const int r = 228 + m;
        const int j = m;
        double u = scan.start_u[j], v = scan.start_v[j];
        const double du = 2.0 * scan.step_u[j], dv = 2.0 * scan.step_v[j];
        for (int k = 0; k < kWidth; k += 2) {
            const int i = ((static_cast<std::int32_t>(v) & kMapMask) << 9) |
                          (static_cast<std::int32_t>(u) & kMapMask);
            const Pixel colour = lit[i];
            Pixel* p = surface + (r * kPitch + k + shifts[i]);
            for (int row = 0; row < 9; ++row) {
                p[row * kPitch] = colour;
                p[row * kPitch + 1] = colour;
            }
            u += du;
            v += dv;
        }
    }
}

void NearGroundPass(Pixel* surface, const Pixel* lit, const std::int32_t* shifts,
                    const ScanTables& scan) {
    for (int m = 98; m <= 251; ++m) {
        const int r = 228 + m;
        const int j = m;
        double u = scan.start_u[j], v = scan.start_v[j];
        const double du = scan.step_u[j], dv = scan.step_v[j];
        for (int k = 0; k < kWidth; ++k) {
            const int i = ((static_cast<std::int32_t>(v) & kMapMask) << 9) |
                          (static_cast<std::int32_t>(u) & kMapMask);
            const Pixel colour = lit[i];
            Pixel* p = surface + (r * kPitch + k + shifts[i]);
            for (int row = 0; row < 8; ++row) p[row * kPitch] = colour;
            u += du;
            v += dv;
        }
    }
}

void MeltPass(Pixel* surface) {
    // Lp is the pixel just replaced, Rt the next one not yet replaced; the
    // walk runs on through the row ends, so column 0 mixes with the end of
    // the row above and column 639 with the start of the row below.
    Pixel* p = surface + kPitch;
    const Pixel first = p[-1];
    std::uint32_t lr = Red(first), lg = Green(first), lb = Blue(first);
    std::uint32_t cur = p[0];
    for (int i = 0; i < 478 * kPitch; ++i) {
        const std::uint32_t right = p[i + 1];
        const std::uint32_t g = (Red(cur) + Blue(cur) + lg + Green(cur)) >> 2;
        const std::uint32_t b = (lb + Blue(cur) + g) >> 2;
        const std::uint32_t r = (lr + Green(cur) + Red(right)) >> 2;
        p[i] = (r << 16) | (g << 8) | b;
        lr = r;
        lg = g;
        lb = b;
        cur = right;
    }
}

namespace {

constexpr DataFile kFiles[] = {
    {"hoyc2.raw", kColourMapBytes},
    {"clouds.raw", kCloudBytes},
    {"hoy.raw", kByteMapBytes},
    {"512bump.raw", kByteMapBytes},
};

class LandscapeScene : public Scene {
public:
    explicit LandscapeScene(const DataDir& data)
        : motion_(StartMotion()),
          lit_(std::make_unique<Pixel[]>(kMapTexels)),
          colours_(std::make_unique<Pixel[]>(kMapTexels)),
          slope_x_(std::make_unique<std::int32_t[]>(kMapTexels)),
          slope_y_(std::make_unique<std::int32_t[]>(kMapTexels)),
          raw_clouds_(std::make_unique<std::uint8_t[]>(kCloudBytes)),
          clouds_(std::make_unique<Pixel[]>(kCloudTexels)),
          heights_(std::make_unique<std::uint8_t[]>(kMapTexels)),
          bump_(std::make_unique<std::uint8_t[]>(kMapTexels)),
          shifts_(std::make_unique<std::int32_t[]>(kMapTexels)),
          shade_(std::make_unique<std::uint32_t[]>(kShadeTableEntries)),
          spot_(std::make_unique<std::uint8_t[]>(kMapTexels)),
          light_offsets_(std::make_unique<std::uint32_t[]>(kMapTexels)) {
        data.Read(kFiles[0], colours_.get());
        data.Read(kFiles[1], raw_clouds_.get());
        data.Read(kFiles[2], heights_.get());
        data.Read(kFiles[3], bump_.get());
        FillShadeTable(shade_.get());
        BuildCloudTexture(raw_clouds_.get(), clouds_.get());
        BuildSpotLightMap(spot_.get());
        BuildSlopeMaps(bump_.get(), slope_x_.get(), slope_y_.get());
        BuildRowShiftMap(heights_.get(), shifts_.get());
        BuildLightOffsets(slope_x_.get(), slope_y_.get(), light_offsets_.get());
    }

    void Draw(Pixel* surface, SceneClock t) override {
        std::memset(surface, 0, 22 * kPitch * sizeof(Pixel));
        // The lit map and the scan tables are rewritten in full before every
        // landscape frame reads them, so melt frames only move the view.
        const bool melting = t >= kMeltFrom;
        if (!melting) LightingPass(colours_.get(), light_offsets_.get(), spot_.get(), corners_[2], lit_.get());
        UpdateCorners(motion_, corners_);
        AdvanceMotion(motion_);
        if (!melting) {
            BuildScanTables(corners_, scan_);
            SkyPass(surface, clouds_.get(), scan_);
            FarGroundPass(surface, lit_.get(), shifts_.get(), scan_);
            NearGroundPass(surface, lit_.get(), shifts_.get(), scan_);
        } else {
            MeltPass(surface);
        }
        present_bottom_ = NextPresentBottom(present_bottom_);
    }

    PresentRows Present() const override { return {1, present_bottom_}; }

private:
    ViewCorners corners_{};
    Motion motion_;
    ScanTables scan_;
    int present_bottom_ = 2;

    std::unique_ptr<Pixel[]> lit_;
    std::unique_ptr<Pixel[]> colours_;
    std::unique_ptr<std::int32_t[]> slope_x_;
    std::unique_ptr<std::int32_t[]> slope_y_;
    std::unique_ptr<std::uint8_t[]> raw_clouds_;
    std::unique_ptr<Pixel[]> clouds_;
    std::unique_ptr<std::uint8_t[]> heights_;
    std::unique_ptr<std::uint8_t[]> bump_;
    std::unique_ptr<std::int32_t[]> shifts_;
    std::unique_ptr<std::uint32_t[]> shade_;
    std::unique_ptr<std::uint8_t[]> spot_;
    std::unique_ptr<std::uint32_t[]> light_offsets_;
};

std::unique_ptr<Scene> StartLandscape(const DataDir& data) {
    return std::make_unique<LandscapeScene>(data);
}

}  // namespace
}  // namespace zep::landscape

namespace zep {
const SceneEntry kLandscapeScene{"landscape", 60.5, landscape::kFiles, landscape::StartLandscape};
}  // namespace zep
