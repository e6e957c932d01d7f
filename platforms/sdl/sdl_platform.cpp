// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "platforms/sdl/audio_clock.h"
#include "core/process.h"
#include "shell/music.h"
#include "platforms/sdl/sdl_platform.h"
#include "platforms/sdl/sharp_scale.h"
#include "platforms/sdl/window_icon.h"
#include "platforms/sdl/x11_watch.h"
#include "shell/window_platform.h"

namespace zep {
namespace {

constexpr double kFrameSeconds = 1.0 / 60.0;

constexpr double kCursorRestSeconds = 2.0;

double Now() { return SteadySeconds(); }

// Why SDL failed; "out of memory" where that was the cause.
ptc::DynamicError SdlFailure(const std::string& what) {
    const std::string reason = SDL_GetError();
    const bool memory = reason.find("memory") != std::string::npos || reason.find("Memory") != std::string::npos;
    return ptc::DynamicError(what + ": " + (memory ? "out of memory" : reason));
}

// Mesa's OpenGL on the CPU (llvmpipe) reserves hundreds of megabytes of
// address space for its threads and code; under a tighter limit it fails
// inside the driver, some versions by crashing. Where the limit is that low
// the window's own pixels are used instead.
bool AddressSpaceIsTight() {
#ifdef _WIN32
    return false;
#else
    constexpr rlim_t kEnough = rlim_t{1} << 30;
    struct rlimit limit {};
    return getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < kEnough;
#endif
}

// The GL_RENDERER text of a renderer that draws through OpenGL, else empty.
std::string GlRenderer(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name) return {};
    const std::string name = info.name;
    if (name != "opengl" && name != "opengles2") return {};
    // glGetString(GL_RENDERER); one calling convention on the 64-bit
    // systems zep is built for.
    using GetString = const unsigned char* (*)(unsigned);
    constexpr unsigned kGlRenderer = 0x1F01;
    const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* text = get_string ? get_string(kGlRenderer) : nullptr;
    return text ? reinterpret_cast<const char*>(text) : "unknown";
}

// True for Mesa's OpenGL that runs on the CPU (llvmpipe, softpipe, swrast:
// a machine without a GPU driver, or Xvfb). Emulating the GPU there costs
// more than zep's own frames.
bool RunsOnTheCpu(const std::string& gl) {
    for (const char* cpu : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
        if (gl.find(cpu) != std::string::npos) return true;
    return false;
}

std::string RendererName(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    return SDL_GetRendererInfo(renderer, &info) == 0 && info.name ? info.name : "unknown";
}

// The window and how it shows the picture; it lives as long as the
// platform keeps it, so that runs played one after another (--loop) share
// one window. It shows the 640 x 480 picture scaled to fit, with its shape
// kept (black bars) and sharp pixels, in one of two ways:
//   - through a renderer (a GPU's OpenGL or Direct3D, or OpenGL on the CPU
//     where nothing else can draw, as on Wayland): the picture as a texture,
//     the largest whole factor with nearest sampling, then the rest of the
//     way with linear filtering (sharp_scale.h);
//   - the window's own pixels (X11 where OpenGL runs on the CPU, or where
//     memory is short): zep enlarges the picture by the largest whole factor
//     itself and the rest is a black border; nothing else is drawn.
// A double-click toggles fullscreen; the mouse cursor hides once it has
// rested over the picture for two seconds, and on entering fullscreen. At
// most 60 pictures a second are shown: through vertical sync on a 60 Hz
// display, otherwise by sleeping until the picture is due.
class SdlScreen {
public:
    SdlScreen(const std::string& title, int width, int height, const WindowOptions& options)
        : width_(width), height_(height), options_(options) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) throw SdlFailure("cannot open the window (no display?)");
        if (!ShowsOnScreen())
            throw ptc::DynamicError("cannot open the window: no display (no X11 or Wayland session)");
        x11::WatchErrors();
        const int displays = SDL_GetNumVideoDisplays();
        if (options_.display >= displays)
            throw ptc::DynamicError("there is no monitor " + std::to_string(options_.display) + ": this display has " +
                                    std::to_string(displays) + " (0 to " + std::to_string(displays - 1) + ")");
        const int at = options_.display >= 0 ? static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(options_.display))
                                             : static_cast<int>(SDL_WINDOWPOS_CENTERED);
        window_ = SDL_CreateWindow(title.c_str(), at, at, width, height,
                                   SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
        if (!window_) throw SdlFailure("cannot open the window");
        SetIcon();
        const std::string driver = SDL_GetCurrentVideoDriver();
        const bool has_framebuffer = driver != "wayland";
        // Without a window manager nobody makes a fullscreen window cover
        // the screen: zep moves and sizes it itself.
        own_fullscreen_ = driver == "x11" && !x11::HasWindowManager(window_);
        ChooseDrawing(has_framebuffer);
        x11::TakeError();  // what failed while choosing was answered by the choice
        x11::ForgetLost();
        if (options_.verbose) {
            std::fprintf(stderr, "zep: video driver: %s\n", driver.c_str());
            std::fprintf(stderr, "zep: renderer: %s\n", drawing_.c_str());
        }
        if (options_.fullscreen) SetFullscreen(true);
        Clear();
        last_present_ = Now();
        next_present_ = last_present_ + kFrameSeconds;
        last_motion_ = last_present_;
    }

