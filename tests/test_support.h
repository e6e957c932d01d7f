// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Helpers shared by the tests: the default data set, running a scene on its
// own (scenes/support/scene_run.h, shared with the benchmarks), and golden
// pictures.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/data_dir.h"
#include "scenes/scene.h"
#include "core/types.h"
#include "scenes/support/scene_run.h"

namespace zep::test {

// The default data set, written by zep-data before the tests run.
const DataDir& DefaultData();
std::filesystem::path DefaultDataPath();

// A fresh empty folder for one test under the build's test-output folder.
std::filesystem::path FreshDir(const std::string& name);

// Copies the default data set into `dir` (to break or remove files there).
void CopyDefaultData(const std::filesystem::path& dir);

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
