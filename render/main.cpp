// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// zep-render: runs the demo on the headless platform and writes the window
// picture after each frame as PNG files, raw video or an MP4 with the music.
// Its messages go to standard error only: standard output may carry pictures.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

#include "render/flashes.h"
#include "render/outputs.h"
#include "render/render_options.h"
#include "render/system.h"
#include "scenes/code_paths.h"
#include "core/process.h"
#include "shell/driver.h"
#include "platforms/headless/headless_platform.h"
#include "shell/schedule.h"
#include "shell/version.h"

namespace {

using zep::render::OutputError;
using zep::render::RenderOptions;

constexpr int kUsageStatus = 2;

constexpr const char* kProgram = "zep-render";

// The render stops at the next frame once SIGINT, SIGTERM, SIGHUP or SIGQUIT
// arrived.
struct Interrupted {};

class Progress {
public:
    Progress(long total, bool enabled) : total_(total), enabled_(enabled), start_(Clock::now()) {}

    void Show(long frame, const char* scene) {
        if (!enabled_) return;
        const auto now = Clock::now();
        if (frame != total_ && now - last_ < std::chrono::milliseconds(200)) return;
        last_ = now;
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        const double rate = elapsed > 0.0 ? frame / elapsed : 0.0;
        const long left = rate > 0.0 ? std::lround((total_ - frame) / rate) : 0;
        std::fprintf(stderr, "\rframe %ld/%ld %3ld%%  %-14s  %5.0f fps  %ld:%02ld left ", frame, total_,
                     100 * frame / total_, scene, rate, left / 60, left % 60);
        std::fflush(stderr);
    }

