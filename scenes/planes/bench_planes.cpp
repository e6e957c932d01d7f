// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/planes/planes.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

// The smear alone (serial: each pixel depends on the one before).
void BM_PlanesSmear(benchmark::State& state) {
    SteadyScene steady = StartScene(planes::kScene, 1, 3.0);
    MeasurePass(state, steady.surface, planes::SmearPass, 478 * kWidth);
}

// The three summed planes alone, without logo and smear.
void BM_PlanesFill(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    std::vector<Pixel> textures(3 * kTexturePixels);
    for (std::size_t i = 0; i < textures.size(); ++i) textures[i] = static_cast<Pixel>(i * 2654435761u);
    planes::PlaneTables tables[3];
    planes::TexturePlane plane[3];
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 50; ++k) planes::AdvancePlane(plane[i], planes::kPlaneSteps[i]);
        planes::BuildPlaneTables(planes::ComputePlaneFrame(plane[i], planes::kPlaneSteps[i]), tables[i]);
    }
    const Pixel* const tex[3] = {&textures[0], &textures[kTexturePixels], &textures[2 * kTexturePixels]};
    const planes::PlaneTables* const tab[3] = {&tables[0], &tables[1], &tables[2]};
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y) planes::FillPlanesRow(surface.data(), y, tex, tab);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kScreenPixels);
}

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    // One frame of the layered planes: three planes, a logo strip, the smear
    // (inside the first logo window).
    RegisterSceneDraw("BM_PlanesDraw", planes::kScene, 30, 9.0);
    RegisterMilliseconds("BM_PlanesSmear", BM_PlanesSmear);
    RegisterMilliseconds("BM_PlanesFill", BM_PlanesFill);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
