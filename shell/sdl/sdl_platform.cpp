#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>

#include "shell/audio_clock.h"
#include "shell/music.h"
#include "shell/sdl/sdl_platform.h"
#include "shell/sdl/sharp_scale.h"
#include "shell/sdl/window_icon.h"
#include "shell/window_platform.h"

namespace zep {
namespace {

constexpr double kFrameSeconds = 1.0 / 60.0;

constexpr double kCursorRestSeconds = 2.0;

double Now() { return SteadySeconds(); }

ptc::DynamicError SdlFailure(const std::string& what) {
    return ptc::DynamicError(what + ": " + SDL_GetError());
}

// True when the renderer draws through an OpenGL that runs on the CPU
// (Mesa's llvmpipe, softpipe or swrast: a machine without a GPU driver, or
// Xvfb). Emulating the GPU there costs twice what zep's own frames do;
// SDL's software renderer writes the window directly and costs far less.
bool DrawsWithSoftwareGl(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name) return false;
    const std::string name = info.name;
    if (name != "opengl" && name != "opengles2") return false;
    // glGetString(GL_RENDERER); one calling convention on the 64-bit
    // systems zep is built for.
    using GetString = const unsigned char* (*)(unsigned);
    constexpr unsigned kGlRenderer = 0x1F01;
    const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!get_string) return false;
    const unsigned char* text = get_string(kGlRenderer);
    if (!text) return false;
    const std::string gl = reinterpret_cast<const char*>(text);
    for (const char* cpu : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
        if (gl.find(cpu) != std::string::npos) return true;
    return false;
}

// A resizable window that shows the 640 x 480 picture scaled to fit, with its
// shape kept (black bars) and sharp pixels (see sharp_scale.h). A double-click
// toggles desktop fullscreen; the mouse cursor hides once it has rested over
// the picture for two seconds, and on entering fullscreen. At most 60 pictures
// a second are shown: through vertical sync on a 60 Hz display, otherwise by
// sleeping inside update() until the picture is due.
class SdlConsole : public ptc::Console {
public:
    ~SdlConsole() override {
        if (upscaled_) SDL_DestroyTexture(upscaled_);
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
        window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   width, height, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
        if (!window_) throw SdlFailure("cannot open the window");
        SetIcon();

        SDL_DisplayMode mode{};
        const int display = SDL_GetWindowDisplayIndex(window_);
        const bool sixty_hertz = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 &&
                                 mode.refresh_rate >= 59 && mode.refresh_rate <= 61;
        if (sixty_hertz)
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
        vsync_ = renderer_ != nullptr;
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (renderer_ && DrawsWithSoftwareGl(renderer_)) {
            SDL_DestroyRenderer(renderer_);
            // The window's own pixels, shown through shared memory, not a
            // texture drawn by the emulated GPU.
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
            renderer_ = nullptr;
            vsync_ = false;
        }
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_) throw SdlFailure("cannot draw into the window");
        SDL_RendererInfo info{};
        targets_ = SDL_GetRendererInfo(renderer_, &info) == 0 &&
                   (info.flags & SDL_RENDERER_TARGETTEXTURE) != 0;
        allocate(width, height);
        CreatePictureTexture();
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderPresent(renderer_);
        last_present_ = Now();
        next_present_ = last_present_ + kFrameSeconds;
        last_motion_ = last_present_;
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
        Draw();
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

    void SetIcon() {
        SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint32_t*>(kWindowIcon), kWindowIconSize, kWindowIconSize, 32,
            kWindowIconSize * 4, SDL_PIXELFORMAT_ARGB8888);
        if (!icon) return;  // a window without its icon still shows the demo
        SDL_SetWindowIcon(window_, icon);
        SDL_FreeSurface(icon);
    }

