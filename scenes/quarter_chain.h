// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The serial chain behind the channel-mixing filters: along one run of 640
// pixels in memory order, out[n] = (in[n] + out[n - 1]) >> 2, where out[-1]
// is the last value of the run before.
//
// Unrolled over a block of eight that starts after a known out value c it is
//   out[i] = (sum_{j <= i} in[j] * 4^j + c) >> (2i + 2),
// because (m + (s >> 2k)) >> 2 == (4^k m + s) >> (2k + 2) for non-negative
// integers. Only the block's last value waits for the block before it; the
// rest of the work is independent. With every in[n] below 1024 the sums
// stay below 2^25.
//
// Written as plain loops, the sums inside a block are a serial prefix that
// neither GCC nor Clang vectorises well (Clang's attempt is slower than
// scalar code), so the two forms below say how the vectors go.
#pragma once

#include <cstdint>

#if defined(__AVX2__)
#include <immintrin.h>
#endif

#include "core/code_path.h"
#include "core/types.h"

namespace zep::inline ZEP_CODE_PATH {

inline constexpr int kChainRun = kWidth;

#if defined(__AVX2__)

// One block of eight is one vector: AVX2 shifts each lane by its own count,
// and the sums through each element are a prefix scan in three steps.
inline void QuarterChain(const std::uint32_t* in, std::uint32_t* out, std::uint32_t& carry) {
    constexpr int kBlocks = kChainRun / 8;
    alignas(32) std::uint32_t sums[kChainRun];
    const __m256i scale = _mm256_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14);
    for (int k = 0; k < kBlocks; ++k) {
        const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 8 * k));
        __m256i sum = _mm256_sllv_epi32(block, scale);
        // Within each half: add the element one to the left, then two.
        sum = _mm256_add_epi32(sum, _mm256_slli_si256(sum, 4));
        sum = _mm256_add_epi32(sum, _mm256_slli_si256(sum, 8));
        // Then the low half's total into every element of the high half.
        const __m256i low_total = _mm256_shuffle_epi32(sum, 0xff);
        sum = _mm256_add_epi32(sum, _mm256_permute2x128_si256(low_total, low_total, 0x08));
        _mm256_store_si256(reinterpret_cast<__m256i*>(sums + 8 * k), sum);
    }
    const __m256i shift = _mm256_setr_epi32(2, 4, 6, 8, 10, 12, 14, 16);
    std::uint32_t c = carry;
    for (int k = 0; k < kBlocks; ++k) {
        const __m256i s = _mm256_load_si256(reinterpret_cast<const __m256i*>(sums + 8 * k));
        const __m256i start = _mm256_set1_epi32(static_cast<int>(c));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8 * k),
                            _mm256_srlv_epi32(_mm256_add_epi32(s, start), shift));
        c = (sums[8 * k + 7] + c) >> 16;
    }
    carry = c;
}

#else

// Without per-lane shift counts (SSE2, WebAssembly SIMD; NEON does as well
// this way), the blocks are taken four at a time and transposed: one vector
// holds element i of four neighbouring blocks, and every shift above is by
// one count for the whole vector.
using ChainLanes = std::uint32_t __attribute__((vector_size(16)));

// Transposes the 4x4 matrix whose rows are a, b, c and d.
inline void Transpose4(ChainLanes& a, ChainLanes& b, ChainLanes& c, ChainLanes& d) {
    const ChainLanes ab_low = __builtin_shufflevector(a, b, 0, 4, 1, 5);
    const ChainLanes ab_high = __builtin_shufflevector(a, b, 2, 6, 3, 7);
    const ChainLanes cd_low = __builtin_shufflevector(c, d, 0, 4, 1, 5);
    const ChainLanes cd_high = __builtin_shufflevector(c, d, 2, 6, 3, 7);
    a = __builtin_shufflevector(ab_low, cd_low, 0, 1, 4, 5);
    b = __builtin_shufflevector(ab_low, cd_low, 2, 3, 6, 7);
    c = __builtin_shufflevector(ab_high, cd_high, 0, 1, 4, 5);
    d = __builtin_shufflevector(ab_high, cd_high, 2, 3, 6, 7);
}

