#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>

#include "datagen/datagen.h"
#include "shell/music.h"
#include "tests/test_support.h"

namespace zep {
namespace {

TEST(Music, ErrorTextsAreTheLibrarysOwn) {
    EXPECT_STREQ(MusicErrorText(0), "No errors");
    EXPECT_STREQ(MusicErrorText(1), "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.");
    EXPECT_STREQ(MusicErrorText(3), "Error initializing output device.");
    EXPECT_STREQ(MusicErrorText(6),
                 "Soundcard does not support the features needed for this soundsystem (16bit stereo output)");
    EXPECT_STREQ(MusicErrorText(9), "File not found");
    EXPECT_STREQ(MusicErrorText(10), "Unknown file format");
    EXPECT_STREQ(MusicErrorText(11), "Error loading file");
    EXPECT_STREQ(MusicErrorText(12), "Not enough memory ");  // with its trailing space
    EXPECT_STREQ(MusicErrorText(16),
                 "Tried to use A3D and not an A3D hardware card, or dll didnt exist, try another output type.");
    EXPECT_STREQ(MusicErrorText(18), "Failed to allocate a new channel");
    for (int code : {-1, 19, 100, -2147483647 - 1}) EXPECT_STREQ(MusicErrorText(code), "Unknown error") << code;
}

TEST(Music, LoadingReportsWhyAModuleCannotBeUsed) {
    const auto dir = test::FreshDir("music-load");
    Music music(AudioOutput::None);
    ASSERT_EQ(music.FSOUND_Init(44100, 32, 0), 1);

    EXPECT_EQ(music.FMUSIC_LoadSong((dir / "076.it").string()), nullptr);
    EXPECT_EQ(music.FSOUND_GetError(), kMusicFileNotFound);

    datagen::WriteFile(dir, "text.it", datagen::Bytes(300, 'x'));
    EXPECT_EQ(music.FMUSIC_LoadSong((dir / "text.it").string()), nullptr);
    EXPECT_EQ(music.FSOUND_GetError(), kMusicUnknownFormat);

    std::filesystem::create_directory(dir / "folder.it");
    EXPECT_EQ(music.FMUSIC_LoadSong((dir / "folder.it").string()), nullptr);
    EXPECT_EQ(music.FSOUND_GetError(), kMusicLoadFailed);

    datagen::WriteSong(dir);
    MusicModule* module = music.FMUSIC_LoadSong((dir / "076.it").string());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(music.FSOUND_GetError(), kMusicNoError);
    EXPECT_TRUE(music.FMUSIC_PlaySong(module));
    EXPECT_FALSE(music.FMUSIC_PlaySong(nullptr));
}

TEST(Music, PlaysThroughTheAudioDevice) {
    // SDL's dummy driver stands in for a sound card.
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    const auto dir = test::FreshDir("music-play");
    datagen::WriteSong(dir);
    Music music(AudioOutput::Device);
    ASSERT_EQ(music.FSOUND_Init(44100, 32, 0), 1) << MusicErrorText(music.FSOUND_GetError());
    EXPECT_EQ(music.FSOUND_Init(44100, 32, 0), 0);  // only once
    MusicModule* module = music.FMUSIC_LoadSong((dir / "076.it").string());
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(music.FMUSIC_PlaySong(module));
}

TEST(Music, NoDeviceIsAnInitFailure) {
    SDL_setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    Music music(AudioOutput::Device);
    EXPECT_EQ(music.FSOUND_Init(44100, 32, 0), 0);
    EXPECT_EQ(music.FSOUND_GetError(), kMusicInitFailed);
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
}  // namespace zep
