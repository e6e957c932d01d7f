// The music layer in the browser: the page plays the module as rendered at
// build time by the desktop's player (music.m4a beside the page), so loading
// reads no file, and playing asks the page to start its music now. The page's clock, which the timer
// reads, starts with that music.
#include <emscripten.h>

#include "shell/music.h"

EM_JS(void, zep_page_play_music, (), { Module.zepPlayMusic(); });

namespace zep {

struct MusicModule {};

struct Music::Device {};

Music::Music(AudioOutput output) : output_(output) {}

Music::~Music() = default;

int Music::FSOUND_Init(int mixrate, int maxchannels, unsigned flags) {
    (void)flags;
    if (mixrate <= 0 || maxchannels <= 0) {
        error_ = kMusicInvalidParameter;
        return 0;
    }
    // The page has no device to open: when its audio cannot start it runs
    // silently on its own clock and says so.
    mixrate_ = mixrate;
    error_ = kMusicNoError;
    return 1;
}

MusicModule* Music::FMUSIC_LoadSong(const std::string& path) {
    (void)path;
    module_ = std::make_unique<MusicModule>();
    error_ = kMusicNoError;
    return module_.get();
}

// The page's own audio clock drives the timer (platform_web.cpp).
HeardPosition Music::Heard() const { return {}; }

bool Music::FMUSIC_PlaySong(MusicModule* module) {
    if (!module) {
        error_ = kMusicInvalidParameter;
        return false;
    }
    if (output_ == AudioOutput::Device) zep_page_play_music();
    return true;
}

}  // namespace zep
