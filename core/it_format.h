// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The Impulse Tracker module format's flags that both the module's writer
// (zep-data) and its check at load time (the music layer) read or write.
#pragma once

namespace zep::it {

// The header's flags.
inline constexpr int kFlagStereo = 0x01;
inline constexpr int kFlagInstruments = 0x04;
inline constexpr int kFlagLinearSlides = 0x08;

// A sample header's flags.
inline constexpr int kSampleHasData = 0x01;
inline constexpr int kSample16Bit = 0x02;
inline constexpr int kSampleStereo = 0x04;
inline constexpr int kSampleCompressed = 0x08;
inline constexpr int kSampleLoop = 0x10;

}  // namespace zep::it
