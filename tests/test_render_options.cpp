#include <gtest/gtest.h>

#include "render/render_options.h"

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
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(Parse(c.args, &error)) << c.words;
        EXPECT_NE(error.find(c.words), std::string::npos) << "got: " << error;
    }
}

}  // namespace
}  // namespace zep::render
