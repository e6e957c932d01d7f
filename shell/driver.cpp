#include "shell/driver.h"

#include <cstdio>
#include <memory>
#include <optional>

namespace zep {
namespace {

constexpr const char* kTitle = "ZEP. ";
constexpr const char* kModuleName = "076.it";

std::size_t BuiltScenes(std::span<const SceneEntry* const> sequence) {
    std::size_t n = 0;
    while (n < sequence.size() && sequence[n]->start != nullptr) ++n;
    return n;
}

void ReportDataError(const DataError& error) {
    std::fprintf(stderr, "%s\n%s\n", error.what(), kDefaultDataHint);
}

// The whole run from creating the format to destroying it. Objects are
// declared in creation order, so leaving the function by any path destroys
// them in reverse: timer, surface, console, format.
int Run(Platform& platform, std::span<const SceneEntry* const> sequence, const DataDir& data,
        const FrameHook& on_frame, Music& music) {
    const std::size_t scenes = BuiltScenes(sequence);

    const ptc::Format format{32, 0xff0000, 0xff00, 0xff, 0};
    std::unique_ptr<ptc::Console> console = platform.MakeConsole();
    console->open(kTitle, kWidth, kHeight, format, 0);
    ptc::Surface surface(kPitch, kSurfaceRows, format);

    if (music.FSOUND_Init(44100, 32, 0) == 0) {
        std::printf("%s\n", MusicErrorText(music.FSOUND_GetError()));
        std::fflush(stdout);
        return 1;
    }
    MusicModule* module = music.FMUSIC_LoadSong(data.Path(kModuleName).string());
    if (module == nullptr) {
        std::printf("%s\n", MusicErrorText(music.FSOUND_GetError()));
        std::fflush(stdout);
        return 1;
    }
    music.FMUSIC_PlaySong(module);

    std::unique_ptr<ptc::Timer> timer = platform.MakeTimer();
    timer->start();
    SceneClock clock = timer->time();

    for (std::size_t k = 0; k < scenes; ++k) {
        const SceneEntry& entry = *sequence[k];
        std::unique_ptr<Scene> scene;
        try {
            scene = entry.start(data);
        } catch (const DataError& error) {
            ReportDataError(error);
            return 1;
        }
        while (console->key() != 1 && clock < entry.end_time) {
            clock = timer->time();
            Pixel* pixels = surface.lock();
            scene->Draw(pixels, clock);
            surface.unlock();
            const PresentRows rows = scene->Present();
            const ptc::Area area{0, rows.top, kWidth, rows.bottom};
            surface.copy(*console, area, area);
            console->update();
            if (on_frame) on_frame(*console, k);
        }
        scene.reset();  // the end step
        if (clock < entry.end_time) break;  // left by a key press
    }
    return 0;
}

}  // namespace

std::vector<DataFile> SequenceFiles(std::span<const SceneEntry* const> sequence) {
    std::vector<DataFile> files;
    const std::size_t scenes = BuiltScenes(sequence);
    for (std::size_t k = 0; k < scenes; ++k)
        files.insert(files.end(), sequence[k]->files.begin(), sequence[k]->files.end());
    return files;
}

bool CheckSequenceFiles(std::span<const SceneEntry* const> sequence, const DataDir& data) {
    const std::vector<std::string> problems = data.Check(SequenceFiles(sequence));
    for (const std::string& line : problems) std::fprintf(stderr, "%s\n", line.c_str());
    if (!problems.empty()) std::fprintf(stderr, "%s\n", kDefaultDataHint);
    return problems.empty();
}

int RunDemo(Platform& platform, std::span<const SceneEntry* const> sequence, const DataDir& data,
            const FrameHook& on_frame) {
    if (!CheckSequenceFiles(sequence, data)) return 1;
    // The music outlives everything else: it plays until the process ends.
    Music music(platform.Audio());
    try {
        return Run(platform, sequence, data, on_frame, music);
    } catch (const ptc::DynamicError& error) {
        platform.Report(error);
        return 1;
    }
}

}  // namespace zep
