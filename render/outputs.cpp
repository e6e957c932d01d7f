// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "render/outputs.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <sstream>

#include "core/files.h"
#include "core/frame_hash.h"
#include "core/process.h"
#include "core/open_file.h"

namespace zep::render {
namespace {

std::string Reason(int error) { return std::strerror(error); }

bool IsRegularOrAbsent(const std::filesystem::path& path) {
    std::error_code ec;
    const auto type = std::filesystem::status(path, ec).type();
    return type == std::filesystem::file_type::regular || type == std::filesystem::file_type::not_found;
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

OutputFile::OutputFile(std::filesystem::path target) : target_(std::move(target)), name_(target_.string()) {
    // A symbolic link keeps pointing where it did: the file it names is the
    // one replaced.
    std::error_code ec;
    for (int links = 0; links < 40 && std::filesystem::is_symlink(target_, ec); ++links) {
        const std::filesystem::path to = std::filesystem::read_symlink(target_, ec);
        if (ec) break;
        target_ = to.is_absolute() ? to : target_.parent_path() / to;
    }
    if (!sys::NamesADevice(target_) && IsRegularOrAbsent(target_)) {
        file_ = CreateFileBeside(target_, temporary_);
    } else {
        file_ = OpenFile(target_, "wb");
    }
    if (!file_) Fail(Reason(errno));
}

OutputFile::OutputFile(std::FILE* stream, std::string name)
    : name_(std::move(name)), file_(stream), owned_(false) {
    if (!file_) Fail("it is not open");
}

OutputFile::~OutputFile() {
    if (owned_ && file_) std::fclose(file_);
    if (!temporary_.empty()) {
        std::error_code ec;
        std::filesystem::remove(temporary_, ec);
    }
}

void OutputFile::Fail(const std::string& reason) const {
    throw OutputError("cannot write " + name_ + ": " + reason);
}

void OutputFile::Write(const void* data, std::size_t size) {
    if (std::fwrite(data, 1, size, file_) != size) Fail(Reason(errno));
}

void OutputFile::Commit() {
    if (std::fflush(file_) != 0) Fail(Reason(errno));
    if (!owned_) return;
    const int rc = std::fclose(file_);
    file_ = nullptr;
    if (rc != 0) Fail(Reason(errno));
    if (temporary_.empty()) return;
    std::error_code ec;
    std::filesystem::rename(temporary_, target_, ec);
    if (ec) Fail(ec.message());
    temporary_.clear();
}

namespace {

// libpng reports through these: the first failure's text is kept and the
// write is abandoned with a jump back into WritePng.
struct PngSink {
    OutputFile* out;
    std::string failure;
};

void PngWrite(png_structp png, png_bytep data, std::size_t size) {
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, size, sink->out->Stream()) != size) {
        sink->failure = Reason(errno);
        png_error(png, "write failed");
    }
}

void PngFlush(png_structp) {}

void PngError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
    if (sink->failure.empty()) sink->failure = message;
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

}  // namespace

void WritePng(const std::filesystem::path& path, const Pixel* picture, int scale) {
    const std::vector<std::uint8_t> rgb = ScaledRgb(picture, scale);
    OutputFile out(path);
    PngSink sink{&out, {}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        out.Fail("out of memory");
    }
    // Nothing with a destructor is created between setjmp and the calls that
    // may jump back to it.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.Fail(sink.failure);
    }
    const int w = kWidth * scale, h = kHeight * scale;
    png_set_write_fn(png, &sink, PngWrite, PngFlush);
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y)
        png_write_row(png, rgb.data() + static_cast<std::size_t>(y) * w * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    out.Commit();
}

PngFrames::PngFrames(std::filesystem::path dir, int scale) : dir_(std::move(dir)), scale_(scale) {
    std::error_code ec;
    std::filesystem::create_directories(dir_, ec);
    if (!std::filesystem::is_directory(dir_))
        throw OutputError("cannot create the folder " + dir_.string() +
                          (ec ? ": " + ec.message() : ""));
    if (!lock_.Take(dir_))
        throw OutputError("another render is writing into the folder " + dir_.string() +
                          "; wait for it to end or choose another folder");
    // A folder that cannot be written into is found before the first frame.
    std::filesystem::path probe;
    std::FILE* file = CreateFileBeside(dir_ / "frame.png", probe);
    if (!file) throw OutputError("cannot write into the folder " + dir_.string() + ": " + Reason(errno));
    std::fclose(file);
    std::filesystem::remove(probe, ec);
}

