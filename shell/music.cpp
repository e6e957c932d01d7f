#include "shell/music.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <libopenmpt/libopenmpt.hpp>
#include <new>
#include <ostream>
#include <streambuf>
#include <vector>

namespace zep {

namespace {
// libopenmpt writes its warnings to a stream; the demo shows none of them.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};
}  // namespace

struct MusicModule {
    explicit MusicModule(const std::vector<char>& bytes)
        : log(&null_buffer), module(bytes, log) {}
    NullBuffer null_buffer;
    std::ostream log;
    openmpt::module module;
};

struct Music::Device {
    SDL_AudioDeviceID id = 0;
    MusicModule* playing = nullptr;  // read by the audio thread once started
    int mixrate = 44100;

    static void Fill(void* self, Uint8* stream, int length) {
        auto* device = static_cast<Device*>(self);
        auto* out = reinterpret_cast<std::int16_t*>(stream);
        std::size_t frames = static_cast<std::size_t>(length) / 4;
        std::size_t done = 0;
        if (device->playing) {
            while (done < frames) {
                const std::size_t got = device->playing->module.read_interleaved_stereo(
                    device->mixrate, frames - done, out + 2 * done);
                if (got == 0) break;
                done += got;
            }
        }
        SDL_memset(out + 2 * done, 0, (frames - done) * 4);
    }

    ~Device() {
        if (id != 0) SDL_CloseAudioDevice(id);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
};

Music::Music(AudioOutput output) : output_(output) {}

Music::~Music() {
    device_.reset();  // stops the audio thread before the module goes
    module_.reset();
}

int Music::FSOUND_Init(int mixrate, int maxchannels, unsigned flags) {
    (void)flags;
    if (device_ || mixrate <= 0 || maxchannels <= 0) {
        error_ = device_ ? 1 : kMusicInvalidParameter;
        return 0;
    }
    mixrate_ = mixrate;
    if (output_ == AudioOutput::None) {
        error_ = kMusicNoError;
        return 1;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error_ = kMusicInitFailed;
        return 0;
    }
    auto device = std::make_unique<Device>();
    device->mixrate = mixrate;
    SDL_AudioSpec want{};
    want.freq = mixrate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &Device::Fill;
    want.userdata = device.get();
    SDL_AudioSpec have{};
    device->id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device->id == 0) {
        error_ = kMusicInitFailed;
        return 0;  // the Device destructor shuts the audio subsystem again
    }
    device_ = std::move(device);
    error_ = kMusicNoError;
    return 1;
}

MusicModule* Music::FMUSIC_LoadSong(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error_ = (errno == ENOENT || errno == ENOTDIR) ? kMusicFileNotFound : kMusicLoadFailed;
        return nullptr;
    }
    std::vector<char> bytes;
    bool read_ok = true;
    try {
        char buffer[65536];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + got);
        read_ok = !std::ferror(file);
    } catch (const std::bad_alloc&) {
        std::fclose(file);
        error_ = kMusicOutOfMemory;
        return nullptr;
    }
    std::fclose(file);
    if (!read_ok) {
        error_ = kMusicLoadFailed;
        return nullptr;
    }
    try {
        module_ = std::make_unique<MusicModule>(bytes);
    } catch (const std::bad_alloc&) {
        error_ = kMusicOutOfMemory;
        return nullptr;
    } catch (const std::exception&) {
        error_ = kMusicUnknownFormat;
        return nullptr;
    }
    error_ = kMusicNoError;
    return module_.get();
}

bool Music::FMUSIC_PlaySong(MusicModule* module) {
    if (!module) {
        error_ = kMusicInvalidParameter;
        return false;
    }
    if (output_ == AudioOutput::None) return true;
    if (!device_) {
        error_ = 2;
        return false;
    }
    SDL_LockAudioDevice(device_->id);
    device_->playing = module;
    SDL_UnlockAudioDevice(device_->id);
    SDL_PauseAudioDevice(device_->id, 0);
    return true;
}

}  // namespace zep
