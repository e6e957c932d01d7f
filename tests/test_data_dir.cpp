// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "datagen/common.h"
#include "core/data_dir.h"
#include "tests/test_support.h"

namespace zep {
namespace {

TEST(DataDir, ReadsExactlyTheSizeAndRejectsShortOrMissingFiles) {
    const auto dir = test::FreshDir("data-dir");
    datagen::WriteFile(dir, "long.raw", {1, 2, 3, 4, 5, 6});
    datagen::WriteFile(dir, "short.raw", {1, 2});
    const DataDir data(dir);

    std::uint8_t block[5] = {9, 9, 9, 9, 9};
    data.Read({"long.raw", 4}, block);  // a longer file is fine: only the size is read
    EXPECT_EQ(block[3], 4);
    EXPECT_EQ(block[4], 9);

    try {
        data.Read({"short.raw", 4}, block);
        FAIL() << "short file accepted";
    } catch (const DataError& e) {
        EXPECT_STREQ(e.what(), "data file \"short.raw\" is too short: 2 bytes, it needs 4");
    }
    EXPECT_THROW(data.Read({"none.raw", 4}, block), DataError);

    const auto problems = data.Check({{"long.raw", 6}, {"short.raw", 4}, {"none.raw", 8}});
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], "data file \"short.raw\" is too short: 2 bytes, it needs 4");
    EXPECT_EQ(problems[1], "data file \"none.raw\" is missing (it needs 8 bytes)");
}

TEST(DataDir, CheckNamesWhatStandsWhereAFileShouldBe) {
    namespace fs = std::filesystem;
    const auto dir = test::FreshDir("data-dir-odd");
    fs::create_directory(dir / "folder.raw");
    ASSERT_EQ(::mkfifo((dir / "pipe.raw").c_str(), 0600), 0);
    fs::create_symlink("loop.raw", dir / "loop.raw");
    fs::create_symlink("nowhere.raw", dir / "dangling.raw");
    fs::create_symlink("/dev/zero", dir / "zero.raw");
    datagen::WriteFile(dir, "locked.raw", {1, 2, 3, 4});
    fs::permissions(dir / "locked.raw", fs::perms::none);
    const DataDir data(dir);

    const auto problems = data.Check({{"folder.raw", 4}, {"pipe.raw", 4}, {"loop.raw", 4},
                                      {"dangling.raw", 4}, {"zero.raw", 4}, {"locked.raw", 4}});
    const bool root = ::geteuid() == 0;  // root reads a file of mode 000
    ASSERT_EQ(problems.size(), root ? 5u : 6u);
    EXPECT_EQ(problems[0], "data file \"folder.raw\" is a folder, not a file");
    EXPECT_EQ(problems[1], "data file \"pipe.raw\" is a named pipe, not a regular file");
    EXPECT_EQ(problems[2], "data file \"loop.raw\" is a loop of symbolic links");
    EXPECT_EQ(problems[3], "data file \"dangling.raw\" is a symbolic link to a file that does not exist");
    EXPECT_EQ(problems[4], "data file \"zero.raw\" is a device, not a regular file");
    if (!root) {
        EXPECT_EQ(problems[5], "data file \"locked.raw\" cannot be read: Permission denied");
    }
    fs::permissions(dir / "locked.raw", fs::perms::owner_all);
}

// A file replaced after the start-up check is named by its scene's read as
// the check would name it; a named pipe without a writer is not waited on.
TEST(DataDir, ReadNamesWhatStandsWhereAFileShouldBeAndNeverWaits) {
    namespace fs = std::filesystem;
    const auto dir = test::FreshDir("data-dir-read-odd");
    fs::create_directory(dir / "folder.raw");
    ASSERT_EQ(::mkfifo((dir / "pipe.raw").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir / "zero.raw");
    fs::create_symlink("loop.raw", dir / "loop.raw");
    const DataDir data(dir);
    const std::pair<const char*, const char*> cases[] = {
        {"folder.raw", "data file \"folder.raw\" is a folder, not a file"},
        {"pipe.raw", "data file \"pipe.raw\" is a named pipe, not a regular file"},
        {"zero.raw", "data file \"zero.raw\" is a device, not a regular file"},
        {"loop.raw", "data file \"loop.raw\" is a loop of symbolic links"},
        {"none.raw", "data file \"none.raw\" is missing (it needs 4 bytes)"},
    };
    for (const auto& [name, message] : cases) {
        std::uint8_t block[4] = {};
        try {
            data.Read({name, 4}, block);
            ADD_FAILURE() << name << " was read";
        } catch (const DataError& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
}

TEST(DataDir, TheHintSaysHowEachProgramIsGivenTheData) {
    EXPECT_EQ(DefaultDataHint("zep").rfind("zep: to get the default data set, run \"make run\"", 0), 0u);
    EXPECT_NE(DefaultDataHint("zep").find("then start zep in that folder"), std::string::npos);
    const std::string render = DefaultDataHint("zep-render");
    EXPECT_EQ(render.rfind("zep-render: to get the default data set", 0), 0u);
    EXPECT_NE(render.find("give that folder to zep-render with --data DIR"), std::string::npos);
}

TEST(DataDir, AFolderThatIsNotThereIsOneMessage) {
    const auto dir = test::FreshDir("data-dir-folder");
    const std::vector<DataFile> files = {{"a.raw", 4}, {"b.raw", 4}};
    auto problems = DataDir(dir / "none").Check(files);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "the data folder \"" + (dir / "none").string() + "\" does not exist");

    datagen::WriteFile(dir, "file", {1});
    problems = DataDir(dir / "file").Check(files);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "the data folder \"" + (dir / "file").string() + "\" is not a folder");
}

TEST(DataDir, BareNamesInTheWorkingFolder) {
    EXPECT_EQ(DataDir(".").Path("ttx2.raw"), std::filesystem::path("ttx2.raw"));
    EXPECT_EQ(DataDir("/d").Path("ttx2.raw"), std::filesystem::path("/d/ttx2.raw"));
}

}  // namespace
}  // namespace zep
