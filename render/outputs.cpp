#include "render/outputs.h"

#include "shell/frame_hash.h"

#include <fcntl.h>
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <libopenmpt/libopenmpt.hpp>
#include <memory>
#include <sstream>

extern char** environ;

namespace zep::render {
namespace {

std::string Reason() { return std::strerror(errno); }

bool WriteAll(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> ScaledRgb(const Pixel* picture, int scale) {
    const int w = kWidth * scale;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * kHeight * scale * 3);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = rgb.data() + static_cast<std::size_t>(y) * scale * w * 3;
        for (int x = 0; x < kWidth; ++x) {
            const Pixel p = picture[y * kWidth + x];
            for (int k = 0; k < scale; ++k) {
                std::uint8_t* to = row + (static_cast<std::size_t>(x) * scale + k) * 3;
                to[0] = static_cast<std::uint8_t>(Red(p));
                to[1] = static_cast<std::uint8_t>(Green(p));
                to[2] = static_cast<std::uint8_t>(Blue(p));
            }
        }
        for (int k = 1; k < scale; ++k)
            std::memcpy(row + static_cast<std::size_t>(k) * w * 3, row, static_cast<std::size_t>(w) * 3);
    }
    return rgb;
}

void WritePng(const std::filesystem::path& path, const Pixel* picture, int scale) {
    const std::vector<std::uint8_t> rgb = ScaledRgb(picture, scale);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw OutputError("cannot write " + path.string() + ": " + Reason());
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        throw OutputError("cannot write " + path.string());
    }
    const int w = kWidth * scale, h = kHeight * scale;
    png_init_io(png, f);
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y)
        png_write_row(png, rgb.data() + static_cast<std::size_t>(y) * w * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(f) != 0) throw OutputError("cannot write " + path.string() + ": " + Reason());
}

PngFrames::PngFrames(std::filesystem::path dir, int scale) : dir_(std::move(dir)), scale_(scale) {
    std::error_code ec;
    std::filesystem::create_directories(dir_, ec);
    if (!std::filesystem::is_directory(dir_))
        throw OutputError("cannot create the folder " + dir_.string() +
                          (ec ? ": " + ec.message() : ""));
    const std::filesystem::path probe = dir_ / ".zep-render-probe";
    std::FILE* f = std::fopen(probe.c_str(), "wb");
    if (!f) throw OutputError("cannot write into the folder " + dir_.string() + ": " + Reason());
    std::fclose(f);
    std::filesystem::remove(probe, ec);
}

void PngFrames::Write(long frame, const Pixel* picture) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06ld.png", frame);
    WritePng(dir_ / name, picture, scale_);
}

RawVideo::RawVideo(const std::string& path) : name_(path == "-" ? "standard output" : path) {
    if (path == "-") {
        file_ = stdout;
    } else {
        file_ = std::fopen(path.c_str(), "wb");
        owned_ = true;
        if (!file_) throw OutputError("cannot write " + path + ": " + Reason());
    }
}

RawVideo::~RawVideo() {
    if (owned_ && file_) std::fclose(file_);
}

void RawVideo::Write(const Pixel* picture) {
    static_assert(std::endian::native == std::endian::little, "pixels are written as held");
    const std::size_t bytes = sizeof(Pixel) * kScreenPixels;
    if (std::fwrite(picture, 1, bytes, file_) != bytes)
        throw OutputError("cannot write the raw video to " + name_ + ": " + Reason());
}

void RawVideo::Finish() {
    if (std::fflush(file_) != 0)
        throw OutputError("cannot write the raw video to " + name_ + ": " + Reason());
    if (owned_) {
        const int rc = std::fclose(file_);
        file_ = nullptr;
        if (rc != 0) throw OutputError("cannot write the raw video to " + name_ + ": " + Reason());
    }
}

HashList::HashList(const std::string& path) : name_(path == "-" ? "standard output" : path) {
    if (path == "-") {
        file_ = stdout;
    } else {
        file_ = std::fopen(path.c_str(), "wb");
        owned_ = true;
        if (!file_) throw OutputError("cannot write " + path + ": " + Reason());
    }
}

HashList::~HashList() {
    if (owned_ && file_) std::fclose(file_);
}

void HashList::Write(long frame, const Pixel* picture) {
    const std::string line = FrameHashLine(frame, FrameHash(picture));
    if (std::fputs(line.c_str(), file_) == EOF)
        throw OutputError("cannot write the frame hashes to " + name_ + ": " + Reason());
}

