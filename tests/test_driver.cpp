// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "datagen/datagen.h"
#include "core/frame_hash.h"
#include "shell/driver.h"
#include "platforms/headless/headless_platform.h"
#include "shell/schedule.h"
#include "tests/test_platform.h"
#include "tests/test_support.h"

namespace zep {
namespace {

// What the fake scenes did, in order: "start A", "draw A 0.3", "end A". A
// start step may run on the driver's builder thread, so every access holds
// the lock.
std::mutex g_events_lock;
std::vector<std::string> g_events;
std::map<char, std::thread::id> g_start_threads;  // where each scene's start step ran
PresentRows g_rows{1, 479};

void Log(std::string event) {
    const std::lock_guard<std::mutex> hold(g_events_lock);
    g_events.push_back(std::move(event));
}

void LogStart(char name) {
    const std::lock_guard<std::mutex> hold(g_events_lock);
    g_events.push_back(std::string("start ") + name);
    g_start_threads[name] = std::this_thread::get_id();
}

std::vector<std::string> Events() {
    const std::lock_guard<std::mutex> hold(g_events_lock);
    return g_events;
}

// Whether scene `name` started on the thread calling this.
bool StartedHere(char name) {
    const std::lock_guard<std::mutex> hold(g_events_lock);
    return g_start_threads.at(name) == std::this_thread::get_id();
}

void ClearEvents() {
    const std::lock_guard<std::mutex> hold(g_events_lock);
    g_events.clear();
    g_start_threads.clear();
}

long Count(const std::string& prefix) {
    long n = 0;
    for (const std::string& e : Events()) n += e.rfind(prefix, 0) == 0;
    return n;
}

// Where `event` is in the log; -1 when it is not there.
long IndexOf(const std::string& event) {
    const std::vector<std::string> events = Events();
    for (std::size_t i = 0; i < events.size(); ++i)
        if (events[i] == event) return static_cast<long>(i);
    return -1;
}

class FakeScene : public Scene {
public:
    explicit FakeScene(char name) : name_(name) {}
    ~FakeScene() override { Log(std::string("end ") + name_); }
    void Draw(Pixel* surface, SceneClock t) override {
        char text[32];
        std::snprintf(text, sizeof text, "draw %c %.2f", name_, t);
        Log(text);
        for (int i = 0; i < kScreenPixels; ++i) surface[i] = static_cast<Pixel>(name_);
    }
    PresentRows Present() const override { return g_rows; }

private:
    char name_;
};

template <char Name>
std::unique_ptr<Scene> StartFake(const DataDir&) {
    LogStart(Name);
    return std::make_unique<FakeScene>(Name);
}

std::unique_ptr<Scene> StartBroken(const DataDir&) {
    LogStart('X');
    throw DataError("data file \"x.raw\" is too short: 3 bytes, it needs 10");
}

// A start step still working when a key ends the run during the scene before.
std::unique_ptr<Scene> StartSlow(const DataDir&) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    LogStart('S');
    return std::make_unique<FakeScene>('S');
}

constexpr DataFile kXFile[] = {{"x.raw", 10}};

// Reads x.raw, whose first byte must not be 255.
std::unique_ptr<Scene> StartReadingX(const DataDir& data) {
    std::uint8_t block[10];
    data.Read(kXFile[0], block);
    LogStart('R');
    if (block[0] == 255) throw DataError("data file \"x.raw\" begins with 255");
    return std::make_unique<FakeScene>('R');
}

const SceneEntry kA{"A", 1.0, {}, StartFake<'A'>};
const SceneEntry kB{"B", 2.0, {}, StartFake<'B'>};
const SceneEntry kC{"C", 3.0, {}, StartFake<'C'>};
const SceneEntry kShort{"E", 1.05, {}, StartFake<'E'>};
const SceneEntry kNeedsFile{"F", 2.0, kXFile, StartFake<'F'>};
const SceneEntry kBroken{"X", 2.0, {}, StartBroken};
const SceneEntry kReadsX{"R", 2.0, kXFile, StartReadingX};
const SceneEntry kSlow{"S", 2.0, {}, StartSlow};

// The driver's two ways of starting scenes: each start step on the driver's
// thread when its scene is due, or built ahead on a second thread.
constexpr bool kBothWays[] = {false, true};

const char* WayName(bool ahead) { return ahead ? "built ahead" : "started when due"; }

// The loops run the way started when due first: the run built ahead must
// then repeat its report word for word.
void ExpectTheSameReportEitherWay(bool ahead, const std::string& report, std::string& when_due) {
    if (ahead) {
        EXPECT_EQ(report, when_due);
    } else {
        when_due = report;
    }
}

enum class ConsoleOpens { Yes, No };

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearEvents();
        g_rows = {1, 479};
        dir_ = test::FreshDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        datagen::WriteSong(dir_);
    }

    // Headless options at 10 frames a second (frame n at n / 10 s), building
    // ahead as `ahead_` says.
    HeadlessOptions Options() const {
        HeadlessOptions options;
        options.fps = 10.0;
        options.build_ahead = ahead_;
        return options;
    }

    // A whole run, at 10 frames a second unless `options` says otherwise,
    // building ahead as `ahead_` says.
    int Run(std::vector<const SceneEntry*> scenes, HeadlessOptions options = {},
            ConsoleOpens opens = ConsoleOpens::Yes) {
        options.fps = options.fps == 60.0 ? 10.0 : options.fps;
        options.build_ahead = ahead_;
        test::TestPlatform platform(options);
        platform.console_fails = opens == ConsoleOpens::No;
        frames_ = 0;
        return RunDemo(platform, scenes, DataDir(dir_), [&](const ptc::Console& console, std::size_t) {
            ++frames_;
            last_picture_.assign(console.picture(), console.picture() + kScreenPixels);
        });
    }

    // The next run's way of starting scenes, with the events of the last one
    // forgotten.
    void UseWay(bool ahead) {
        run_.reset();
        ahead_ = ahead;
        ClearEvents();
    }

    // A run of `scenes` on a headless platform of its own at 10 frames a
    // second, started the way UseWay set; it lasts until the next one.
    DemoRun& NewRun(std::vector<const SceneEntry*> scenes) {
        run_.reset();
        scenes_ = std::move(scenes);
        platform_ = MakeHeadlessPlatform(Options());
        run_ = std::make_unique<DemoRun>(*platform_, scenes_, DataDir(dir_));
        return *run_;
    }

    void TearDown() override { run_.reset(); }

    bool ahead_ = false;
    std::vector<const SceneEntry*> scenes_;
    std::unique_ptr<Platform> platform_;
    std::unique_ptr<DemoRun> run_;
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
    const std::vector<std::string> events = Events();
    EXPECT_EQ(events.front(), "start A");
    EXPECT_EQ(events[10], "draw A 1.00");  // the last frame of A is drawn at 1.0
    EXPECT_EQ(events[11], "end A");
    EXPECT_EQ(events[12], "start B");
    EXPECT_EQ(events.back(), "end C");
    EXPECT_EQ(frames_, 30);
}