    void Done() {
        if (enabled_) std::fprintf(stderr, "\n");
    }

private:
    using Clock = std::chrono::steady_clock;
    long total_;
    bool enabled_;
    Clock::time_point start_;
    Clock::time_point last_{};
};

// The outputs that name a file or "-", with their options.
std::array<std::pair<const char*, const std::string*>, 3> FileOutputs(const RenderOptions& o) {
    return {{{"--rawvideo", &o.raw_path}, {"--hashes", &o.hashes_path}, {"--video", &o.video_path}}};
}

// The frame number of a PNG frame's file name ("frame_000042.png"), or 0.
long FrameOfName(const std::string& leaf) {
    constexpr std::size_t kDigits = 6;
    if (leaf.size() != 16 || leaf.compare(0, 6, "frame_") != 0 || leaf.compare(12, 4, ".png") != 0)
        return 0;
    long frame = 0;
    for (std::size_t i = 6; i < 6 + kDigits; ++i) {
        if (leaf[i] < '0' || leaf[i] > '9') return 0;
        frame = frame * 10 + (leaf[i] - '0');
    }
    return frame;
}

// An output must not be one of the files the render reads: it would be
// replaced, or cut short before it was read.
std::string OutputIsInput(const RenderOptions& options, const zep::DataDir& data) {
    std::vector<std::string> inputs;
    for (const zep::DataFile& file : zep::SequenceFiles(zep::DemoSequence()))
        inputs.push_back(data.Path(file.name).string());
    inputs.push_back(data.Path(zep::kModuleName).string());
    const auto outputs = FileOutputs(options);
    for (const auto& [option, path] : outputs) {
        if (path->empty() || *path == "-") continue;
        for (const std::string& input : inputs) {
            std::error_code ec;
            if (std::filesystem::equivalent(*path, input, ec))
                return std::string(option) + " " + *path + " is " + input +
                       ", which the demo reads; choose another output";
        }
    }
    for (std::size_t i = 0; i < std::size(outputs); ++i)
        for (std::size_t k = i + 1; k < std::size(outputs); ++k) {
            const std::string& a = *outputs[i].second;
            const std::string& b = *outputs[k].second;
            std::error_code ec;
            if (!a.empty() && a != "-" && (a == b || std::filesystem::equivalent(a, b, ec)))
                return std::string(outputs[i].first) + " and " + outputs[k].first +
                       " name the same file";
        }
    return {};
}

// An output whose name this system would not make as written (on Windows a
// name ending in a space or a dot): refused before anything is made.
std::string OutputNameProblem(const RenderOptions& options) {
    std::vector<std::pair<const char*, const std::string*>> outputs = {{"--png", &options.png_dir}};
    for (const auto& output : FileOutputs(options)) outputs.push_back(output);
    for (const auto& [option, path] : outputs) {
        if (path->empty() || *path == "-") continue;
        if (const std::string problem = zep::render::sys::NameProblem(*path); !problem.empty())
            return std::string(option) + " \"" + *path + "\": " + problem;
    }
    return {};
}

// An output that leads to standard output is written to it as "-" is; one
// that leads to the file behind standard error is refused, as finishing it
// would replace that file. Looked at while descriptor 1 is still standard
// output. Returns the problem, or empty.
std::string PointOutputsAtStandardStreams(RenderOptions& options) {
    const std::pair<const char*, std::string*> outputs[] = {
        {"--rawvideo", &options.raw_path}, {"--hashes", &options.hashes_path}, {"--video", &options.video_path}};
    for (const auto& [option, path] : outputs) {
        if (path->empty() || *path == "-") continue;
        switch (zep::render::sys::StandardStreamAt(*path)) {
            case zep::render::sys::StandardStream::Output:
                path->assign(1, '-');  // written as "-" is
                break;
            case zep::render::sys::StandardStream::ErrorFile:
                return std::string(option) + " " + *path +
                       " is the file standard error goes to; choose another output";
            case zep::render::sys::StandardStream::None:
                break;
        }
    }
    return zep::render::CheckStandardOutputUse(options);
}

// An output must not be one of the PNG frames the render writes: one would
// overwrite the other.
std::string OutputIsAFrame(const RenderOptions& options, const zep::render::FramePlan& plan) {
    if (options.png_dir.empty()) return {};
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path folder = fs::weakly_canonical(options.png_dir, ec);
    if (ec) return {};
    if (folder.filename().empty()) folder = folder.parent_path();  // "dir/" when dir is still to make
    for (const auto& [option, path] : FileOutputs(options)) {
        if (path->empty() || *path == "-") continue;
        // The file the output would be written to, its links followed.
        const fs::path target = fs::weakly_canonical(*path, ec);
        if (ec || target.parent_path() != folder) continue;
        const long frame = FrameOfName(target.filename().string());
        if (frame >= plan.from && frame <= plan.last)
            return std::string(option) + " " + *path + " is frame " + std::to_string(frame) +
                   " of --png " + options.png_dir + "; choose another output";
    }
    return {};
}

// An output that failed; a failure an interrupt caused (a write cut short,
// ffmpeg ended by the same signal) is the interrupt.
int OutputFailed(const OutputError& e) {
    if (zep::Interrupted() != 0) throw Interrupted{};
    std::fprintf(stderr, "zep-render: %s\n", e.what());
    return kUsageStatus;
}

// The flash check's verdict on standard error: each second that fails, or
// one line saying none did. Status 1 when any failed.
int ReportFlashes(const zep::render::FlashCheck& check, int second, const zep::render::FramePlan& plan) {
    for (const zep::render::FlashSecond& failed : check.Failures())
        std::fprintf(stderr, "zep-render: %s\n", zep::render::DescribeFlashSecond(failed, second).c_str());
    if (check.Failures().empty()) {
        std::fprintf(stderr, "zep-render: no flashes above the threshold in frames %ld to %ld\n", plan.from,
                     plan.last);
        return 0;
    }
    std::fprintf(stderr, "zep-render: %zu seconds flash too much in frames %ld to %ld\n",
                 check.Failures().size(), plan.from, plan.last);
    return 1;
}

// The outputs the options ask for. Leaving without Finish removes what was
// begun, so a failed run keeps no output file.
struct Outputs {
    std::optional<zep::render::PngFrames> png;
    std::unique_ptr<zep::render::RawVideo> raw;
    std::unique_ptr<zep::render::HashList> hashes;
    std::unique_ptr<zep::render::Mp4Video> mp4;

