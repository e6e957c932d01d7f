// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Golden pictures of the scenes on the default data, each scene run on its
// own from a zeroed surface. They catch any change in what a scene draws;
// after an intended change, re-record with ZEP_RECORD_GOLDEN=1.
#include <gtest/gtest.h>

#include "scenes/planes/planes.h"
#include "tests/test_support.h"

namespace zep {
namespace {

TEST(Golden, PlanesFirstFrameAndFirstLogo) {
    std::vector<Pixel> surface = test::MakeSurface();
    auto scene = test::RunScene(planes::kScene, test::DefaultData(), surface, 1, 1.0 / 60);
    test::ExpectMatchesGolden("planes_frame_0001", surface.data());
    // Frame 540 has clock 9.0, inside the first logo's window.
    for (int n = 2; n <= 540; ++n) scene->Draw(surface.data(), n / 60.0);
    test::ExpectMatchesGolden("planes_frame_0540", surface.data());
}

}  // namespace
}  // namespace zep
