// The whole demo on the default data through the headless driver: every
// scene hands over on its frame, the wipes reveal the new scene over the old
// one, and the run ends on frame 6432 (107.2 s at 60 frames a second).
#include <gtest/gtest.h>

#include <vector>

#include "shell/driver.h"
#include "tests/test_support.h"

namespace zep {
namespace {

TEST(WholeDemo, ScenesChangeOnTheirFramesAndTheRunEndsAt107_2s) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the whole run is checked in the release build";
#endif
    HeadlessPlatform platform;  // 60 frames a second
    std::vector<std::size_t> scene_of_frame;
    std::vector<Pixel> wipe_down, wipe_up;
    const int status = RunDemo(platform, DemoSequence(), test::DefaultData(),
                               [&](const ptc::Console& console, std::size_t scene) {
                                   scene_of_frame.push_back(scene);
                                   const auto frame = scene_of_frame.size();
                                   if (frame == 2235) wipe_down.assign(console.picture(), console.picture() + kScreenPixels);
                                   if (frame == 5180) wipe_up.assign(console.picture(), console.picture() + kScreenPixels);
                               });
    EXPECT_EQ(status, 0);
    ASSERT_EQ(scene_of_frame.size(), 6432u);
    // The last frame of each scene: clock 22, 37, 60.5, 75.5, 86, 107.2.
    const std::size_t last[6] = {1320, 2220, 3630, 4530, 5160, 6432};
    std::size_t first = 1;
    for (std::size_t scene = 0; scene < 6; ++scene) {
        EXPECT_EQ(scene_of_frame[first - 1], scene) << "first frame of scene " << scene;
        EXPECT_EQ(scene_of_frame[last[scene] - 1], scene) << "last frame of scene " << scene;
        first = last[scene] + 1;
    }
    // Mid-wipe window pictures: the landscape coming down over the cube's
    // last picture, the tunnel rising over the stamp tunnel's.
    ASSERT_FALSE(wipe_down.empty());
    ASSERT_FALSE(wipe_up.empty());
    test::ExpectMatchesGolden("sequence_frame_2235", wipe_down.data());
    test::ExpectMatchesGolden("sequence_frame_5180", wipe_up.data());
}

}  // namespace
}  // namespace zep
