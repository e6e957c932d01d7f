// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "scenes/stamp_tunnel/stamp_tunnel.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "scenes/quarter_chain.h"

namespace zep::inline ZEP_CODE_PATH::stamp_tunnel {

bool StampsAt(SceneClock t) { return kStampsAfter < t && t < kStampsBefore; }

std::uint32_t StampRandom::Next() {
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7fff;
}

StampOffset DrawStampOffset(StampRandom& random) {
    const int dx = static_cast<int>(random.Next() % 160) - 80;
    const int dy = static_cast<int>(random.Next() % 160) - 80;
    return {dx, dy};
}

void ChannelStamp(Pixel* surface, const std::uint8_t* stamp, StampChannel channel,
                  StampOffset offset) {
    int byte = 0, shift = 0;
    switch (channel) {
        case StampChannel::kBlue: byte = 2; shift = 0; break;
        case StampChannel::kGreen: byte = 1; shift = 8; break;
        case StampChannel::kRed: byte = 0; shift = 16; break;
    }
    const Pixel keep = ~(Pixel{0xff} << shift) & 0x00ffffffu;
    for (int r = 0; r < kStampSide; ++r) {
        const std::uint8_t* from = stamp + r * kStampSide * 3 + byte;
        Pixel* to = surface + (208 + offset.dy + r) * kPitch + 288 + offset.dx;
        for (int c = 0; c < kStampSide; ++c) {
            const Pixel value = from[3 * c];
            if (value != 0) to[c] = (to[c] & keep) | (value << shift);
        }
    }
}

void StampFrame(Pixel* surface, const std::uint8_t* stamp, StampRandom& random) {
    for (StampChannel channel : {StampChannel::kBlue, StampChannel::kGreen, StampChannel::kRed})
        ChannelStamp(surface, stamp, channel, DrawStampOffset(random));
}

namespace {

// Source row of row y and source column of column x of the magnification.
constexpr int ZoomSourceRow(int y) { return static_cast<int>(30 + 0.875 * y); }
constexpr int ZoomSourceColumn(int x) { return static_cast<int>(40 + 0.875 * x); }

// Every eight columns 8k..8k+7 take the seven source columns from 40 + 7k,
// the first of them twice.
constexpr bool SourceColumnsRepeatEveryEight() {
    constexpr int kStep[8] = {0, 0, 1, 2, 3, 4, 5, 6};
    for (int x = 0; x < kWidth; ++x)
        if (ZoomSourceColumn(x) != 40 + 7 * (x / 8) + kStep[x % 8]) return false;
    return true;
}
static_assert(SourceColumnsRepeatEveryEight());

// The source row of a top-half row is that row or one below it, still in the
// top half; of a bottom-half row, that row or one above it, still in the
// bottom half.
constexpr bool SourceRowsLieTowardTheCentre() {
    for (int y = 0; y < kHeight; ++y) {
        const int s = ZoomSourceRow(y);
        if (y < kHeight / 2 ? (s < y || s >= kHeight / 2) : (s > y || s < kHeight / 2))
            return false;
    }
    return true;
}
static_assert(SourceRowsLieTowardTheCentre());

// Row y of the magnified picture from its source row: each eight pixels are
// source pixels 0, 0, 1, 2, 3, 4, 5, 6 from the group's first, one shuffle of
// the eight read from there (AVX2) or of the four from pixel 0, followed by
// the four from pixel 3 as they are.
void MagnifyRow(Pixel* dst, const Pixel* src) {
#if defined(__AVX2__)
    typedef Pixel Eight __attribute__((vector_size(32)));
    for (int k = 0; k < kWidth / 8; ++k) {
        Eight group;
        std::memcpy(&group, src + 40 + 7 * k, sizeof group);
        const Eight row = __builtin_shufflevector(group, group, 0, 0, 1, 2, 3, 4, 5, 6);
        std::memcpy(dst + 8 * k, &row, sizeof row);
    }
#else
    typedef Pixel Quad __attribute__((vector_size(16)));
    for (int k = 0; k < kWidth / 8; ++k) {
        const Pixel* s = src + 40 + 7 * k;
        Quad first, second;
        std::memcpy(&first, s, sizeof first);
        std::memcpy(&second, s + 3, sizeof second);
        const Quad front = __builtin_shufflevector(first, first, 0, 0, 1, 2);
        std::memcpy(dst + 8 * k, &front, sizeof front);
        std::memcpy(dst + 8 * k + 4, &second, sizeof second);
    }
#endif
}

void MagnifyRowFrom(Pixel* surface, int y, Pixel* scratch) {
    const int source = ZoomSourceRow(y);
    Pixel* dst = surface + y * kPitch;
    if (source == y) {
        std::copy(dst, dst + kWidth, scratch);
        MagnifyRow(dst, scratch);
    } else {
        MagnifyRow(dst, surface + source * kPitch);
    }
}

}  // namespace

void MagnifyPass(Pixel* surface) {
    // Going from the top and bottom edges toward the centre, a row's source
    // row (see SourceRowsLieTowardTheCentre) is still untouched when the row
    // is written, or is the row itself (rows 233-240), which is copied
    // first: each pixel gets the value its source had before the pass, as
    // when each quadrant is swept inward pixel by pixel.
    Pixel scratch[kWidth];
    for (int y = 0; y < kHeight / 2; ++y) MagnifyRowFrom(surface, y, scratch);
    for (int y = kHeight - 1; y >= kHeight / 2; --y) MagnifyRowFrom(surface, y, scratch);
}

namespace {

// Mixes the 640 pixels from p on, whose left neighbour's mixed channels are
// in `left`; p[640] is read as the right neighbour of the last one, whose
// red the red channel takes twice.
void MixRun(Pixel* p, ChannelCarry& left) { MixChannelsRun(p, left, 2); }

}  // namespace

void ColourMixPass(Pixel* surface) { ChainRows(surface, MixRun); }

namespace {


class StampTunnelScene : public Scene {
public:
    explicit StampTunnelScene(const DataDir& data)
        : stamp_(std::make_unique<std::uint8_t[]>(kStampBytes)) {
        data.Read(kStamp, stamp_.get());
    }

    void Draw(Pixel* surface, SceneClock t) override {
        if (StampsAt(t)) StampFrame(surface, stamp_.get(), random_);
        MagnifyPass(surface);
        ColourMixPass(surface);
    }

    PresentRows Present() const override { return {1, 479}; }

private:
    std::unique_ptr<std::uint8_t[]> stamp_;
    // The program's only random numbers: the generator starts at 1 and
    // nothing but this scene, which runs once, draws from it.
    StampRandom random_;
};

}  // namespace

std::unique_ptr<Scene> Start(const DataDir& data) { return std::make_unique<StampTunnelScene>(data); }

}  // namespace zep::inline ZEP_CODE_PATH::stamp_tunnel