    void Write(long frame, const zep::Pixel* picture) {
        if (png) png->Write(frame, picture);
        if (raw) raw->Write(picture);
        if (hashes) hashes->Write(frame, picture);
        if (mp4) mp4->Write(picture);
    }
    void Finish() {
        if (raw) raw->Finish();
        if (hashes) hashes->Finish();
        if (mp4) mp4->Finish();
    }
};

// What ends the run before anything is written: missing data (as in zep),
// an output that is an input or one of the PNG frames. Returns the exit
// status then; otherwise prints the plan's notes and returns nothing.
std::optional<int> RefuseRun(const RenderOptions& options, const zep::DataDir& data,
                             const zep::render::FramePlan& plan) {
    if (!zep::CheckSequenceFiles(zep::DemoSequence(), data, kProgram)) return 1;
    std::string problem = OutputNameProblem(options);
    if (problem.empty()) problem = OutputIsInput(options, data);
    if (problem.empty()) problem = OutputIsAFrame(options, plan);
    if (!problem.empty()) {
        std::fprintf(stderr, "zep-render: %s\n", problem.c_str());
        return kUsageStatus;
    }
    if (!plan.note.empty()) std::fprintf(stderr, "zep-render: %s\n", plan.note.c_str());
    if (const std::string note = zep::render::NoOutputNote(options); !note.empty())
        std::fprintf(stderr, "zep-render: %s\n", note.c_str());
    return std::nullopt;
}

// Opens every output the options name. Returns the exit status when one
// cannot be opened or the module for the video cannot be loaded.
std::optional<int> OpenOutputs(const RenderOptions& options, const zep::DataDir& data,
                               const zep::render::FramePlan& plan, std::FILE* picture_stream,
                               Outputs& out) {
    const zep::render::FrameRate rate{options.fps_num, options.fps_den};
    try {
        std::string ffmpeg;
        zep::MusicModulePtr module;
        if (!options.video_path.empty()) {
            ffmpeg = zep::render::FindFfmpeg();
            // The module is loaded by the music layer, which reports a module
            // that cannot be used in the same words as zep does.
            int error = zep::kMusicNoError;
            module = zep::LoadModuleFile(data.Path(zep::kModuleName).string(), error);
            if (!module) {
                std::fprintf(stderr, "%s\n", zep::MusicErrorText(error));
                return 1;
            }
        }
        if (!options.png_dir.empty()) out.png.emplace(options.png_dir, options.scale);
        if (options.raw_path == "-")
            out.raw = std::make_unique<zep::render::RawVideo>(picture_stream, "standard output");
        else if (!options.raw_path.empty())
            out.raw = std::make_unique<zep::render::RawVideo>(options.raw_path);
        if (options.hashes_path == "-")
            out.hashes = std::make_unique<zep::render::HashList>(picture_stream, "standard output");
        else if (!options.hashes_path.empty())
            out.hashes = std::make_unique<zep::render::HashList>(options.hashes_path);
        if (module)
            out.mp4 = std::make_unique<zep::render::Mp4Video>(
                ffmpeg, options.video_path, rate, options.quality, zep::render::VideoScale(options),
                zep::render::MusicTrack(std::move(module), rate, plan.from,
                                        std::max(0L, plan.last - plan.from + 1),
                                        zep::render::MusicTrack::kVideoRate));
    } catch (const OutputError& e) {
        return OutputFailed(e);
    }
    return std::nullopt;
}

// Runs the demo headless up to the plan's last frame, handing frames from
// the plan's first on to the outputs and the flash check; finishes the
// outputs when the run succeeded. Returns the exit status.
int RunAndWrite(const RenderOptions& options, const zep::DataDir& data,
                const zep::render::FramePlan& plan, Outputs& out,
                std::optional<zep::render::FlashCheck>& flashes) {
    zep::HeadlessOptions headless;
    headless.program = kProgram;
    headless.fps = options.fps;
    headless.key_after_frame = plan.last;
    const std::unique_ptr<zep::Platform> platform = zep::MakeHeadlessPlatform(headless);

    Progress progress(plan.last, zep::render::sys::StandardErrorIsTerminal());
    long frame = 0;
    try {
        const int status = zep::RunDemo(*platform, zep::DemoSequence(), data,
                                        [&](const ptc::Console& console, std::size_t scene) {
                                            if (zep::Interrupted() != 0)
                                                throw Interrupted{};
                                            ++frame;
                                            progress.Show(frame, zep::DemoSequence()[scene]->name);
                                            if (frame < plan.from) return;
                                            out.Write(frame, console.picture());
                                            if (flashes) flashes->Add(console.picture());
                                        });
        progress.Done();
        if (zep::Interrupted() != 0) throw Interrupted{};
        if (status != 0) return status;
        out.Finish();
        if (zep::Interrupted() != 0) throw Interrupted{};
        return 0;
    } catch (const OutputError& e) {
        progress.Done();
        return OutputFailed(e);
    }
}

int Render(const RenderOptions& options, std::FILE* picture_stream) {
    std::string problem;
    const std::optional<zep::render::FramePlan> plan = zep::render::PlanFrames(options, problem);
    if (!plan) {
        std::fprintf(stderr, "zep-render: %s\n", problem.c_str());
        return kUsageStatus;
    }
    const zep::DataDir data(options.data_dir);
    if (const std::optional<int> refused = RefuseRun(options, data, *plan)) return *refused;
    Outputs outputs;
    if (const std::optional<int> failed = OpenOutputs(options, data, *plan, picture_stream, outputs))
        return *failed;

    // One second of the run in frames, for the flash check.
    const int second = static_cast<int>(std::max(1L, std::lround(options.fps)));
    std::optional<zep::render::FlashCheck> flashes;
    if (options.flashes) flashes.emplace(second, plan->from);
    const int status = RunAndWrite(options, data, *plan, outputs, flashes);
    if (status != 0 || !flashes) return status;
    return ReportFlashes(*flashes, second, *plan);
}

int RenderMain(int argc, char** argv) {
    zep::render::sys::IgnoreBrokenPipes();
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    std::optional<RenderOptions> options = zep::render::ParseRenderOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "zep-render: %s\n%s", error.c_str(), zep::render::kRenderUsage);
        return kUsageStatus;
    }
    if (options->help || options->version || options->scenes) {
        const char* what = options->help ? "the help text" : options->version ? "the version" : "the scene table";
        const std::string text = options->help      ? zep::render::kRenderUsage
                                 : options->version ? std::string("zep-render ") + zep::kVersion + "\n"
                                                    : zep::ScheduleJson(zep::DemoSequence());
        return zep::PrintToStandardOutput(kProgram, text, what);
    }
    // The option was checked when parsed.
    zep::UseCodePath(*zep::ChooseCodePath(options->cpu, zep::BuiltCodePaths(), error));
    if (const std::string problem = PointOutputsAtStandardStreams(*options); !problem.empty()) {
        std::fprintf(stderr, "zep-render: %s\n", problem.c_str());
        return kUsageStatus;
    }
    std::FILE* pictures = zep::render::sys::TakeStandardOutputForPictures();
    zep::CatchInterrupts();
    try {
        const int status = Render(*options, pictures);
        if (zep::Interrupted() != 0) throw Interrupted{};
        return status;
    } catch (const Interrupted&) {
        // Every output begun was removed on the way here.
        std::fprintf(stderr, "zep-render: interrupted; the unfinished output was removed\n");
        zep::EndByInterrupt(zep::Interrupted());
    }
}

}  // namespace

int main(int argc, char** argv) {
    zep::KeepStandardStreamsOpen();
    return zep::RunGuarded("zep-render", [&] { return RenderMain(argc, argv); });
}