    ~SdlScreen() {
        if (x11::Lost()) return;  // nothing left to close
        if (upscaled_) SDL_DestroyTexture(upscaled_);
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        // The video subsystem stays up until the platform ends: a failure's
        // message box may still need it.
    }

    SdlScreen(const SdlScreen&) = delete;
    SdlScreen& operator=(const SdlScreen&) = delete;

    bool KeyPending() {
        PumpEvents();
        CheckLost();
        return key_pending_ || Interrupted() != 0;
    }

    // When the picture drawn next will be presented, at the earliest.
    double NextPresent() const { return vsync_ ? last_present_ + kFrameSeconds : next_present_; }

    void Show(const Pixel* picture) {
        PumpEvents();
        if (renderer_) ShowThroughRenderer(picture);
        else ShowInWindowPixels(picture);
        last_present_ = Now();
        CheckLost();
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

    void ChooseDrawing(bool has_framebuffer) {
        std::string gl;
        if (!(has_framebuffer && AddressSpaceIsTight())) {
            SDL_DisplayMode mode{};
            const int display = SDL_GetWindowDisplayIndex(window_);
            const bool sixty_hertz = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 &&
                                     mode.refresh_rate >= 59 && mode.refresh_rate <= 61;
            if (sixty_hertz) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
            vsync_ = renderer_ != nullptr;
            if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
            if (renderer_) gl = GlRenderer(renderer_);
            if (renderer_ && has_framebuffer && RunsOnTheCpu(gl)) {
                SDL_DestroyRenderer(renderer_);
                renderer_ = nullptr;
                vsync_ = false;
            }
        }
        if (renderer_) {
            drawing_ = RendererName(renderer_) +
                       (gl.empty() ? "" : (RunsOnTheCpu(gl) ? ", OpenGL on the CPU (" : ", OpenGL on a GPU (") + gl + ")");
            SDL_RendererInfo info{};
            targets_ = SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_TARGETTEXTURE) != 0;
            CreatePictureTexture();
            return;
        }
        if (!has_framebuffer) throw SdlFailure("cannot draw into the window");
        // The window's own pixels, shown through shared memory, not a
        // texture drawn by an emulated GPU.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (!SDL_GetWindowSurface(window_)) throw SdlFailure("cannot draw into the window");
        drawing_ = "software (the window's own pixels, whole-number scaling)";
        if (!gl.empty()) drawing_ += ", OpenGL on the CPU (" + gl + ") left unused";
        else if (AddressSpaceIsTight()) drawing_ += ", OpenGL left unused under a tight memory limit";
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
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width_, height_);
        if (!texture_) throw SdlFailure("cannot create the window picture");
    }

    void Clear() {
        if (renderer_) {
            SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
            SDL_RenderClear(renderer_);
            SDL_RenderPresent(renderer_);
            return;
        }
        if (SDL_Surface* surface = SDL_GetWindowSurface(window_)) {
            SDL_FillRect(surface, nullptr, 0);
            SDL_UpdateWindowSurface(window_);
        }
        surface_ = nullptr;  // the next picture clears the border again
    }

    void ReportSize(int out_width, int out_height) {
        if (!options_.verbose || (out_width == reported_width_ && out_height == reported_height_)) return;
        reported_width_ = out_width;
        reported_height_ = out_height;
        int window_width = 0, window_height = 0;
        SDL_GetWindowSize(window_, &window_width, &window_height);
        SDL_DisplayMode mode{};
        const int display = SDL_GetWindowDisplayIndex(window_);
        const int hertz = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0;
        std::fprintf(stderr, "zep: drawable: %dx%d, window: %dx%d, display: %d Hz\n", out_width, out_height,
                     window_width, window_height, hertz);
    }

    // The picture scaled by a whole factor with nearest sampling, drawn into
    // a texture of its own; null when the renderer cannot draw into one.
    SDL_Texture* Upscaled(int factor) {
        if (upscaled_ && upscaled_factor_ == factor) return upscaled_;
        if (upscaled_) SDL_DestroyTexture(upscaled_);
        upscaled_ = nullptr;
        if (!targets_) return nullptr;
        upscaled_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, width_ * factor,
                                      height_ * factor);
        upscaled_factor_ = factor;
        if (upscaled_) SDL_SetTextureScaleMode(upscaled_, SDL_ScaleModeLinear);
        return upscaled_;
    }

    void ShowThroughRenderer(const Pixel* picture) {
        if (SDL_UpdateTexture(texture_, nullptr, picture, width_ * 4) != 0)
            throw SdlFailure("cannot update the window picture");
        SDL_RenderClear(renderer_);
        int out_width = 0, out_height = 0;
        if (SDL_GetRendererOutputSize(renderer_, &out_width, &out_height) != 0)
            throw SdlFailure("cannot scale the window");
        ReportSize(out_width, out_height);
        scale_ = PlanSharpScale(width_, height_, out_width, out_height);
        const SDL_Rect dest{scale_.dest.x, scale_.dest.y, scale_.dest.w, scale_.dest.h};
        SDL_Texture* upscaled = scale_.exact || scale_.factor == 1 ? nullptr : Upscaled(scale_.factor);
        if (upscaled && SDL_SetRenderTarget(renderer_, upscaled) == 0) {
            SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
            SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
            SDL_SetRenderTarget(renderer_, nullptr);
            SDL_RenderCopy(renderer_, upscaled, nullptr, &dest);
        } else {
            // A whole multiple, or less than twice the size: one step.
            // Without render targets a larger size is drawn with nearest
            // sampling alone.
            const bool linear = !scale_.exact && scale_.factor == 1;
            SDL_SetTextureScaleMode(texture_, linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
            SDL_RenderCopy(renderer_, texture_, nullptr, &dest);
        }
        Pace();
        SDL_RenderPresent(renderer_);
    }

    void ShowInWindowPixels(const Pixel* picture) {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface) throw SdlFailure("cannot draw into the window");
        ReportSize(surface->w, surface->h);
        scale_ = PlanWholeScale(width_, height_, surface->w, surface->h);
        const bool fresh = surface != surface_ || surface->w != surface_width_ || surface->h != surface_height_;
        if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) throw SdlFailure("cannot draw into the window");
        if (fresh) {
            SDL_memset4(surface->pixels, 0, static_cast<std::size_t>(surface->pitch / 4) * surface->h);
            surface_ = surface;
            surface_width_ = surface->w;
            surface_height_ = surface->h;
        }
        const ScreenRect& d = scale_.dest;
        const SDL_PixelFormat* f = surface->format;
        if (f->BytesPerPixel == 4 && f->Rmask == 0xff0000 && f->Gmask == 0xff00 && f->Bmask == 0xff) {
            auto* out = static_cast<std::uint32_t*>(surface->pixels) + static_cast<std::ptrdiff_t>(d.y) * (surface->pitch / 4) + d.x;
            EnlargeWhole(picture, width_, height_, scale_.factor, out, surface->pitch / 4, d.w, d.h);
            if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
        } else {
            // Another pixel layout (a 16-bit screen): SDL converts.
            if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
            SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<Pixel*>(picture), width_, height_, 32,
                                                                     width_ * 4, SDL_PIXELFORMAT_RGB888);
            if (!source) throw SdlFailure("cannot draw into the window");
            SDL_Rect dest{d.x, d.y, width_ * scale_.factor, height_ * scale_.factor};
            SDL_BlitScaled(source, nullptr, surface, &dest);
            SDL_FreeSurface(source);
        }
        Pace();
        const SDL_Rect rect{d.x, d.y, d.w, d.h};
        const int shown = fresh ? SDL_UpdateWindowSurface(window_) : SDL_UpdateWindowSurfaceRects(window_, &rect, 1);
        if (shown != 0) throw SdlFailure("cannot show the window picture");
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
                    SetFullscreen(!Fullscreen());
                break;
            case SDL_RENDER_DEVICE_RESET:
                // The renderer lost its textures (a Direct3D device reset).
                if (!renderer_) break;
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
        if (cursor_shown_ && Now() - last_motion_ >= kCursorRestSeconds && (Fullscreen() || MouseOverPicture()))
            ShowCursor(false);
    }

    // A request that failed on the X server: the window is gone.
    void CheckLost() {
        const std::string lost = x11::TakeError();
        if (!lost.empty()) throw ptc::DynamicError(lost);
    }

    bool Fullscreen() const {
        return own_fullscreen_ ? in_own_fullscreen_
                               : (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
    }

    void SetFullscreen(bool on) {
        if (on == Fullscreen()) return;
        if (own_fullscreen_) {
            SetOwnFullscreen(on);
        } else {
            if (on && options_.display >= 0)
                SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(options_.display),
                                      SDL_WINDOWPOS_CENTERED_DISPLAY(options_.display));
            // The display mode stays as it is; a failure leaves the window as it was.
            if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return;
        }
        if (on) ShowCursor(false);
        else last_motion_ = Now();
    }

    // Fullscreen where no window manager would make it: the window, without
    // its frame, moved over the whole display and sized to it; and back.
    void SetOwnFullscreen(bool on) {
        if (on) {
            const int display = options_.display >= 0 ? options_.display : SDL_GetWindowDisplayIndex(window_);
            SDL_Rect bounds{};
            if (display < 0 || SDL_GetDisplayBounds(display, &bounds) != 0) return;
            SDL_GetWindowPosition(window_, &windowed_.x, &windowed_.y);
            SDL_GetWindowSize(window_, &windowed_.w, &windowed_.h);
            SDL_SetWindowBordered(window_, SDL_FALSE);
            SDL_SetWindowPosition(window_, bounds.x, bounds.y);
            SDL_SetWindowSize(window_, bounds.w, bounds.h);
            SDL_RaiseWindow(window_);
        } else {
            SDL_SetWindowBordered(window_, SDL_TRUE);
            SDL_SetWindowSize(window_, windowed_.w, windowed_.h);
            SDL_SetWindowPosition(window_, windowed_.x, windowed_.y);
        }
        in_own_fullscreen_ = on;
    }

    bool MouseOverPicture() const {
        if (SDL_GetMouseFocus() != window_) return false;
        int x = 0, y = 0, window_width = 0, window_height = 0, out_width = 0, out_height = 0;
        SDL_GetMouseState(&x, &y);
        SDL_GetWindowSize(window_, &window_width, &window_height);
        if (renderer_) {
            if (SDL_GetRendererOutputSize(renderer_, &out_width, &out_height) != 0) return true;
        } else {
            out_width = surface_width_;
            out_height = surface_height_;
        }
        if (window_width <= 0 || window_height <= 0) return true;
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

    int width_;
    int height_;
    WindowOptions options_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Texture* upscaled_ = nullptr;
    int upscaled_factor_ = 0;
    bool targets_ = false;
    std::string drawing_;
    // The window's own pixels: the surface last drawn into and its size.
    SDL_Surface* surface_ = nullptr;
    int surface_width_ = 0;
    int surface_height_ = 0;
    SharpScale scale_{{0, 0, 0, 0}, 1, true};
    bool own_fullscreen_ = false;
    bool in_own_fullscreen_ = false;
    SDL_Rect windowed_{0, 0, 0, 0};
    int reported_width_ = 0;
    int reported_height_ = 0;
    bool vsync_ = false;
    bool key_pending_ = false;
    bool cursor_shown_ = true;
    double last_motion_ = 0.0;
    double last_present_ = 0.0;
    double next_present_ = 0.0;
};

