// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "scenes/support/scene_run.h"

namespace zep::test {

std::vector<Pixel> MakeSurface() { return std::vector<Pixel>(kSurfacePixels, 0); }

std::unique_ptr<Scene> RunScene(const SceneKind& scene_kind, const DataDir& data,
                                std::vector<Pixel>& surface, int frames, double first_clock,
                                double fps) {
    std::unique_ptr<Scene> scene = scene_kind.start(data);
    for (int n = 0; n < frames; ++n) scene->Draw(surface.data(), first_clock + n / fps);
    return scene;
}

std::unique_ptr<Scene> RunSceneAt(const SceneKind& scene_kind, const DataDir& data,
                                  std::vector<Pixel>& surface, int frames, SceneClock t) {
    std::unique_ptr<Scene> scene = scene_kind.start(data);
    for (int n = 0; n < frames; ++n) scene->Draw(surface.data(), t);
    return scene;
}

}  // namespace zep::test
