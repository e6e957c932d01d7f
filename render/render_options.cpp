// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "render/render_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <set>

#include "scenes/code_paths.h"
#include "shell/driver.h"
#include "shell/schedule.h"
#include "shell/start_moment.h"

namespace zep::render {

const char* const kRenderUsage =
    "usage: zep-render [--data DIR] [--fps N] [--from A | --start T] [--to B] [--png DIR]\n"
    "                  [--rawvideo FILE|-] [--video FILE.mp4] [--hashes FILE|-]\n"
    "                  [--quality share|archive] [--scale K] [--key-after N] [--flashes]\n"
    "                  [--cpu baseline|avx2|auto]\n"
    "       zep-render --scenes | --help | --version\n"
    "Runs the demo without a window on a virtual clock (frame n shows time n/fps)\n"
    "and writes the window picture after every frame from A to B (counted from 1).\n"
    "  --data DIR         folder with the data files and the music module (default: .)\n"
    "  --fps N            frames per second of the virtual clock, 1 to 1000 with up to\n"
    "                     three decimals (default: 60)\n"
    "  --from A, --to B   frames to write, inclusive (default: all)\n"
    "  --start T          begin with the frame of moment T instead of --from: seconds\n"
    "                     (86, 86.5 or t=86), the first frame whose time has reached\n"
    "                     T, or a scene's first frame (scene=5, scene=landscape or\n"
    "                     landscape); zep --start T shows the same frame first\n"
    "  --png DIR          DIR/frame_000001.png and so on, RGB\n"
    "  --rawvideo FILE|-  640x480 frames of 4-byte little-endian pixels, back to back\n"
    "                     (ffmpeg's bgr0), no header; - is standard output\n"
    "  --video FILE.mp4   the video with the music, made by ffmpeg\n"
    "  --quality Q        --video's encoding: share (the default; H.264, BT.709, at\n"
    "                     --scale 2 unless given) or archive (lossless RGB H.264 and\n"
    "                     ALAC, at --scale 1 unless given)\n"
    "  --hashes FILE|-    one line per frame: the frame number (six digits), a space\n"
    "                     and the 64-bit FNV-1a hash of its blue, green, red bytes\n"
    "                     in 16 hexadecimal digits; - is standard output\n"
    "  --scale K          PNG and video: every pixel becomes a KxK block (1 to 8;\n"
    "                     PNG default 1, video default as --quality says)\n"
    "  --key-after N      act as if a key were pressed after frame N\n"
    "  --flashes          check the frames for flashes that can cause seizures; names\n"
    "                     each second that fails and exits with status 1 if any do\n"
    "  --cpu NAME         the code the scenes run: baseline (any CPU of its kind),\n"
    "                     avx2, or auto, the best this CPU runs (default); every\n"
    "                     choice draws the same frames\n"
    "  --scenes           print the scene table as JSON: each scene's end time and\n"
    "                     its frames at 60 frames a second, and the run's length\n";

namespace {

bool ParseLong(const std::string& text, long& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    out = v;
    return true;
}

// A frame rate from 1 to 1000 written as a whole number or with up to three
// decimals, kept as the exact fraction it names.
bool ParseFrameRate(const std::string& text, long& num, long& den) {
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string decimals = point == std::string::npos ? "" : text.substr(point + 1);
    if (whole.empty() || whole.size() > 4 || decimals.size() > 3) return false;
    if (point != std::string::npos && decimals.empty()) return false;
    long n = 0;
    for (char c : whole + decimals) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    long d = 1;
    for (std::size_t i = 0; i < decimals.size(); ++i) d *= 10;
    if (n < d || n > 1000 * d) return false;
    const long g = std::gcd(n, d);
    num = n / g;
    den = d / g;
    return true;
}

// An option given twice is refused rather than one of its values dropped.
bool Repeated(const std::string& option, std::set<std::string>& seen, std::string& error) {
    if (seen.insert(option).second) return false;
    error = "option " + option + " is given twice";
    return true;
}

std::string FormatRate(const RenderOptions& o) {
    std::string text = std::to_string(o.fps_num / o.fps_den);
    long rest = o.fps_num % o.fps_den;
    if (rest != 0) {
        text += '.';
        while (rest != 0) {
            rest *= 10;
            text += static_cast<char>('0' + rest / o.fps_den);
            rest %= o.fps_den;
        }
    }
    return text;
}

}  // namespace

namespace {

bool TakesValue(const std::string& a) {
    return a == "--data" || a == "--fps" || a == "--from" || a == "--start" || a == "--to" || a == "--png" ||
           a == "--rawvideo" || a == "--video" || a == "--hashes" || a == "--scale" ||
           a == "--key-after" || a == "--cpu" || a == "--quality";
}

// A frame number for `option`, `least` or more.
bool ParseFrameNumber(const std::string& option, const std::string& v, long least, long& out,
                      std::string& error) {
    if (ParseLong(v, out) && out >= least) return true;
    error = option + " needs a frame number of " + std::to_string(least) + " or more (got '" + v +
            "')";
    return false;
}

bool ParseFps(const std::string& v, RenderOptions& o, std::string& error) {
    if (!ParseFrameRate(v, o.fps_num, o.fps_den)) {
        error = "--fps needs a number of frames per second from 1 to 1000, with at most "
                "three decimals (got '" + v + "')";
        return false;
    }
    o.fps = static_cast<double>(o.fps_num) / static_cast<double>(o.fps_den);
    return true;
}

bool ParseScale(const std::string& v, RenderOptions& o, std::string& error) {
    long k = 0;
    if (!ParseLong(v, k) || k < 1 || k > 8) {
        error = "--scale needs a whole number from 1 to 8 (got '" + v + "')";
        return false;
    }
    o.scale = static_cast<int>(k);
    o.scale_given = true;
    return true;
}

bool ParseQuality(const std::string& v, RenderOptions& o, std::string& error) {
    if (v == "share") {
        o.quality = VideoQuality::Share;
    } else if (v == "archive") {
        o.quality = VideoQuality::Archive;
    } else {
        error = "--quality needs share or archive (got '" + v + "')";
        return false;
    }
    return true;
}

// Option `a`, one of those TakesValue names, given the value `v`.
bool ApplyValue(const std::string& a, const std::string& v, RenderOptions& o,
                std::string& error) {
    if (a == "--data") o.data_dir = v;
    if (a == "--png") o.png_dir = v;
    if (a == "--rawvideo") o.raw_path = v;
    if (a == "--video") o.video_path = v;
    if (a == "--hashes") o.hashes_path = v;
    if (a == "--start") o.start = v;
    if (a == "--fps") return ParseFps(v, o, error);
    if (a == "--from") return ParseFrameNumber(a, v, 1, o.from, error);
    if (a == "--to") return ParseFrameNumber(a, v, 1, o.to, error);
    if (a == "--key-after") return ParseFrameNumber(a, v, 0, o.key_after, error);
    if (a == "--scale") return ParseScale(v, o, error);
    if (a == "--quality") return ParseQuality(v, o, error);
    if (a == "--cpu") {
        if (!ChooseCodePath(v, BuiltCodePaths(), error)) return false;
        o.cpu = v;
    }
    return true;
}

// The checks that need every option: the frame range, standard output
// used once, and options that apply only with others.
bool CheckTogether(RenderOptions& o, const std::set<std::string>& seen, std::string& error) {
    if (!o.start.empty()) {
        if (seen.count("--from") != 0) {
            error = "--start and --from both name the first frame: give one of them";
            return false;
        }
        // At the options' rate: the moment's frame of that run.
        const std::optional<long> frame = ParseStartMoment(DemoSequence(), o.start, o.fps, error);
        if (!frame) {
            error = "--start: " + error;
            return false;
        }
        o.from = *frame;
    }
    if (o.to != -1 && o.to < o.from) {
        error = "--to (" + std::to_string(o.to) + ") is before --from (" + std::to_string(o.from) + ")";
        return false;
    }
    error = CheckStandardOutputUse(o);
    if (!error.empty()) return false;
    if (o.scale_given && o.png_dir.empty() && o.video_path.empty()) {
        error = "--scale applies to --png and --video only";
        return false;
    }
    if (seen.count("--quality") != 0 && o.video_path.empty()) {
        error = "--quality applies to --video only";
        return false;
    }
    return true;
}

}  // namespace

std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error) {
    RenderOptions o;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--scenes") {
            o.scenes = true;
        } else if (a == "--flashes") {
            if (Repeated(a, seen, error)) return std::nullopt;
            o.flashes = true;
        } else if (!TakesValue(a)) {
            error = "unknown option '" + a + "'";
            return std::nullopt;
        } else if (i + 1 >= args.size()) {
            error = "option " + a + " needs a value";
            return std::nullopt;
        } else {
            if (Repeated(a, seen, error)) return std::nullopt;
            const std::string& v = args[++i];
            if (!ApplyValue(a, v, o, error)) return std::nullopt;
            if (v.empty()) {
                error = "option " + a + " needs a value";
                return std::nullopt;
            }
        }
    }
    if (!CheckTogether(o, seen, error)) return std::nullopt;
    return o;
}

