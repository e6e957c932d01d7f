// The serial chain behind the channel-mixing filters: along one run of 640
// pixels in memory order, out[n] = (in[n] + out[n - 1]) >> 2, where out[-1]
// is the last value of the run before.
//
// Unrolled over a block of eight that starts after a known out value c it is
//   out[i] = (sum_{j <= i} in[j] * 4^j + c) >> (2i + 2),
// because (m + (s >> 2k)) >> 2 == (4^k m + s) >> (2k + 2) for non-negative
// integers. Only the block's last value waits for the block before it; the
// rest of the work is independent, so the compiler vectorises it. With every
// in[n] below 1024 the sums stay below 2^25.
#pragma once

#include <cstdint>

#include "shell/code_path.h"
#include "shell/types.h"

namespace zep::inline ZEP_CODE_PATH {

inline constexpr int kChainRun = kWidth;

// `carry` is out[-1] on entry and out[639] on return.
inline void QuarterChain(const std::uint32_t* in, std::uint32_t* out, std::uint32_t& carry) {
    constexpr int kBlocks = kChainRun / 8;
    alignas(64) std::uint32_t sums[kChainRun];
    for (int k = 0; k < kBlocks; ++k) {
        std::uint32_t total = 0;
        for (int i = 0; i < 8; ++i) {
            total += in[8 * k + i] << (2 * i);
            sums[8 * k + i] = total;
        }
    }
    std::uint32_t c = carry;
    for (int k = 0; k < kBlocks; ++k) {
        const std::uint32_t* s = sums + 8 * k;
        std::uint32_t* o = out + 8 * k;
        for (int i = 0; i < 8; ++i) o[i] = (s[i] + c) >> (2 * i + 2);
        c = (s[7] + c) >> 16;
    }
    carry = c;
}

// The three channels of the last filtered pixel, carried from run to run.
struct ChannelCarry {
    std::uint32_t r, g, b;
};

inline ChannelCarry CarryOf(Pixel p) { return {Red(p), Green(p), Blue(p)}; }

}  // namespace zep::inline ZEP_CODE_PATH
