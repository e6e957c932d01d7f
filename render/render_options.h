// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Command line of zep-render.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zep::render {

// How --video encodes: for sharing (H.264 4:2:0, BT.709) or losslessly, for
// people who edit.
enum class VideoQuality { Share, Archive };

struct RenderOptions {
    std::string data_dir = ".";
    double fps = 60.0;        // fps_num / fps_den
    long fps_num = 60;        // the frame rate as given, an exact fraction
    long fps_den = 1;
    long from = 1;            // first frame written (frames count from 1)
    std::string start;        // --start: the moment whose frame is the first written
    long to = -1;             // last frame written; -1: until the demo ends
    std::string png_dir;      // empty: no PNG frames
    std::string raw_path;     // empty: no raw video; "-" is standard output
    std::string video_path;   // empty: no MP4
    std::string hashes_path;  // empty: no frame hashes; "-" is standard output
    int scale = 1;            // K x K blocks per pixel (PNG and MP4)
    bool scale_given = false; // --scale was given; else the video's scale follows its quality
    VideoQuality quality = VideoQuality::Share;
    long key_after = -1;      // a scripted key press pending after this frame
    std::string cpu = "auto"; // the copy of the scenes that runs (scenes/code_paths.h)
    bool flashes = false;     // check the frames for flashes (see render/flashes.h)
    bool help = false;
    bool version = false;     // print the version and end
    bool scenes = false;      // print the scene table (shell/schedule.h) and end
};

// Parses argv; on a bad option returns nullopt and sets `error` to a
// message naming what is wrong.
std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error);

// Empty, or why the outputs that name standard output ("-") cannot share it.
std::string CheckStandardOutputUse(const RenderOptions& options);

extern const char* const kRenderUsage;

// The scale of the --video output: --scale when given, else 2 for sharing
// (each source pixel keeps its own colour in 4:2:0) and 1 for the archive.
int VideoScale(const RenderOptions& options);

// The number of frames the demo runs at `fps` frames a second on the virtual
// clock, as the driver counts them.
long DemoFrameCount(double fps);

// The frames to write: from `from` to `last` (inclusive).
struct FramePlan {
    long from = 1;
    long last = 0;
    long total = 0;     // frames in the whole demo at this rate
    std::string note;   // a line for standard error when --to was cut short
};

// Checks the frame selection against the demo's length at the options' rate;
// nullopt with `error` set when --from lies past the last frame or a
// --key-after ends the run before it.
std::optional<FramePlan> PlanFrames(const RenderOptions& options, std::string& error);

// A line for standard error when no output option was given (the run then
// only checks that the demo runs on the data), else empty.
std::string NoOutputNote(const RenderOptions& options);

}  // namespace zep::render
