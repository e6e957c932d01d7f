#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_data.h"
#include "raster/shaded_triangle.h"
#include "raster/textured_triangle.h"

namespace zep::bench {
namespace {

std::vector<Pixel> PatternTexture() {
    std::vector<Pixel> texture(kTexturePixels);
    for (int i = 0; i < kTexturePixels; ++i) texture[i] = static_cast<Pixel>(i * 2654435761u) >> 8;
    return texture;
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
    std::int64_t pixels = 0;
    for (Pixel p : surface) pixels += p != 0;
    state.SetItemsProcessed(state.iterations() * pixels);
}
BENCHMARK(BM_TexturedTriangle)->Arg(12)->Arg(200);

void BM_ShadedTriangle(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    std::vector<Pixel> surface = MakeSurface();
    const std::vector<Pixel> texture = PatternTexture();
    std::vector<std::uint32_t> table(kShadeTableEntries);
    FillShadeTable(table.data());
    const ShadedVertex a{100, 60, 30, 40, 250}, b{100 + size, 60 + size / 3, 200, 60, 120};
    const ShadedVertex c{110, 60 + size, 90, 220, 40};
    for (auto _ : state) {
        DrawShadedTriangle(a, b, c, texture.data(), surface.data(), table.data());
        benchmark::ClobberMemory();
    }
    std::int64_t pixels = 0;
    for (Pixel p : surface) pixels += p != 0;
    state.SetItemsProcessed(state.iterations() * pixels);
}
BENCHMARK(BM_ShadedTriangle)->Arg(12)->Arg(200);

}  // namespace
}  // namespace zep::bench
