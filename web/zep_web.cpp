// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The functions the page calls: start a run on the data it unpacked, run one
// frame per call, pass a key press, and read the picture, its hash, the clock
// and the state.
#include <emscripten.h>

#include <cinttypes>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/render_options.h"
#include "core/frame_hash.h"
#include "shell/driver.h"
#include "shell/start_moment.h"
#include "platforms/web/web_platform.h"

namespace {

struct WebRun {
    WebRun(const char* data_dir, double fps)
        : data(data_dir), platform(zep::web::WebOptions{fps}),
          run(platform, zep::DemoSequence(), data,
              [this](const ptc::Console& console, std::size_t) { picture = console.picture(); }) {}
    zep::DataDir data;
    zep::web::WebPlatform platform;
    zep::DemoRun run;
    const zep::Pixel* picture = nullptr;  // the latest window picture, or null
};

// The check mode's frame selection, checked by zep-render's own rules.
struct CheckPlan {
    std::vector<std::string> args;
    zep::render::RenderOptions options;
    zep::render::FramePlan frames;
    std::string error;  // or the note for --to past the end
};

// The real-time run's start moment, as the player's --start: its first frame
// to show at 60 frames a second (1: the beginning), or the reason it was
// refused.
struct StartPlan {
    long frame = 1;
    std::string error;
};

constexpr double kRealTimeFps = 60.0;

std::unique_ptr<WebRun> g_run;
CheckPlan g_check;
StartPlan g_start;
std::vector<std::uint32_t> g_rgba(zep::kScreenPixels, 0xff000000u);
char g_hash_text[17];

}  // namespace

extern "C" {

// Where the next run on the page's clock starts: the moment `text` as the
// player's --start takes it ("" for the beginning). Returns an empty text,
// or the reason the moment is refused (the start is then the beginning).
EMSCRIPTEN_KEEPALIVE const char* zep_plan_start(const char* text) {
    g_start = StartPlan{};
    if (*text == '\0') return "";
    const std::optional<long> frame =
        zep::ParseStartMoment(zep::DemoSequence(), text, kRealTimeFps, g_start.error);
    if (frame) g_start.frame = *frame;
    return g_start.error.c_str();
}

// The first frame the next run on the page's clock shows (see zep_plan_start).
EMSCRIPTEN_KEEPALIVE int zep_start_frame() { return static_cast<int>(g_start.frame); }

// Starts a run on the files in `data_dir`: on the virtual clock at `fps`
// frames a second when fps is above 0, otherwise on the page's clock with its
// music, from the planned start moment (its earlier frames are drawn unseen
// first). Returns 0, or the run's exit status when it could not start.
EMSCRIPTEN_KEEPALIVE int zep_start(const char* data_dir, double fps) {
    g_run.reset();
    g_run = std::make_unique<WebRun>(data_dir, fps);
    if (fps <= 0.0 && g_start.frame > 1) g_run->run.SetFirstFrame(g_start.frame, kRealTimeFps);
    if (!g_run->run.Start()) return g_run->run.Status() == 0 ? 1 : g_run->run.Status();
    return 0;
}

// Runs one frame. 1 when a frame was drawn, 0 once the run has ended.
EMSCRIPTEN_KEEPALIVE int zep_frame() {
    if (!g_run) return 0;
    WebRun& w = *g_run;
    if (!w.run.Frame()) {
        // The console closed with the run and left its picture to the platform.
        const std::vector<zep::Pixel>& last = w.platform.LastPicture();
        w.picture = last.empty() ? nullptr : last.data();
        return 0;
    }
    return 1;
}

EMSCRIPTEN_KEEPALIVE void zep_key() {
    if (g_run) g_run->platform.PressKey();
}

EMSCRIPTEN_KEEPALIVE void zep_stop() {
    g_run.reset();
}

// The run's exit status once it has ended (see DemoRun::Status).
EMSCRIPTEN_KEEPALIVE int zep_status() { return g_run ? g_run->run.Status() : 0; }

EMSCRIPTEN_KEEPALIVE double zep_clock() { return g_run ? g_run->run.Clock() : 0.0; }

EMSCRIPTEN_KEEPALIVE int zep_scene() {
    return g_run ? static_cast<int>(g_run->run.SceneIndex()) : 0;
}

// The clock value the demo ends at: the last scene's end.
EMSCRIPTEN_KEEPALIVE double zep_end_time() {
    const auto sequence = zep::DemoSequence();
    return sequence.empty() ? 0.0 : sequence.back()->end_time;
}

// The name of scene `k` of the sequence, or an empty text.
EMSCRIPTEN_KEEPALIVE const char* zep_scene_name(int k) {
    const auto sequence = zep::DemoSequence();
    return k >= 0 && static_cast<std::size_t>(k) < sequence.size() ? sequence[k]->name : "";
}

// The latest window picture as 640 x 480 RGBA bytes (also after the run has
// ended).
EMSCRIPTEN_KEEPALIVE const std::uint32_t* zep_rgba() {
    if (g_run && g_run->picture) zep::web::PictureToRgba(g_run->picture, g_rgba.data());
    return g_rgba.data();
}

// The latest window picture's hash as 16 lowercase hex digits.
EMSCRIPTEN_KEEPALIVE const char* zep_hash() {
    const zep::Pixel* picture = g_run ? g_run->picture : nullptr;
    const std::uint64_t hash = picture ? zep::FrameHash(picture) : 0;
    std::snprintf(g_hash_text, sizeof g_hash_text, "%016" PRIx64, hash);
    return g_hash_text;
}

// The check mode's parameters as zep-render options: zep_check_arg once per
// word ("--fps", "30", ...), then zep_check_plan, which returns an empty text
// when they are good (the getters below then hold the plan), else zep-render's
// message for what is wrong.
EMSCRIPTEN_KEEPALIVE void zep_check_arg(const char* word) { g_check.args.emplace_back(word); }

EMSCRIPTEN_KEEPALIVE const char* zep_check_plan() {
    std::vector<std::string> args;
    args.swap(g_check.args);
    g_check.error.clear();
    std::optional<zep::render::RenderOptions> options =
        zep::render::ParseRenderOptions(args, g_check.error);
    if (!options) return g_check.error.c_str();
    std::optional<zep::render::FramePlan> plan = zep::render::PlanFrames(*options, g_check.error);
    if (!plan) return g_check.error.c_str();
    g_check.options = *options;
    g_check.frames = *plan;
    return "";
}

EMSCRIPTEN_KEEPALIVE double zep_check_fps() { return g_check.options.fps; }
EMSCRIPTEN_KEEPALIVE int zep_check_from() { return static_cast<int>(g_check.frames.from); }
EMSCRIPTEN_KEEPALIVE int zep_check_last() { return static_cast<int>(g_check.frames.last); }
// A line about the frames asked for that the plan left out (--to past the end), or empty.
EMSCRIPTEN_KEEPALIVE const char* zep_check_note() { return g_check.frames.note.c_str(); }

}  // extern "C"
