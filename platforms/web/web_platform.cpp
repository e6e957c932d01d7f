// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "platforms/web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdio>

#include "shell/virtual_timer.h"

// The page's clock in seconds since the music started (see zep.js).
EM_JS(double, zep_page_clock, (), { return Module.zepClock(); });
// Starts the page's music `from` seconds in (see zep.js).
EM_JS(void, zep_page_play_music, (double from), { Module.zepPlayMusic(from); });

namespace zep::web {
namespace {

class WebConsole : public ptc::Console {
public:
    WebConsole(const bool& key_pending, std::vector<Pixel>& last_picture)
        : key_pending_(key_pending), last_picture_(last_picture) {}
    ~WebConsole() override {
        if (width() > 0) last_picture_.assign(picture(), picture() + width() * height());
    }

    void open(const std::string& title, int width, int height, const ptc::Format& format,
              int pages) override {
        (void)title;
        (void)pages;
        if (width != kWidth || height != kHeight || format.bits != 32)
            throw ptc::DynamicError("unsupported console mode");
        allocate(width, height);
    }

    int key() override { return key_pending_ ? 1 : 0; }

    // The page draws the picture after the frame call returns.
    void update() override {}

private:
    const bool& key_pending_;
    std::vector<Pixel>& last_picture_;
};

// The page's clock starts with the music; before it starts, and should the
// page's clock ever step back, the timer holds its latest value.
class PageTimer : public ptc::Timer {
public:
    void start() override { latest_ = 0.0; }
    double time() override {
        latest_ = std::max(latest_, zep_page_clock());
        return latest_;
    }

private:
    double latest_ = 0.0;
};

// The page's music, rendered at build time (music_web.cpp): no samples are
// pulled, and its clock is the page's (PageTimer), not a position heard.
class PageMusic : public AudioStream {
public:
    void Start(double from_seconds) override { zep_page_play_music(from_seconds); }
    HeardPosition Heard() const override { return {}; }
};

}  // namespace

std::unique_ptr<ptc::Console> WebPlatform::MakeConsole() {
    return std::make_unique<WebConsole>(key_pending_, last_picture_);
}

std::unique_ptr<ptc::Timer> WebPlatform::MakeTimer(const Music& music) {
    (void)music;
    if (options_.fps > 0.0) return std::make_unique<VirtualTimer>(options_.fps);
    return std::make_unique<PageTimer>();
}

std::unique_ptr<AudioStream> WebPlatform::OpenAudio(int rate, AudioPull pull) {
    (void)rate;
    (void)pull;
    return std::make_unique<PageMusic>();
}

void WebPlatform::Report(const ptc::DynamicError& error) {
    std::fprintf(stderr, "zep: %s\n", error.what());
}

void PictureToRgba(const Pixel* picture, std::uint32_t* rgba) {
    for (int i = 0; i < kScreenPixels; ++i) {
        const Pixel p = picture[i];
        rgba[i] = 0xff000000u | ((p & 0xff) << 16) | (p & 0xff00) | ((p >> 16) & 0xff);
    }
}

}  // namespace zep::web