void PngFrames::Write(long frame, const Pixel* picture) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06ld.png", frame);
    WritePng(dir_ / name, picture, scale_);
}

void RawVideo::Write(const Pixel* picture) {
    static_assert(std::endian::native == std::endian::little, "pixels are written as held");
    out_.Write(picture, sizeof(Pixel) * kScreenPixels);
}

void HashList::Write(long frame, const Pixel* picture) {
    const std::string line = FrameHashLine(frame, FrameHash(picture));
    out_.Write(line.data(), line.size());
}

namespace {

// `frames` stereo frames of the module from `start` seconds on, in one read.
std::vector<std::int16_t> RenderSong(MusicModule& module, int sample_rate, double start,
                                     std::size_t frames) {
    SeekModule(module, start);
    std::vector<std::int16_t> pcm(2 * frames, 0);
    RenderModule(module, sample_rate, frames, pcm.data());
    return pcm;
}

}  // namespace

MusicTrack::MusicTrack(MusicModulePtr module, FrameRate rate, long first, long frames, int sample_rate)
    : sample_rate_(sample_rate) {
    // Frame n shows the clock at n / fps, and the music plays from clock 0.
    const std::int64_t num = rate.num;
    const std::int64_t samples =
        (2 * static_cast<std::int64_t>(frames) * sample_rate * rate.den + num) / (2 * num);
    pcm_ = RenderSong(*module, sample_rate, static_cast<double>(first) * rate.den / rate.num,
                      static_cast<std::size_t>(samples));
}

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
        if (sys::IsExecutable(candidate)) return candidate;
    }
    return {};
}

std::string FindFfmpeg() {
#ifdef _WIN32
    throw OutputError(
        "--video is not available on Windows; write the frames with --png or --rawvideo and "
        "make the video from them with ffmpeg");
#endif
    std::string ffmpeg = FindOnPath("ffmpeg");
    if (ffmpeg.empty())
        throw OutputError("--video needs ffmpeg, which is not installed (apt-get install ffmpeg)");
    return ffmpeg;
}

// The x264 constant rate factor of --quality share, chosen by measurement
// (see the README): the hardest scene's frames stay above the PSNR the tests
// ask for, and the whole demo at --scale 2 stays a file of a few hundred MB.
constexpr int kShareCrf = 16;

std::vector<std::string> VideoArguments(VideoQuality quality, int scale, FrameRate rate,
                                        int sample_rate, const std::string& path) {
    const std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight);
    const std::string fps = std::to_string(rate.num) + "/" + std::to_string(rate.den);
    const std::string scaled =
        "scale=" + std::to_string(kWidth * scale) + ":" + std::to_string(kHeight * scale) + ":flags=neighbor";
    std::vector<std::string> args = {
        "ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
        "-f", "rawvideo", "-pixel_format", "bgr0", "-video_size", size, "-framerate", fps,
        "-i", "pipe:3",
        "-f", "s16le", "-ar", std::to_string(sample_rate), "-ac", "2", "-i", "pipe:4",
        "-map", "0:v", "-map", "1:a"};
    const std::vector<std::string> encoding =
        quality == VideoQuality::Share
            ? std::vector<std::string>{
                  // The picture is scaled first, in RGB, so that at an even
                  // scale every 2 x 2 chroma sample covers one source pixel.
                  "-vf", scaled + ",scale=out_color_matrix=bt709:out_range=tv:flags=neighbor+accurate_rnd,"
                         "format=yuv420p",
                  "-c:v", "libx264", "-preset", "veryfast", "-tune", "animation",
                  "-crf", std::to_string(kShareCrf),
                  "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
                  "-color_range", "tv",
                  "-c:a", "aac", "-profile:a", "aac_low", "-b:a", "320k"}
            : std::vector<std::string>{
                  "-vf", scaled, "-c:v", "libx264rgb", "-preset", "veryfast", "-qp", "0",
                  "-pix_fmt", "bgr0",
                  "-colorspace", "rgb", "-color_primaries", "bt709", "-color_trc", "iec61966-2-1",
                  "-color_range", "pc",
                  "-c:a", "alac"};
    args.insert(args.end(), encoding.begin(), encoding.end());
    for (const char* tail : {"-shortest", "-movflags", "+faststart", "-f", "mp4"}) args.push_back(tail);
    args.push_back(path);
    return args;
}

