// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The browser platform: the console keeps its picture in the module's memory
// for the page to draw on its canvas, a key press arrives from the page, and
// the timer is either the page's audio clock or a virtual one (frame n at
// n / fps) for checking runs.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/platform.h"

namespace zep::web {

struct WebOptions {
    double fps = 0.0;  // above 0: virtual clock at this rate; otherwise the page's clock
};

class WebPlatform : public Platform {
public:
    explicit WebPlatform(WebOptions options) : options_(options) {}
    std::unique_ptr<ptc::Console> MakeConsole() override;
    std::unique_ptr<ptc::Timer> MakeTimer(const Music& music) override;
    // The page plays the music itself: starting the output starts it.
    std::unique_ptr<AudioStream> OpenAudio(int rate, AudioPull pull) override;
    void Report(const ptc::DynamicError& error) override;
    // The module has one thread: each scene starts when it is due.
    bool BuildsAhead() const override { return false; }

    // Marks a key press as pending for the console.
    void PressKey() { key_pending_ = true; }
    // The picture the console showed when it closed (empty before): the page
    // keeps showing it after the run.
    const std::vector<Pixel>& LastPicture() const { return last_picture_; }

private:
    WebOptions options_;
    bool key_pending_ = false;
    std::vector<Pixel> last_picture_;
};

// The picture as RGBA bytes (red first, alpha 255) for a canvas.
void PictureToRgba(const Pixel* picture, std::uint32_t* rgba);

}  // namespace zep::web
