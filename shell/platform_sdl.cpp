#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "shell/platform.h"

namespace zep {
namespace {

constexpr double kFrameSeconds = 1.0 / 60.0;

double Now() {
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

ptc::DynamicError SdlFailure(const std::string& what) {
    return ptc::DynamicError(what + ": " + SDL_GetError());
}

// A resizable window that shows the 640 x 480 picture scaled to fit, with its
// shape kept (black bars) and sharp pixels. At most 60 pictures a second are
// shown: through vertical sync on a 60 Hz display, otherwise by waiting inside
// update().
class SdlConsole : public ptc::Console {
public:
    ~SdlConsole() override {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
    }

    void open(const std::string& title, int width, int height, const ptc::Format& format,
              int pages) override {
        (void)pages;
        if (format.bits != 32 || format.red_mask != 0xff0000 || format.green_mask != 0xff00 ||
            format.blue_mask != 0xff)
            throw ptc::DynamicError("unsupported pixel format");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            throw SdlFailure("cannot open the window (no display?)");
        if (!ShowsOnScreen()) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            throw ptc::DynamicError("cannot open the window: no display (no X11 or Wayland session)");
        }
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   width, height, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
        if (!window_) throw SdlFailure("cannot open the window");

        SDL_DisplayMode mode{};
        const int display = SDL_GetWindowDisplayIndex(window_);
        const bool sixty_hertz = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 &&
                                 mode.refresh_rate >= 59 && mode.refresh_rate <= 61;
        if (sixty_hertz)
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
        vsync_ = renderer_ != nullptr;
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_) throw SdlFailure("cannot draw into the window");
        // Logical size: the renderer scales to the window's real (also HiDPI)
        // pixel size and keeps the aspect ratio with black bars.
        if (SDL_RenderSetLogicalSize(renderer_, width, height) != 0)
            throw SdlFailure("cannot scale the window");
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888,
                                     SDL_TEXTUREACCESS_STREAMING, width, height);
        if (!texture_) throw SdlFailure("cannot create the window picture");
        allocate(width, height);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderPresent(renderer_);
        last_present_ = Now();
        next_present_ = last_present_ + kFrameSeconds;
    }

    int key() override {
        PumpEvents();
        return key_pending_ ? 1 : 0;
    }

    void update() override {
        PumpEvents();
        if (SDL_UpdateTexture(texture_, nullptr, picture(), width() * 4) != 0)
            throw SdlFailure("cannot update the window picture");
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        Pace();
        SDL_RenderPresent(renderer_);
        last_present_ = Now();
    }

private:
    // SDL falls back to video drivers that show nothing when there is no
    // display; they count only when SDL_VIDEODRIVER asks for them by name.
    static bool ShowsOnScreen() {
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!driver) return false;
        const std::string name = driver;
        if (name != "offscreen" && name != "dummy") return true;
        const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
        return wanted && SDL_strcasecmp(wanted, driver) == 0;
    }

    void PumpEvents() {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_KEYDOWN || event.type == SDL_QUIT ||
                (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE))
                key_pending_ = true;
        }
    }

    // Holds presentation to 60 pictures a second. With working vertical sync
    // at 60 Hz the present itself waits, so this only catches a driver that
    // ignores the sync request.
    void Pace() {
        double target;
        if (vsync_) {
            target = last_present_ + kFrameSeconds - 0.002;
        } else {
            target = next_present_;
        }
        WaitUntil(target);
        const double now = Now();
        next_present_ += kFrameSeconds;
        if (next_present_ < now) next_present_ = now + kFrameSeconds;  // fell behind: no catch-up burst
    }

    static void WaitUntil(double target) {
        double now = Now();
        if (target - now > 0.002) SDL_Delay(static_cast<Uint32>((target - now - 0.0015) * 1000.0));
        while (Now() < target) {
        }
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    bool vsync_ = false;
    bool key_pending_ = false;
    double last_present_ = 0.0;
    double next_present_ = 0.0;
};

class SteadyTimer : public ptc::Timer {
public:
    void start() override { origin_ = std::chrono::steady_clock::now(); }
    double time() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - origin_).count();
    }

private:
    std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
};

}  // namespace

SdlPlatform::SdlPlatform() { SDL_SetMainReady(); }

SdlPlatform::~SdlPlatform() { SDL_Quit(); }

std::unique_ptr<ptc::Console> SdlPlatform::MakeConsole() { return std::make_unique<SdlConsole>(); }

std::unique_ptr<ptc::Timer> SdlPlatform::MakeTimer() { return std::make_unique<SteadyTimer>(); }

void SdlPlatform::Report(const ptc::DynamicError& error) {
    std::fprintf(stderr, "zep: %s\n", error.what());
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "ZEP.", error.what(), nullptr);
}

}  // namespace zep
