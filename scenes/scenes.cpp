// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "scenes/scenes.h"

#include <array>
#include <iterator>

#include "scenes/chrome/chrome.h"
#include "scenes/cube/cube.h"
#include "scenes/landscape/landscape.h"
#include "scenes/planes/planes.h"
#include "scenes/polar_tunnel/polar_tunnel.h"
#include "scenes/stamp_tunnel/stamp_tunnel.h"

namespace zep::inline ZEP_CODE_PATH {

namespace {

// The schedule, one line per scene in the order they are shown: the scene,
// the clock value it ends at, and the frame of it (from 1, at 60 frames a
// second) that its picture in the README shows. The table is constant: it
// is data in the program, with no code to run before main() (which, in the
// AVX2 copy, would run on CPUs without AVX2).
constexpr SceneEntry kTable[] = {
    ScheduleRow(planes::kScene, 22.0, 600),
    ScheduleRow(cube::kScene, 37.0, 580),
    ScheduleRow(landscape::kScene, 60.5, 880),
    ScheduleRow(chrome::kScene, 75.5, 530),
    ScheduleRow(stamp_tunnel::kScene, 86.0, 290),
    ScheduleRow(polar_tunnel::kScene, 107.2, 600),
};

constexpr auto kSequence = [] {
    std::array<const SceneEntry*, std::size(kTable)> lines{};
    for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = &kTable[i];
    return lines;
}();

}  // namespace

const DemoScenes kDemoScenes = kSequence;

}  // namespace zep::inline ZEP_CODE_PATH
