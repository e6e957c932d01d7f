// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The music layer: loads a tracker module with libopenmpt and hands its
// samples to the platform's sound output (Platform::OpenAudio). The four
// operations keep the names and the meaning the demo's start-up relies on:
// init returns nonzero when sound output is ready, load returns a module or
// null, and the error code of the latest failure turns into text through
// MusicErrorText.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/platform.h"

namespace zep {

// The text for an error code; "Unknown error" outside 0 to 18.
const char* MusicErrorText(int code);

enum MusicError : int {
    kMusicNoError = 0,
    kMusicInitFailed = 3,
    kMusicFileNotFound = 9,
    kMusicUnknownFormat = 10,
    kMusicLoadFailed = 11,
    kMusicOutOfMemory = 12,
    kMusicInvalidParameter = 15,
};

struct MusicModule;
struct MusicModuleDeleter {
    void operator()(MusicModule* module) const;
};
using MusicModulePtr = std::unique_ptr<MusicModule, MusicModuleDeleter>;

// No module this program plays is larger; a larger file is not read.
inline constexpr std::uintmax_t kMaxModuleBytes = std::uintmax_t{64} << 20;

// Reads a module file: a regular file of at most kMaxModuleBytes. Returns
// kMusicNoError, or the code that says why it cannot be used (a missing
// file, one that is not a regular file or cannot be read, one too large).
int ReadModuleFile(const std::string& path, std::vector<char>& bytes);

// Makes a module of a file's bytes; null, with the code in `error`, when the
// bytes are not a module the library can play.
MusicModulePtr MakeModule(const std::vector<char>& bytes, int& error);

// ReadModuleFile and MakeModule in one: the module in the file at `path`,
// or null with the code that says why in `error`.
MusicModulePtr LoadModuleFile(const std::string& path, int& error);

// Moves the play position to `seconds` from the start of the song.
void SeekModule(MusicModule& module, double seconds);

// Renders up to `frames` stereo frames of 16-bit samples at `rate` Hz into
// `out`; returns how many were rendered, fewer once the song has ended.
std::size_t RenderModule(MusicModule& module, int rate, std::size_t frames, std::int16_t* out);

class Music {
public:
    // Plays through `platform`'s sound output, which must outlive the music.
    explicit Music(Platform& platform);
    ~Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    // Opens the sound output: `mixrate` Hz, stereo. Nonzero when ready.
    int FSOUND_Init(int mixrate, int maxchannels, unsigned flags);
    // Loads a module; null on failure, with the reason in FSOUND_GetError.
    MusicModule* FMUSIC_LoadSong(const std::string& path);
    // Starts playback; it goes on by itself until this object is destroyed.
    // The song starts `from_seconds` in (0: at its beginning).
    bool FMUSIC_PlaySong(MusicModule* module, double from_seconds = 0.0);
    int FSOUND_GetError() const { return error_; }
    // The music's position as heard, from the output's latest call; not
    // valid without an output that keeps real time (see HeardPosition).
    HeardPosition Heard() const;
    // Where the song is as heard at steady time `steady`: the start position
    // plus what the output has played; negative when the output keeps no
    // real time.
    double SongPosition(double steady) const;

private:
    Platform& platform_;
    int error_ = kMusicNoError;
    int mixrate_ = 44100;
    double start_seconds_ = 0.0;
    // Declared in this order so the output (and its thread) stops before the
    // module it reads goes.
    MusicModulePtr module_;
    MusicModule* playing_ = nullptr;  // read by the output's thread once started
    std::unique_ptr<AudioStream> output_;
};

}  // namespace zep
