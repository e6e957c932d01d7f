#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "datagen/datagen.h"
#include "shell/driver.h"
#include "shell/headless/headless_platform.h"
#include "shell/schedule.h"
#include "tests/test_platform.h"
#include "tests/test_support.h"

namespace zep {
namespace {

// What the fake scenes did, in order: "start A", "draw A 0.3", "end A".
std::vector<std::string> g_events;
PresentRows g_rows{1, 479};

class FakeScene : public Scene {
public:
    explicit FakeScene(char name) : name_(name) {}
    ~FakeScene() override { g_events.push_back(std::string("end ") + name_); }
    void Draw(Pixel* surface, SceneClock t) override {
        char text[32];
        std::snprintf(text, sizeof text, "draw %c %.2f", name_, t);
        g_events.push_back(text);
        for (int i = 0; i < kScreenPixels; ++i) surface[i] = static_cast<Pixel>(name_);
    }
    PresentRows Present() const override { return g_rows; }

private:
    char name_;
};

template <char Name>
std::unique_ptr<Scene> StartFake(const DataDir&) {
    g_events.push_back(std::string("start ") + Name);
    return std::make_unique<FakeScene>(Name);
}

std::unique_ptr<Scene> StartBroken(const DataDir&) {
    g_events.push_back("start X");
    throw DataError("data file \"x.raw\" is too short: 3 bytes, it needs 10");
}

constexpr DataFile kXFile[] = {{"x.raw", 10}};

std::unique_ptr<Scene> StartReadingX(const DataDir& data) {
    std::uint8_t block[10];
    data.Read(kXFile[0], block);
    return std::make_unique<FakeScene>('R');
}

const SceneEntry kA{"A", 1.0, {}, StartFake<'A'>};
const SceneEntry kB{"B", 2.0, {}, StartFake<'B'>};
const SceneEntry kC{"C", 3.0, {}, StartFake<'C'>};
const SceneEntry kShort{"E", 1.05, {}, StartFake<'E'>};
const SceneEntry kNeedsFile{"F", 2.0, kXFile, StartFake<'F'>};
const SceneEntry kBroken{"X", 2.0, {}, StartBroken};
const SceneEntry kReadsX{"R", 2.0, kXFile, StartReadingX};

enum class ConsoleOpens { Yes, No };

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_events.clear();
        g_rows = {1, 479};
        dir_ = test::FreshDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        datagen::WriteSong(dir_);
    }

    int Run(std::vector<const SceneEntry*> scenes, HeadlessOptions options = {},
            ConsoleOpens opens = ConsoleOpens::Yes) {
        options.fps = options.fps == 60.0 ? 10.0 : options.fps;  // frame n at n / 10 s
        test::TestPlatform platform(options);
        platform.console_fails = opens == ConsoleOpens::No;
        frames_ = 0;
        return RunDemo(platform, scenes, DataDir(dir_), [&](const ptc::Console& console, std::size_t) {
            ++frames_;
            last_picture_.assign(console.picture(), console.picture() + kScreenPixels);
        });
    }

    long Count(const std::string& prefix) const {
        long n = 0;
        for (const std::string& e : g_events) n += e.rfind(prefix, 0) == 0;
        return n;
    }

    std::filesystem::path dir_;
    long frames_ = 0;
    std::vector<Pixel> last_picture_;
};

TEST_F(DriverTest, RunsEveryScene_EachEndsOnTheFirstFrameAtOrPastItsEndTime) {
    EXPECT_EQ(Run({&kA, &kB, &kC}), 0);
    // Frame n has clock n / 10: a clock exactly at an end time ends the scene.
    EXPECT_EQ(Count("draw A"), 10);
    EXPECT_EQ(Count("draw B"), 10);
    EXPECT_EQ(Count("draw C"), 10);
    EXPECT_EQ(g_events.front(), "start A");
    EXPECT_EQ(g_events[10], "draw A 1.00");  // the last frame of A is drawn at 1.0
    EXPECT_EQ(g_events[11], "end A");
    EXPECT_EQ(g_events[12], "start B");
    EXPECT_EQ(g_events.back(), "end C");
    EXPECT_EQ(frames_, 30);
}

TEST_F(DriverTest, KeyDuringASceneFinishesTheFrameAndShutsDown) {
    HeadlessOptions options;
    options.key_after_frame = 5;
    EXPECT_EQ(Run({&kA, &kB, &kC}, options), 0);
    EXPECT_EQ(Count("draw A"), 5);
    EXPECT_EQ(Count("end A"), 1);
    EXPECT_EQ(Count("start B"), 0);  // no later scene starts, so none of its files is read
    EXPECT_EQ(frames_, 5);
}

TEST_F(DriverTest, KeySeenAfterTheClockReachedTheEndStillStartsTheNextScene) {
    HeadlessOptions options;
    options.key_after_frame = 10;  // frame 10 has clock 1.0, A's end time
    EXPECT_EQ(Run({&kA, &kB, &kC}, options), 0);
    EXPECT_EQ(Count("draw A"), 10);
    EXPECT_EQ(Count("start B"), 1);
    EXPECT_EQ(Count("draw B"), 0);
    EXPECT_EQ(Count("end B"), 1);
    EXPECT_EQ(Count("start C"), 0);
}

