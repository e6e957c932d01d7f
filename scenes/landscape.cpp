#include "scenes/landscape.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#if defined(__AVX2__)
#include <immintrin.h>
#endif

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

#if !defined(__AVX2__)
// The light's channel scaling, (L * ch) >> 8 for L and ch below 256, done for
// red and blue in one 32-bit product: r * L lands in the upper half and
// b * L in the lower one, and neither reaches the other's bits.
inline Pixel ShadeTexel(Pixel colour, std::uint32_t light) {
    const std::uint32_t red_blue = (((colour & 0xff00ff) * light) >> 8) & 0xff00ff;
    const std::uint32_t green = (((colour & 0xff00) * light) >> 8) & 0xff00;
    return red_blue | green;
}

inline std::uint32_t SpotIndex(std::uint32_t at) { return ((at >> 7) & (kMapMask << 9)) | (at & kMapMask); }
#endif

void LightingPass(const Pixel* colours, const std::uint32_t* light_offsets,
                  const std::uint8_t* spot, Point light, Pixel* lit) {
    const std::uint32_t add = ((static_cast<std::uint32_t>(light.y) & kMapMask) << 16) |
                              (static_cast<std::uint32_t>(light.x) & kMapMask);
#if defined(__AVX2__)
    // Eight texels at a time; the light levels are fetched with a gather of
    // 4-byte words at byte addresses (the spot map has room for the bytes
    // read past its last entry), keeping the low byte.
    const __m256i add8 = _mm256_set1_epi32(static_cast<int>(add));
    const __m256i column_mask = _mm256_set1_epi32(kMapMask);
    const __m256i row_mask = _mm256_set1_epi32(kMapMask << 9);
    const __m256i byte_mask = _mm256_set1_epi32(0xff);
    const __m256i red_blue_mask = _mm256_set1_epi32(0xff00ff);
    const __m256i green_mask = _mm256_set1_epi32(0xff00);
    for (int i = 0; i < kMapTexels; i += 8) {
        const __m256i at = _mm256_add_epi32(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(light_offsets + i)), add8);
        const __m256i index = _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(at, 7), row_mask),
                                              _mm256_and_si256(at, column_mask));
        const __m256i level = _mm256_and_si256(
            _mm256_i32gather_epi32(reinterpret_cast<const int*>(spot), index, 1), byte_mask);
        const __m256i colour = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colours + i));
        const __m256i red_blue = _mm256_and_si256(
            _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_and_si256(colour, red_blue_mask), level), 8),
            red_blue_mask);
        const __m256i green = _mm256_and_si256(
            _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_and_si256(colour, green_mask), level), 8),
            green_mask);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(lit + i), _mm256_or_si256(red_blue, green));
    }
#else
    for (int i = 0; i < kMapTexels; ++i)
        lit[i] = ShadeTexel(colours[i], spot[SpotIndex(light_offsets[i] + add)]);
#endif
}

namespace {

// Scan rows walked side by side, one per vector lane. Each lane adds its own
// step to its own coordinates, sample after sample, exactly as a lone walk
// does (the same IEEE additions in the same order), and a vector conversion
// truncates each lane toward zero as a scalar one does.
constexpr int kLanes = 8;
using LaneDoubles = double __attribute__((vector_size(kLanes * sizeof(double))));
using LaneInts = std::int32_t __attribute__((vector_size(kLanes * sizeof(std::int32_t))));

struct WalkLanes {
    LaneDoubles u, v, du, dv;
};

// Lanes for `count` (1 to kLanes) scan entries starting at `first`, `stride`
// apart, stepping `step_scale` times their step. Spare lanes repeat the last
// entry and are not drawn.
WalkLanes StartLanes(const ScanTables& scan, int first, int stride, int count, double step_scale) {
    WalkLanes w;
    for (int l = 0; l < kLanes; ++l) {
        const int j = first + stride * (l < count ? l : count - 1);
        w.u[l] = scan.start_u[j];
        w.v[l] = scan.start_v[j];
        w.du[l] = step_scale * scan.step_u[j];
        w.dv[l] = step_scale * scan.step_v[j];
    }
    return w;
}

// index[k * kLanes + l] is sample k of lane l: the coordinates truncated
// toward zero, then masked, as ((v & v_mask) << v_shift) | (u & u_mask).
void WalkScanRows(const WalkLanes& lanes, int samples, std::int32_t u_mask, std::int32_t v_mask, int v_shift,
                  std::uint32_t* index) {
    WalkLanes w = lanes;
    for (int k = 0; k < samples; ++k) {
        const LaneInts tu = __builtin_convertvector(w.u, LaneInts) & u_mask;
        const LaneInts tv = __builtin_convertvector(w.v, LaneInts) & v_mask;
        const LaneInts packed = (tv << v_shift) | tu;
        std::memcpy(index + k * kLanes, &packed, sizeof packed);
        w.u += w.du;
        w.v += w.dv;
    }
}

using LaneIndex = std::array<std::uint32_t, kWidth * kLanes>;

}  // namespace

