// What the driver needs from the machine it runs on: a console (window), a
// timer, an audio output choice and a way to report console failures.
#pragma once

#include <functional>
#include <memory>

#include "shell/music.h"
#include "shell/ptc.h"

namespace zep {

class Platform {
public:
    virtual ~Platform() = default;
    virtual std::unique_ptr<ptc::Console> MakeConsole() = 0;
    // The timer is made once the music plays, and may follow it.
    virtual std::unique_ptr<ptc::Timer> MakeTimer(const Music& music) = 0;
    virtual AudioOutput Audio() const = 0;
    // Shows a caught console failure to the user.
    virtual void Report(const ptc::DynamicError& error) = 0;
    // The name the program's messages begin with.
    virtual const char* Program() const { return "zep"; }
};

// The real desktop: an SDL2 window and audio device; the timer follows the
// music as heard, or the steady clock when there is no device to follow.
class SdlPlatform : public Platform {
public:
    SdlPlatform();
    ~SdlPlatform() override;
    std::unique_ptr<ptc::Console> MakeConsole() override;
    std::unique_ptr<ptc::Timer> MakeTimer(const Music& music) override;
    AudioOutput Audio() const override { return AudioOutput::Device; }
    void Report(const ptc::DynamicError& error) override;
};

// No window and no sound: the console keeps its picture in memory, the timer
// is virtual (the k-th read returns k / fps) and a key press can be scripted.
struct HeadlessOptions {
    double fps = 60.0;
    long key_after_frame = -1;   // key pending once this many frames were shown; -1: never
    bool fail_console_open = false;  // makes open() throw, to exercise failure handling
    const char* program = "zep";     // the name its messages begin with
};

class HeadlessPlatform : public Platform {
public:
    explicit HeadlessPlatform(HeadlessOptions options = {}) : options_(options) {}
    std::unique_ptr<ptc::Console> MakeConsole() override;
    std::unique_ptr<ptc::Timer> MakeTimer(const Music& music) override;
    AudioOutput Audio() const override { return AudioOutput::None; }
    void Report(const ptc::DynamicError& error) override;
    const char* Program() const override { return options_.program; }

private:
    HeadlessOptions options_;
};

}  // namespace zep
