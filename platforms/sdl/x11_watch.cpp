// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "platforms/sdl/x11_watch.h"

#include <SDL.h>

#include <cstdio>
#include <mutex>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <SDL_syswm.h>
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace zep::x11 {
namespace {

#if defined(SDL_VIDEO_DRIVER_X11)
using ErrorHandler = int (*)(Display*, XErrorEvent*);
using IoErrorHandler = int (*)(Display*);

// Xlib, as SDL loaded it; null where it is not loaded.
void* Xlib() { return dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD); }

template <typename F>
F Function(void* lib, const char* name) {
    return reinterpret_cast<F>(dlsym(lib, name));
}

std::mutex g_mutex;
std::string g_error;  // guarded by g_mutex
bool g_lost = false;  // guarded by g_mutex

int OnError(Display* display, XErrorEvent* event) {
    char text[160] = "";
    if (void* lib = Xlib()) {
        if (auto get_text = Function<int (*)(Display*, int, char*, int)>(lib, "XGetErrorText"))
            get_text(display, event->error_code, text, sizeof text);
        dlclose(lib);
    }
    char message[256];
    std::snprintf(message, sizeof message, "the window was lost (X error %s in request %d.%d)",
                  text[0] ? text : "?", event->request_code, event->minor_code);
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_error.empty()) g_error = message;
    g_lost = true;
    return 0;
}

[[noreturn]] int OnConnectionLost(Display*) {
    static const char kLine[] = "zep: lost the connection to the display (the X server closed it or went away)\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kLine, sizeof kLine - 1);
    _exit(1);
}
#endif

}  // namespace

void WatchErrors() {
#if defined(SDL_VIDEO_DRIVER_X11)
    void* lib = Xlib();
    if (!lib) return;
    if (auto set = Function<ErrorHandler (*)(ErrorHandler)>(lib, "XSetErrorHandler")) set(OnError);
    if (auto set = Function<IoErrorHandler (*)(IoErrorHandler)>(lib, "XSetIOErrorHandler"))
        set(OnConnectionLost);
    dlclose(lib);  // SDL keeps it loaded
#endif
}

std::string TakeError() {
#if defined(SDL_VIDEO_DRIVER_X11)
    std::lock_guard<std::mutex> lock(g_mutex);
    std::string error;
    error.swap(g_error);
    return error;
#else
    return {};
#endif
}

bool Lost() {
#if defined(SDL_VIDEO_DRIVER_X11)
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_lost;
#else
    return false;
#endif
}

void ForgetLost() {
#if defined(SDL_VIDEO_DRIVER_X11)
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lost = false;
#endif
}

bool HasWindowManager(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    void* lib = Xlib();
    if (!lib) return false;
    const auto intern = Function<Atom (*)(Display*, const char*, Bool)>(lib, "XInternAtom");
    const auto root_of = Function<Window (*)(Display*)>(lib, "XDefaultRootWindow");
    const auto get = Function<int (*)(Display*, Window, Atom, long, long, Bool, Atom, Atom*, int*,
                                      unsigned long*, unsigned long*, unsigned char**)>(lib, "XGetWindowProperty");
    const auto release = Function<int (*)(void*)>(lib, "XFree");
    bool found = false;
    if (intern && root_of && get && release) {
        Display* display = info.info.x11.display;
        const Atom check = intern(display, "_NET_SUPPORTING_WM_CHECK", True);
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, left = 0;
        unsigned char* data = nullptr;
        if (check != 0 && get(display, root_of(display), check, 0, 1, False, XA_WINDOW, &type, &format,
                              &items, &left, &data) == Success) {
            found = type == XA_WINDOW && items == 1;
            if (data) release(data);
        }
    }
    dlclose(lib);
    return found;
#else
    (void)window;
    return false;
#endif
}

}  // namespace zep::x11
