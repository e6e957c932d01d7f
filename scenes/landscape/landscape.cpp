// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "scenes/landscape/landscape.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>

#if defined(__AVX2__)
#include <immintrin.h>
#endif
#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

#include "scenes/quarter_chain.h"
#include "scenes/rgb24_row.h"

namespace zep::inline ZEP_CODE_PATH::landscape {

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

void PackHeights(const std::uint8_t* heights, Pixel* colours) {
    for (int i = 0; i < kMapTexels; ++i)
        colours[i] = (colours[i] & 0xffffff) | (static_cast<Pixel>(heights[i]) << 24);
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

namespace {

// Eight values side by side in the vector registers. The arithmetic on them
// is the scalar arithmetic lane by lane; the gathers fetch one table entry a
// lane. These vectors pass only between functions of this file, so how a
// build without 32-byte vector registers would pass them to other code does
// not matter.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
constexpr int kLanes = 8;
using LaneDoubles = double __attribute__((vector_size(kLanes * sizeof(double))));
using LaneInts = std::int32_t __attribute__((vector_size(kLanes * sizeof(std::int32_t))));
using LaneWords = std::uint32_t __attribute__((vector_size(kLanes * sizeof(std::uint32_t))));

// out[l] = table[index[l]] without a gather instruction: one load a lane.
// WebAssembly and x86-64 before SSE4.1 (the baseline) read a vector's lanes
// one by one slowly, so there the indices go through memory and the loaded
// values come back the same way.
template <typename Entry>
void GatherLanes(const Entry* table, const LaneWords& index, LaneWords& out) {
#if defined(__wasm_simd128__) || (defined(__x86_64__) && !defined(__SSE4_1__))
    alignas(32) std::uint32_t at[kLanes], got[kLanes];
    std::memcpy(at, &index, sizeof at);
    for (int l = 0; l < kLanes; ++l) got[l] = table[at[l]];
    std::memcpy(&out, got, sizeof got);
#else
    for (int l = 0; l < kLanes; ++l) out[l] = table[index[l]];
#endif
}

// out[l] = table[index[l]]. (Vectors go by reference: a vector in a
// register would not pass the same way on every target.)
void GatherPixels(const Pixel* table, const LaneWords& index, LaneWords& out) {
#if defined(__AVX2__)
    out = (LaneWords)_mm256_i32gather_epi32(reinterpret_cast<const int*>(table), (__m256i)index, 4);
#else
    GatherLanes(table, index, out);
#endif
}

// The same for a table of bytes, which must have room for reading a 4-byte
// word at its last entry.
[[maybe_unused]] void GatherBytes(const std::uint8_t* table, const LaneWords& index, LaneWords& out) {
#if defined(__AVX2__)
    out =
        (LaneWords)_mm256_i32gather_epi32(reinterpret_cast<const int*>(table), (__m256i)index, 1) &
        0xff;
#else
    GatherLanes(table, index, out);
#endif
}

}  // namespace

namespace {

// The spot map entry for light position `at` (row << 16 | column, each
// wrapped at 512 plus what carried into bit 9 or 25), for one texel or a
// vector of them.
template <typename Words>
Words SpotIndex(Words at) {
    return ((at >> 7) & (kMapMask << 9)) | (at & kMapMask);
}

// (level * c) >> 8 for each channel c: red and blue share one 32-bit product
// (r * level lands in the upper half, b * level in the lower one, and
// neither reaches the other's bits). The top byte is kept.
template <typename Words>
Words LitColour(Words colour, Words level) {
    const Words red_blue = (((colour & 0xff00ff) * level) >> 8) & 0xff00ff;
    const Words green = (((colour & 0xff00) * level) >> 8) & 0xff00;
    return red_blue | green | (colour & 0xff000000);
}

}  // namespace

void LightingPass(const Pixel* colours, const std::uint32_t* light_offsets,
                  const std::uint8_t* spot, Point light, Pixel* lit) {
    const std::uint32_t add = ((static_cast<std::uint32_t>(light.y) & kMapMask) << 16) |
                              (static_cast<std::uint32_t>(light.x) & kMapMask);
#if defined(__x86_64__) && !defined(__SSE4_1__)
    // x86-64's baseline (SSE2) has no 32-bit vector multiplication and takes
    // vectors apart slowly for the spot lookups: one texel at a time is
    // quicker there.
    for (int i = 0; i < kMapTexels; ++i)
        lit[i] = LitColour<std::uint32_t>(colours[i], spot[SpotIndex(light_offsets[i] + add)]);
#else
    for (int i = 0; i < kMapTexels; i += kLanes) {
        LaneWords at, colour, level;
        std::memcpy(&at, light_offsets + i, sizeof at);
        std::memcpy(&colour, colours + i, sizeof colour);
        GatherBytes(spot, SpotIndex(at + add), level);
        const LaneWords shaded = LitColour(colour, level);
        std::memcpy(lit + i, &shaded, sizeof shaded);
    }
#endif
}

namespace {

// Scan rows walked side by side, one per vector lane. Each lane adds its own
// step to its own coordinates, sample after sample, exactly as a lone walk
// does (the same IEEE additions in the same order), and a vector conversion
// truncates each lane toward zero as a scalar one does.
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

// Each lane of `d` truncated toward zero, into `out` (given back through a
// reference: a 32-byte vector returned by value would change the ABI of a
// build without AVX). WebAssembly has no vector conversion
// from double the compiler uses here (it converts lane by lane), so each
// lane is truncated as a double and moved into the low bits of the
// mantissa by adding 2^52 + 2^51; for any integer below 2^51 in magnitude
// the sum is exact and its low 32 bits are the integer, in two's complement.
// Walk coordinates stay far inside the 32-bit range, where this and a
// conversion agree.
[[maybe_unused]] void TruncateLanes(const LaneDoubles& d, LaneInts& out) {
#if defined(__wasm_simd128__)
    using PairDoubles = double __attribute__((vector_size(2 * sizeof(double))));
    using QuadInts = std::int32_t __attribute__((vector_size(4 * sizeof(std::int32_t))));
    const auto place = [](PairDoubles p) {
        return (QuadInts)((PairDoubles)wasm_f64x2_trunc((v128_t)p) + 0x1.8p52);
    };
    const QuadInts low = __builtin_shufflevector(place(__builtin_shufflevector(d, d, 0, 1)),
                                                 place(__builtin_shufflevector(d, d, 2, 3)), 0, 2,
                                                 4, 6);
    const QuadInts high = __builtin_shufflevector(place(__builtin_shufflevector(d, d, 4, 5)),
                                                  place(__builtin_shufflevector(d, d, 6, 7)), 0, 2,
                                                  4, 6);
    out = __builtin_shufflevector(low, high, 0, 1, 2, 3, 4, 5, 6, 7);
#else
    out = __builtin_convertvector(d, LaneInts);
#endif
}

// out[k * stride + l] is sample k of lane l: the texel at the coordinates
// truncated toward zero, then masked, ((v & v_mask) << v_shift) | (u & u_mask).
void WalkScanRows(const WalkLanes& lanes, int samples, std::int32_t u_mask, std::int32_t v_mask,
                  int v_shift, const Pixel* texels, Pixel* out, int stride) {
#if defined(__AVX2__) && !defined(__AVX512F__)
    // Eight doubles are two AVX2 registers; GCC keeps a vector wider than a
    // register in memory, so each coordinate is walked as two halves.
    using HalfDoubles = double __attribute__((vector_size(kLanes / 2 * sizeof(double))));
    using HalfInts = std::int32_t __attribute__((vector_size(kLanes / 2 * sizeof(std::int32_t))));
    HalfDoubles u0 = __builtin_shufflevector(lanes.u, lanes.u, 0, 1, 2, 3);
    HalfDoubles u1 = __builtin_shufflevector(lanes.u, lanes.u, 4, 5, 6, 7);
    HalfDoubles v0 = __builtin_shufflevector(lanes.v, lanes.v, 0, 1, 2, 3);
    HalfDoubles v1 = __builtin_shufflevector(lanes.v, lanes.v, 4, 5, 6, 7);
    const HalfDoubles du0 = __builtin_shufflevector(lanes.du, lanes.du, 0, 1, 2, 3);
    const HalfDoubles du1 = __builtin_shufflevector(lanes.du, lanes.du, 4, 5, 6, 7);
    const HalfDoubles dv0 = __builtin_shufflevector(lanes.dv, lanes.dv, 0, 1, 2, 3);
    const HalfDoubles dv1 = __builtin_shufflevector(lanes.dv, lanes.dv, 4, 5, 6, 7);
    for (int k = 0; k < samples; ++k) {
        const HalfInts tu0 = __builtin_convertvector(u0, HalfInts);
        const HalfInts tu1 = __builtin_convertvector(u1, HalfInts);
        const HalfInts tv0 = __builtin_convertvector(v0, HalfInts);
        const HalfInts tv1 = __builtin_convertvector(v1, HalfInts);
        const LaneInts tu = __builtin_shufflevector(tu0, tu1, 0, 1, 2, 3, 4, 5, 6, 7) & u_mask;
        const LaneInts tv = __builtin_shufflevector(tv0, tv1, 0, 1, 2, 3, 4, 5, 6, 7) & v_mask;
        LaneWords fetched;
        GatherPixels(texels, (LaneWords)((tv << v_shift) | tu), fetched);
        std::memcpy(out + k * stride, &fetched, sizeof fetched);
        u0 += du0;
        u1 += du1;
        v0 += dv0;
        v1 += dv1;
    }
#else
    WalkLanes w = lanes;
    for (int k = 0; k < samples; ++k) {
        LaneInts tu, tv;
        TruncateLanes(w.u, tu);
        TruncateLanes(w.v, tv);
        tu &= u_mask;
        tv &= v_mask;
        LaneWords fetched;
        GatherPixels(texels, (LaneWords)((tv << v_shift) | tu), fetched);
        std::memcpy(out + k * stride, &fetched, sizeof fetched);
        w.u += w.du;
        w.v += w.dv;
    }
#endif
}

// The lit texels under `rows` scan rows from `first`, each row's walk taking
// `samples` samples at `step_scale` times its step: sample k of row n goes
// to out[k * GroundScratch::kColumnStride + n].
void WalkGroundRows(const ScanTables& scan, int first, int rows, int samples, double step_scale,
                    const Pixel* lit, Pixel* out) {
    for (int n = 0; n < rows; n += kLanes)
        WalkScanRows(StartLanes(scan, first + n, 1, std::min(kLanes, rows - n), step_scale),
                     samples, kMapMask, kMapMask, 9, lit, out + n, GroundScratch::kColumnStride);
}

// Reads the strips of one column: scan row n's strip starts first_top + n +
// h rows down, h the height byte of its lit texel. Returns the first and
// last rows the strips start on.
std::pair<int, int> ColumnStrips(const Pixel* samples, int rows, int first_top, std::int32_t* tops,
                                 Pixel* colours) {
    int first = kSurfaceRows, last = 0;
    for (int n = 0; n < rows; ++n) {
        const Pixel texel = samples[n];
        const int top = first_top + n + static_cast<int>(texel >> 24);
        tops[n] = top;
        colours[n] = texel & 0xffffff;
        first = std::min(first, top);
        last = std::max(last, top);
    }
    return {first, last};
}

// A ground strip never leaves its column (its shift is whole rows), and what
// a pixel ends up holding is the colour of the last strip over it. So the
// ground passes draw a few columns at a time: the strips are laid in their
// order into column buffers (each strip a short run of equal pixels), and
// then the covered rows go to the surface, each pixel written once. Rows no
// strip covers keep a mark that no strip colour (top byte 0) can equal, and
// are left alone in the surface.

// Near ground: two neighbouring columns, each with its own samples, strips
// 8 rows tall.
void DrawNearColumns(Pixel* surface, int column, const Pixel* left_samples,
                     const Pixel* right_samples, int rows, int first_top, GroundScratch& g) {
    constexpr int kLength = 8;
    const auto [left_first, left_last] =
        ColumnStrips(left_samples, rows, first_top, g.left_top.data(), g.left_colour.data());
    const auto [right_first, right_last] =
        ColumnStrips(right_samples, rows, first_top, g.right_top.data(), g.right_colour.data());
    const int first = std::min(left_first, right_first);
    const int end = std::max(left_last, right_last) + kLength;
    Pixel* left = g.left.get();
    Pixel* right = g.right.get();
    constexpr Pixel kUncovered = 0xffffffff;
    std::fill(left + first, left + end, kUncovered);
    std::fill(right + first, right + end, kUncovered);
    for (int n = 0; n < rows; ++n) {
        // The colours held in locals: the fill goes through a reference to
        // its value, and a strip's pixels could be the colour's own storage
        // as far as the compiler knows, so it read the colour again for each
        // pixel.
        const Pixel left_colour = g.left_colour[n], right_colour = g.right_colour[n];
        std::fill_n(left + g.left_top[n], kLength, left_colour);
        std::fill_n(right + g.right_top[n], kLength, right_colour);
    }
    Pixel* pair = surface + column;
    for (int r = first; r < end; ++r) {
        const Pixel a = left[r], b = right[r];
        if (a != kUncovered && b != kUncovered) {
            const std::uint64_t both = a | (static_cast<std::uint64_t>(b) << 32);
            std::memcpy(pair + r * kPitch, &both, sizeof both);
        } else {
            if (a != kUncovered) pair[r * kPitch] = a;
            if (b != kUncovered) pair[r * kPitch + 1] = b;
        }
    }
}

// Far ground: a pair of columns sharing each sample, strips 9 rows tall;
// the pair is filled and written as one 64-bit value a row.
void DrawFarColumns(Pixel* surface, int column, const Pixel* samples, int rows, int first_top,
                    GroundScratch& g) {
    constexpr int kLength = 9;
    const auto [first, last] =
        ColumnStrips(samples, rows, first_top, g.left_top.data(), g.left_colour.data());
    const int end = last + kLength;
    std::uint64_t* pairs = g.pairs.get();
    constexpr std::uint64_t kUncovered = ~0ull;
    std::fill(pairs + first, pairs + end, kUncovered);
    for (int n = 0; n < rows; ++n)
        std::fill_n(pairs + g.left_top[n], kLength, g.left_colour[n] * 0x100000001ull);
    Pixel* pair = surface + column;
    for (int r = first; r < end; ++r)
        if (pairs[r] != kUncovered) std::memcpy(pair + r * kPitch, pairs + r, sizeof *pairs);
}

using LaneSamples = std::array<Pixel, kWidth * kLanes>;

}  // namespace

void SkyPass(Pixel* surface, const Pixel* clouds, const ScanTables& scan) {
    // Each row is drawn once and copied to the row above it.
    LaneSamples samples;
    for (int m0 = 0; m0 <= 117; m0 += kLanes) {
        const int count = std::min(kLanes, 118 - m0);
        WalkScanRows(StartLanes(scan, 2 * m0, 2, count, 1.0), kWidth, 255, 127, 8, clouds,
                     samples.data(), kLanes);
        for (int l = 0; l < count; ++l) {
            Pixel* row = surface + (256 - 2 * (m0 + l)) * kPitch;
            for (int k = 0; k < kWidth; ++k) row[k] = samples[k * kLanes + l];
            std::memcpy(row - kPitch, row, kWidth * sizeof(Pixel));
        }
    }
}

void FarGroundPass(Pixel* surface, const Pixel* lit, const ScanTables& scan,
                   GroundScratch& scratch) {
    // Scan rows 0 to 97 on screen rows 228 to 325, one sample per two
    // columns, each drawn 2 columns wide and 9 rows tall.
    Pixel* samples = scratch.samples.get();
    WalkGroundRows(scan, 0, 98, kWidth / 2, 2.0, lit, samples);
    for (int s = 0; s < kWidth / 2; ++s) {
        DrawFarColumns(surface, 2 * s, samples + s * GroundScratch::kColumnStride, 98, 228 - 127,
                       scratch);
    }
}

void NearGroundPass(Pixel* surface, const Pixel* lit, const ScanTables& scan,
                    GroundScratch& scratch) {
    // Scan rows 98 to 251 on screen rows 326 to 479, one sample per column,
    // each drawn 8 rows tall.
    Pixel* samples = scratch.samples.get();
    WalkGroundRows(scan, 98, 154, kWidth, 1.0, lit, samples);
    for (int k = 0; k < kWidth; k += 2) {
        const Pixel* left = samples + k * GroundScratch::kColumnStride;
        DrawNearColumns(surface, k, left, left + GroundScratch::kColumnStride, 154, 326 - 127,
                        scratch);
    }
}

namespace {

// Melts the 640 pixels from p on. Lp is the pixel just replaced, Rt the next
// one not yet replaced (p[640] for the last); the carry brings the run
// before's last pixel. The red channel takes Rt's red once.
void MeltRun(Pixel* p, ChannelCarry& left) { MixChannelsRun(p, left, 1); }

}  // namespace

void MeltPass(Pixel* surface) {
    // Column 0 mixes with the end of the row above and column 639 with the
    // start of the row below.
    ChainRows(surface, MeltRun);
}

namespace {


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
          spot_(std::make_unique<std::uint8_t[]>(kSpotLightBytes)),
          light_offsets_(std::make_unique<std::uint32_t[]>(kMapTexels)) {
        data.Read(kColourMap, colours_.get());
        data.Read(kCloudSky, raw_clouds_.get());
        data.Read(kHeightMap, heights_.get());
        data.Read(kBumpMap, bump_.get());
        ConvertRgb24Row(raw_clouds_.get(), kCloudTexels, clouds_.get());
        BuildSpotLightMap(spot_.get());
        BuildSlopeMaps(bump_.get(), slope_x_.get(), slope_y_.get());
        BuildLightOffsets(slope_x_.get(), slope_y_.get(), light_offsets_.get());
        PackHeights(heights_.get(), colours_.get());
    }

    void Draw(Pixel* surface, SceneClock t) override {
        std::memset(surface, 0, 22 * kPitch * sizeof(Pixel));
        if (t < kMeltFrom) {
            // The light follows corner 2 as the previous frame left it.
            LightingPass(colours_.get(), light_offsets_.get(), spot_.get(), corners_[2],
                         lit_.get());
            UpdateCorners(motion_, corners_);
            AdvanceMotion(motion_);
            BuildScanTables(corners_, scan_);
            SkyPass(surface, clouds_.get(), scan_);
            FarGroundPass(surface, lit_.get(), scan_, ground_);
            NearGroundPass(surface, lit_.get(), scan_, ground_);
        } else {
            // The lit map and the scan tables are rewritten in full before a
            // landscape frame reads them, so a melt frame only moves the view.
            UpdateCorners(motion_, corners_);
            AdvanceMotion(motion_);
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
    std::unique_ptr<std::uint8_t[]> spot_;
    std::unique_ptr<std::uint32_t[]> light_offsets_;
    GroundScratch ground_;
};

}  // namespace

std::unique_ptr<Scene> Start(const DataDir& data) { return std::make_unique<LandscapeScene>(data); }

}  // namespace zep::inline ZEP_CODE_PATH::landscape

#pragma GCC diagnostic pop
