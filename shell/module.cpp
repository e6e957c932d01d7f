// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Tracker modules through libopenmpt: reading a module file, decoding it and
// rendering its samples.
#include "shell/music.h"

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <libopenmpt/libopenmpt.hpp>
#include <new>
#include <ostream>
#include <streambuf>
#include <vector>

#include "shell/module_check.h"

namespace zep {

namespace {
// libopenmpt writes its warnings to a stream; the demo shows none of them.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};
}  // namespace

struct MusicModule {
    // The 16-bit samples without dither: libopenmpt's dither draws from a
    // generator seeded anew in every run, so two renders of the same module
    // would differ in their last bits, and so would every file made from
    // them (the video's sound track, the web build's music).
    explicit MusicModule(const std::vector<char>& bytes)
        : log(&null_buffer), module(bytes, log) {
        module.ctl_set_integer("dither", 0);
    }
    NullBuffer null_buffer;
    std::ostream log;
    openmpt::module module;
};

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
    // A damaged module would load and play as silence.
    if (!ItModuleDamage(bytes).empty()) {
        error = kMusicUnknownFormat;
        return nullptr;
    }
    try {
        MusicModulePtr module(new MusicModule(bytes));
        // Nothing to play: no order, no pattern, no sound at all.
        const openmpt::module& m = module->module;
        if (m.get_num_orders() <= 0 || m.get_num_patterns() <= 0 ||
            (m.get_num_samples() <= 0 && m.get_num_instruments() <= 0)) {
            error = kMusicUnknownFormat;
            return nullptr;
        }
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

}  // namespace zep