void HashList::Finish() {
    if (std::fflush(file_) != 0)
        throw OutputError("cannot write the frame hashes to " + name_ + ": " + Reason());
    if (owned_) {
        const int rc = std::fclose(file_);
        file_ = nullptr;
        if (rc != 0) throw OutputError("cannot write the frame hashes to " + name_ + ": " + Reason());
    }
}

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

std::string FindFfmpeg() {
    std::string ffmpeg = FindOnPath("ffmpeg");
    if (ffmpeg.empty())
        throw OutputError("--video needs ffmpeg, which is not installed (apt-get install ffmpeg)");
    return ffmpeg;
}

Mp4Video::Mp4Video(const std::string& ffmpeg, const std::string& path, double fps, int scale,
                   const std::filesystem::path& audio_wav)
    : path_(path), scale_(scale) {
    {
        std::FILE* probe = std::fopen(path.c_str(), "wb");
        if (!probe) throw OutputError("cannot write " + path + ": " + Reason());
        std::fclose(probe);
    }
    int fds[2];
    if (::pipe(fds) != 0) throw OutputError("cannot start ffmpeg: " + Reason());
    char size[32], rate[32];
    std::snprintf(size, sizeof size, "%dx%d", kWidth * scale, kHeight * scale);
    std::snprintf(rate, sizeof rate, "%.6f", fps);
    const std::string audio = audio_wav.string();
    std::vector<std::string> args = {
        "ffmpeg", "-hide_banner", "-loglevel", "error", "-y",
        "-f", "rawvideo", "-pixel_format", "rgb24", "-video_size", size, "-framerate", rate,
        "-i", "pipe:0", "-i", audio,
        "-map", "0:v", "-map", "1:a",
        "-c:v", "libx264", "-preset", "medium", "-crf", "16", "-pix_fmt", "yuv420p",
        "-c:a", "aac", "-b:a", "192k", "-shortest", "-movflags", "+faststart", path};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, ffmpeg.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[0]);
    if (rc != 0) {
        ::close(fds[1]);
        throw OutputError("cannot start ffmpeg: " + std::string(std::strerror(rc)));
    }
    pid_ = pid;
    pipe_fd_ = fds[1];
}

Mp4Video::~Mp4Video() {
    if (pipe_fd_ >= 0) ::close(pipe_fd_);
    if (pid_ > 0) {
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

void Mp4Video::Write(const Pixel* picture) {
    const std::vector<std::uint8_t> rgb = ScaledRgb(picture, scale_);
    if (!WriteAll(pipe_fd_, rgb.data(), rgb.size()))
        throw OutputError("ffmpeg stopped while writing " + path_ + ": " + Reason());
}

void Mp4Video::Finish() {
    ::close(pipe_fd_);
    pipe_fd_ = -1;
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw OutputError("ffmpeg could not make " + path_);
}

void RenderMusicWav(const std::filesystem::path& module_path, double start, double seconds,
                    const std::filesystem::path& wav_path) {
    std::ifstream in(module_path, std::ios::binary);
    if (!in) throw OutputError("cannot read " + module_path.string());
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ostringstream log;
    std::unique_ptr<openmpt::module> module;
    try {
        module = std::make_unique<openmpt::module>(bytes, log);
    } catch (const std::exception&) {
        throw OutputError(module_path.string() + " is not a module libopenmpt can play");
    }
    constexpr int kRate = 44100;
    module->set_position_seconds(start);
    const auto frames = static_cast<std::size_t>(std::llround(seconds * kRate));
    std::vector<std::int16_t> pcm(frames * 2, 0);
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t got = module->read_interleaved_stereo(kRate, frames - done, pcm.data() + 2 * done);
        if (got == 0) break;  // the module ended: silence after it
        done += got;
    }
    std::ofstream out(wav_path, std::ios::binary);
    if (!out) throw OutputError("cannot write " + wav_path.string());
    auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const auto data_bytes = static_cast<std::uint32_t>(pcm.size() * 2);
    out.write("RIFF", 4);
    u32(36 + data_bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(data_bytes);
    out.write(reinterpret_cast<const char*>(pcm.data()), static_cast<std::streamsize>(data_bytes));
    if (!out) throw OutputError("cannot write " + wav_path.string());
}

}  // namespace zep::render
