// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The music layer's player: the module is decoded here (module.cpp) and its
// samples pulled by the platform's sound output.
#include "shell/music.h"

#include <utility>

namespace zep {

Music::Music(Platform& platform) : platform_(platform) {}

Music::~Music() = default;

int Music::FSOUND_Init(int mixrate, int maxchannels, unsigned flags) {
    (void)flags;
    if (output_ || mixrate <= 0 || maxchannels <= 0) {
        error_ = output_ ? 1 : kMusicInvalidParameter;
        return 0;
    }
    mixrate_ = mixrate;
    output_ = platform_.OpenAudio(mixrate, [this](std::int16_t* out, std::size_t frames) {
        return RenderModule(*playing_, mixrate_, frames, out);
    });
    if (!output_) {
        error_ = kMusicInitFailed;
        return 0;
    }
    error_ = kMusicNoError;
    return 1;
}

MusicModule* Music::FMUSIC_LoadSong(const std::string& path) {
    MusicModulePtr module = LoadModuleFile(path, error_);
    if (!module) return nullptr;
    module_ = std::move(module);
    return module_.get();
}

HeardPosition Music::Heard() const { return output_ ? output_->Heard() : HeardPosition{}; }

double Music::SongPosition(double steady) const {
    const HeardPosition heard = Heard();
    if (!heard.valid) return -1.0;
    return start_seconds_ + heard.seconds + (steady - heard.steady);
}

bool Music::FMUSIC_PlaySong(MusicModule* module, double from_seconds) {
    if (!module) {
        error_ = kMusicInvalidParameter;
        return false;
    }
    if (!output_) {
        error_ = 2;
        return false;
    }
    if (playing_) return true;  // already playing: the output has one song
    if (from_seconds > 0.0) SeekModule(*module, from_seconds);
    start_seconds_ = from_seconds;
    playing_ = module;
    output_->Start(from_seconds);
    return true;
}

}  // namespace zep