// The console of one run: the picture in memory, shown in the platform's
// window on update(). A key press, the window closed, or SIGINT, SIGTERM or
// SIGHUP counts as a key.
class SdlConsole : public ptc::Console {
public:
    SdlConsole(std::shared_ptr<SdlScreen>& kept, const SdlScreen*& showing, const WindowOptions& options)
        : kept_(kept), showing_(showing), options_(options) {}
    ~SdlConsole() override { showing_ = nullptr; }

    void open(const std::string& title, int width, int height, const ptc::Format& format, int pages) override {
        (void)pages;
        if (format.bits != 32 || format.red_mask != 0xff0000 || format.green_mask != 0xff00 ||
            format.blue_mask != 0xff)
            throw ptc::DynamicError("unsupported pixel format");
        if (!kept_) kept_ = std::make_shared<SdlScreen>(title, width, height, options_);
        screen_ = kept_;
        showing_ = screen_.get();
        if (!options_.keep_window) kept_.reset();  // the window closes with this console
        allocate(width, height);
    }

    int key() override { return screen_->KeyPending() ? 1 : 0; }

    void update() override { screen_->Show(picture()); }

private:
    std::shared_ptr<SdlScreen>& kept_;
    const SdlScreen*& showing_;
    WindowOptions options_;
    std::shared_ptr<SdlScreen> screen_;
};

