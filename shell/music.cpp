#include "shell/music.h"

#include <SDL.h>

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <mutex>
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
    // The device's clock: frames handed to it since playing began, and what
    // stays queued in it when it asks for more (one buffer, still playing).
    bool keeps_time = false;  // a real output, not SDL's simulated ones
    long long frames_written = 0;
    int queued_frames = 0;
    mutable std::mutex heard_mutex;
    HeardPosition heard;

    static void Fill(void* self, Uint8* stream, int length) {
        auto* device = static_cast<Device*>(self);
        const double now = SteadySeconds();
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
        if (!device->playing) return;
        // The sound heard now is the queued frames before what this call
        // wrote; silence after the song's end still counts.
        const double heard = static_cast<double>(device->frames_written - device->queued_frames) /
                             device->mixrate;
        device->frames_written += static_cast<long long>(frames);
        if (!device->keeps_time) return;
        std::lock_guard<std::mutex> lock(device->heard_mutex);
        device->heard = HeardPosition{true, now, heard};
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
    device->queued_frames = have.samples;
    // SDL's dummy and disk drivers only simulate a device's pace.
    const char* driver = SDL_GetCurrentAudioDriver();
    device->keeps_time = driver && SDL_strcmp(driver, "dummy") != 0 && SDL_strcmp(driver, "disk") != 0;
    device_ = std::move(device);
    error_ = kMusicNoError;
    return 1;
}

MusicModule* Music::FMUSIC_LoadSong(const std::string& path) {
    MusicModulePtr module = LoadModuleFile(path, error_);
    if (!module) return nullptr;
    module_.reset(module.release());
    return module_.get();
}

void MusicModuleDeleter::operator()(MusicModule* module) const { delete module; }

int ReadModuleFile(const std::string& path, std::vector<char>& bytes) {
    namespace fs = std::filesystem;
    bytes.clear();
    // Looked at before opening: opening a named pipe would wait for a writer,
    // and a device may never end.
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) return kMusicFileNotFound;
    if (ec || status.type() != fs::file_type::regular) return kMusicLoadFailed;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) return kMusicLoadFailed;
    if (size > kMaxModuleBytes) return kMusicUnknownFormat;

    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return (errno == ENOENT || errno == ENOTDIR) ? kMusicFileNotFound : kMusicLoadFailed;
    int result = kMusicNoError;
    try {
        // At most one byte past the limit is read, so a file that grows
        // after the size was looked at still cannot fill the memory.
        bytes.resize(static_cast<std::size_t>(size) + 1);
        std::size_t got = 0;
        while (got < bytes.size()) {
            const std::size_t n = std::fread(bytes.data() + got, 1, bytes.size() - got, file);
            if (n == 0) break;
            got += n;
            if (got == bytes.size() && bytes.size() <= kMaxModuleBytes)
                bytes.resize(std::min<std::size_t>(bytes.size() * 2, kMaxModuleBytes + 1));
        }
        if (std::ferror(file)) result = kMusicLoadFailed;
        else if (got > kMaxModuleBytes) result = kMusicUnknownFormat;
        bytes.resize(got);
    } catch (const std::bad_alloc&) {
        result = kMusicOutOfMemory;
    }
    std::fclose(file);
    if (result != kMusicNoError) bytes.clear();
    return result;
}

MusicModulePtr MakeModule(const std::vector<char>& bytes, int& error) {
    try {
        MusicModulePtr module(new MusicModule(bytes));
        error = kMusicNoError;
        return module;
    } catch (const std::bad_alloc&) {
        error = kMusicOutOfMemory;
    } catch (const std::exception&) {
        error = kMusicUnknownFormat;
    }
    return nullptr;
}

MusicModulePtr LoadModuleFile(const std::string& path, int& error) {
    std::vector<char> bytes;
    error = ReadModuleFile(path, bytes);
    if (error != kMusicNoError) return nullptr;
    return MakeModule(bytes, error);
}

void SeekModule(MusicModule& module, double seconds) { module.module.set_position_seconds(seconds); }

std::size_t RenderModule(MusicModule& module, int rate, std::size_t frames, std::int16_t* out) {
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t got = module.module.read_interleaved_stereo(rate, frames - done, out + 2 * done);
        if (got == 0) break;
        done += got;
    }
    return done;
}

HeardPosition Music::Heard() const {
    if (!device_) return {};
    std::lock_guard<std::mutex> lock(device_->heard_mutex);
    return device_->heard;
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