// Built ahead, each scene after the first starts on another thread while
// the scene before it plays; what the scenes draw and when they end is what
// the run that starts each scene when due gives.
TEST_F(DriverTest, BuiltAhead_EachSceneStartsOnTheBuilder_TheRunIsTheSame) {
    EXPECT_EQ(Run({&kA, &kB, &kC}), 0);
    const std::vector<std::string> when_due = Events();
    const std::vector<Pixel> picture_when_due = last_picture_;
    for (const char name : {'A', 'B', 'C'}) EXPECT_TRUE(StartedHere(name)) << name;

    ClearEvents();
    ahead_ = true;
    EXPECT_EQ(Run({&kA, &kB, &kC}), 0);
    EXPECT_EQ(frames_, 30);
    EXPECT_EQ(last_picture_, picture_when_due);
    EXPECT_TRUE(StartedHere('A'));  // at start-up
    EXPECT_FALSE(StartedHere('B'));
    EXPECT_FALSE(StartedHere('C'));
    // One scene ahead, never two: C's build begins once B has been handed over.
    ASSERT_GE(IndexOf("start C"), 0);
    EXPECT_GT(IndexOf("start C"), IndexOf("start B"));
    EXPECT_GT(IndexOf("start C"), IndexOf("end A"));

    const auto without_starts = [](const std::vector<std::string>& events) {
        std::vector<std::string> rest;
        for (const std::string& e : events)
            if (e.rfind("start", 0) != 0) rest.push_back(e);
        return rest;
    };
    EXPECT_EQ(without_starts(Events()), without_starts(when_due));
}

