#include "shell/driver.h"

#include <cstdio>
#include <functional>
#include <system_error>

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

// The start step of `entry` on a thread of its own, or, when `ahead` is
// false or no thread can be had, deferred: run by whoever takes its result.
std::future<std::unique_ptr<Scene>> StartStep(const SceneEntry& entry, const DataDir& data, bool ahead) {
    if (ahead) {
        try {
            return std::async(std::launch::async, entry.start, std::cref(data));
        } catch (const std::system_error&) {
        }
    }
    return std::async(std::launch::deferred, entry.start, std::cref(data));
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
        // The first scene's start step runs here, before the clock does, so
        // no frame holds it; a failure stays in next_ until the first frame.
        if (!sequence_.empty()) {
            next_ = StartStep(*sequence_.front(), data_, false);
            next_.wait();
        }
        music_.FMUSIC_PlaySong(module);

        timer_ = platform_.MakeTimer(music_);
        timer_->start();
        clock_ = timer_->time();
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
        for (;;) {
            if (scene_index_ >= sequence_.size()) return End(0);
            const SceneEntry& entry = *sequence_[scene_index_];
            if (!scene_) {
                try {
                    scene_ = next_.get();
                } catch (const DataError& error) {
                    ReportDataError(error, platform_.Program());
                    return End(1);
                }
                BuildAhead(scene_index_ + 1);
            }
            if (console_->key() != 1 && clock_ < entry.end_time) break;
            scene_.reset();  // the end step
            if (clock_ < entry.end_time) return End(0);  // left by a key press
            ++scene_index_;
        }

        clock_ = timer_->time();
        Pixel* pixels = surface_->lock();
        scene_->Draw(pixels, clock_);
        surface_->unlock();
        const PresentRows rows = scene_->Present();
        const ptc::Area area{0, rows.top, kWidth, rows.bottom};
        surface_->copy(*console_, area, area);
        console_->update();
        if (on_frame_) on_frame_(*console_, scene_index_);
        return true;
    } catch (const ptc::DynamicError& error) {
        End(1);
        platform_.Report(error);
        return false;
    }
}

void DemoRun::BuildAhead(std::size_t index) {
    if (index < sequence_.size())
        next_ = StartStep(*sequence_[index], data_, platform_.BuildsAhead());
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
