// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The whole demo on the default data through the headless driver: every
// scene hands over on the frame the schedule (shell/schedule.h) gives it, the
// wipes reveal the new scene over the old one, the run ends on the schedule's
// last frame, and every frame's picture hashes to the value the frame
// manifest holds for it, on every copy of the scenes the build holds and this
// CPU runs (scenes/code_paths.h).
//
// After a deliberate change to the pictures, rewrite the manifest with
// `make manifest` (or run this test with ZEP_RECORD_GOLDEN=1).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "scenes/code_paths.h"
#include "shell/driver.h"
#include "core/frame_hash.h"
#include "platforms/headless/headless_platform.h"
#include "shell/schedule.h"
#include "tests/test_support.h"

namespace zep {
namespace {

const std::filesystem::path kManifest = std::filesystem::path(ZEP_GOLDEN_DIR) / "frames-60fps.txt";

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
    return lines;
}

// Each scene draws exactly the frames the schedule gives it (frames count
// from 1), and the run ends on the last scene's last frame.
void ExpectScenesOnTheirFrames(const std::vector<std::size_t>& scene_of_frame,
                               const std::vector<SceneFrames>& schedule) {
    ASSERT_EQ(scene_of_frame.size(), static_cast<std::size_t>(schedule.back().last));
    for (std::size_t scene = 0; scene < schedule.size(); ++scene) {
        SCOPED_TRACE(schedule[scene].name);
        ASSERT_LE(schedule[scene].first, schedule[scene].last);
        EXPECT_EQ(scene_of_frame[schedule[scene].first - 1], scene) << "first frame";
        EXPECT_EQ(scene_of_frame[schedule[scene].last - 1], scene) << "last frame";
        if (schedule[scene].first > 1) {
            EXPECT_EQ(scene_of_frame[schedule[scene].first - 2], scene - 1) << "frame before the first";
        }
    }
}

bool Recording() {
    const char* record = std::getenv("ZEP_RECORD_GOLDEN");
    return record && std::string(record) == "1";
}

}  // namespace

// Test names show the copy by its name.
void PrintTo(const CodePath* path, std::ostream* out) { *out << path->name; }

namespace {

class WholeDemoOnPath : public testing::TestWithParam<const CodePath*> {};

TEST_P(WholeDemoOnPath, ScenesChangeOnTheirFramesAndEveryFrameMatchesTheManifest) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the whole run is checked in the release build";
#endif
    const CodePath& path = *GetParam();
    if (!path.cpu_runs()) GTEST_SKIP() << "this CPU cannot run the " << path.name << " code";
    if (Recording() && &path != &CurrentCodePath())
        GTEST_SKIP() << "recording with the " << CurrentCodePath().name << " code";
    const std::span<const SceneEntry* const> sequence = *path.scenes;
    const std::vector<SceneFrames> schedule = ScheduleFrames(sequence, 60.0);
    const long frames = schedule.back().last;
    const std::vector<std::string> manifest = ReadLines(kManifest);
    if (!Recording()) {
        ASSERT_EQ(manifest.size(), static_cast<std::size_t>(frames)) << "cannot read " << kManifest;
    }
    // Mid-wipe window pictures: the landscape coming down over the cube's
    // last picture, the tunnel rising over the stamp tunnel's.
    const long wipe_down_frame = schedule[2].first + 14;
    const long wipe_up_frame = schedule[5].first + 19;

    const auto platform = MakeHeadlessPlatform();  // 60 frames a second
    std::vector<std::size_t> scene_of_frame;
    std::vector<std::string> hashes;
    std::vector<Pixel> wipe_down, wipe_up, first_mismatch;
    const int status = RunDemo(*platform, sequence, test::DefaultData(),
                               [&](const ptc::Console& console, std::size_t scene) {
                                   const Pixel* picture = console.picture();
                                   scene_of_frame.push_back(scene);
                                   const auto frame = scene_of_frame.size();
                                   hashes.push_back(FrameHashLine(static_cast<long>(frame), FrameHash(picture)));
                                   if (first_mismatch.empty() && frame <= manifest.size() &&
                                       hashes.back() != manifest[frame - 1])
                                       first_mismatch.assign(picture, picture + kScreenPixels);
                                   if (static_cast<long>(frame) == wipe_down_frame)
                                       wipe_down.assign(picture, picture + kScreenPixels);
                                   if (static_cast<long>(frame) == wipe_up_frame)
                                       wipe_up.assign(picture, picture + kScreenPixels);
                               });
    EXPECT_EQ(status, 0);
    ExpectScenesOnTheirFrames(scene_of_frame, schedule);
    ASSERT_FALSE(wipe_down.empty());
    ASSERT_FALSE(wipe_up.empty());
    test::ExpectMatchesGolden("sequence_frame_" + std::to_string(wipe_down_frame), wipe_down.data());
    test::ExpectMatchesGolden("sequence_frame_" + std::to_string(wipe_up_frame), wipe_up.data());

    if (Recording()) {
        std::ofstream out(kManifest, std::ios::binary);
        for (const std::string& line : hashes) out << line;
        ASSERT_TRUE(out.good()) << "cannot write " << kManifest;
        std::printf("recorded %s\n", kManifest.c_str());
        return;
    }
    // Name the first few differing frames with their scenes, and write the
    // first one as a picture a person can look at.
    std::string report;
    int differing = 0;
    long first_frame = 0;
    for (std::size_t i = 0; i < hashes.size(); ++i) {
        if (hashes[i] == manifest[i]) continue;
        if (++differing == 1) first_frame = static_cast<long>(i + 1);
        if (differing <= 5)
            report += "  frame " + std::to_string(i + 1) + " (" + sequence[scene_of_frame[i]]->name +
                      "): expected " + manifest[i].substr(7, 16) + ", got " + hashes[i].substr(7, 16) + "\n";
    }
    if (differing == 0) return;
    char name[48];
    std::snprintf(name, sizeof name, "frame_%06ld_%s_actual.png", first_frame, path.name);
    const std::filesystem::path out = std::filesystem::path(ZEP_TEST_OUTPUT_DIR) / "manifest" / name;
    std::filesystem::create_directories(out.parent_path());
    test::WritePicturePng(out, first_mismatch.data());
    ADD_FAILURE() << "the " << path.name << " code: " << differing << " of " << frames << " frames differ from "
                  << kManifest << ":\n"
                  << report << "frame " << first_frame << " as drawn now: " << out
                  << "\nas the manifest expects it: `zep-render --from " << first_frame << " --to "
                  << first_frame << " --png DIR` built from the commit that last changed the manifest";
}

INSTANTIATE_TEST_SUITE_P(CodePaths, WholeDemoOnPath, testing::ValuesIn(BuiltCodePaths()),
                         [](const testing::TestParamInfo<const CodePath*>& param) {
                             return std::string(param.param->name);
                         });

// The whole sequence at 10 frames a second: every scene, every hand-over and
// the end, quick enough for the sanitizer build.
TEST(WholeDemo, RunsToTheEndAtTenFramesASecond) {
    HeadlessOptions options;
    options.fps = 10.0;
    const auto platform = MakeHeadlessPlatform(options);
    std::vector<std::size_t> scene_of_frame;
    const int status = RunDemo(*platform, DemoSequence(), test::DefaultData(),
                               [&](const ptc::Console&, std::size_t scene) { scene_of_frame.push_back(scene); });
    EXPECT_EQ(status, 0);
    ExpectScenesOnTheirFrames(scene_of_frame, ScheduleFrames(DemoSequence(), 10.0));
}

}  // namespace
}  // namespace zep
