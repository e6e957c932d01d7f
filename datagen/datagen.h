// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The default data set: every file the scenes read, and the music module,
// made by this project's own code. Every function writes the same bytes on
// every run.
#pragma once

#include <filesystem>
#include <span>

#include "datagen/common.h"

namespace zep::datagen {

// Writes one scene's files (declared in its folder, scenes/NAME/NAME.h)
// into `dir`, which must exist; throws std::runtime_error naming the file
// that could not be written. Each scene folder's generator defines one.
using SceneDataWriter = void (*)(const std::filesystem::path& dir);

// Every scene folder's writer (the list is made at build time from the
// folders' zep_add_scene calls, cmake/scenes.cmake).
std::span<const SceneDataWriter> SceneDataWriters();

// The soundtrack as an Impulse Tracker module.
Bytes SongModule();
void WriteSong(const std::filesystem::path& dir);  // kModuleName

// Every scene's files and the song; creates `dir` when it does not exist. Throws
// std::runtime_error when `dir` is not a folder or cannot be made.
void WriteDefaultData(const std::filesystem::path& dir);

}  // namespace zep::datagen
