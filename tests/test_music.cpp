// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <fstream>

#include "datagen/datagen.h"
#include "render/outputs.h"
#include "platforms/headless/headless_platform.h"
#include "shell/music.h"
#include "platforms/sdl/sdl_platform.h"
#include "tests/test_platform.h"
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
    const auto platform = MakeHeadlessPlatform();
    Music music(*platform);
    ASSERT_EQ(music.FSOUND_Init(44100, 32, 0), 1);

    EXPECT_EQ(music.FMUSIC_LoadSong((dir / kModuleName).string()), nullptr);
    EXPECT_EQ(music.FSOUND_GetError(), kMusicFileNotFound);

    datagen::WriteFile(dir, "text.it", datagen::Bytes(300, 'x'));
    EXPECT_EQ(music.FMUSIC_LoadSong((dir / "text.it").string()), nullptr);
    EXPECT_EQ(music.FSOUND_GetError(), kMusicUnknownFormat);

    std::filesystem::create_directory(dir / "folder.it");
    EXPECT_EQ(music.FMUSIC_LoadSong((dir / "folder.it").string()), nullptr);
    EXPECT_EQ(music.FSOUND_GetError(), kMusicLoadFailed);

    datagen::WriteSong(dir);
    MusicModule* module = music.FMUSIC_LoadSong((dir / kModuleName).string());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(music.FSOUND_GetError(), kMusicNoError);
    EXPECT_TRUE(music.FMUSIC_PlaySong(module));
    EXPECT_FALSE(music.FMUSIC_PlaySong(nullptr));
}

TEST(Music, OnlyARegularFileOfBoundedSizeIsRead) {
    namespace fs = std::filesystem;
    const auto dir = test::FreshDir("music-files");
    std::vector<char> bytes;
    // A named pipe would wait for a writer and a device never ends: neither
    // is opened.
    ASSERT_EQ(::mkfifo((dir / "pipe.it").c_str(), 0600), 0);
    EXPECT_EQ(ReadModuleFile((dir / "pipe.it").string(), bytes), kMusicLoadFailed);
    fs::create_symlink("/dev/zero", dir / "zero.it");
    EXPECT_EQ(ReadModuleFile((dir / "zero.it").string(), bytes), kMusicLoadFailed);
    fs::create_symlink("loop.it", dir / "loop.it");
    EXPECT_EQ(ReadModuleFile((dir / "loop.it").string(), bytes), kMusicLoadFailed);
    // Past the limit: not read at all (a sparse file takes no room).
    { std::ofstream big(dir / "big.it"); }
    fs::resize_file(dir / "big.it", kMaxModuleBytes + 1);
    EXPECT_EQ(ReadModuleFile((dir / "big.it").string(), bytes), kMusicUnknownFormat);
    EXPECT_TRUE(bytes.empty());
    fs::resize_file(dir / "big.it", 1000);
    EXPECT_EQ(ReadModuleFile((dir / "big.it").string(), bytes), kMusicNoError);
    EXPECT_EQ(bytes.size(), 1000u);

    // The player says the same through its error code.
    const auto platform = MakeHeadlessPlatform();
    Music music(*platform);
    ASSERT_EQ(music.FSOUND_Init(44100, 32, 0), 1);
    EXPECT_EQ(music.FMUSIC_LoadSong((dir / "pipe.it").string()), nullptr);
    EXPECT_STREQ(MusicErrorText(music.FSOUND_GetError()), "Error loading file");
}

TEST(Music, AModuleRendersForAsLongAsItPlays) {
    const auto dir = test::FreshDir("music-render");
    datagen::WriteSong(dir);
    std::vector<char> bytes;
    ASSERT_EQ(ReadModuleFile((dir / kModuleName).string(), bytes), kMusicNoError);
    int error = -1;
    MusicModulePtr module = MakeModule(bytes, error);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(error, kMusicNoError);
    std::vector<std::int16_t> pcm(2 * 44100);
    EXPECT_EQ(RenderModule(*module, 44100, 44100, pcm.data()), 44100u);
    EXPECT_NE(std::count(pcm.begin(), pcm.end(), 0), static_cast<long>(pcm.size()));
    // Past the song's end nothing more comes.
    SeekModule(*module, 1e6);
    EXPECT_LT(RenderModule(*module, 44100, 44100, pcm.data()), 44100u);

    EXPECT_EQ(MakeModule(std::vector<char>(100, 'x'), error), nullptr);
    EXPECT_EQ(error, kMusicUnknownFormat);
}

