#include "tests/scene_support.h"

namespace zep::test {

std::vector<Pixel> MakeSurface() { return std::vector<Pixel>(kSurfacePixels, 0); }

std::unique_ptr<Scene> RunScene(const SceneEntry& entry, const DataDir& data,
                                std::vector<Pixel>& surface, int frames, double first_clock,
                                double fps) {
    std::unique_ptr<Scene> scene = entry.start(data);
    for (int n = 0; n < frames; ++n) scene->Draw(surface.data(), first_clock + n / fps);
    return scene;
}

std::unique_ptr<Scene> RunSceneAt(const SceneEntry& entry, const DataDir& data,
                                  std::vector<Pixel>& surface, int frames, SceneClock t) {
    std::unique_ptr<Scene> scene = entry.start(data);
    for (int n = 0; n < frames; ++n) scene->Draw(surface.data(), t);
    return scene;
}

}  // namespace zep::test