// The first scene is built by Start(), before the clock runs, on the caller's
// thread; its failure is still reported by the first frame, as when the
// first frame started it.
TEST_F(DriverTest, TheFirstSceneIsBuiltAtStartUp_ItsFailureIsReportedByTheFirstFrame) {
    for (const bool ahead : kBothWays) {
        SCOPED_TRACE(WayName(ahead));
        UseWay(ahead);
        DemoRun& run = NewRun({&kBroken, &kA});
        testing::internal::CaptureStderr();
        ASSERT_TRUE(run.Start());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(Events(), std::vector<std::string>{"start X"});
        EXPECT_TRUE(StartedHere('X'));

        testing::internal::CaptureStderr();
        EXPECT_FALSE(run.Frame());
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.rfind("zep: data file \"x.raw\" is too short: 3 bytes, it needs 10\n", 0), 0u) << err;
        EXPECT_EQ(run.Status(), 1);
        EXPECT_EQ(Count("start A"), 0);
    }
}

TEST_F(DriverTest, KeyDuringASceneFinishesTheFrameAndShutsDown) {
    for (const bool ahead : kBothWays) {
        SCOPED_TRACE(WayName(ahead));
        UseWay(ahead);
        HeadlessOptions options;
        options.key_after_frame = 5;
        EXPECT_EQ(Run({&kA, &kB, &kC}, options), 0);
        EXPECT_EQ(Count("draw A"), 5);
        EXPECT_EQ(Count("end A"), 1);
        // Started when due, no later scene starts, so none of its files is
        // read; built ahead, B was built during A and the end destroys it.
        EXPECT_EQ(Count("start B"), ahead ? 1 : 0);
        EXPECT_EQ(Count("end B"), Count("start B"));
        EXPECT_EQ(Count("draw B"), 0);
        EXPECT_EQ(Count("start C"), 0);
        EXPECT_EQ(frames_, 5);
    }
}

// A key while the next scene is still being built: the run's end waits for
// the builder and destroys what it built, so when the run returns nothing of
// it is left working; a start step that fails for a scene never due is
// never reported.
TEST_F(DriverTest, BuiltAhead_AKeyEndsTheRunAfterTheBuilderIsDoneWithTheNextScene) {
    ahead_ = true;
    HeadlessOptions options;
    options.key_after_frame = 2;
    EXPECT_EQ(Run({&kA, &kSlow, &kC}, options), 0);
    EXPECT_EQ(frames_, 2);
    const std::vector<std::string> events = Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), "end S");  // built, then destroyed, before the run returned
    EXPECT_LT(IndexOf("end A"), IndexOf("start S"));
    EXPECT_EQ(Count("draw S"), 0);
    EXPECT_EQ(Count("start C"), 0);

    ClearEvents();
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run({&kA, &kBroken, &kC}, options), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Count("start X"), 1);
    EXPECT_EQ(frames_, 2);
}

TEST_F(DriverTest, KeySeenAfterTheClockReachedTheEndStillStartsTheNextScene) {
    for (const bool ahead : kBothWays) {
        SCOPED_TRACE(WayName(ahead));
        UseWay(ahead);
        HeadlessOptions options;
        options.key_after_frame = 10;  // frame 10 has clock 1.0, A's end time
        EXPECT_EQ(Run({&kA, &kB, &kC}, options), 0);
        EXPECT_EQ(Count("draw A"), 10);
        EXPECT_EQ(Count("start B"), 1);
        EXPECT_EQ(Count("draw B"), 0);
        EXPECT_EQ(Count("end B"), 1);
        EXPECT_EQ(Count("start C"), ahead ? 1 : 0);  // built ahead when B started
        EXPECT_EQ(Count("end C"), Count("start C"));
        EXPECT_EQ(Count("draw C"), 0);
    }
}

