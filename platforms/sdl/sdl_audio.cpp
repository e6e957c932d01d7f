// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The SDL2 audio device: a callback on SDL's audio thread asks the pull
// callback for the samples, and keeps the device's clock for the timer.
#include <SDL.h>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <mutex>
#include <utility>

#include "platforms/sdl/sdl_platform.h"

namespace zep {
namespace {

#ifdef __linux__
// How much the drawing thread yields to the sound's (a nice value).
constexpr int kDrawingNiceness = 5;
#endif

class SdlAudioStream : public AudioStream {
public:
    SdlAudioStream(int rate, AudioPull pull) : rate_(rate), pull_(std::move(pull)) {}

    ~SdlAudioStream() override {
        if (id_ != 0) SDL_CloseAudioDevice(id_);  // stops the audio thread
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    // Called once, after SDL_InitSubSystem(SDL_INIT_AUDIO) succeeded (the
    // destructor shuts the subsystem again).
    bool Open(bool verbose) {
        SDL_AudioSpec want{};
        want.freq = rate_;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        // 46 ms a buffer: a starved machine may leave the audio thread
        // waiting 15 ms or more for the CPU, and a shorter buffer then runs
        // dry. The clock follows what is heard, so the picture keeps step.
        want.samples = 2048;
        want.callback = &SdlAudioStream::Fill;
        want.userdata = this;
        SDL_AudioSpec have{};
        id_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (id_ == 0) return false;
#ifdef __linux__
        // The device's thread has started at the calling thread's priority.
        // The caller, which draws the pictures, now yields to it: on a
        // starved CPU pictures are dropped, and the music does not stall.
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kDrawingNiceness);
#endif
        queued_frames_ = have.samples;
        // SDL's dummy and disk drivers only simulate a device's pace.
        const char* driver = SDL_GetCurrentAudioDriver();
        keeps_time_ = driver && SDL_strcmp(driver, "dummy") != 0 && SDL_strcmp(driver, "disk") != 0;
        if (verbose) {
            // The device SDL opened for "the default", by its name where the
            // driver tells it.
            char* device = nullptr;
            SDL_AudioSpec device_spec{};
            if (SDL_GetDefaultAudioInfo(&device, &device_spec, 0) != 0) device = nullptr;
            std::fprintf(stderr,
                         "zep: audio: driver %s, device \"%s\", buffer %d frames (%.1f ms) at %d Hz, "
                         "latency %.1f ms\n",
                         driver ? driver : "none", device ? device : "default", have.samples,
                         1000.0 * have.samples / have.freq, have.freq, 1000.0 * queued_frames_ / have.freq);
            SDL_free(device);
        }
        return true;
    }

    // The device is opened paused: its callback runs only from here on.
    void Start(double from_seconds) override {
        (void)from_seconds;  // the pull callback renders from there
        SDL_PauseAudioDevice(id_, 0);
    }

    HeardPosition Heard() const override {
        std::lock_guard<std::mutex> lock(heard_mutex_);
        return heard_;
    }

private:
    static void Fill(void* self, Uint8* stream, int length) {
        auto* device = static_cast<SdlAudioStream*>(self);
        const double now = SteadySeconds();
        auto* out = reinterpret_cast<std::int16_t*>(stream);
        const std::size_t frames = static_cast<std::size_t>(length) / 4;
        const std::size_t done = device->pull_(out, frames);
        SDL_memset(out + 2 * done, 0, (frames - done) * 4);
        // The sound heard now is the queued frames before what this call
        // wrote; silence after the song's end still counts.
        const double heard = static_cast<double>(device->frames_written_ - device->queued_frames_) /
                             device->rate_;
        device->frames_written_ += static_cast<long long>(frames);
        if (!device->keeps_time_) return;
        std::lock_guard<std::mutex> lock(device->heard_mutex_);
        device->heard_ = HeardPosition{true, now, heard};
    }

    int rate_;
    AudioPull pull_;
    SDL_AudioDeviceID id_ = 0;
    // The device's clock: frames handed to it since playing began, and what
    // stays queued in it when it asks for more (one buffer, still playing).
    bool keeps_time_ = false;  // a real output, not SDL's simulated ones
    long long frames_written_ = 0;
    int queued_frames_ = 0;
    mutable std::mutex heard_mutex_;
    HeardPosition heard_;
};

}  // namespace

std::unique_ptr<AudioStream> OpenSdlAudio(int rate, AudioPull pull, bool verbose) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        if (verbose) std::fprintf(stderr, "zep: audio: no driver: %s\n", SDL_GetError());
        return nullptr;
    }
    auto stream = std::make_unique<SdlAudioStream>(rate, std::move(pull));
    if (!stream->Open(verbose)) {
        if (verbose) std::fprintf(stderr, "zep: audio: no device: %s\n", SDL_GetError());
        return nullptr;
    }
    return stream;
}

}  // namespace zep
