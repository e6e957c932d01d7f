// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "shell/player_options.h"

#include <cerrno>
#include <cstdlib>
#include <set>

#include "shell/driver.h"
#include "shell/start_moment.h"

namespace zep {

const char* const kPlayerUsage =
    "usage: zep [--fullscreen] [--display N] [--data DIR] [--start T] [--loop] [--verbose]\n"
    "       zep --help | --version\n"
    "Plays the demo in a window with its music, until the music ends or a key is\n"
    "pressed. A double-click switches fullscreen on and off.\n"
    "  --fullscreen   start in fullscreen\n"
    "  --display N    the monitor for fullscreen, counted from 0 (default: the one\n"
    "                 the window opens on)\n"
    "  --data DIR     the folder with the data files and the music module (default:\n"
    "                 the folder zep was installed with, or the current one)\n"
    "  --start T      start at moment T, with the music from there: seconds (86,\n"
    "                 86.5 or t=86) or a scene by its number or name (scene=5,\n"
    "                 scene=landscape or landscape); the first picture is\n"
    "                 zep-render's frame for that moment\n"
    "  --loop         play again from the start after the end, until a key is pressed\n"
    "  --verbose      print the video driver, the renderer, the window's size and the\n"
    "                 sound set-up on standard error, for bug reports\n"
    "Exit status: 0 at the end, on a key or when the window is closed; 1 when the\n"
    "data, the music, the window or the display cannot be used or is lost; 2 for a\n"
    "bad command line. SIGINT, SIGTERM and SIGHUP end zep as that signal.\n";

namespace {

bool TakesValue(const std::string& a) {
    return a == "--display" || a == "--data" || a == "--start";
}

bool ApplyValue(const std::string& a, const std::string& v, PlayerOptions& o, std::string& error) {
    if (v.empty()) {
        error = "option " + a + " needs a value";
        return false;
    }
    if (a == "--data") o.data_dir = v;
    if (a == "--display") {
        char* end = nullptr;
        errno = 0;
        const long n = std::strtol(v.c_str(), &end, 10);
        if (errno != 0 || *end != '\0' || n < 0 || n > 63 || v[0] == '-' || v[0] == '+' || v[0] == ' ') {
            error = "--display needs a monitor's number from 0 (got '" + v + "')";
            return false;
        }
        o.display = static_cast<int>(n);
    }
    if (a == "--start") {
        const std::optional<long> frame = ParseStartMoment(DemoSequence(), v, 60.0, error);
        if (!frame) {
            error = "--start: " + error;
            return false;
        }
        o.first_frame = *frame;
    }
    return true;
}

}  // namespace

std::optional<PlayerOptions> ParsePlayerOptions(const std::vector<std::string>& args, std::string& error) {
    PlayerOptions o;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i];
        std::optional<std::string> value;
        if (const std::size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = a.substr(eq + 1);
            a.resize(eq);
        }
        if (!seen.insert(a).second) {
            error = "option " + a + " is given twice";
            return std::nullopt;
        }
        if (TakesValue(a)) {
            if (!value) {
                if (i + 1 >= args.size()) {
                    error = "option " + a + " needs a value";
                    return std::nullopt;
                }
                value = args[++i];
            }
            if (!ApplyValue(a, *value, o, error)) return std::nullopt;
            continue;
        }
        if (value) {
            error = "option " + a + " takes no value";
            return std::nullopt;
        }
        if (a == "--help" || a == "-h") o.help = true;
        else if (a == "--version") o.version = true;
        else if (a == "--fullscreen") o.fullscreen = true;
        else if (a == "--loop") o.loop = true;
        else if (a == "--verbose") o.verbose = true;
        else {
            error = a.rfind("-", 0) == 0 ? "unknown option '" + a + "'" : "unexpected argument '" + a + "'";
            return std::nullopt;
        }
    }
    return o;
}

}  // namespace zep
