#include "render/render_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace zep::render {

const char* const kRenderUsage =
    "usage: zep-render [--data DIR] [--fps N] [--from A] [--to B] [--png DIR]\n"
    "                  [--rawvideo FILE|-] [--video FILE.mp4] [--hashes FILE|-]\n"
    "                  [--scale K] [--key-after N]\n"
    "Runs the demo without a window on a virtual clock (frame n shows time n/fps)\n"
    "and writes the window picture after every frame from A to B (counted from 1).\n"
    "  --data DIR         folder with the data files and 076.it (default: .)\n"
    "  --fps N            frames per second of the virtual clock (default: 60)\n"
    "  --from A, --to B   frames to write, inclusive (default: all)\n"
    "  --png DIR          DIR/frame_000001.png and so on, RGB\n"
    "  --rawvideo FILE|-  640x480 frames of 4-byte little-endian pixels, back to back\n"
    "                     (ffmpeg's bgr0), no header; - is standard output\n"
    "  --video FILE.mp4   H.264 video with the music, made by ffmpeg\n"
    "  --hashes FILE|-    one line per frame: the frame number (six digits), a space\n"
    "                     and the 64-bit FNV-1a hash of its blue, green, red bytes\n"
    "                     in 16 hexadecimal digits; - is standard output\n"
    "  --scale K          PNG and video: every pixel becomes a KxK block (1 to 8)\n"
    "  --key-after N      act as if a key were pressed after frame N\n";

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

bool ParseDouble(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v)) return false;
    out = v;
    return true;
}

}  // namespace

std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error) {
    RenderOptions o;
    bool scale_given = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
            continue;
        }
        const bool takes_value = a == "--data" || a == "--fps" || a == "--from" || a == "--to" ||
                                 a == "--png" || a == "--rawvideo" || a == "--video" || a == "--hashes" ||
                                 a == "--scale" || a == "--key-after";
        if (!takes_value) {
            error = "unknown option '" + a + "'";
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = "option " + a + " needs a value";
            return std::nullopt;
        }
        const std::string& v = args[++i];
        if (a == "--data") {
            o.data_dir = v;
        } else if (a == "--fps") {
            if (!ParseDouble(v, o.fps) || o.fps <= 0.0 || o.fps > 10000.0) {
                error = "--fps needs a number of frames per second above 0 (got '" + v + "')";
                return std::nullopt;
            }
        } else if (a == "--from") {
            if (!ParseLong(v, o.from) || o.from < 1) {
                error = "--from needs a frame number of 1 or more (got '" + v + "')";
                return std::nullopt;
            }
        } else if (a == "--to") {
            if (!ParseLong(v, o.to) || o.to < 1) {
                error = "--to needs a frame number of 1 or more (got '" + v + "')";
                return std::nullopt;
            }
        } else if (a == "--png") {
            o.png_dir = v;
        } else if (a == "--rawvideo") {
            o.raw_path = v;
        } else if (a == "--video") {
            o.video_path = v;
        } else if (a == "--hashes") {
            o.hashes_path = v;
        } else if (a == "--scale") {
            long k = 0;
            if (!ParseLong(v, k) || k < 1 || k > 8) {
                error = "--scale needs a whole number from 1 to 8 (got '" + v + "')";
                return std::nullopt;
            }
            o.scale = static_cast<int>(k);
            scale_given = true;
        } else if (a == "--key-after") {
            if (!ParseLong(v, o.key_after) || o.key_after < 0) {
                error = "--key-after needs a frame number of 0 or more (got '" + v + "')";
                return std::nullopt;
            }
        }
        if (v.empty()) {
            error = "option " + a + " needs a value";
            return std::nullopt;
        }
    }
    if (o.to != -1 && o.to < o.from) {
        error = "--to (" + std::to_string(o.to) + ") is before --from (" + std::to_string(o.from) + ")";
        return std::nullopt;
    }
    if (o.raw_path == "-" && o.hashes_path == "-") {
        error = "--rawvideo and --hashes cannot both write to standard output";
        return std::nullopt;
    }
    if (scale_given && o.png_dir.empty() && o.video_path.empty()) {
        error = "--scale applies to --png and --video only";
        return std::nullopt;
    }
    return o;
}

}  // namespace zep::render
