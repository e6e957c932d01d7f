// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// zep-bench: the Google Benchmark suite. `--cpu baseline|avx2|auto` (default
// auto) chooses the copy of the scenes and fillers that runs (scenes/code_paths.h);
// every other argument goes to Google Benchmark.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_data.h"
#include "datagen/datagen.h"
#include "scenes/code_paths.h"

namespace zep::bench {
namespace {

std::vector<std::pair<std::string, void (*)()>>& PathBenchmarks() {
    static std::vector<std::pair<std::string, void (*)()>> lists;
    return lists;
}

}  // namespace

bool ListPathBenchmarks(const char* path, void (*register_benchmarks)()) {
    PathBenchmarks().emplace_back(path, register_benchmarks);
    return true;
}

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

SteadyScene StartScene(const SceneKind& scene_kind, int warmup, SceneClock t) {
    SteadyScene steady{MakeSurface(), nullptr};
    steady.scene = test::RunSceneAt(scene_kind, DefaultData(), steady.surface, warmup, t);
    return steady;
}

void RegisterSceneDraw(const char* name, const SceneKind& scene_kind, int warmup, SceneClock t,
                       void (*prepare)(std::vector<Pixel>&)) {
    const SceneKind* kind = &scene_kind;
    auto run = [kind, warmup, t, prepare](benchmark::State& state) {
        std::vector<Pixel> surface = MakeSurface();
        if (prepare) prepare(surface);
        auto scene = test::RunSceneAt(*kind, DefaultData(), surface, warmup, t);
        MeasureDraw(state, *scene, surface, t);
    };
    benchmark::RegisterBenchmark(name, run)->Unit(benchmark::kMillisecond)->MinTime(1.0);
}

void MeasurePass(benchmark::State& state, std::vector<Pixel>& surface, void (*pass)(Pixel*),
                 long items) {
    for (auto _ : state) {
        pass(surface.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * items);
}

void RegisterMilliseconds(const char* name, void (*run)(benchmark::State&)) {
    benchmark::RegisterBenchmark(name, run)->Unit(benchmark::kMillisecond)->MinTime(1.0);
}

void MeasureDraw(benchmark::State& state, Scene& scene, std::vector<Pixel>& surface, SceneClock t,
                 long pixels) {
    for (auto _ : state) {
        scene.Draw(surface.data(), t);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * pixels);
}

}  // namespace zep::bench

int main(int argc, char** argv) {
    // --cpu NAME or --cpu=NAME, taken out before Google Benchmark reads the rest.
    std::string request = "auto";
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strcmp(argv[i], "--cpu") == 0) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "zep-bench: option --cpu needs a value\n");
                return 2;
            }
            request = argv[++i];
        } else if (i > 0 && std::strncmp(argv[i], "--cpu=", 6) == 0) {
            request = argv[i] + 6;
        } else {
            rest.push_back(argv[i]);
        }
    }
    std::string error;
    const zep::CodePath* path = zep::ChooseCodePath(request, zep::BuiltCodePaths(), error);
    if (!path) {
        std::fprintf(stderr, "zep-bench: %s\n", error.c_str());
        return 2;
    }
    zep::UseCodePath(*path);
    for (const auto& [name, register_benchmarks] : zep::bench::PathBenchmarks())
        if (name == path->name) register_benchmarks();
    benchmark::AddCustomContext("zep code path", path->name);

    int rest_count = static_cast<int>(rest.size());
    rest.push_back(nullptr);
    benchmark::Initialize(&rest_count, rest.data());
    if (benchmark::ReportUnrecognizedArguments(rest_count, rest.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
