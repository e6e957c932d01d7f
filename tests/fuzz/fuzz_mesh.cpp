// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// libFuzzer target: the object scene's mesh. The input is the vertex file
// followed by the face file, cut or padded with zeros to their sizes (the
// program refuses short files before any scene starts); the scene starts on
// them and draws a few frames.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "scenes/chrome/chrome.h"
#include "scenes/scenes.h"
#include "core/data_dir.h"

namespace {

std::filesystem::path g_dir;

void WriteBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size,
                std::size_t want) {
    std::vector<char> bytes(want, 0);
    for (std::size_t i = 0; i < want && i < size; ++i) bytes[i] = static_cast<char>(data[i]);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(want));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/zep-fuzz-mesh-XXXXXX";
    if (!::mkdtemp(dir.data())) std::abort();
    g_dir = dir;
    std::vector<std::uint8_t> texture(zep::kTextureBytes);
    for (std::size_t i = 0; i < texture.size(); ++i) texture[i] = static_cast<std::uint8_t>(i * 7 + i / 1024);
    WriteBytes(g_dir / "tex5.raw", texture.data(), texture.size(), texture.size());
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(g_dir, ec);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t coords = zep::chrome::kCoordsBytes;
    WriteBytes(g_dir / "Coords.ddd", data, size, coords);
    WriteBytes(g_dir / "Surfaces.ddd", size > coords ? data + coords : data, size > coords ? size - coords : 0,
               zep::chrome::kFacesBytes);
    std::unique_ptr<zep::Scene> scene;
    try {
        scene = zep::chrome::kScene.start(zep::DataDir(g_dir));
    } catch (const zep::DataError&) {
        return 0;  // a face naming a vertex that does not exist
    }
    std::vector<zep::Pixel> surface(zep::kSurfacePixels);
    for (int frame = 0; frame < 3; ++frame) scene->Draw(surface.data(), 60.5 + frame / 60.0);
    return 0;
}