TEST(Music, TheWavFileHoldsTheSongFromItsStartTime) {
    const auto dir = test::FreshDir("music-wav");
    datagen::WriteSong(dir);
    render::RenderMusicWav(dir / kModuleName, 2.0, 3.0, dir / "out.wav");
    std::ifstream in(dir / "out.wav", std::ios::binary);
    const std::vector<char> wav((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(wav.size(), 44u + 3 * 44100 * 4);

    std::vector<char> bytes;
    ASSERT_EQ(ReadModuleFile((dir / kModuleName).string(), bytes), kMusicNoError);
    int error = 0;
    MusicModulePtr module = MakeModule(bytes, error);
    ASSERT_NE(module, nullptr);
    SeekModule(*module, 2.0);
    std::vector<std::int16_t> pcm(2 * 3 * 44100);
    ASSERT_EQ(RenderModule(*module, 44100, 3 * 44100, pcm.data()), 3u * 44100);
    // The player renders without dither: the file holds exactly its samples.
    std::vector<std::int16_t> written(pcm.size());
    std::memcpy(written.data(), wav.data() + 44, written.size() * 2);
    EXPECT_EQ(written, pcm);
    int loudest = 0;
    for (const std::int16_t sample : written) loudest = std::max(loudest, std::abs(int{sample}));
    EXPECT_GT(loudest, 1000);

    datagen::WriteFile(dir, "bad.it", datagen::Bytes(300, 'x'));
    try {
        render::RenderMusicWav(dir / "bad.it", 0.0, 1.0, dir / "bad.wav");
        FAIL() << "a bad module was rendered";
    } catch (const render::OutputError& e) {
        EXPECT_NE(std::string(e.what()).find("Unknown file format"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.wav"));
}

TEST(Music, HandsTheSongToThePlatformsOutputOnceItPlays) {
    const auto dir = test::FreshDir("music-output");
    datagen::WriteSong(dir);
    test::TestPlatform platform;
    Music music(platform);
    EXPECT_FALSE(music.FMUSIC_PlaySong(music.FMUSIC_LoadSong((dir / kModuleName).string())));
    EXPECT_EQ(music.FSOUND_GetError(), 2);  // no output before FSOUND_Init

    ASSERT_EQ(music.FSOUND_Init(22050, 32, 0), 1);
    EXPECT_EQ(platform.audio.rate, 22050);
    EXPECT_EQ(music.FSOUND_Init(22050, 32, 0), 0);  // only once
    EXPECT_EQ(music.FSOUND_GetError(), 1);
    EXPECT_FALSE(platform.audio.started);
    MusicModule* module = music.FMUSIC_LoadSong((dir / kModuleName).string());
    ASSERT_NE(module, nullptr);
    ASSERT_TRUE(music.FMUSIC_PlaySong(module));
    EXPECT_TRUE(platform.audio.started);
    // What the output pulls is the song as rendered at the output's rate.
    std::vector<std::int16_t> pulled(2 * 22050), rendered(2 * 22050);
    ASSERT_EQ(platform.audio.pull(pulled.data(), 22050), 22050u);
    EXPECT_NE(std::count(pulled.begin(), pulled.end(), 0), static_cast<long>(pulled.size()));
    int error = -1;
    MusicModulePtr same = LoadModuleFile((dir / kModuleName).string(), error);
    ASSERT_NE(same, nullptr);
    ASSERT_EQ(RenderModule(*same, 22050, 22050, rendered.data()), 22050u);
    EXPECT_EQ(pulled, rendered);
}

TEST(Music, AnOutputThatCannotOpenIsAnInitFailure) {
    test::TestPlatform platform;
    platform.audio.opens = false;
    Music music(platform);
    EXPECT_EQ(music.FSOUND_Init(44100, 32, 0), 0);
    EXPECT_STREQ(MusicErrorText(music.FSOUND_GetError()), "Error initializing output device.");
    EXPECT_EQ(music.FSOUND_Init(0, 32, 0), 0);
    EXPECT_EQ(music.FSOUND_GetError(), kMusicInvalidParameter);
}

TEST(SdlAudio, PullsSamplesOnceStarted) {
    // SDL's dummy driver stands in for a sound card.
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    const auto platform = MakeSdlPlatform();
    std::atomic<long> pulled{0};
    const auto stream = platform->OpenAudio(44100, [&](std::int16_t* out, std::size_t frames) {
        pulled += static_cast<long>(frames);
        std::fill(out, out + 2 * frames, std::int16_t{1});
        return frames;
    });
    ASSERT_NE(stream, nullptr);
    SDL_Delay(100);
    EXPECT_EQ(pulled.load(), 0);  // opened paused
    stream->Start(0.0);
    SDL_Delay(150);
    EXPECT_GT(pulled.load(), 0);
    // The dummy driver only simulates a device's pace: the timer is not
    // given its position and keeps to the steady clock.
    EXPECT_FALSE(stream->Heard().valid);
}

TEST(SdlAudio, PlaysTheMusicThroughTheAudioDevice) {
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    const auto dir = test::FreshDir("music-play");
    datagen::WriteSong(dir);
    const auto platform = MakeSdlPlatform();
    Music music(*platform);
    ASSERT_EQ(music.FSOUND_Init(44100, 32, 0), 1) << MusicErrorText(music.FSOUND_GetError());
    MusicModule* module = music.FMUSIC_LoadSong((dir / kModuleName).string());
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(music.FMUSIC_PlaySong(module));
    SDL_Delay(150);
    EXPECT_FALSE(music.Heard().valid);
}

TEST(SdlAudio, NoDeviceIsAnInitFailure) {
    SDL_setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const auto platform = MakeSdlPlatform();
    Music music(*platform);
    EXPECT_EQ(music.FSOUND_Init(44100, 32, 0), 0);
    EXPECT_EQ(music.FSOUND_GetError(), kMusicInitFailed);
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
}  // namespace zep