TEST_F(DriverTest, EverySceneDrawsAtLeastOneFrame) {
    for (const bool ahead : kBothWays) {
        SCOPED_TRACE(WayName(ahead));
        UseWay(ahead);
        // E starts with the clock at 1.0, below its end 1.05; its first frame
        // reads 1.1, already past the end, and is still drawn.
        EXPECT_EQ(Run({&kA, &kShort, &kC}), 0);
        EXPECT_EQ(Count("draw E"), 1);
        EXPECT_EQ(Count("draw C"), 19);  // frames 12 to 30
    }
}

TEST_F(DriverTest, OneCallPerFrame_EachCallDrawsOneFrameUntilTheRunEnds) {
    for (const bool ahead : kBothWays) {
        SCOPED_TRACE(WayName(ahead));
        UseWay(ahead);
        DemoRun& run = NewRun({&kA, &kB});
        EXPECT_FALSE(run.Frame());  // nothing runs before start-up
        EXPECT_TRUE(Events().empty());
        ASSERT_TRUE(run.Start());
        EXPECT_EQ(Events(), std::vector<std::string>{"start A"});
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
        EXPECT_EQ(Events().back(), "end B");
        EXPECT_FALSE(run.Frame());
        EXPECT_EQ(Count("draw"), 20);
    }
}

// A run left before its end (the browser's page closed, a test done early)
// still ends every scene it holds when it is destroyed, the one being built
// included.
TEST_F(DriverTest, ARunDestroyedMidwayEndsItsSceneAndTheOneBeingBuilt) {
    for (const bool ahead : kBothWays) {
        SCOPED_TRACE(WayName(ahead));
        UseWay(ahead);
        const auto platform = MakeHeadlessPlatform(Options());
        const std::vector<const SceneEntry*> scenes{&kA, &kSlow};
        {
            DemoRun run(*platform, scenes, DataDir(dir_));
            ASSERT_TRUE(run.Start());
            ASSERT_TRUE(run.Frame());
        }
        EXPECT_EQ(Count("end A"), 1);
        EXPECT_EQ(Count("start S"), ahead ? 1 : 0);
        EXPECT_EQ(Count("end S"), Count("start S"));
    }
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
    EXPECT_TRUE(Events().empty());

    datagen::WriteFile(dir_, "x.raw", datagen::Bytes(7, 1));
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run({&kA, &kNeedsFile}, {}, ConsoleOpens::No), 1);
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("data file \"x.raw\" is too short: 7 bytes, it needs 10"), std::string::npos) << err;
}

// A scene whose start step fails ends the run on the frame it is due, with
// the same words either way: every frame of the scene before is drawn and
// nothing is reported until then, even when the failure came long before on
// the builder's thread.
TEST_F(DriverTest, AShortReadAtSceneStartEndsCleanlyWithStatusOneWhenTheSceneIsDue) {
    std::string first_report;
    for (const bool ahead : kBothWays) {
        SCOPED_TRACE(WayName(ahead));
        UseWay(ahead);
        DemoRun& run = NewRun({&kA, &kBroken, &kC});
        ASSERT_TRUE(run.Start());
        testing::internal::CaptureStderr();
        int frames = 0;
        while (frames < 10 && run.Frame()) ++frames;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(frames, 10);
        if (!ahead) {
            EXPECT_EQ(Count("start X"), 0);
        }

        testing::internal::CaptureStderr();
        EXPECT_FALSE(run.Frame());
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(run.Status(), 1);
        EXPECT_NE(err.find("\"x.raw\" is too short"), std::string::npos) << err;
        EXPECT_NE(err.find("make run"), std::string::npos) << err;
        EXPECT_EQ(Count("end A"), 1);
        EXPECT_EQ(Count("start C"), 0);
        ExpectTheSameReportEitherWay(ahead, err, first_report);
    }
}

