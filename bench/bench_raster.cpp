// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "bench/bench_data.h"
#include "raster/shaded_triangle.h"
#include "raster/textured_triangle.h"
#include "scenes/chrome/chrome.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

// Texels with a clear top byte, so written pixels can be told from the
// marked surface.
std::vector<Pixel> PatternTexture() {
    std::vector<Pixel> texture(kTexturePixels);
    for (int i = 0; i < kTexturePixels; ++i) texture[i] = static_cast<Pixel>(i * 2654435761u) >> 8;
    return texture;
}

// How many pixels one call of `draw` writes.
template <typename Draw>
std::int64_t Covered(Draw draw) {
    std::vector<Pixel> surface(kSurfacePixels, 0xff000000u);
    draw(surface.data());
    return std::count_if(surface.begin(), surface.end(), [](Pixel p) { return p >> 24 == 0; });
}

// A clockwise triangle of side `size` pixels (about size * size / 2 pixels),
// texture corners spread over the whole texture.
void BM_TexturedTriangle(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    std::vector<Pixel> surface = MakeSurface();
    const std::vector<Pixel> texture = PatternTexture();
    const TexturedVertex a{100, 60, 0, 0}, b{100 + size, 60 + size / 3, 255, 40};
    const TexturedVertex c{110, 60 + size, 20, 255};
    for (auto _ : state) {
        DrawTexturedTriangle(a, b, c, texture.data(), surface.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * Covered([&](Pixel* s) {
                                DrawTexturedTriangle(a, b, c, texture.data(), s);
                            }));
}

void BM_ShadedTriangle(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    std::vector<Pixel> surface = MakeSurface();
    const std::vector<Pixel> texture = PatternTexture();
    std::vector<std::uint32_t> table(kShadeTableEntries);
    chrome::FillShadeTable(table.data());
    const ShadedVertex a{100, 60, 30, 40, 250}, b{100 + size, 60 + size / 3, 200, 60, 120};
    const ShadedVertex c{110, 60 + size, 90, 220, 40};
    for (auto _ : state) {
        DrawShadedTriangle(a, b, c, texture.data(), surface.data(), table.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * Covered([&](Pixel* s) {
                                DrawShadedTriangle(a, b, c, texture.data(), s, table.data());
                            }));
}

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    benchmark::RegisterBenchmark("BM_TexturedTriangle", BM_TexturedTriangle)->Arg(12)->Arg(200);
    benchmark::RegisterBenchmark("BM_ShadedTriangle", BM_ShadedTriangle)->Arg(12)->Arg(200);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