int VideoScale(const RenderOptions& o) {
    if (o.scale_given) return o.scale;
    return o.quality == VideoQuality::Share ? 2 : 1;
}

std::string CheckStandardOutputUse(const RenderOptions& o) {
    if (o.video_path == "-")
        return "--video needs a file name: an MP4 file cannot be written to standard output";
    if (o.raw_path == "-" && o.hashes_path == "-")
        return "--rawvideo and --hashes cannot both write to standard output";
    return {};
}

long DemoFrameCount(double fps) { return RunFrameCount(DemoSequence(), fps); }

std::optional<FramePlan> PlanFrames(const RenderOptions& options, std::string& error) {
    FramePlan plan;
    plan.total = DemoFrameCount(options.fps);
    plan.from = options.from;
    const std::string length = "the demo has " + std::to_string(plan.total) + " frames at " +
                               FormatRate(options) +
                               (options.fps == 1.0 ? " frame a second" : " frames a second");
    if (options.from > plan.total) {
        error = "--from " + std::to_string(options.from) + " is past the last frame: " + length;
        return std::nullopt;
    }
    plan.last = plan.total;
    if (options.to > 0 && options.to <= plan.total) {
        plan.last = options.to;
    } else if (options.to > plan.total) {
        plan.note = "--to " + std::to_string(options.to) + " is past the last frame: " + length +
                    "; writing frames " + std::to_string(plan.from) + " to " + std::to_string(plan.total);
    }
    // A scripted key press ends the run after its frame.
    if (options.key_after >= 0 && options.key_after < plan.last) plan.last = options.key_after;
    if (plan.last < plan.from) {
        // Outputs of no frames would look finished and hold nothing.
        error = "--key-after " + std::to_string(options.key_after) + " ends the run before frame " +
                std::to_string(plan.from) + ", the first to write: nothing would be written";
        return std::nullopt;
    }
    return plan;
}

std::string NoOutputNote(const RenderOptions& options) {
    if (!options.png_dir.empty() || !options.raw_path.empty() || !options.video_path.empty() ||
        !options.hashes_path.empty() || options.flashes)
        return {};
    return "no output option (--png, --rawvideo, --video or --hashes): the frames are computed "
           "and nothing is written";
}

}  // namespace zep::render