// `carry` is out[-1] on entry and out[639] on return.
inline void QuarterChain(const std::uint32_t* in, std::uint32_t* out, std::uint32_t& carry) {
    std::uint32_t c = carry;
    for (int g = 0; g < kChainRun; g += 32) {
        // h[2b] and h[2b + 1] are the two halves of block b of the four.
        ChainLanes h[8];
        for (int j = 0; j < 8; ++j) __builtin_memcpy(&h[j], in + g + 4 * j, sizeof h[j]);
        Transpose4(h[0], h[2], h[4], h[6]);
        Transpose4(h[1], h[3], h[5], h[7]);
        // e[i]: element i of each block, then its sum through element i.
        ChainLanes e[8] = {h[0], h[2], h[4], h[6], h[1], h[3], h[5], h[7]};
        ChainLanes total = {0, 0, 0, 0};
        for (int i = 0; i < 8; ++i) {
            total += e[i] << (2 * i);
            e[i] = total;
        }
        // The value each block starts after, one block after the other, made
        // into a vector at once (lanes written one by one would go through
        // memory and stall the load that reads them back).
        const std::uint32_t c0 = c, c1 = (total[0] + c0) >> 16, c2 = (total[1] + c1) >> 16,
                            c3 = (total[2] + c2) >> 16;
        c = (total[3] + c3) >> 16;
        const ChainLanes starts = {c0, c1, c2, c3};
        for (int i = 0; i < 8; ++i) e[i] = (e[i] + starts) >> (2 * i + 2);
        Transpose4(e[0], e[1], e[2], e[3]);
        Transpose4(e[4], e[5], e[6], e[7]);
        for (int b = 0; b < 4; ++b) {
            __builtin_memcpy(out + g + 8 * b, &e[b], sizeof e[b]);
            __builtin_memcpy(out + g + 8 * b + 4, &e[4 + b], sizeof e[b]);
        }
    }
    carry = c;
}

#endif

// The three channels of the last filtered pixel, carried from run to run.
struct ChannelCarry {
    std::uint32_t r, g, b;
};

inline ChannelCarry CarryOf(Pixel p) { return {Red(p), Green(p), Blue(p)}; }

// The colour mix that the landscape's melt and the stamp tunnel share, over
// the 640 pixels from p on; `left` holds the mixed channels of the pixel
// before, and p[640] is read as the right neighbour of the last one. Each
// channel is a quarter chain over its own inputs:
//   green = chain(R + G + B), blue = chain(B + green),
//   red   = chain(G + right_red_weight * R of the right neighbour).
inline void MixChannelsRun(Pixel* p, ChannelCarry& left, std::uint32_t right_red_weight) {
    alignas(64) std::uint32_t green_in[kChainRun], blue_in[kChainRun], red_in[kChainRun];
    alignas(64) std::uint32_t green[kChainRun], blue[kChainRun], red[kChainRun];
    for (int x = 0; x < kChainRun; ++x) {
        const Pixel cur = p[x];
        green_in[x] = Red(cur) + Blue(cur) + Green(cur);
        blue_in[x] = Blue(cur);
        red_in[x] = Green(cur);
    }
    // The right neighbour's term has a loop of its own: in the loop above,
    // the compiler would carry p[x + 1] over to the next step as a scalar
    // and leave the loop unvectorised for WebAssembly.
    for (int x = 0; x < kChainRun; ++x) red_in[x] += right_red_weight * Red(p[x + 1]);
    QuarterChain(green_in, green, left.g);
    for (int x = 0; x < kChainRun; ++x) blue_in[x] += green[x];
    QuarterChain(blue_in, blue, left.b);
    QuarterChain(red_in, red, left.r);
    for (int x = 0; x < kChainRun; ++x) p[x] = (red[x] << 16) | (green[x] << 8) | blue[x];
}

// Filters rows 1 to 478 as one run of elements, `run` taking 640 pixels at a
// time: the left neighbour of a row's first pixel is the last pixel of the
// row above, the right neighbour of its last pixel the first of the row
// below. The run starts after row 0's last pixel, which no filter changes.
inline void ChainRows(Pixel* surface, void (*run)(Pixel* row, ChannelCarry& left)) {
    ChannelCarry left = CarryOf(surface[kPitch - 1]);
    for (int y = 1; y <= 478; ++y) run(surface + y * kPitch, left);
}

}  // namespace zep::inline ZEP_CODE_PATH
