// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/bench_data.h"
#include "scenes/landscape/landscape.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

// One melt frame: the view update and the in-place smear.
void BM_LandscapeMelt(benchmark::State& state) {
    SteadyScene steady = StartScene(landscape::kScene, 30, 45.0);
    MeasureDraw(state, *steady.scene, steady.surface, 60.0, 478 * kWidth);
}

// The lighting of the 512 x 512 terrain alone.
void BM_LandscapeLighting(benchmark::State& state) {
    using namespace landscape;
    std::vector<Pixel> colours(kMapTexels), lit(kMapTexels);
    std::vector<std::uint8_t> bump(kMapTexels), spot(kSpotLightBytes);
    std::vector<std::int32_t> slope_x(kMapTexels), slope_y(kMapTexels);
    std::vector<std::uint32_t> offsets(kMapTexels);
    DefaultData().Read(kColourMap, colours.data());
    DefaultData().Read(kBumpMap, bump.data());
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
    // One landscape frame: lighting, view update, sky and both ground passes.
    RegisterSceneDraw("BM_LandscapeDraw", landscape::kScene, 30, 45.0);
    RegisterMilliseconds("BM_LandscapeMelt", BM_LandscapeMelt);
    RegisterMilliseconds("BM_LandscapeLighting", BM_LandscapeLighting);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
