// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "datagen/datagen.h"

#include <stdexcept>

namespace zep::datagen {

void WriteSong(const std::filesystem::path& dir) { WriteFile(dir, kModuleName, SongModule()); }

void WriteDefaultData(const std::filesystem::path& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir)) {
        if (std::filesystem::exists(std::filesystem::symlink_status(dir)))
            throw std::runtime_error(dir.string() + " is not a folder");
        throw std::runtime_error("cannot create the folder " + dir.string() +
                                 (ec ? ": " + ec.message() : std::string()));
    }
    for (SceneDataWriter write : SceneDataWriters()) write(dir);
    WriteSong(dir);
}

}  // namespace zep::datagen