void SkyPass(Pixel* surface, const Pixel* clouds, const ScanTables& scan) {
    // Every sky row is written by one scan entry only, so the rows of a lane
    // group can be filled in any order.
    LaneIndex index;
    for (int m0 = 0; m0 <= 117; m0 += kLanes) {
        const int count = std::min(kLanes, 118 - m0);
        WalkScanRows(StartLanes(scan, 2 * m0, 2, count, 1.0), kWidth, 255, 127, 8, index.data());
        for (int l = 0; l < count; ++l) {
            Pixel* row = surface + (256 - 2 * (m0 + l)) * kPitch;
            for (int k = 0; k < kWidth; ++k) {
                const Pixel texel = clouds[index[k * kLanes + l]];
                row[k] = texel;
                row[k - kPitch] = texel;
            }
        }
    }
}

// A ground strip never leaves its column (the shift is whole rows), so what
// ends up in a pixel depends only on the order of the strips in its own
// column: the ground passes may go column by column through a group of scan
// rows as long as each column takes the rows from far to near.
void FarGroundPass(Pixel* surface, const Pixel* lit, const std::int32_t* shifts,
                   const ScanTables& scan) {
    LaneIndex index;
    for (int m0 = 0; m0 <= 97; m0 += kLanes) {
        const int count = std::min(kLanes, 98 - m0);
        WalkScanRows(StartLanes(scan, m0, 1, count, 2.0), kWidth / 2, kMapMask, kMapMask, 9,
                     index.data());
        Pixel* top = surface + (228 + m0) * kPitch;
        for (int s = 0; s < kWidth / 2; ++s) {
            for (int l = 0; l < count; ++l) {
                const std::uint32_t i = index[s * kLanes + l];
                const Pixel colour = lit[i];
                Pixel* p = top + (l * kPitch + 2 * s + shifts[i]);
                for (int row = 0; row < 9; ++row) {
                    p[row * kPitch] = colour;
                    p[row * kPitch + 1] = colour;
                }
            }
        }
    }
}

void NearGroundPass(Pixel* surface, const Pixel* lit, const std::int32_t* shifts,
                    const ScanTables& scan) {
    LaneIndex index;
    for (int m0 = 98; m0 <= 251; m0 += kLanes) {
        const int count = std::min(kLanes, 252 - m0);
        WalkScanRows(StartLanes(scan, m0, 1, count, 1.0), kWidth, kMapMask, kMapMask, 9,
                     index.data());
        Pixel* top = surface + (228 + m0) * kPitch;
        for (int k = 0; k < kWidth; ++k) {
            for (int l = 0; l < count; ++l) {
                const std::uint32_t i = index[k * kLanes + l];
                const Pixel colour = lit[i];
                Pixel* p = top + (l * kPitch + k + shifts[i]);
                for (int row = 0; row < 8; ++row) p[row * kPitch] = colour;
            }
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
          spot_(std::make_unique<std::uint8_t[]>(kSpotLightBytes)),
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
