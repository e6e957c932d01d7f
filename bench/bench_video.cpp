// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The --video export as zep-render runs it: the first 1000 frames of the
// demo (the layered planes, the hardest to encode) through ffmpeg into an
// MP4 file, for each quality preset. The counter "s per 1000 frames" is the
// wall-clock time; at 60 frames a second, 16.7 s is real time. make
// bench-video runs these alone (they need ffmpeg).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "bench/bench_data.h"
#include "render/outputs.h"
#include "shell/driver.h"
#include "platforms/headless/headless_platform.h"

namespace zep::bench {
namespace {

constexpr long kFrames = 1000;

void ExportVideo(benchmark::State& state, render::VideoQuality quality, int scale) {
    const std::string ffmpeg = render::FindOnPath("ffmpeg");
    if (ffmpeg.empty()) {
        state.SkipWithError("ffmpeg is not installed");
        return;
    }
    const DataDir& data = DefaultData();
    const std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("zep-bench-video-" + std::to_string(::getpid()) + ".mp4");
    const render::FrameRate rate{60, 1};
    double bytes = 0.0;
    for (auto _ : state) {
        int error = kMusicNoError;
        MusicModulePtr module = LoadModuleFile(data.Path(kModuleName).string(), error);
        if (!module) {
            state.SkipWithError(MusicErrorText(error));
            return;
        }
        const auto begin = std::chrono::steady_clock::now();
        {
            render::Mp4Video video(ffmpeg, out, rate, quality, scale,
                                   render::MusicTrack(std::move(module), rate, 1, kFrames,
                                                      render::MusicTrack::kVideoRate));
            HeadlessOptions options;
            options.key_after_frame = kFrames;
            const auto platform = MakeHeadlessPlatform(options);
            RunDemo(*platform, DemoSequence(), data,
                    [&](const ptc::Console& console, std::size_t) { video.Write(console.picture()); });
            video.Finish();
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        state.SetIterationTime(seconds);
        state.counters["s per 1000 frames"] = seconds * 1000.0 / kFrames;
        bytes = static_cast<double>(std::filesystem::file_size(out));
    }
    state.counters["MB"] = bytes / 1e6;
    std::error_code ec;
    std::filesystem::remove(out, ec);
}

void BM_VideoShare(benchmark::State& state) { ExportVideo(state, render::VideoQuality::Share, 2); }
void BM_VideoShareScale4(benchmark::State& state) { ExportVideo(state, render::VideoQuality::Share, 4); }
void BM_VideoArchive(benchmark::State& state) { ExportVideo(state, render::VideoQuality::Archive, 1); }

BENCHMARK(BM_VideoShare)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_VideoShareScale4)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_VideoArchive)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1)->Repetitions(3);

}  // namespace
}  // namespace zep::bench