// A file that passed the start-up check and was then replaced by something
// that is not a file: its scene's start names it as the check would, with
// the program's own name, and ends the run when the scene is due; a named
// pipe is never waited on.
TEST_F(DriverTest, AFileReplacedDuringTheRunIsNamedAsAtStartUp) {
    namespace fs = std::filesystem;
    const std::pair<const char*, const char*> replacements[] = {
        {"pipe", "zep-render: data file \"x.raw\" is a named pipe, not a regular file\n"},
        {"folder", "zep-render: data file \"x.raw\" is a folder, not a file\n"},
    };
    for (const bool ahead : kBothWays) {
        for (const auto& [kind, message] : replacements) {
            SCOPED_TRACE(std::string(WayName(ahead)) + ", " + kind);
            ahead_ = ahead;
            fs::remove_all(dir_ / "x.raw");
            datagen::WriteFile(dir_, "x.raw", datagen::Bytes(10, 1));
            HeadlessOptions options = Options();
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
            EXPECT_EQ(frames, 10);  // scene A's, then R cannot start
            EXPECT_EQ(run.Status(), 1);
            EXPECT_EQ(err.rfind(message, 0), 0u) << err;
            EXPECT_NE(err.find("give that folder to zep-render with --data DIR"), std::string::npos) << err;
        }
    }
}

// Built ahead, the next scene may have read its files long before it is
// due. A file replaced or written to after that is read again when the scene
// is due, so the run reports what a start step then finds, as a run that
// starts each scene when due does; unchanged files are not read twice.
TEST_F(DriverTest, BuiltAhead_AFileChangedAfterItsSceneWasBuiltIsReadAgainWhenDue) {
    namespace fs = std::filesystem;
    ahead_ = true;
    const std::pair<const char*, const char*> changes[] = {
        {"none", ""},
        {"pipe", "zep: data file \"x.raw\" is a named pipe, not a regular file\n"},
        {"folder", "zep: data file \"x.raw\" is a folder, not a file\n"},
        {"missing", "zep: data file \"x.raw\" is missing (it needs 10 bytes)\n"},
        {"contents", "zep: data file \"x.raw\" begins with 255\n"},
    };
    for (const auto& [change, message] : changes) {
        SCOPED_TRACE(change);
        ClearEvents();
        fs::remove_all(dir_ / "x.raw");
        datagen::WriteFile(dir_, "x.raw", datagen::Bytes(10, 1));
        DemoRun& run = NewRun({&kA, &kReadsX});
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.Frame());
        for (int wait = 0; wait < 5000 && Count("start R") == 0; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(Count("start R"), 1) << "R was not built during A";

        const std::string kind = change;
        if (kind != "none") fs::remove(dir_ / "x.raw");
        if (kind == "pipe") {
            ASSERT_EQ(::mkfifo((dir_ / "x.raw").c_str(), 0600), 0);
        }
        if (kind == "folder") fs::create_directory(dir_ / "x.raw");
        if (kind == "contents") {
            std::vector<std::uint8_t> bad = datagen::Bytes(11, 1);
            bad[0] = 255;
            datagen::WriteFile(dir_, "x.raw", bad);
        }
        testing::internal::CaptureStderr();
        int frames = 1;
        while (run.Frame()) ++frames;
        const std::string err = testing::internal::GetCapturedStderr();
        if (kind == "none") {
            EXPECT_EQ(run.Status(), 0);
            EXPECT_EQ(frames, 20);
            EXPECT_EQ(err, "");
            EXPECT_EQ(Count("start R"), 1);
        } else {
            EXPECT_EQ(run.Status(), 1);
            EXPECT_EQ(frames, 10);  // reported on the frame R is due
            EXPECT_EQ(err.rfind(message, 0), 0u) << err;
        }
    }
}

// A run started past its first frame replays the scenes before it; a scene
// due during the replay that cannot start ends Start() with its report, the
// same either way.
TEST_F(DriverTest, AStartStepFailingDuringTheReplayEndsStartUpWithItsReport) {
    std::string when_due;
    for (const bool ahead : kBothWays) {
        SCOPED_TRACE(WayName(ahead));
        UseWay(ahead);
        DemoRun& run = NewRun({&kA, &kBroken, &kC});
        run.SetFirstFrame(15, 10.0);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(run.Start());
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(run.Status(), 1);
        EXPECT_EQ(err.rfind("zep: data file \"x.raw\" is too short", 0), 0u) << err;
        EXPECT_EQ(Count("draw A"), 10);
        EXPECT_EQ(Count("start C"), 0);
        ExpectTheSameReportEitherWay(ahead, err, when_due);
    }
}

