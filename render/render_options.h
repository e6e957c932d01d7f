// Command line of zep-render.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zep::render {

struct RenderOptions {
    std::string data_dir = ".";
    double fps = 60.0;
    long from = 1;            // first frame written (frames count from 1)
    long to = -1;             // last frame written; -1: until the demo ends
    std::string png_dir;      // empty: no PNG frames
    std::string raw_path;     // empty: no raw video; "-" is standard output
    std::string video_path;   // empty: no MP4
    std::string hashes_path;  // empty: no frame hashes; "-" is standard output
    int scale = 1;            // K x K blocks per pixel (PNG and MP4)
    long key_after = -1;      // a scripted key press pending after this frame
    bool help = false;
};

// Parses argv; on a bad option returns nullopt and sets `error` to a
// message naming what is wrong.
std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error);

extern const char* const kRenderUsage;

}  // namespace zep::render
