// The default data set: every file the scenes read, and the music module,
// made by this project's own code. Every function writes the same bytes on
// every run.
#pragma once

#include <filesystem>

#include "datagen/common.h"

namespace zep::datagen {

// Each writes its scene's files into `dir` (which must exist); throws
// std::runtime_error naming the file that could not be written.
void WritePlanesData(const std::filesystem::path& dir);     // ttx2-4.raw, zepzep*.raw
void WriteCubeData(const std::filesystem::path& dir);       // tex33.raw
void WriteLandscapeData(const std::filesystem::path& dir);  // hoyc2, clouds, hoy, 512bump
void WriteChromeData(const std::filesystem::path& dir);     // tex5.raw, Coords.ddd, Surfaces.ddd
void WriteTunnelsData(const std::filesystem::path& dir);    // boxb.raw, tex2.raw, apic.raw

// The soundtrack as an Impulse Tracker module.
Bytes SongModule();
void WriteSong(const std::filesystem::path& dir);  // 076.it

// All of the above; creates `dir` when it does not exist.
void WriteDefaultData(const std::filesystem::path& dir);

}  // namespace zep::datagen
