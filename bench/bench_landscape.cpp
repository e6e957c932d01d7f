#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/bench_data.h"
#include "scenes/landscape.h"
#include "scenes/scenes.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

// One landscape frame: lighting, view update, sky and both ground passes.
void BM_LandscapeDraw(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    const SceneClock t = 45.0;
    auto scene = StartScene(kLandscapeScene, surface, 30, t);
    MeasureDraw(state, *scene, surface, t);
}

// One melt frame: the view update and the in-place smear.
void BM_LandscapeMelt(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    auto scene = StartScene(kLandscapeScene, surface, 30, 45.0);
    const SceneClock t = 60.0;
    MeasureDraw(state, *scene, surface, t, 478 * kWidth);
}

// The lighting of the 512 x 512 terrain alone.
void BM_LandscapeLighting(benchmark::State& state) {
    using namespace landscape;
    std::vector<Pixel> colours(kMapTexels), lit(kMapTexels);
    std::vector<std::uint8_t> bump(kMapTexels), spot(kSpotLightBytes);
    std::vector<std::int32_t> slope_x(kMapTexels), slope_y(kMapTexels);
    std::vector<std::uint32_t> offsets(kMapTexels);
    DefaultData().Read({"hoyc2.raw", kColourMapBytes}, colours.data());
    DefaultData().Read({"512bump.raw", kByteMapBytes}, bump.data());
    BuildSpotLightMap(spot.data());
    BuildSlopeMaps(bump.data(), slope_x.data(), slope_y.data());
    BuildLightOffsets(slope_x.data(), slope_y.data(), offsets.data());
    Point light{};
    for (auto _ : state) {
        LightingPass(colours.data(), offsets.data(), spot.data(), light, lit.data());
        benchmark::ClobberMemory();
        light.x += 3;
        light.y -= 2;
    }
    state.SetItemsProcessed(state.iterations() * kMapTexels);
}

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    benchmark::RegisterBenchmark("BM_LandscapeDraw", BM_LandscapeDraw)->Unit(benchmark::kMillisecond)->MinTime(1.0);
    benchmark::RegisterBenchmark("BM_LandscapeMelt", BM_LandscapeMelt)->Unit(benchmark::kMillisecond)->MinTime(1.0);
    benchmark::RegisterBenchmark("BM_LandscapeLighting", BM_LandscapeLighting)->Unit(benchmark::kMillisecond)->MinTime(1.0);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
