// Where zep-render writes the frames: PNG files, raw video, an MP4 through
// ffmpeg; and the music rendered offline for the MP4.
#pragma once

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "shell/types.h"

namespace zep::render {

// An output that cannot be created or written; what() names it.
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Each pixel of the 640 x 480 picture as a K x K block of RGB bytes.
std::vector<std::uint8_t> ScaledRgb(const Pixel* picture, int scale);

void WritePng(const std::filesystem::path& path, const Pixel* picture, int scale);

class PngFrames {
public:
    PngFrames(std::filesystem::path dir, int scale);  // creates dir; throws OutputError
    void Write(long frame, const Pixel* picture);

private:
    std::filesystem::path dir_;
    int scale_;
};

// 640 x 480 pixels of 4 bytes each, the Pixel as held, little-endian (the
// machine's own order: the program is built for little-endian machines).
class RawVideo {
public:
    explicit RawVideo(const std::string& path);  // "-" is standard output
    ~RawVideo();
    RawVideo(const RawVideo&) = delete;
    RawVideo& operator=(const RawVideo&) = delete;
    void Write(const Pixel* picture);
    void Finish();

private:
    std::string name_;
    std::FILE* file_ = nullptr;
    bool owned_ = false;
};

// One FrameHashLine per frame, to a file or standard output ("-").
class HashList {
public:
    explicit HashList(const std::string& path);
    ~HashList();
    HashList(const HashList&) = delete;
    HashList& operator=(const HashList&) = delete;
    void Write(long frame, const Pixel* picture);
    void Finish();

private:
    std::string name_;
    std::FILE* file_ = nullptr;
    bool owned_ = false;
};

// H.264 + AAC through an ffmpeg child process reading raw frames on a pipe.
class Mp4Video {
public:
    // `ffmpeg` is the program's path (see FindFfmpeg); throws OutputError
    // when the file cannot be written. `audio_wav` is muxed in as the
    // soundtrack.
    Mp4Video(const std::string& ffmpeg, const std::string& path, double fps, int scale,
             const std::filesystem::path& audio_wav);
    ~Mp4Video();
    Mp4Video(const Mp4Video&) = delete;
    Mp4Video& operator=(const Mp4Video&) = delete;
    void Write(const Pixel* picture);
    void Finish();  // waits for ffmpeg; throws OutputError when it failed

private:
    std::string path_;
    int scale_;
    int pipe_fd_ = -1;
    int pid_ = -1;
};

// Full path of `program` found on PATH, or empty.
std::string FindOnPath(const std::string& program);

// The ffmpeg program; throws OutputError when it is not installed.
std::string FindFfmpeg();

// Renders `seconds` of the module at `module_path` from `start` seconds on,
// 44100 Hz stereo 16-bit, into a WAV file.
void RenderMusicWav(const std::filesystem::path& module_path, double start, double seconds,
                    const std::filesystem::path& wav_path);

}  // namespace zep::render
