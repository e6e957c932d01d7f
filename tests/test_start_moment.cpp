// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Moments to start at: the text the player, zep-render and the page's links
// take, the frame it names, and a run started there that shows what a run
// from the beginning shows at that frame.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/frame_hash.h"
#include "shell/driver.h"
#include "shell/schedule.h"
#include "shell/start_moment.h"
#include "tests/test_platform.h"
#include "tests/test_support.h"

namespace zep {
namespace {

std::optional<long> Frame(std::string_view text, double fps = 60.0) {
    std::string error;
    return ParseStartMoment(DemoSequence(), text, fps, error);
}

std::string Error(std::string_view text) {
    std::string error;
    EXPECT_FALSE(ParseStartMoment(DemoSequence(), text, 60.0, error).has_value()) << text;
    return error;
}

TEST(StartMoment, SecondsNameTheFirstFrameWhoseClockHasReachedThem) {
    EXPECT_EQ(Frame("0"), 1);
    EXPECT_EQ(Frame("0.01"), 1);
    EXPECT_EQ(Frame("0.05"), 3);  // exactly 3 / 60, not one frame late from rounding
    EXPECT_EQ(Frame("86"), 5160);
    EXPECT_EQ(Frame("t=86"), 5160);
    EXPECT_EQ(Frame("86s"), 5160);
    EXPECT_EQ(Frame("86.000001"), 5161);
    EXPECT_EQ(Frame("107.2"), 6432);  // the last frame
    EXPECT_EQ(Frame("1", 30.0), 30);
    EXPECT_EQ(Frame("1", 29.97), 30);
    EXPECT_EQ(Frame("0.1", 10.0), 1);
}

TEST(StartMoment, ScenesByNumberOrNameNameTheirFirstFrame) {
    const std::vector<SceneFrames> frames = ScheduleFrames(DemoSequence(), 60.0);
    EXPECT_EQ(Frame("scene=1"), 1);
    EXPECT_EQ(Frame("scene=6"), frames[5].first);
    EXPECT_EQ(Frame("scene=landscape"), frames[2].first);
    EXPECT_EQ(Frame("Landscape"), frames[2].first);
    EXPECT_EQ(Frame("stamp-tunnel"), frames[4].first);
    EXPECT_EQ(Frame("polar_tunnel"), frames[5].first);
    EXPECT_EQ(Frame("cube"), frames[1].first);  // one word of "spinning cube"
    EXPECT_EQ(Frame("scene=chrome"), frames[3].first);
}

TEST(StartMoment, AnythingElseIsRefusedWithWhatWouldBeRight) {
    EXPECT_NE(Error("tunnel").find("the scenes are 1 layered planes"), std::string::npos);  // two scenes
    EXPECT_NE(Error("soon").find("is not a moment"), std::string::npos);
    EXPECT_NE(Error("scene=0").find("no scene 'scene=0'"), std::string::npos);
    EXPECT_NE(Error("scene=7").find("no scene"), std::string::npos);
    EXPECT_NE(Error("107.21").find("past the end of the demo, at 107.2 s"), std::string::npos);
    for (const char* bad : {"", "-1", "1e3", "86.", ".5", "t=", "scene=", "1.0000001", "9999999", "0x10"})
        Error(bad);
}

std::vector<std::string> ManifestLines() {
    std::ifstream manifest(std::filesystem::path(ZEP_GOLDEN_DIR) / "frames-60fps.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(manifest, line);) lines.push_back(line + "\n");
    return lines;
}

// A run started at frame n shows, as its first picture, frame n of a run
// from the beginning, and the frames after it; the music is started n / 60
// seconds in. The frames lie in the landscape's opening wipe (the window
// still shows the cube's last frame below the new rows, and the surface
// holds what the cube left), on the chrome object's first frames (a replay
// starts there, as nothing earlier reaches them), in the polar tunnel's wipe
// over the stamp tunnel, and on the closing picture.
TEST(StartedLater, ShowsTheFramesOfARunFromTheBeginning) {
    const std::vector<SceneFrames> frames = ScheduleFrames(DemoSequence(), 60.0);
    const std::vector<std::string> lines = ManifestLines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(frames.back().last));
    for (const long first : {frames[2].first + 5, frames[3].first, frames[3].first + 1, frames[5].first + 10,
                             frames[5].last - 2}) {
        SCOPED_TRACE(first);
        HeadlessOptions options;
        options.key_after_frame = 3;
        test::TestPlatform platform(options);
        std::vector<std::string> shown;
        DemoRun run(platform, DemoSequence(), test::DefaultData(), [&](const ptc::Console& console, std::size_t) {
            shown.push_back(FrameHashLine(first + static_cast<long>(shown.size()), FrameHash(console.picture())));
        });
        run.SetFirstFrame(first);
        ASSERT_TRUE(run.Start());
        EXPECT_DOUBLE_EQ(platform.audio.started_from, static_cast<double>(first) / 60.0);
        while (run.Frame()) {
        }
        EXPECT_EQ(run.Status(), 0);
        ASSERT_EQ(shown.size(), 3u);
        for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i], lines[first - 1 + i]);
    }
}

}  // namespace
}  // namespace zep