Mp4Video::Mp4Video(const std::string& ffmpeg, const std::filesystem::path& path, FrameRate rate,
                   VideoQuality quality, int scale, MusicTrack music)
    : out_(path), music_(std::move(music)) {
    const std::vector<std::string> args =
        VideoArguments(quality, scale, rate, music_.SampleRate(), out_.WorkingPath().string());
    const std::string failure = ffmpeg_.Start(ffmpeg, args, 2);
    if (!failure.empty()) throw OutputError("cannot start ffmpeg: " + failure);
    music_writer_ = std::thread([this] { WriteMusic(); });
}

Mp4Video::~Mp4Video() {
    if (music_writer_.joinable()) {
        ffmpeg_.Kill();  // the music thread's next write fails
        music_writer_.join();
    }
}

void Mp4Video::WriteMusic() {
    const std::vector<std::int16_t>& pcm = music_.Samples();
    ffmpeg_.Write(1, pcm.data(), pcm.size() * sizeof(std::int16_t));  // on failure ffmpeg says why
    ffmpeg_.ClosePipe(1);
}

namespace {

// Why ffmpeg could not write the file at `path`, in the system's words, when
// a write of our own fails there too (a full disk, a file size limit, a
// failing disk); empty when it does not.
std::string WhyNotWritable(const std::filesystem::path& path) {
    // Only a regular file: opening a named pipe whose reader has gone would wait.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return {};
    std::FILE* file = OpenFile(path, "ab");
    if (!file) return {};
    // More than any space a filesystem may still have in the file's last block.
    const std::vector<char> block(1 << 20, 0);
    int error = 0;
    if (std::fwrite(block.data(), 1, block.size(), file) != block.size() || std::fflush(file) != 0)
        error = errno;
    if (std::fclose(file) != 0 && error == 0) error = errno;
    return error != 0 ? Reason(error) : std::string();
}

}  // namespace

void Mp4Video::Stopped(const std::string& otherwise) const {
    // An interrupt ends the render with its own line (see zep-render's main).
    if (Interrupted() != 0) out_.Fail("interrupted");
    const std::string reason = WhyNotWritable(out_.WorkingPath());
    out_.Fail(reason.empty() ? otherwise : reason);
}

void Mp4Video::Write(const Pixel* picture) {
    // The pixels as held are ffmpeg's bgr0 (see RawVideo); ffmpeg scales them.
    // Its own message, if it has one, is already on standard error.
    if (!ffmpeg_.Write(0, picture, sizeof(Pixel) * kScreenPixels)) Stopped("ffmpeg stopped before the last frame");
}

void Mp4Video::Finish() {
    ffmpeg_.ClosePipe(0);
    music_writer_.join();
    if (!ffmpeg_.Finish()) Stopped("ffmpeg could not make the video");
    out_.Commit();
}

void RenderMusicWav(const std::filesystem::path& module_path, double start, double seconds,
                    const std::filesystem::path& wav_path) {
    if (!(seconds > 0.0 && seconds <= 3600.0))
        throw OutputError("cannot render " + std::to_string(seconds) + " seconds of music");
    int error = kMusicNoError;
    const MusicModulePtr module = LoadModuleFile(module_path.string(), error);
    if (!module) throw OutputError(module_path.string() + ": " + MusicErrorText(error));
    constexpr int kRate = MusicTrack::kWavRate;
    const auto frames = static_cast<std::uint32_t>(std::llround(seconds * kRate));
    const std::vector<std::int16_t> pcm = RenderSong(*module, kRate, start, frames);
    const std::uint32_t data_bytes = frames * 4;
    OutputFile out(wav_path);
    auto u32 = [&](std::uint32_t v) { out.Write(&v, 4); };
    auto u16 = [&](std::uint16_t v) { out.Write(&v, 2); };
    out.Write("RIFF", 4);
    u32(36 + data_bytes);
    out.Write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    out.Write("data", 4);
    u32(data_bytes);
    out.Write(pcm.data(), data_bytes);
    out.Commit();
}

}  // namespace zep::render
