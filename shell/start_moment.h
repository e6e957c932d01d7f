// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// A moment of the run to start at, written as the player's --start,
// zep-render's --start and the page's links write it. Every program turns it
// into the same frame, so a picture named by a moment is the same picture
// everywhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "scenes/scene.h"

namespace zep {

// The usage line for a moment, for the programs' help texts.
inline constexpr const char* kStartMomentForms =
    "seconds (86, 86.5 or t=86) or a scene by its number or name "
    "(scene=5, scene=landscape or landscape)";

// The first frame to show (frames count from 1; frame n is drawn at clock
// n / fps) for `text`:
//   - seconds: "86", "86.5", "t=86", "86s" -- the first frame whose clock has
//     reached that time, frame 1 for 0;
//   - a scene: "scene=5" (counted from 1), "scene=NAME" or "NAME" -- its first
//     frame. A name matches whole, with '-' or '_' for its spaces and in any
//     case, or by one of its words that no other scene's name has.
// nullopt, with `error` saying what is wrong, for anything else, and for a
// time at or past the run's last frame's clock.
std::optional<long> ParseStartMoment(DemoScenes sequence, std::string_view text, double fps,
                                     std::string& error);

}  // namespace zep
