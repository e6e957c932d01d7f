// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// zep: the demo. Reads its data files and the music module from the working
// folder, or the folder --data names.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/process.h"
#include "shell/driver.h"
#include "shell/platform.h"
#include "shell/player_options.h"
#include "shell/version.h"
#include "shell/window_platform.h"

namespace {

constexpr int kUsageStatus = 2;

// ZEP_FRAME_LOG=FILE: a line for every picture shown, for measuring how
// smoothly the demo plays: when it was handed to the display (seconds on the
// steady clock since the log began), the scene clock it was drawn at, and
// where the music was as heard at that moment ("-" where the sound output
// keeps no time).
class FrameLog {
public:
    FrameLog() {
        const char* path = std::getenv("ZEP_FRAME_LOG");
        if (!path || !*path) return;
        file_ = std::fopen(path, "w");
        if (!file_) {
            std::fprintf(stderr, "zep: cannot write the frame log %s: %s\n", path, std::strerror(errno));
            return;
        }
        std::fputs("# present demo music (seconds)\n", file_);
        origin_ = zep::SteadySeconds();
    }
    ~FrameLog() {
        if (file_) std::fclose(file_);
    }
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    bool Enabled() const { return file_ != nullptr; }

    void Write(const zep::DemoRun& run) {
        const double now = zep::SteadySeconds();
        const double music = run.PlayingMusic().SongPosition(now);
        if (music < 0.0) std::fprintf(file_, "%.6f %.6f -\n", now - origin_, run.Clock());
        else std::fprintf(file_, "%.6f %.6f %.6f\n", now - origin_, run.Clock(), music);
    }

private:
    std::FILE* file_ = nullptr;
    double origin_ = 0.0;
};

int Play(const zep::PlayerOptions& options) {
    zep::CatchInterrupts();
    zep::WindowOptions window;
    window.fullscreen = options.fullscreen;
    window.display = options.display;
    window.verbose = options.verbose;
    window.keep_window = options.loop;
    const std::unique_ptr<zep::Platform> platform = zep::MakeWindowPlatform(window);
    const zep::DataDir data(options.data_dir);
    FrameLog log;
    long first_frame = options.first_frame;
    for (;;) {
        zep::DemoRun* current = nullptr;
        zep::DemoRun run(*platform, zep::DemoSequence(), data, [&](const ptc::Console&, std::size_t) {
            if (log.Enabled()) log.Write(*current);
        });
        current = &run;
        run.SetFirstFrame(first_frame);
        if (run.Start()) {
            while (run.Frame()) {
            }
        }
        if (zep::Interrupted() != 0) zep::EndByInterrupt(zep::Interrupted());
        // --loop: again from the start after a whole run, until a key.
        if (!options.loop || run.Status() != 0 || run.EndedByKey()) return run.Status();
        first_frame = 1;
    }
}

int PlayerMain(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const std::optional<zep::PlayerOptions> options = zep::ParsePlayerOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "zep: %s\n%s", error.c_str(), zep::kPlayerUsage);
        return kUsageStatus;
    }
    if (options->help) return zep::PrintToStandardOutput("zep", zep::kPlayerUsage, "the help text");
    if (options->version)
        return zep::PrintToStandardOutput("zep", std::string("zep ") + zep::kVersion + "\n", "the version");
    return Play(*options);
}

}  // namespace

int main(int argc, char** argv) {
    // Started with nowhere to print to (on Windows, a double-click): the
    // window platform shows the messages instead.
    if (const int status = zep::RunShowingLostOutput("ZEP."); status >= 0) return status;
    zep::KeepStandardStreamsOpen();
    return zep::RunGuarded("zep", [&] { return PlayerMain(argc, argv); });
}
