// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>

#include "render/render_options.h"
#include "render/system.h"
#include "shell/driver.h"

namespace zep::render {
namespace {

std::optional<RenderOptions> Parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string e;
    auto o = ParseRenderOptions(args, e);
    if (error) *error = e;
    return o;
}

TEST(RenderOptions, DefaultsAndValues) {
    auto o = Parse({});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->fps, 60.0);
    EXPECT_EQ(o->from, 1);
    EXPECT_EQ(o->to, -1);
    EXPECT_EQ(o->scale, 1);
    EXPECT_EQ(o->cpu, "auto");

    EXPECT_FALSE(o->scenes);
    EXPECT_TRUE(Parse({"--scenes"})->scenes);

    o = Parse({"--cpu", "auto"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->cpu, "auto");

    o = Parse({"--data", "d", "--fps", "30", "--from", "5", "--to", "9", "--png", "p", "--rawvideo",
               "-", "--video", "v.mp4", "--scale", "3"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->data_dir, "d");
    EXPECT_EQ(o->fps, 30.0);
    EXPECT_EQ(o->from, 5);
    EXPECT_EQ(o->to, 9);
    EXPECT_EQ(o->png_dir, "p");
    EXPECT_EQ(o->raw_path, "-");
    EXPECT_EQ(o->video_path, "v.mp4");
    EXPECT_EQ(o->scale, 3);
}

TEST(RenderOptions, BadOptionsNameWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        const char* words;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--fps"}, "--fps needs a value"},
        {{"--fps", "0"}, "--fps needs a number"},
        {{"--fps", "fast"}, "--fps needs a number"},
        {{"--from", "0"}, "--from needs a frame number of 1 or more"},
        {{"--to", "12x"}, "--to needs a frame number"},
        {{"--from", "10", "--to", "5"}, "is before --from"},
        {{"--png", "p", "--scale", "0"}, "--scale needs a whole number from 1 to 8"},
        {{"--rawvideo", "-", "--scale", "2"}, "--scale applies to --png and --video only"},
        {{"--png", ""}, "--png needs a value"},
        {{"--video", "-"}, "--video needs a file name"},
        {{"--fps", "30", "--fps", "60"}, "option --fps is given twice"},
        {{"--hashes", "a", "--to", "3", "--hashes", "b"}, "option --hashes is given twice"},
        {{"--cpu"}, "--cpu needs a value"},
        {{"--cpu", "sse2"}, "--cpu needs one of "},
        {{"--cpu", "auto", "--cpu", "auto"}, "option --cpu is given twice"},
        {{"--video", "v.mp4", "--quality", "best"}, "--quality needs share or archive (got 'best')"},
        {{"--png", "p", "--quality", "archive"}, "--quality applies to --video only"},
        {{"--flashes", "--flashes"}, "option --flashes is given twice"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(Parse(c.args, &error)) << c.words;
        EXPECT_NE(error.find(c.words), std::string::npos) << "got: " << error;
    }
}

TEST(RenderOptions, TheVideosScaleFollowsItsQualityUnlessGiven) {
    auto o = Parse({"--video", "v.mp4"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->quality, VideoQuality::Share);
    EXPECT_EQ(VideoScale(*o), 2);
    o = Parse({"--video", "v.mp4", "--quality", "archive"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->quality, VideoQuality::Archive);
    EXPECT_EQ(VideoScale(*o), 1);
    o = Parse({"--video", "v.mp4", "--quality", "share", "--scale", "4", "--png", "p"});
    ASSERT_TRUE(o);
    EXPECT_EQ(VideoScale(*o), 4);
    EXPECT_EQ(o->scale, 4);  // the PNG frames too
    o = Parse({"--video", "v.mp4", "--png", "p"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->scale, 1);  // PNG frames stay at their own default
    EXPECT_EQ(VideoScale(*o), 2);
}

TEST(RenderOptions, FlashesIsACheckThatNeedsNoOutput) {
    auto o = Parse({"--flashes"});
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->flashes);
    EXPECT_TRUE(NoOutputNote(*o).empty());
    EXPECT_FALSE(NoOutputNote(*Parse({})).empty());
}

TEST(RenderOptions, FrameRatesAreExactFractionsFromOneToAThousand) {
    struct Case {
        const char* text;
        long num, den;
    };
    for (const Case& c : {Case{"60", 60, 1}, Case{"29.97", 2997, 100}, Case{"1", 1, 1},
                          Case{"1000", 1000, 1}, Case{"12.5", 25, 2}, Case{"23.976", 2997, 125},
                          Case{"010", 10, 1}}) {
        auto o = Parse({"--fps", c.text});
        ASSERT_TRUE(o) << c.text;
        EXPECT_EQ(o->fps_num, c.num) << c.text;
        EXPECT_EQ(o->fps_den, c.den) << c.text;
        EXPECT_EQ(o->fps, std::strtod(c.text, nullptr)) << c.text;
    }
    for (const char* bad : {"1e-300", "0.999", "1000.001", "0", "-5", "1e3", "30.", ".5", "2.0001",
                            "nan", "inf", "30 ", "0x10", "99999999999999999999"}) {
        std::string error;
        EXPECT_FALSE(Parse({"--fps", bad}, &error)) << bad;
        EXPECT_NE(error.find("--fps needs a number of frames per second from 1 to 1000"), std::string::npos)
            << error;
    }
}

TEST(RenderOptions, TheFramePlanFollowsTheDemosLength) {
    // The demo ends on the first frame whose clock reaches the last scene's
    // end time: frame n shows n / fps.
    const double end = DemoSequence().back()->end_time;
    for (const double fps : {60.0, 10.0, 1.0, 12.5, 1000.0})
        EXPECT_EQ(DemoFrameCount(fps), static_cast<long>(std::ceil(end * fps - 1e-9))) << fps;
    const std::string at10 = std::to_string(DemoFrameCount(10.0));
    const std::string at12_5 = std::to_string(DemoFrameCount(12.5));
    const long at60 = DemoFrameCount(60.0);

    std::string error;
    const std::string past = std::to_string(DemoFrameCount(10.0) + 1);
    auto plan = PlanFrames(*Parse({"--fps", "10", "--from", past}), error);
    EXPECT_FALSE(plan);
    EXPECT_EQ(error, "--from " + past + " is past the last frame: the demo has " + at10 +
                         " frames at 10 frames a second");
    EXPECT_TRUE(PlanFrames(*Parse({"--fps", "10", "--from", at10}), error));

    plan = PlanFrames(*Parse({"--fps", "12.5", "--from", "3", "--to", "9223372036854775807"}), error);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->from, 3);
    EXPECT_EQ(plan->last, DemoFrameCount(12.5));
    EXPECT_EQ(plan->note, "--to 9223372036854775807 is past the last frame: the demo has " + at12_5 +
                              " frames at 12.5 frames a second; writing frames 3 to " + at12_5);

    plan = PlanFrames(*Parse({"--to", std::to_string(at60)}), error);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->last, at60);
    EXPECT_TRUE(plan->note.empty());
    plan = PlanFrames(*Parse({"--to", "100", "--key-after", "40"}), error);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->last, 40);  // the key press ends the run first

    // A key press before the first frame to write leaves nothing to write.
    EXPECT_FALSE(PlanFrames(*Parse({"--key-after", "0"}), error));
    EXPECT_EQ(error, "--key-after 0 ends the run before frame 1, the first to write: nothing would be written");
    EXPECT_FALSE(PlanFrames(*Parse({"--from", "10", "--key-after", "9"}), error));
    EXPECT_NE(error.find("before frame 10"), std::string::npos) << error;
    plan = PlanFrames(*Parse({"--from", "10", "--key-after", "10"}), error);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->last, 10);
}

