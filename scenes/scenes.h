// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The scene table: the demo's scenes in the order they are shown, each with
// its end time and README picture frame (scenes/scenes.cpp); shell/schedule.h
// derives the frames.
#pragma once

#include "core/code_path.h"
#include "scenes/scene.h"

namespace zep::inline ZEP_CODE_PATH {

// All of them in order, as this copy of the scenes (core/code_path.h) runs them.
extern const DemoScenes kDemoScenes;

}  // namespace zep::inline ZEP_CODE_PATH
