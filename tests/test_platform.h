// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// A platform for tests: the headless one, with a console that can be made to
// fail on opening and a sound output whose samples the test pulls itself.
#pragma once

#include <memory>
#include <utility>

#include "platforms/headless/headless_platform.h"

namespace zep::test {

// What the music layer gave the test's sound output.
struct TestAudio {
    bool opens = true;     // false: the output cannot be opened
    int rate = 0;          // the rate it was opened at
    AudioPull pull;        // the music's pull callback
    bool started = false;  // Start() was called
    double started_from = -1.0;  // the song position it was started at
};

class TestPlatform : public Platform {
public:
    explicit TestPlatform(HeadlessOptions options = {}) : headless_(MakeHeadlessPlatform(options)) {}

    bool console_fails = false;  // the console's open() throws
    TestAudio audio;

    std::unique_ptr<ptc::Console> MakeConsole() override {
        if (console_fails) return std::make_unique<FailingConsole>();
        return headless_->MakeConsole();
    }
    std::unique_ptr<ptc::Timer> MakeTimer(const Music& music) override { return headless_->MakeTimer(music); }
    std::unique_ptr<AudioStream> OpenAudio(int rate, AudioPull pull) override {
        if (!audio.opens) return nullptr;
        audio.rate = rate;
        audio.pull = std::move(pull);
        return std::make_unique<Stream>(audio);
    }
    void Report(const ptc::DynamicError& error) override { headless_->Report(error); }
    const char* Program() const override { return headless_->Program(); }
    bool BuildsAhead() const override { return headless_->BuildsAhead(); }

private:
    class FailingConsole : public ptc::Console {
    public:
        void open(const std::string&, int, int, const ptc::Format&, int) override {
            throw ptc::DynamicError("could not open the console (simulated failure)");
        }
        int key() override { return 0; }
        void update() override {}
    };

    class Stream : public AudioStream {
    public:
        explicit Stream(TestAudio& audio) : audio_(audio) {}
        void Start(double from_seconds) override {
            audio_.started = true;
            audio_.started_from = from_seconds;
        }
        HeardPosition Heard() const override { return {}; }

    private:
        TestAudio& audio_;
    };

    std::unique_ptr<Platform> headless_;
};

}  // namespace zep::test
