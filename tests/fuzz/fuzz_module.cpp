// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// libFuzzer target: a music module through the music layer's loading and a
// few seconds of rendering, from the start and from a later position.
#include <cstdint>
#include <vector>

#include "shell/music.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<char> bytes(data, data + size);
    int error = 0;
    zep::MusicModulePtr module = zep::MakeModule(bytes, error);
    if (!module) return 0;
    std::vector<std::int16_t> pcm(2 * 4410);
    for (int chunk = 0; chunk < 20; ++chunk)
        if (zep::RenderModule(*module, 44100, 4410, pcm.data()) == 0) break;
    zep::SeekModule(*module, 30.0);
    zep::RenderModule(*module, 44100, 4410, pcm.data());
    return 0;
}
