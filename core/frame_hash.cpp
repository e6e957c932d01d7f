// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "core/frame_hash.h"

#include <cstdio>

namespace zep {

std::uint64_t FrameHash(const Pixel* picture) {
    std::uint64_t h = kFnvOffsetBasis;
    for (int i = 0; i < kScreenPixels; ++i) {
        const Pixel p = picture[i];
        h = (h ^ (p & 0xff)) * kFnvPrime;
        h = (h ^ ((p >> 8) & 0xff)) * kFnvPrime;
        h = (h ^ ((p >> 16) & 0xff)) * kFnvPrime;
    }
    return h;
}

std::string FrameHashLine(long frame, std::uint64_t hash) {
    char line[48];
    std::snprintf(line, sizeof line, "%06ld %016llx\n", frame,
                  static_cast<unsigned long long>(hash));
    return line;
}

}  // namespace zep
