#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "bench/bench_data.h"
#include "datagen/datagen.h"

namespace zep::bench {

const DataDir& DefaultData() {
    static const DataDir data = [] {
        char name[] = "/tmp/zep-bench-XXXXXX";
        if (!::mkdtemp(name)) std::abort();
        datagen::WriteDefaultData(name);
        static const std::filesystem::path dir = name;
        std::atexit([] { std::filesystem::remove_all(dir); });
        return DataDir(dir);
    }();
    return data;
}

std::vector<Pixel> MakeSurface() { return std::vector<Pixel>(kSurfacePixels, 0); }

std::unique_ptr<Scene> StartScene(const SceneEntry& entry, std::vector<Pixel>& surface,
                                  int warmup, SceneClock t) {
    std::unique_ptr<Scene> scene = entry.start(DefaultData());
    for (int i = 0; i < warmup; ++i) scene->Draw(surface.data(), t);
    return scene;
}

}  // namespace zep::bench

BENCHMARK_MAIN();
