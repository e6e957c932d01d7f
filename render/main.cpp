// zep-render: runs the demo on the headless platform and writes the window
// picture after each frame as PNG files, raw video or an MP4 with the music.
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

#include "render/outputs.h"
#include "render/render_options.h"
#include "shell/driver.h"

namespace {

using zep::render::OutputError;
using zep::render::RenderOptions;

constexpr int kUsageStatus = 2;

// The frame count at which the built part of the sequence ends on its own.
long ExpectedFrames(double fps) {
    double end = 0.0;
    for (const zep::SceneEntry* entry : zep::DemoSequence()) {
        if (!entry->start) break;
        end = entry->end_time;
    }
    return static_cast<long>(std::ceil(end * fps - 1e-9));
}

class Progress {
public:
    Progress(long total, bool enabled) : total_(total), enabled_(enabled), start_(Clock::now()) {}

    void Show(long frame, const char* scene) {
        if (!enabled_) return;
        const auto now = Clock::now();
        if (frame != total_ && now - last_ < std::chrono::milliseconds(200)) return;
        last_ = now;
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        const double rate = elapsed > 0.0 ? frame / elapsed : 0.0;
        const double left = rate > 0.0 ? (total_ - frame) / rate : 0.0;
        std::fprintf(stderr, "\rframe %ld/%ld  %-14s  %6.0f fps  %3.0f s left ", frame, total_,
                     scene, rate, left);
        std::fflush(stderr);
    }

    void Done() {
        if (enabled_) std::fprintf(stderr, "\n");
    }

private:
    using Clock = std::chrono::steady_clock;
    long total_;
    bool enabled_;
    Clock::time_point start_;
    Clock::time_point last_{};
};

int Render(const RenderOptions& options) {
    const zep::DataDir data(options.data_dir);
    // Missing data ends the run before anything is written, as in zep.
    if (!zep::CheckSequenceFiles(zep::DemoSequence(), data)) return 1;

    const long last = options.to > 0 ? options.to : ExpectedFrames(options.fps);
    std::optional<zep::render::PngFrames> png;
    std::unique_ptr<zep::render::RawVideo> raw;
    std::unique_ptr<zep::render::HashList> hashes;
    std::unique_ptr<zep::render::Mp4Video> mp4;
    std::filesystem::path audio_wav;
    try {
        if (!options.png_dir.empty()) png.emplace(options.png_dir, options.scale);
        if (!options.raw_path.empty())
            raw = std::make_unique<zep::render::RawVideo>(options.raw_path);
        if (!options.hashes_path.empty())
            hashes = std::make_unique<zep::render::HashList>(options.hashes_path);
        if (!options.video_path.empty()) {
            const std::string ffmpeg = zep::render::FindFfmpeg();  // before the music is rendered
            char name[] = "/tmp/zep-render-audio-XXXXXX";
            const int fd = ::mkstemp(name);
            if (fd < 0) throw OutputError("cannot create a temporary file for the music");
            ::close(fd);
            audio_wav = name;
            const double start = options.from / options.fps;
            const double seconds = (last - options.from + 1) / options.fps;
            zep::render::RenderMusicWav(data.Path("076.it"), start, seconds, audio_wav);
            mp4 = std::make_unique<zep::render::Mp4Video>(ffmpeg, options.video_path, options.fps,
                                                          options.scale, audio_wav);
        }
    } catch (const OutputError& e) {
        if (!audio_wav.empty()) std::filesystem::remove(audio_wav);
        std::fprintf(stderr, "zep-render: %s\n", e.what());
        return kUsageStatus;
    }

    zep::HeadlessOptions headless;
    headless.fps = options.fps;
    headless.key_after_frame = options.to > 0 ? options.to : -1;
    if (options.key_after >= 0 &&
        (headless.key_after_frame < 0 || options.key_after < headless.key_after_frame))
        headless.key_after_frame = options.key_after;
    zep::HeadlessPlatform platform(headless);

    Progress progress(last, ::isatty(STDERR_FILENO) == 1);
    long frame = 0;
    int status = 0;
    try {
        status = zep::RunDemo(platform, zep::DemoSequence(), data,
                              [&](const ptc::Console& console, std::size_t scene) {
                                  ++frame;
                                  progress.Show(frame, zep::DemoSequence()[scene]->name);
                                  if (frame < options.from) return;
                                  const zep::Pixel* picture = console.picture();
                                  if (png) png->Write(frame, picture);
                                  if (raw) raw->Write(picture);
                                  if (hashes) hashes->Write(frame, picture);
                                  if (mp4) mp4->Write(picture);
                              });
        if (raw) raw->Finish();
        if (hashes) hashes->Finish();
        if (mp4) mp4->Finish();
    } catch (const OutputError& e) {
        progress.Done();
        mp4.reset();
        if (!audio_wav.empty()) std::filesystem::remove(audio_wav);
        std::fprintf(stderr, "zep-render: %s\n", e.what());
        return kUsageStatus;
    }
    progress.Done();
    mp4.reset();
    if (!audio_wav.empty()) std::filesystem::remove(audio_wav);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // A closed pipe (say, `zep-render --rawvideo - | head -c 100`) is reported
    // as a write error instead of killing the process silently.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const std::optional<RenderOptions> options = zep::render::ParseRenderOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "zep-render: %s\n%s", error.c_str(), zep::render::kRenderUsage);
        return kUsageStatus;
    }
    if (options->help) {
        std::fputs(zep::render::kRenderUsage, stdout);
        return 0;
    }
    return Render(*options);
}
