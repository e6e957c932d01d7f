// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "shell/driver.h"

#include <cstdio>
#include <functional>
#include <system_error>

#include "shell/schedule.h"
#include "shell/virtual_timer.h"

namespace zep {
namespace {

constexpr const char* kTitle = "ZEP. ";

void ReportDataError(const DataError& error, const char* program) {
    std::fprintf(stderr, "%s: %s\n%s\n", program, error.what(), DefaultDataHint(program).c_str());
}

void ReportMusicError(const Music& music) {
    std::printf("%s\n", MusicErrorText(music.FSOUND_GetError()));
    std::fflush(stdout);
}

// The scene clock of a run that starts past its beginning: the platform's
// timer counts from the start of the music, which starts `offset` seconds in.
class OffsetTimer : public ptc::Timer {
public:
    OffsetTimer(std::unique_ptr<ptc::Timer> timer, double offset)
        : timer_(std::move(timer)), offset_(offset) {}
    void start() override { timer_->start(); }
    double time() override { return offset_ + timer_->time(); }

private:
    std::unique_ptr<ptc::Timer> timer_;
    double offset_;
};

// Runs the start step of `entry`, its files stamped first.
BuiltScene Build(const SceneEntry& entry, const DataDir& data) {
    BuiltScene built;
    built.files = StampFiles(data, entry.files);
    try {
        built.scene = entry.start(data);
    } catch (...) {
        built.failure = std::current_exception();
    }
    return built;
}

// Whether this build can run a second thread at all: WebAssembly built
// without threads cannot, and there std::async's thread would never run.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
constexpr bool kThreadsRun = false;
#else
constexpr bool kThreadsRun = true;
#endif

// The start step of `entry` on a thread of its own, or, when `ahead` is
// false or no thread can be had, deferred: run by whoever takes its result.
std::future<BuiltScene> StartStep(const SceneEntry& entry, const DataDir& data, bool ahead) {
    if (kThreadsRun && ahead) {
        try {
            return std::async(std::launch::async, Build, std::cref(entry), std::cref(data));
        } catch (const std::system_error&) {
        }
    }
    return std::async(std::launch::deferred, Build, std::cref(entry), std::cref(data));
}

}  // namespace

DemoRun::DemoRun(Platform& platform, std::span<const SceneEntry* const> sequence,
                 const DataDir& data, FrameHook on_frame)
    : platform_(platform),
      sequence_(sequence),
      data_(data),
      on_frame_(std::move(on_frame)),
      music_(platform) {}

DemoRun::~DemoRun() = default;

bool DemoRun::End(int status) {
    scene_.reset();
    next_ = {};
    timer_.reset();
    surface_.reset();
    console_.reset();
    ended_ = true;
    status_ = status;
    return false;
}

void DemoRun::SetFirstFrame(long frame, double fps) {
    if (started_ || frame < 1 || fps <= 0.0) return;
    first_frame_ = frame;
    first_frame_fps_ = fps;
}

bool DemoRun::Start() {
    if (started_ || ended_) return !ended_;
    started_ = true;
    if (!CheckSequenceFiles(sequence_, data_, platform_.Program())) return End(1);
    try {
        const ptc::Format format{32, 0xff0000, 0xff00, 0xff, 0};
        console_ = platform_.MakeConsole();
        console_->open(kTitle, kWidth, kHeight, format, 0);
        surface_.emplace(kPitch, kSurfaceRows, format);

        if (music_.FSOUND_Init(44100, 32, 0) == 0) {
            ReportMusicError(music_);
            return End(1);
        }
        MusicModule* module = music_.FMUSIC_LoadSong(data_.Path(kModuleName).string());
        if (module == nullptr) {
            ReportMusicError(music_);
            return End(1);
        }
        // Frames 1 to first - 1, unseen, on the clock they have in a run from
        // the start; the first frame shown follows on it. From the latest
        // scene before it that covers what came before, where the frames are
        // the same whatever was drawn earlier.
        long replay_from = 1;
        if (first_frame_ > 1) {
            const std::vector<SceneFrames> frames = ScheduleFrames(sequence_, first_frame_fps_);
            for (std::size_t i = 0; i < frames.size(); ++i)
                if (sequence_[i]->covers_what_came_before && frames[i].first <= first_frame_ &&
                    frames[i].first <= frames[i].last) {
                    scene_index_ = i;
                    replay_from = frames[i].first;
                }
        }
        // The start step of the scene the run begins with runs here, before
        // the clock does, so no frame holds it; a failure stays in next_
        // until the frame that would draw it.
        if (scene_index_ < sequence_.size()) {
            next_ = StartStep(*sequence_[scene_index_], data_, false);
            next_.wait();
        }
        if (first_frame_ > 1) {
            replay_timer_ = std::make_unique<VirtualTimer>(first_frame_fps_, replay_from - 1);
            replay_timer_->start();
            clock_ = replay_timer_->time();
            for (long frame = replay_from; frame < first_frame_; ++frame)
                if (!Step(*replay_timer_, false)) return false;
        }
        // The first frame shown is drawn at clock first / fps: the music is
        // heard from there.
        const double from =
            first_frame_ > 1 ? static_cast<double>(first_frame_) / first_frame_fps_ : 0.0;
        music_.FMUSIC_PlaySong(module, from);

        timer_ = platform_.MakeTimer(music_);
        if (first_frame_ > 1) timer_ = std::make_unique<OffsetTimer>(std::move(timer_), from);
        timer_->start();
        const SceneClock first = timer_->time();  // the start-up read
        if (!replay_timer_) clock_ = first;
    } catch (const ptc::DynamicError& error) {
        End(1);  // the console and what came after it close before the report
        platform_.Report(error);
        return false;
    }
    return true;
}

bool DemoRun::Frame() {
    if (!started_ || ended_) return false;
    try {
        ptc::Timer& timer = replay_timer_ ? *replay_timer_ : *timer_;
        const bool drawn = Step(timer, true);
        replay_timer_.reset();
        return drawn;
    } catch (const ptc::DynamicError& error) {
        End(1);
        platform_.Report(error);
        return false;
    }
}

bool DemoRun::Step(ptc::Timer& timer, bool show) {
    for (;;) {
        if (scene_index_ >= sequence_.size()) return End(0);
        const SceneEntry& entry = *sequence_[scene_index_];
        if (!scene_) {
            try {
                scene_ = TakeNext(entry);
            } catch (const DataError& error) {
                ReportDataError(error, platform_.Program());
                return End(1);
            }
            BuildAhead(scene_index_ + 1);
        }
        if (console_->key() != 1 && clock_ < entry.end_time) break;
        scene_.reset();  // the end step
        if (clock_ < entry.end_time) {  // left by a key press
            ended_by_key_ = true;
            return End(0);
        }
        ++scene_index_;
    }

    clock_ = timer.time();
    Pixel* pixels = surface_->lock();
    scene_->Draw(pixels, clock_);
    surface_->unlock();
    const PresentRows rows = scene_->Present();
    const ptc::Area area{0, rows.top, kWidth, rows.bottom};
    surface_->copy(*console_, area, area);
    if (!show) return true;
    console_->update();
    if (on_frame_) on_frame_(*console_, scene_index_);
    return true;
}

void DemoRun::BuildAhead(std::size_t index) {
    if (index < sequence_.size())
        next_ = StartStep(*sequence_[index], data_, platform_.BuildsAhead());
}

std::unique_ptr<Scene> DemoRun::TakeNext(const SceneEntry& entry) {
    BuiltScene built = next_.get();
    if (built.files != StampFiles(data_, entry.files)) {
        // Replaced or written to since it was read: what a start step run now
        // gives, failure included, is what this run reports.
        built = {};
        built = Build(entry, data_);
    }
    if (built.failure) std::rethrow_exception(built.failure);
    return std::move(built.scene);
}

int RunDemo(Platform& platform, std::span<const SceneEntry* const> sequence, const DataDir& data,
            const FrameHook& on_frame) {
    DemoRun run(platform, sequence, data, on_frame);
    if (run.Start()) {
        while (run.Frame()) {
        }
    }
    return run.Status();
}

std::vector<DataFile> SequenceFiles(std::span<const SceneEntry* const> sequence) {
    std::vector<DataFile> files;
    for (const SceneEntry* entry : sequence) files.insert(files.end(), entry->files.begin(), entry->files.end());
    return files;
}

bool CheckSequenceFiles(std::span<const SceneEntry* const> sequence, const DataDir& data,
                        const char* program) {
    const std::vector<std::string> problems = data.Check(SequenceFiles(sequence));
    for (const std::string& line : problems) std::fprintf(stderr, "%s: %s\n", program, line.c_str());
    if (!problems.empty()) std::fprintf(stderr, "%s\n", DefaultDataHint(program).c_str());
    return problems.empty();
}

}  // namespace zep
