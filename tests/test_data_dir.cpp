#include <gtest/gtest.h>

#include "datagen/common.h"
#include "shell/data_dir.h"
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
        EXPECT_STREQ(e.what(), "zep: data file \"short.raw\" is too short: 2 bytes, it needs 4");
    }
    EXPECT_THROW(data.Read({"none.raw", 4}, block), DataError);

    const auto problems = data.Check({{"long.raw", 6}, {"short.raw", 4}, {"none.raw", 8}});
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], "zep: data file \"short.raw\" is too short: 2 bytes, it needs 4");
    EXPECT_EQ(problems[1], "zep: data file \"none.raw\" is missing (it needs 8 bytes)");
}

TEST(DataDir, BareNamesInTheWorkingFolder) {
    EXPECT_EQ(DataDir(".").Path("ttx2.raw"), std::filesystem::path("ttx2.raw"));
    EXPECT_EQ(DataDir("/d").Path("ttx2.raw"), std::filesystem::path("/d/ttx2.raw"));
}

}  // namespace
}  // namespace zep
