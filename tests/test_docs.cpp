// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The README, the download's README.txt files, the manual page, the
// metainfo and this project's notes state the demo's length, its frame count
// and how many effects it shows. The scene table is where those come from;
// these checks fail naming the file, the line and the stale number when a
// text no longer says what the table does.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
// GCC 12 under the sanitizers reports values of the library's regex code as
// "may be used uninitialized", inside the standard library's own function
// wrapper: a false positive of that compiler's.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop
#else
#include <regex>
#endif
#include <sstream>
#include <string>
#include <vector>

#include "shell/driver.h"
#include "shell/player_options.h"
#include "shell/schedule.h"

namespace zep {
namespace {

std::string ReadText(const std::string& relative) {
    std::ifstream in(std::string(ZEP_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int LineOf(const std::string& text, std::size_t offset) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n'));
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string CountWord(std::size_t n) {
    const char* const words[] = {"zero", "one", "two", "three", "four", "five",
                                 "six", "seven", "eight", "nine", "ten"};
    return n < std::size(words) ? words[n] : std::to_string(n);
}

// Every place in `file` where `pattern` matches must have `want` in its
// first group; and the pattern must match somewhere, so the check does not
// pass silently once the sentence is reworded.
void ExpectEverywhere(const std::string& file, const std::string& pattern, const std::string& want) {
    const std::string text = ReadText(file);
    ASSERT_FALSE(text.empty()) << "cannot read " << file;
    const std::regex re(pattern);
    int found = 0;
    for (auto m = std::sregex_iterator(text.begin(), text.end(), re); m != std::sregex_iterator(); ++m) {
        ++found;
        EXPECT_EQ((*m)[1].str(), want) << file << ":" << LineOf(text, static_cast<std::size_t>(m->position()))
                                       << " says \"" << m->str() << "\": " << (*m)[1].str()
                                       << " is stale, the scene table gives " << want;
    }
    EXPECT_GT(found, 0) << file << " no longer has a line matching /" << pattern
                        << "/: reword this check along with it";
}

TEST(Docs, StateTheLengthAndTheFramesTheSceneTableGives) {
    const std::span<const SceneEntry* const> sequence = DemoSequence();
    const double end = sequence.back()->end_time;
    const std::string end_text = Number(end);
    const std::string whole_seconds = std::to_string(static_cast<long>(std::floor(end)));
    const std::string frames = std::to_string(RunFrameCount(sequence, 60.0));
    const std::string effects = CountWord(sequence.size());

    ExpectEverywhere("README.md", R"(ends at ([0-9.]+) s\b)", end_text);
    ExpectEverywhere("README.md", R"(the demo's ([0-9.]+) s\b)", whole_seconds);
    ExpectEverywhere("README.md", R"(all ([0-9]+)\s+frames at 60 fps)", frames);
    ExpectEverywhere("README.md", R"(shows (\w+) effects)", effects);
    ExpectEverywhere("packaging/zep.6", R"(ends after ([0-9.]+) seconds)", end_text);
    ExpectEverywhere("packaging/zep.6", R"(shows (\w+) effects)", effects);
    for (const char* readme : {"windows/README.txt", "packaging/linux-README.txt"}) {
        ExpectEverywhere(readme, R"(for ([0-9]+) seconds)", whole_seconds);
        ExpectEverywhere(readme, R"(shows (\w+) effects)", effects);
    }
    ExpectEverywhere("packaging/org.zepdemo.zep.metainfo.xml", R"(A ([0-9]+)-second demo)", whole_seconds);
    ExpectEverywhere("packaging/org.zepdemo.zep.metainfo.xml", R"(showing (\w+) effects)", effects);
    ExpectEverywhere("docs/architecture.md", R"(all\s+([0-9]+) frames at 60 fps)", frames);
}

TEST(Docs, ACheckNamesTheStaleNumberAndItsLine) {
    // The check itself: a wrong expectation fails on the line that holds it.
    testing::TestPartResultArray failures;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        ExpectEverywhere("packaging/zep.6", R"(ends after ([0-9.]+) seconds)", "999");
    }
    ASSERT_EQ(failures.size(), 1);
    const std::string message = failures.GetTestPartResult(0).message();
    EXPECT_NE(message.find("packaging/zep.6:"), std::string::npos) << message;
    EXPECT_NE(message.find("is stale, the scene table gives 999"), std::string::npos) << message;
}

}  // namespace
}  // namespace zep

namespace zep {
namespace {

std::vector<std::string> OptionsIn(const std::string& text, const std::string& dash) {
    const std::regex re(dash + dash + "([a-z][a-z-]*)");
    std::vector<std::string> found;
    for (auto m = std::sregex_iterator(text.begin(), text.end(), re); m != std::sregex_iterator(); ++m)
        if (std::find(found.begin(), found.end(), (*m)[1].str()) == found.end()) found.push_back((*m)[1].str());
    std::sort(found.begin(), found.end());
    return found;
}

// The player's --help, its manual page and the README's list of its options
// name the same options.
TEST(Docs, ThePlayersHelpItsManualPageAndTheReadmeNameTheSameOptions) {
    const std::vector<std::string> help = OptionsIn(kPlayerUsage, "-");
    ASSERT_GE(help.size(), 8u);
    const std::string page = ReadText("packaging/zep.6");
    const std::string options = page.substr(page.find(".SH SYNOPSIS"), page.find(".SH CONTROLS") - page.find(".SH SYNOPSIS"));
    EXPECT_EQ(OptionsIn(options, "\\\\-"), help) << "packaging/zep.6's synopsis and options";
    const std::string readme = ReadText("README.md");
    const std::size_t from = readme.find("## The player's options");
    ASSERT_NE(from, std::string::npos) << "README.md has no section \"The player's options\"";
    const std::size_t to = readme.find("\n#", from + 1);
    EXPECT_EQ(OptionsIn(readme.substr(from, to - from), "-"), help) << "README.md's \"The player's options\"";
}

}  // namespace
}  // namespace zep