// A run started late replays from the latest scene before its first frame
// that covers what came before: that scene is the one Start() builds, and no
// scene before it starts.
TEST_F(DriverTest, AReplayFromACoveringSceneBuildsThatSceneAtStartUp) {
    const SceneEntry kCovering{"B", 2.0, {}, StartFake<'B'>, 1, true};
    for (const bool ahead : kBothWays) {
        SCOPED_TRACE(WayName(ahead));
        UseWay(ahead);
        DemoRun& run = NewRun({&kA, &kCovering, &kC});
        run.SetFirstFrame(15, 10.0);
        ASSERT_TRUE(run.Start());
        EXPECT_EQ(Events().front(), "start B");
        EXPECT_TRUE(StartedHere('B'));
        ASSERT_TRUE(run.Frame());
        EXPECT_EQ(run.SceneIndex(), 1u);
        EXPECT_EQ(Events().back(), "draw B 1.50");
        EXPECT_EQ(Count("draw B"), 5);  // frames 11 to 14 unseen, then 15
        EXPECT_EQ(Count("start A"), 0);
        while (run.Frame()) {
        }
        EXPECT_EQ(run.Status(), 0);
        EXPECT_EQ(Count("draw C"), 10);
    }
}

TEST_F(DriverTest, AConsoleFailureIsReportedAndEndsWithStatusOne) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run({&kA}, {}, ConsoleOpens::No), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("could not open the console"), std::string::npos) << err;
    EXPECT_TRUE(Events().empty());
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
        for (const bool ahead : kBothWays) {
            SCOPED_TRACE(std::string(WayName(ahead)) + ", " + setup);
            ahead_ = ahead;
            ClearEvents();
            testing::internal::CaptureStdout();
            EXPECT_EQ(Run({&kA}), 1);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), c.text);
            EXPECT_TRUE(Events().empty());  // no scene starts without music
        }
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

// The demo's own scenes give the same pictures built ahead as started when
// due, on every frame, the ones that follow each hand-over included. Three
// frames a second reach every scene quickly; the frame manifest checks the
// default way at 60.
TEST(DemoSequence, BuiltAheadEveryFrameIsTheSameAsStartedWhenDue) {
    std::vector<std::uint64_t> hashes[2];
    std::vector<std::size_t> scenes[2];
    for (const bool ahead : kBothWays) {
        HeadlessOptions options;
        options.fps = 3.0;
        options.build_ahead = ahead;
        const auto platform = MakeHeadlessPlatform(options);
        EXPECT_EQ(RunDemo(*platform, DemoSequence(), test::DefaultData(),
                          [&](const ptc::Console& console, std::size_t scene) {
                              hashes[ahead].push_back(FrameHash(console.picture()));
                              scenes[ahead].push_back(scene);
                          }),
                  0);
    }
    EXPECT_EQ(static_cast<long>(hashes[0].size()), RunFrameCount(DemoSequence(), 3.0));
    EXPECT_EQ(scenes[1], scenes[0]);
    ASSERT_EQ(hashes[1].size(), hashes[0].size());
    for (std::size_t n = 0; n < hashes[0].size(); ++n)
        ASSERT_EQ(hashes[1][n], hashes[0][n]) << "frame " << n + 1 << " of scene " << scenes[0][n];
}

// The schedule counts the frames as the driver draws them, also for a scene
// that draws a single frame and one whose end the clock passed before it
// started (it starts and ends without drawing).
TEST_F(DriverTest, TheScheduleGivesEachSceneTheFramesTheDriverDraws) {
    const SceneEntry kPassed{"P", 1.5, {}, StartFake<'P'>};
    const std::vector<const SceneEntry*> scenes{&kA, &kShort, &kB, &kPassed, &kC};
    for (const bool ahead : kBothWays) {
        for (const double fps : {10.0, 1.0, 12.5, 7.0}) {
            SCOPED_TRACE(std::string(WayName(ahead)) + ", " + std::to_string(fps));
            HeadlessOptions options;
            options.fps = fps;
            options.build_ahead = ahead;
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
