// Helpers shared by the tests: the default data set, running a scene on its
// own, and golden pictures.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/core/data_dir.h"
#include "shell/scene.h"
#include "shell/core/types.h"

namespace zep::test {

// The default data set, written by zep-data before the tests run.
const DataDir& DefaultData();
std::filesystem::path DefaultDataPath();

// A fresh empty folder for one test under the build's test-output folder.
std::filesystem::path FreshDir(const std::string& name);

// Copies the default data set into `dir` (to break or remove files there).
void CopyDefaultData(const std::filesystem::path& dir);

// A zeroed 640 x 660 frame surface.
std::vector<Pixel> MakeSurface();

// Starts `entry` on `data` and draws `frames` frames into `surface`, frame n
// (from 1) with clock first_clock + (n - 1) / fps. Returns the scene so a
// test can look at its present rows or go on drawing.
std::unique_ptr<Scene> RunScene(const SceneEntry& entry, const DataDir& data,
                                std::vector<Pixel>& surface, int frames, double first_clock,
                                double fps = 60.0);

// Compares a 640 x 480 picture (all 32 bits of each pixel) with
// tests/golden/<name>.png. On a mismatch the actual picture and a diff
// (differing pixels in magenta) are written to the test-output folder and the
// test fails with the number of differing pixels. With ZEP_RECORD_GOLDEN=1 in
// the environment the golden file is (re)written instead.
void ExpectMatchesGolden(const std::string& name, const Pixel* picture);

// Reads and writes 640 x 480 pictures as PNG with all 32 bits kept: colour in
// RGB, the top byte as alpha = 255 - top byte (so plain pixels are opaque).
bool ReadPicturePng(const std::filesystem::path& path, std::vector<Pixel>& picture);
void WritePicturePng(const std::filesystem::path& path, const Pixel* picture);

// A seeded random byte block, for feeding scenes data they were not tuned on.
std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint32_t seed);

}  // namespace zep::test
