// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "shell/schedule.h"

#include <cstdio>

#include "core/data_dir.h"

namespace zep {

std::vector<SceneFrames> ScheduleFrames(std::span<const SceneEntry* const> sequence, double fps) {
    std::vector<SceneFrames> frames;
    long reads = 1;
    double clock = 0.0;
    long drawn = 0;
    for (const SceneEntry* entry : sequence) {
        SceneFrames scene{entry->name, entry->end_time, drawn + 1, drawn};
        while (clock < entry->end_time) {
            clock = static_cast<double>(reads++) / fps;
            scene.last = ++drawn;
        }
        frames.push_back(scene);
    }
    return frames;
}

long RunFrameCount(std::span<const SceneEntry* const> sequence, double fps) {
    const std::vector<SceneFrames> frames = ScheduleFrames(sequence, fps);
    return frames.empty() ? 0 : frames.back().last;
}

std::string ScheduleJson(std::span<const SceneEntry* const> sequence) {
    constexpr double kFps = 60.0;
    const std::vector<SceneFrames> frames = ScheduleFrames(sequence, kFps);
    char line[256];
    std::snprintf(line, sizeof line, "{\"fps\": %g, \"end\": %g, \"frames\": %ld, \"module\": \"%s\", \"scenes\": [\n",
                  kFps, frames.empty() ? 0.0 : frames.back().end_time, RunFrameCount(sequence, kFps),
                  kModuleName);
    std::string json = line;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const SceneFrames& f = frames[i];
        std::snprintf(line, sizeof line,
                      "  {\"name\": \"%s\", \"end\": %g, \"first\": %ld, \"last\": %ld, \"picture\": %ld}%s\n",
                      f.name, f.end_time, f.first, f.last, f.first - 1 + sequence[i]->picture_frame,
                      i + 1 < frames.size() ? "," : "");
        json += line;
    }
    return json + "]}\n";
}

}  // namespace zep