// The scene clock: the music as heard (audio_clock.h), which is the steady
// clock while the audio device has no position to give.
//
// A frame's clock is read before it is drawn, and its picture reaches the
// screen when it is presented: paced to 60 a second, that is up to a frame
// later. The clock is the music as it will be heard then, so that picture
// and sound meet on the screen, not a frame apart.
class AudioTimer : public ptc::Timer {
public:
    // `screen`: the window showing the run, while there is one.
    AudioTimer(const Music& music, const SdlScreen* const& screen) : music_(music), screen_(screen) {}
    void start() override { StartAudioClock(clock_, SteadySeconds()); }
    double time() override {
        const double now = SteadySeconds();
        const double heard = ReadAudioClock(clock_, now, music_.Heard());
        const double lead = screen_ ? std::clamp(screen_->NextPresent() - now, 0.0, 2 * kFrameSeconds) : 0.0;
        latest_ = std::max(latest_, heard + lead);
        return latest_;
    }

private:
    const Music& music_;
    const SdlScreen* const& screen_;
    AudioClock clock_;
    double latest_ = 0.0;
};

#ifndef _WIN32
// True when a line on standard error reaches somebody: a terminal, a file
// or a pipe. From a desktop menu it goes nowhere (/dev/null) or into a
// journal nobody reads.
bool StandardErrorIsSeen() {
    struct stat status {};
    if (fstat(STDERR_FILENO, &status) != 0) return false;
    return isatty(STDERR_FILENO) == 1 || S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode);
}