    void CreatePictureTexture() {
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                     width(), height());
        if (!texture_) throw SdlFailure("cannot create the window picture");
    }

    // The picture scaled by a whole factor with nearest sampling, drawn into
    // a texture of its own; null when the renderer cannot draw into one.
    SDL_Texture* Upscaled(int factor) {
        if (upscaled_ && upscaled_factor_ == factor) return upscaled_;
        if (upscaled_) SDL_DestroyTexture(upscaled_);
        upscaled_ = nullptr;
        if (!targets_) return nullptr;
        upscaled_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                                      width() * factor, height() * factor);
        upscaled_factor_ = factor;
        if (upscaled_) SDL_SetTextureScaleMode(upscaled_, SDL_ScaleModeLinear);
        return upscaled_;
    }

    void Draw() {
        int out_width = 0, out_height = 0;
        if (SDL_GetRendererOutputSize(renderer_, &out_width, &out_height) != 0)
            throw SdlFailure("cannot scale the window");
        scale_ = PlanSharpScale(width(), height(), out_width, out_height);
        const SDL_Rect dest{scale_.dest.x, scale_.dest.y, scale_.dest.w, scale_.dest.h};
        SDL_Texture* upscaled = scale_.exact || scale_.factor == 1 ? nullptr : Upscaled(scale_.factor);
        if (upscaled && SDL_SetRenderTarget(renderer_, upscaled) == 0) {
            SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
            SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
            SDL_SetRenderTarget(renderer_, nullptr);
            SDL_RenderCopy(renderer_, upscaled, nullptr, &dest);
            return;
        }
        // A whole multiple, or less than twice the size: one step. Without
        // render targets a larger size is drawn with nearest sampling alone.
        const bool linear = !scale_.exact && scale_.factor == 1;
        SDL_SetTextureScaleMode(texture_, linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        SDL_RenderCopy(renderer_, texture_, nullptr, &dest);
    }

    void PumpEvents() {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            switch (event.type) {
            case SDL_KEYDOWN:
            case SDL_QUIT:
                key_pending_ = true;
                break;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) key_pending_ = true;
                break;
            case SDL_MOUSEMOTION:
                last_motion_ = Now();
                ShowCursor(true);
                break;
            case SDL_MOUSEBUTTONDOWN:
                // Clicks 2, 4, ... of a quick series: each pair toggles.
                if (event.button.button == SDL_BUTTON_LEFT && event.button.clicks >= 2 &&
                    event.button.clicks % 2 == 0)
                    ToggleFullscreen();
                break;
            case SDL_RENDER_DEVICE_RESET:
                // The renderer lost its textures (a Direct3D device reset).
                SDL_DestroyTexture(texture_);
                texture_ = nullptr;
                if (upscaled_) SDL_DestroyTexture(upscaled_);
                upscaled_ = nullptr;
                CreatePictureTexture();
                break;
            default:
                break;
            }
        }
        if (cursor_shown_ && Now() - last_motion_ >= kCursorRestSeconds &&
            (Fullscreen() || MouseOverPicture()))
            ShowCursor(false);
    }

    bool Fullscreen() const {
        return (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
    }

    void ToggleFullscreen() {
        const bool to_fullscreen = !Fullscreen();
        // The display mode stays as it is; a failure leaves the window as it was.
        if (SDL_SetWindowFullscreen(window_, to_fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
            return;
        if (to_fullscreen) ShowCursor(false);
        else last_motion_ = Now();
    }

    bool MouseOverPicture() const {
        if (SDL_GetMouseFocus() != window_) return false;
        int x = 0, y = 0, window_width = 0, window_height = 0, out_width = 0, out_height = 0;
        SDL_GetMouseState(&x, &y);
        SDL_GetWindowSize(window_, &window_width, &window_height);
        if (SDL_GetRendererOutputSize(renderer_, &out_width, &out_height) != 0 || window_width <= 0 ||
            window_height <= 0)
            return true;
        // Mouse positions are in window units, the picture in output pixels.
        const long long px = static_cast<long long>(x) * out_width / window_width;
        const long long py = static_cast<long long>(y) * out_height / window_height;
        const ScreenRect& d = scale_.dest;
        return px >= d.x && px < d.x + d.w && py >= d.y && py < d.y + d.h;
    }

    void ShowCursor(bool show) {
        if (show == cursor_shown_) return;
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
        cursor_shown_ = show;
    }

    // Holds presentation to 60 pictures a second by sleeping, never by
    // spinning. With working vertical sync at 60 Hz the present itself waits,
    // so this only catches a driver that ignores the sync request.
    void Pace() {
        const double target = vsync_ ? last_present_ + kFrameSeconds - 0.002 : next_present_;
        const double wait = target - Now();
        if (wait > 0.0) std::this_thread::sleep_for(std::chrono::duration<double>(wait));
        const double now = Now();
        next_present_ += kFrameSeconds;
        if (next_present_ < now) next_present_ = now + kFrameSeconds;  // fell behind: no catch-up burst
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Texture* upscaled_ = nullptr;
    int upscaled_factor_ = 0;
    bool targets_ = false;
    SharpScale scale_{{0, 0, 0, 0}, 1, true};
    bool vsync_ = false;
    bool key_pending_ = false;
    bool cursor_shown_ = true;
    double last_motion_ = 0.0;
    double last_present_ = 0.0;
    double next_present_ = 0.0;
};

// The scene clock: the music as heard (audio_clock.h), which is the steady
// clock while the audio device has no position to give.
class AudioTimer : public ptc::Timer {
public:
    explicit AudioTimer(const Music& music) : music_(music) {}
    void start() override { StartAudioClock(clock_, SteadySeconds()); }
    double time() override { return ReadAudioClock(clock_, SteadySeconds(), music_.Heard()); }

private:
    const Music& music_;
    AudioClock clock_;
};

class SdlPlatform : public Platform {
public:
    SdlPlatform() {
#ifdef _WIN32
        // On a display scaled above 100 % the window grows with the scale and
        // the picture is drawn at the display's own resolution, instead of
        // being stretched, blurred, by Windows.
        SDL_SetHint(SDL_HINT_WINDOWS_DPI_SCALING, "1");
#endif
        SDL_SetMainReady();
    }
    ~SdlPlatform() override { SDL_Quit(); }

    std::unique_ptr<ptc::Console> MakeConsole() override { return std::make_unique<SdlConsole>(); }

    std::unique_ptr<ptc::Timer> MakeTimer(const Music& music) override {
        return std::make_unique<AudioTimer>(music);
    }

    std::unique_ptr<AudioStream> OpenAudio(int rate, AudioPull pull) override {
        return OpenSdlAudio(rate, std::move(pull));
    }

    void Report(const ptc::DynamicError& error) override {
        std::fprintf(stderr, "zep: %s\n", error.what());
        if (SDL_WasInit(SDL_INIT_VIDEO))
            SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "ZEP.", error.what(), nullptr);
    }
};

}  // namespace

std::unique_ptr<Platform> MakeSdlPlatform() { return std::make_unique<SdlPlatform>(); }

std::unique_ptr<Platform> MakeWindowPlatform() { return MakeSdlPlatform(); }

}  // namespace zep
