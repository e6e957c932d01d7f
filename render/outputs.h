// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Where zep-render writes the frames: PNG files, raw video, an MP4 with the
// music through ffmpeg. A file is written under a temporary name beside its
// target and takes the target's name only when it is complete, so a render
// that fails or is interrupted leaves no finished-looking file behind.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "render/render_options.h"
#include "render/system.h"
#include "core/types.h"
#include "shell/music.h"

namespace zep::render {

// An output that cannot be created or written; what() names it and says why.
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Each pixel of the 640 x 480 picture as a K x K block of RGB bytes.
std::vector<std::uint8_t> ScaledRgb(const Pixel* picture, int scale);

// One output file. A regular file (or a new one) is written under a
// temporary name in the same folder and renamed to its own name by Commit;
// until then, and when the object goes without a Commit, the temporary file
// is removed. Anything else that can be opened for writing (a device, a named
// pipe) is written directly: there the exit status tells whether it is whole.
class OutputFile {
public:
    explicit OutputFile(std::filesystem::path target);  // throws OutputError
    // Standard output, held by zep-render for pictures.
    OutputFile(std::FILE* stream, std::string name);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(const void* data, std::size_t size);  // throws OutputError
    void Commit();                                   // throws OutputError
    std::FILE* Stream() const { return file_; }
    // What to write into while the output is unfinished.
    const std::filesystem::path& WorkingPath() const { return temporary_.empty() ? target_ : temporary_; }
    const std::string& Name() const { return name_; }
    [[noreturn]] void Fail(const std::string& reason) const;  // throws OutputError naming the output

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;  // empty: written directly
    std::string name_;
    std::FILE* file_ = nullptr;
    bool owned_ = true;
};

// One PNG file, written completely or not at all.
void WritePng(const std::filesystem::path& path, const Pixel* picture, int scale);

// The frames as PNG files in one folder, which no other render writes into
// while this one does: a second render into the same folder is refused.
class PngFrames {
public:
    // Creates dir and locks it; throws OutputError when it cannot be made or
    // written into, or another render holds it.
    PngFrames(std::filesystem::path dir, int scale);
    void Write(long frame, const Pixel* picture);

private:
    std::filesystem::path dir_;
    int scale_;
    sys::FolderLock lock_;
};

// 640 x 480 pixels of 4 bytes each, the Pixel as held, little-endian (the
// machine's own order: the program is built for little-endian machines).
class RawVideo {
public:
    explicit RawVideo(const std::filesystem::path& path) : out_(path) {}
    RawVideo(std::FILE* stream, std::string name) : out_(stream, std::move(name)) {}
    void Write(const Pixel* picture);
    void Finish() { out_.Commit(); }

private:
    OutputFile out_;
};

// One FrameHashLine per frame, to a file or standard output.
class HashList {
public:
    explicit HashList(const std::filesystem::path& path) : out_(path) {}
    HashList(std::FILE* stream, std::string name) : out_(stream, std::move(name)) {}
    void Write(long frame, const Pixel* picture);
    void Finish() { out_.Commit(); }

private:
    OutputFile out_;
};

// The frame rate as an exact fraction of whole numbers.
struct FrameRate {
    long num = 60;
    long den = 1;
    double Value() const { return static_cast<double>(num) / static_cast<double>(den); }
};

// The music of `frames` frames from frame `first` on, rendered at
// `sample_rate` directly: as many samples as the frames last, to the nearest
// sample. It is rendered in one read, as the player's output depends on how
// it is cut into reads.
class MusicTrack {
public:
    static constexpr int kWavRate = 44100;    // the WAV for the browser build
    static constexpr int kVideoRate = 48000;  // what video sites expect
    // `module` is a loaded module; at most the demo's frames at 1 to 1000
    // frames a second, so the sound is about the demo's length (some 20 MB
    // at 48 kHz).
    MusicTrack(MusicModulePtr module, FrameRate rate, long first, long frames, int sample_rate);
    // 16-bit stereo samples, silence after the song's end.
    const std::vector<std::int16_t>& Samples() const { return pcm_; }
    int SampleRate() const { return sample_rate_; }

private:
    std::vector<std::int16_t> pcm_;
    int sample_rate_;
};

// What ffmpeg is asked to do for --video: it reads 640 x 480 bgr0 frames on
// descriptor 3 and 16-bit stereo samples on descriptor 4, scales the picture
// by `scale` with nearest sampling and encodes both into the MP4 at `path`.
// Share: H.264 4:2:0 converted and tagged as BT.709 limited range, AAC-LC.
// Archive: lossless RGB H.264 (libx264rgb) and ALAC, which decode to the
// exact pixels and samples.
std::vector<std::string> VideoArguments(VideoQuality quality, int scale, FrameRate rate,
                                        int sample_rate, const std::string& path);

// The video through an ffmpeg child process that reads raw frames on one
// pipe and the music as raw samples on another, written by a thread of its
// own so that neither pipe waits on the other.
class Mp4Video {
public:
    // `ffmpeg` is the program's path (see FindFfmpeg); throws OutputError
    // when the file cannot be written or ffmpeg cannot start. `music` must
    // last exactly as long as the frames that will be written.
    Mp4Video(const std::string& ffmpeg, const std::filesystem::path& path, FrameRate rate,
             VideoQuality quality, int scale, MusicTrack music);
    ~Mp4Video();
    Mp4Video(const Mp4Video&) = delete;
    Mp4Video& operator=(const Mp4Video&) = delete;
    void Write(const Pixel* picture);
    void Finish();  // waits for ffmpeg; throws OutputError when it failed

private:
    void WriteMusic();
    // Throws OutputError with the system's reason when the file cannot be
    // written (a full disk: ffmpeg's write failed, and then its pipe), else
    // with `otherwise`.
    [[noreturn]] void Stopped(const std::string& otherwise) const;

    OutputFile out_;
    MusicTrack music_;
    sys::ChildProcess ffmpeg_;
    std::thread music_writer_;
};

// Full path of `program` found on PATH, or empty.
std::string FindOnPath(const std::string& program);

// The ffmpeg program; throws OutputError when it is not installed.
std::string FindFfmpeg();

// Renders `seconds` (above 0, at most an hour) of the module at
// `module_path` from `start` seconds on, 44100 Hz stereo 16-bit, into a WAV
// file, written completely or not at all. Throws OutputError naming the
// module and the music layer's reason, or the file and the system's.
void RenderMusicWav(const std::filesystem::path& module_path, double start, double seconds,
                    const std::filesystem::path& wav_path);

}  // namespace zep::render