TEST_F(DriverTest, EverySceneDrawsAtLeastOneFrame) {
    // E starts with the clock at 1.0, below its end 1.05; its first frame
    // reads 1.1, already past the end, and is still drawn.
    EXPECT_EQ(Run({&kA, &kShort, &kC}), 0);
    EXPECT_EQ(Count("draw E"), 1);
    EXPECT_EQ(Count("draw C"), 19);  // frames 12 to 30
}

TEST_F(DriverTest, OneCallPerFrame_EachCallDrawsOneFrameUntilTheRunEnds) {
    HeadlessOptions options;
    options.fps = 10.0;
    const auto platform = MakeHeadlessPlatform(options);
    const std::vector<const SceneEntry*> scenes{&kA, &kB};
    DemoRun run(*platform, scenes, DataDir(dir_));
    EXPECT_FALSE(run.Frame());  // nothing runs before start-up
    EXPECT_TRUE(g_events.empty());
    ASSERT_TRUE(run.Start());
    for (int n = 1; n <= 20; ++n) {
        ASSERT_TRUE(run.Frame()) << n;
        EXPECT_EQ(run.Clock(), n / 10.0) << n;
        EXPECT_EQ(run.SceneIndex(), n <= 10 ? 0u : 1u) << n;
        EXPECT_EQ(Count("draw"), n);
    }
    EXPECT_FALSE(run.Ended());
    EXPECT_FALSE(run.Frame());  // B's clock reached its end: the run ends without drawing
    EXPECT_TRUE(run.Ended());
    EXPECT_EQ(run.Status(), 0);
    EXPECT_EQ(g_events.back(), "end B");
    EXPECT_FALSE(run.Frame());
    EXPECT_EQ(Count("draw"), 20);
}

TEST_F(DriverTest, OnlyThePresentRowsReachTheWindow) {
    g_rows = {5, 7};
    HeadlessOptions options;
    options.key_after_frame = 1;
    EXPECT_EQ(Run({&kA}, options), 0);
    ASSERT_EQ(last_picture_.size(), static_cast<std::size_t>(kScreenPixels));
    for (int y = 0; y < kHeight; ++y) {
        const Pixel want = (y == 5 || y == 6) ? Pixel{'A'} : 0;
        ASSERT_EQ(last_picture_[y * kWidth + 100], want) << "row " << y;
    }
}

TEST_F(DriverTest, MissingOrShortDataFilesStopBeforeTheWindowOpens) {
    // Opening the window would show up as a failure.
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run({&kA, &kNeedsFile}, {}, ConsoleOpens::No), 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("data file \"x.raw\" is missing (it needs 10 bytes)"), std::string::npos) << err;
    EXPECT_NE(err.find("make run"), std::string::npos) << err;
    EXPECT_NE(err.find("zep-data DIR"), std::string::npos) << err;
    EXPECT_EQ(err.find("simulated"), std::string::npos) << err;
    EXPECT_TRUE(g_events.empty());

    datagen::WriteFile(dir_, "x.raw", datagen::Bytes(7, 1));
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run({&kA, &kNeedsFile}, {}, ConsoleOpens::No), 1);
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("data file \"x.raw\" is too short: 7 bytes, it needs 10"), std::string::npos) << err;
}

TEST_F(DriverTest, AShortReadAtSceneStartEndsCleanlyWithStatusOne) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run({&kA, &kBroken, &kC}), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("\"x.raw\" is too short"), std::string::npos) << err;
    EXPECT_NE(err.find("make run"), std::string::npos) << err;
    EXPECT_EQ(Count("end A"), 1);
    EXPECT_EQ(Count("start C"), 0);
}

// A file that passed the start-up check and was then replaced by something
// that is not a file: its scene's start names it as the check would, with
// the program's own name, and ends the run; a named pipe is never waited on.
TEST_F(DriverTest, AFileReplacedDuringTheRunIsNamedAsAtStartUp) {
    namespace fs = std::filesystem;
    const std::pair<const char*, const char*> replacements[] = {
        {"pipe", "zep-render: data file \"x.raw\" is a named pipe, not a regular file\n"},
        {"folder", "zep-render: data file \"x.raw\" is a folder, not a file\n"},
    };
    for (const auto& [kind, message] : replacements) {
        fs::remove_all(dir_ / "x.raw");
        datagen::WriteFile(dir_, "x.raw", datagen::Bytes(10, 1));
        HeadlessOptions options;
        options.fps = 10.0;
        options.program = "zep-render";
        const auto platform = MakeHeadlessPlatform(options);
        const std::vector<const SceneEntry*> scenes{&kA, &kReadsX};
        DemoRun run(*platform, scenes, DataDir(dir_));
        ASSERT_TRUE(run.Start());
        fs::remove(dir_ / "x.raw");
        if (std::string(kind) == "pipe")
            ASSERT_EQ(::mkfifo((dir_ / "x.raw").c_str(), 0600), 0);
        else
            fs::create_directory(dir_ / "x.raw");
        testing::internal::CaptureStderr();
        int frames = 0;
        while (run.Frame()) ++frames;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(frames, 10) << kind;  // scene A's, then R cannot start
        EXPECT_EQ(run.Status(), 1) << kind;
        EXPECT_EQ(err.rfind(message, 0), 0u) << err;
        EXPECT_NE(err.find("give that folder to zep-render with --data DIR"), std::string::npos) << err;
    }
}