TEST(RenderOptions, ARunWithoutOutputSaysSo) {
    EXPECT_NE(NoOutputNote(*Parse({"--to", "3"})).find("nothing is written"), std::string::npos);
    for (const char* output : {"--png", "--rawvideo", "--video", "--hashes"})
        EXPECT_EQ(NoOutputNote(*Parse({output, "x"})), "") << output;
}

// Windows' own rules for names, checked here as on Windows: a device name
// means the device in any folder, and trailing spaces and dots are dropped.
TEST(WindowsNames, DevicesAreKnownByTheirNameBeforeAnyDot) {
    for (const char* device : {"NUL", "nul", "Nul.txt", "out/NUL", "CON", "aux.raw", "PRN", "COM1", "lpt9.x",
                               "NUL:", "nul .txt"})
        EXPECT_TRUE(sys::IsWindowsDeviceName(device)) << device;
    for (const char* file : {"NULL", "nul/x.txt", "COM0", "COM10", "LPT", "CONSOLE", "xnul", ".nul", "out.raw", ""})
        EXPECT_FALSE(sys::IsWindowsDeviceName(file)) << file;
}

TEST(WindowsNames, APartEndingInASpaceOrADotIsFound) {
    EXPECT_EQ(sys::PartEndingInSpaceOrDot("dir "), "dir ");
    EXPECT_EQ(sys::PartEndingInSpaceOrDot("dir."), "dir.");
    EXPECT_EQ(sys::PartEndingInSpaceOrDot("a/b. /c"), "b. ");
    EXPECT_EQ(sys::PartEndingInSpaceOrDot("a\\b \\c.png"), "b ");
    for (const char* fine : {"dir", "./dir", "../out/frames", "dir/", "C:\\out\\..\\x.raw", ".hidden", "a b", ""})
        EXPECT_EQ(sys::PartEndingInSpaceOrDot(fine), "") << fine;
}

}  // namespace
}  // namespace zep::render
