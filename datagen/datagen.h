// The default data set: every file the scenes read, and the music module,
// made by this project's own code. Every function writes the same bytes on
// every run.
#pragma once

#include <filesystem>

#include "datagen/common.h"

namespace zep::datagen {

// Each writes its scene's files (scenes/data_files.h) into `dir` (which must
// exist); throws std::runtime_error naming the file that could not be written.
void WritePlanesData(const std::filesystem::path& dir);
void WriteCubeData(const std::filesystem::path& dir);
void WriteLandscapeData(const std::filesystem::path& dir);
void WriteChromeData(const std::filesystem::path& dir);
void WriteTunnelsData(const std::filesystem::path& dir);  // the stamp and the polar tunnel

// The soundtrack as an Impulse Tracker module.
Bytes SongModule();
void WriteSong(const std::filesystem::path& dir);  // kModuleName

// All of the above; creates `dir` when it does not exist. Throws
// std::runtime_error when `dir` is not a folder or cannot be made.
void WriteDefaultData(const std::filesystem::path& dir);

}  // namespace zep::datagen
