// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// A look at an Impulse Tracker module's structure before it is decoded:
// libopenmpt plays a damaged file (cut short, or overwritten) as silence
// rather than refusing it, so a module whose parts lie outside the file is
// found here, when it is loaded, instead of by listening.
#pragma once

#include <string>
#include <vector>

namespace zep {

// What is wrong with the Impulse Tracker module in `bytes`: a header,
// instrument, sample or pattern that lies outside the file or lacks its
// mark, a pattern whose packed rows run past their length, or nothing to
// play (no order naming a pattern, no sample with data). Empty when the
// module is whole, and for files of other formats.
std::string ItModuleDamage(const std::vector<char>& bytes);

}  // namespace zep