// Shows the message box in a child process of its own process group, so
// that a signal ends it too: SDL waits for its box without end, itself in a
// child that no signal to zep reaches. The box's child ends with the box.
void ShowMessageBox(const char* text) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) return;  // the line on standard error has to do
    if (child == 0) {
        setpgid(0, 0);
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "ZEP.", text, nullptr);
        _exit(0);
    }
    setpgid(child, child);
    for (;;) {
        if (waitpid(child, nullptr, 0) == child) return;
        if (errno != EINTR) return;
        if (Interrupted() != 0) {
            kill(-child, SIGKILL);
            waitpid(child, nullptr, 0);
            EndByInterrupt(Interrupted());
        }
    }
}
#endif

class SdlPlatform : public Platform {
public:
    explicit SdlPlatform(const WindowOptions& options) : options_(options) {
#ifdef _WIN32
        // On a display scaled above 100 % the window grows with the scale and
        // the picture is drawn at the display's own resolution, instead of
        // being stretched, blurred, by Windows.
        SDL_SetHint(SDL_HINT_WINDOWS_DPI_SCALING, "1");
#endif
        SDL_SetMainReady();
        // SIGINT and SIGTERM are zep's own (they end it as the signal), not
        // SDL's quit events.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // In a Wayland session, Wayland itself: through XWayland a screen
        // scaled to 200 % would show the picture blurred by the compositor's
        // enlargement, where Wayland gives zep the screen's own pixels. X11
        // stays the fallback, and SDL_VIDEODRIVER still decides.
        const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
        if (wayland && *wayland && !SDL_getenv("SDL_VIDEODRIVER"))
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland,x11");
    }
    ~SdlPlatform() override {
        screen_.reset();
        if (!x11::Lost()) SDL_Quit();
    }

    std::unique_ptr<ptc::Console> MakeConsole() override { return std::make_unique<SdlConsole>(screen_, showing_, options_); }

    std::unique_ptr<ptc::Timer> MakeTimer(const Music& music) override {
        return std::make_unique<AudioTimer>(music, showing_);
    }

    std::unique_ptr<AudioStream> OpenAudio(int rate, AudioPull pull) override {
        return OpenSdlAudio(rate, std::move(pull), options_.verbose);
    }

    void Report(const ptc::DynamicError& error) override {
        std::fprintf(stderr, "zep: %s\n", error.what());
#ifdef _WIN32
        // Without a console the entry point shows standard error in a box.
#else
        if (SDL_WasInit(SDL_INIT_VIDEO) && !StandardErrorIsSeen()) ShowMessageBox(error.what());
#endif
    }

private:
    WindowOptions options_;
    std::shared_ptr<SdlScreen> screen_;  // kept between runs with --loop
    const SdlScreen* showing_ = nullptr; // the window of the run being played
};

}  // namespace

std::unique_ptr<Platform> MakeSdlPlatform(const WindowOptions& options) {
    return std::make_unique<SdlPlatform>(options);
}

std::unique_ptr<Platform> MakeWindowPlatform(const WindowOptions& options) { return MakeSdlPlatform(options); }

}  // namespace zep