TEST_F(DriverTest, AConsoleFailureIsReportedAndEndsWithStatusOne) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run({&kA}, {}, ConsoleOpens::No), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("could not open the console"), std::string::npos) << err;
    EXPECT_TRUE(g_events.empty());
}

TEST_F(DriverTest, MusicFailuresPrintTheLibraryTextAndExitWithOne) {
    struct Case {
        const char* setup;
        const char* text;
    };
    for (const Case& c : {Case{"missing", "File not found\n"},
                          Case{"garbage", "Unknown file format\n"},
                          Case{"empty", "Unknown file format\n"},
                          Case{"directory", "Error loading file\n"}}) {
        std::filesystem::remove_all(dir_ / kModuleName);
        const std::string setup = c.setup;
        if (setup == "garbage") datagen::WriteFile(dir_, kModuleName, test::RandomBytes(5000, 3));
        if (setup == "empty") datagen::WriteFile(dir_, kModuleName, {});
        if (setup == "directory") std::filesystem::create_directory(dir_ / kModuleName);
        g_events.clear();
        testing::internal::CaptureStdout();
        EXPECT_EQ(Run({&kA}), 1) << setup;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.text) << setup;
        EXPECT_TRUE(g_events.empty()) << setup;  // no scene starts without music
    }
}

TEST(DemoSequence, RunsOnTheDefaultDataUntilAKey) {
    HeadlessOptions options;
    options.key_after_frame = 3;
    const auto platform = MakeHeadlessPlatform(options);
    long frames = 0;
    EXPECT_EQ(RunDemo(*platform, DemoSequence(), test::DefaultData(),
                      [&](const ptc::Console&, std::size_t scene) {
                          ++frames;
                          EXPECT_EQ(scene, 0u);
                      }),
              0);
    EXPECT_EQ(frames, 3);
}

// The schedule counts the frames as the driver draws them, also for a scene
// that draws a single frame and one whose end the clock passed before it
// started (it starts and ends without drawing).
TEST_F(DriverTest, TheScheduleGivesEachSceneTheFramesTheDriverDraws) {
    const SceneEntry kPassed{"P", 1.5, {}, StartFake<'P'>};
    const std::vector<const SceneEntry*> scenes{&kA, &kShort, &kB, &kPassed, &kC};
    for (const double fps : {10.0, 1.0, 12.5, 7.0}) {
        SCOPED_TRACE(fps);
        HeadlessOptions options;
        options.fps = fps;
        const auto platform = MakeHeadlessPlatform(options);
        std::vector<long> drawn(scenes.size(), 0);
        ASSERT_EQ(RunDemo(*platform, scenes, DataDir(dir_),
                          [&](const ptc::Console&, std::size_t scene) { ++drawn[scene]; }),
                  0);
        const std::vector<SceneFrames> schedule = ScheduleFrames(scenes, fps);
        ASSERT_EQ(schedule.size(), scenes.size());
        long first = 1;
        for (std::size_t i = 0; i < scenes.size(); ++i) {
            EXPECT_STREQ(schedule[i].name, scenes[i]->name);
            EXPECT_EQ(schedule[i].first, first) << scenes[i]->name;
            EXPECT_EQ(schedule[i].last - schedule[i].first + 1, drawn[i]) << scenes[i]->name;
            first = schedule[i].last + 1;
        }
        EXPECT_EQ(RunFrameCount(scenes, fps), first - 1);
    }
    // At 10 frames a second: A 1-10, E 11, B 12-20, P none, C 21-30.
    const std::vector<SceneFrames> at10 = ScheduleFrames(scenes, 10.0);
    EXPECT_EQ(at10[1].first, 11);
    EXPECT_EQ(at10[1].last, 11);
    EXPECT_EQ(at10[3].last, at10[3].first - 1);
    EXPECT_EQ(at10[4].last, 30);
}

// zep-render --scenes: the page's build and the README pictures read it.
TEST_F(DriverTest, TheScheduleAsJsonNamesEverySceneAndTheRun) {
    const SceneEntry kPictured{"Q", 2.5, {}, StartFake<'Q'>, 7};
    const std::vector<const SceneEntry*> scenes{&kA, &kPictured};
    EXPECT_EQ(ScheduleJson(scenes),
              std::string("{\"fps\": 60, \"end\": 2.5, \"frames\": 150, \"module\": \"") + kModuleName +
                  "\", \"scenes\": [\n"
                  "  {\"name\": \"A\", \"end\": 1, \"first\": 1, \"last\": 60, \"picture\": 1},\n"
                  "  {\"name\": \"Q\", \"end\": 2.5, \"first\": 61, \"last\": 150, \"picture\": 67}\n"
                  "]}\n");
}

}  // namespace
}  // namespace zep
