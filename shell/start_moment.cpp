// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "shell/start_moment.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "shell/schedule.h"

namespace zep {
namespace {

std::string Lower(std::string_view text) {
    std::string out;
    for (char c : text) {
        const char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        out += (l == '-' || l == '_') ? ' ' : l;
    }
    return out;
}

std::vector<std::string> Words(const std::string& name) {
    std::vector<std::string> words;
    std::string word;
    for (char c : name + ' ') {
        if (c != ' ') {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

// The scene `text` names, or -1.
long SceneByName(DemoScenes sequence, std::string_view text) {
    const std::string wanted = Lower(text);
    for (std::size_t i = 0; i < sequence.size(); ++i)
        if (Lower(sequence[i]->name) == wanted) return static_cast<long>(i);
    long found = -1;
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        for (const std::string& word : Words(Lower(sequence[i]->name))) {
            if (word != wanted) continue;
            if (found >= 0 && found != static_cast<long>(i)) return -1;  // more than one scene has it
            found = static_cast<long>(i);
        }
    }
    return found;
}

// Seconds written as digits with at most six decimals, as the exact fraction
// whole / 10^decimals.
bool ParseSeconds(std::string_view text, std::int64_t& whole, std::int64_t& scale) {
    if (!text.empty() && text.back() == 's') text.remove_suffix(1);
    const std::size_t point = text.find('.');
    const std::string_view integer = text.substr(0, point);
    const std::string_view decimals = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (integer.empty() || integer.size() > 6 || decimals.size() > 6) return false;
    if (point != std::string_view::npos && decimals.empty()) return false;
    whole = 0;
    scale = 1;
    for (char c : integer) {
        if (c < '0' || c > '9') return false;
        whole = whole * 10 + (c - '0');
    }
    for (char c : decimals) {
        if (c < '0' || c > '9') return false;
        whole = whole * 10 + (c - '0');
        scale *= 10;
    }
    return true;
}

std::string SceneList(DemoScenes sequence) {
    std::string list;
    for (std::size_t i = 0; i < sequence.size(); ++i)
        list += (i ? ", " : "") + std::to_string(i + 1) + " " + sequence[i]->name;
    return list;
}

}  // namespace

std::optional<long> ParseStartMoment(DemoScenes sequence, std::string_view text, double fps,
                                     std::string& error) {
    const std::vector<SceneFrames> frames = ScheduleFrames(sequence, fps);
    const long last = frames.empty() ? 0 : frames.back().last;
    const std::string given(text);
    const auto scene_first = [&](long index) -> std::optional<long> {
        if (index < 0 || index >= static_cast<long>(frames.size())) {
            error = "no scene '" + given + "': the scenes are " + SceneList(sequence);
            return std::nullopt;
        }
        return frames[static_cast<std::size_t>(index)].first;
    };

    std::string_view body = text;
    const bool scene_form = body.substr(0, 6) == "scene=";
    if (scene_form) {
        body.remove_prefix(6);
        std::int64_t number = 0, scale = 1;
        if (ParseSeconds(body, number, scale) && scale == 1 && body.back() != 's')
            return scene_first(static_cast<long>(number) - 1);
        return scene_first(SceneByName(sequence, body));
    }
    if (body.substr(0, 2) == "t=") body.remove_prefix(2);
    std::int64_t whole = 0, scale = 1;
    if (!ParseSeconds(body, whole, scale)) {
        const long index = SceneByName(sequence, text);
        if (index >= 0) return scene_first(index);
        error = "'" + given + "' is not a moment: give " + kStartMomentForms + "; the scenes are " +
                SceneList(sequence);
        return std::nullopt;
    }
    // The first frame n with n / fps >= whole / scale, in integers: the rate
    // is a whole number of thousandths of a frame per second.
    const auto milli_fps = static_cast<std::int64_t>(fps * 1000.0 + 0.5);
    const std::int64_t numerator = whole * milli_fps;
    const std::int64_t denominator = scale * 1000;
    long frame = static_cast<long>((numerator + denominator - 1) / denominator);
    if (frame < 1) frame = 1;
    if (frame > last) {
        char end[32];
        std::snprintf(end, sizeof end, "%g", frames.back().end_time);
        error = "'" + given + "' is past the end of the demo, at " + end + " s";
        return std::nullopt;
    }
    return frame;
}

}  // namespace zep
