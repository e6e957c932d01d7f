// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The copies of the scenes a build holds and the choice between them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/code_path.h"
#include "scenes/code_paths.h"
#include "shell/driver.h"

namespace zep {
namespace {

bool Runs() { return true; }
bool DoesNotRun() { return false; }

TEST(CodePaths, TheBuildHoldsTheCopiesOfItsKindMostCapableFirst) {
    std::vector<std::string> names;
    for (const CodePath* path : BuiltCodePaths()) names.emplace_back(path->name);
    const std::string own = ZEP_CODE_PATH_NAME;  // the copy code compiled once sees
    if (own == "native") {
        EXPECT_EQ(names, std::vector<std::string>({"native"}));
    } else {
#if defined(__x86_64__)
        EXPECT_EQ(names, std::vector<std::string>({"avx2", "baseline"}));
#else
        EXPECT_EQ(names, std::vector<std::string>({"baseline"}));
#endif
    }
    // The last one runs on any CPU the build runs on.
    EXPECT_TRUE(BuiltCodePaths().back()->cpu_runs());
}

TEST(CodePaths, EveryCopyHasTheSameScenesInItsOwnCode) {
    const DemoScenes& first = *BuiltCodePaths().front()->scenes;
    for (const CodePath* path : BuiltCodePaths()) {
        const DemoScenes& scenes = *path->scenes;
        ASSERT_EQ(scenes.size(), first.size()) << path->name;
        for (std::size_t i = 0; i < scenes.size(); ++i) {
            SCOPED_TRACE(std::string(path->name) + " scene " + std::to_string(i));
            EXPECT_STREQ(scenes[i]->name, first[i]->name);
            EXPECT_EQ(scenes[i]->end_time, first[i]->end_time);
            EXPECT_EQ(scenes[i]->picture_frame, first[i]->picture_frame);
            EXPECT_EQ(scenes[i]->covers_what_came_before, first[i]->covers_what_came_before);
            ASSERT_EQ(scenes[i]->files.size(), first[i]->files.size());
            for (std::size_t f = 0; f < scenes[i]->files.size(); ++f) {
                EXPECT_STREQ(scenes[i]->files[f].name, first[i]->files[f].name);
                EXPECT_EQ(scenes[i]->files[f].size, first[i]->files[f].size);
            }
            // Each copy starts its scenes with its own functions.
            if (path != BuiltCodePaths().front()) {
                EXPECT_NE(scenes[i]->start, first[i]->start);
            }
        }
    }
}

TEST(CodePaths, AutoIsTheBestThisCpuRunsAndIsTheDefault) {
    std::string error;
    const CodePath* best = ChooseCodePath("auto", BuiltCodePaths(), error);
    ASSERT_NE(best, nullptr) << error;
    EXPECT_TRUE(best->cpu_runs());
    for (const CodePath* path : BuiltCodePaths()) {
        if (path == best) break;
        EXPECT_FALSE(path->cpu_runs()) << path->name << " runs here and comes first";
    }
    EXPECT_EQ(&CurrentCodePath(), best);
    EXPECT_EQ(DemoSequence().data(), best->scenes->data());
}

TEST(CodePaths, ChoosingByNameAndTheRefusals) {
    const DemoScenes scenes{};
    const CodePath wide{"avx2", DoesNotRun, &scenes}, narrow{"baseline", Runs, &scenes};
    const CodePath* const built[] = {&wide, &narrow};
    std::string error;
    EXPECT_EQ(ChooseCodePath("auto", built, error), &narrow);
    EXPECT_EQ(ChooseCodePath("baseline", built, error), &narrow);
    EXPECT_EQ(error, "");

    EXPECT_EQ(ChooseCodePath("avx2", built, error), nullptr);
    EXPECT_EQ(error, "--cpu avx2: this CPU cannot run the avx2 code (choose one of avx2, baseline, auto)");
    const CodePath* const only_narrow[] = {&narrow};
    EXPECT_EQ(ChooseCodePath("avx2", only_narrow, error), nullptr);
    EXPECT_EQ(error, "--cpu avx2: this build holds no avx2 code (choose one of baseline, auto)");
    EXPECT_EQ(ChooseCodePath("AVX2", built, error), nullptr);
    EXPECT_EQ(error, "--cpu needs one of avx2, baseline, auto (got 'AVX2')");
    EXPECT_EQ(ChooseCodePath("", built, error), nullptr);
    EXPECT_EQ(error, "--cpu needs one of avx2, baseline, auto (got '')");

    const CodePath* const none_runs[] = {&wide};
    EXPECT_EQ(ChooseCodePath("auto", none_runs, error), nullptr);
    EXPECT_EQ(error, "--cpu auto: this CPU runs none of the code this build holds");
}

}  // namespace
}  // namespace zep
