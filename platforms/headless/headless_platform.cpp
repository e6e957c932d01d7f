// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "platforms/headless/headless_platform.h"

#include <cstdio>

#include "shell/virtual_timer.h"

namespace zep {
namespace {

class HeadlessConsole : public ptc::Console {
public:
    explicit HeadlessConsole(long key_after_frame) : key_after_frame_(key_after_frame) {}

    void open(const std::string& title, int width, int height, const ptc::Format& format,
              int pages) override {
        (void)title;
        (void)pages;
        if (width <= 0 || height <= 0 || format.bits != 32)
            throw ptc::DynamicError("unsupported console mode");
        allocate(width, height);
    }

    int key() override { return key_after_frame_ >= 0 && frames_ >= key_after_frame_ ? 1 : 0; }

    void update() override { ++frames_; }

private:
    long key_after_frame_;
    long frames_ = 0;
};

// Plays nothing: the music is loaded and checked, never rendered.
class SilentStream : public AudioStream {
public:
    void Start(double) override {}
    HeardPosition Heard() const override { return {}; }
};

class HeadlessPlatform : public Platform {
public:
    explicit HeadlessPlatform(HeadlessOptions options) : options_(options) {}

    std::unique_ptr<ptc::Console> MakeConsole() override {
        return std::make_unique<HeadlessConsole>(options_.key_after_frame);
    }

    std::unique_ptr<ptc::Timer> MakeTimer(const Music& music) override {
        (void)music;
        return std::make_unique<VirtualTimer>(options_.fps);
    }

    std::unique_ptr<AudioStream> OpenAudio(int rate, AudioPull pull) override {
        (void)rate;
        (void)pull;
        return std::make_unique<SilentStream>();
    }

    void Report(const ptc::DynamicError& error) override {
        std::fprintf(stderr, "%s: %s\n", options_.program, error.what());
    }

    const char* Program() const override { return options_.program; }

    bool BuildsAhead() const override { return options_.build_ahead; }

private:
    HeadlessOptions options_;
};

}  // namespace

std::unique_ptr<Platform> MakeHeadlessPlatform(HeadlessOptions options) {
    return std::make_unique<HeadlessPlatform>(options);
}

}  // namespace zep
