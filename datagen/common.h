// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Helpers for making the default data set: byte layouts, a seeded random
// generator and tileable noise.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/data_dir.h"

namespace zep::datagen {

using Bytes = std::vector<std::uint8_t>;

// Writes `bytes` to dir/name: under a temporary name in `dir`, renamed to
// `name` once complete, so a file cut short (a full disk) never stays, and
// a symbolic link at `name` is replaced, not written through. Throws
// std::runtime_error naming the file and the system's reason when it cannot
// be written, or what stands at `name` when that is not a regular file (a
// folder, a named pipe, a device), which is left as it was. Once an
// interrupt was caught (CatchInterrupts) the file is not put in place.
void WriteFile(const std::filesystem::path& dir, const std::string& name, const Bytes& bytes);


// Writes one file of the default set (as its scene declares it); throws
// std::logic_error when `bytes` is not the size its scene reads.
void WriteFile(const std::filesystem::path& dir, const DataFile& file, const Bytes& bytes);

// A 32-bit little-endian value at element `index` (bytes blue, green, red,
// fourth byte for 0x00RRGGBB).
void PutPixel32(Bytes& bytes, std::size_t index, std::uint32_t value);

// Three bytes at element `index` such that reading them back as signed bytes
// (r * 65536 + g * 256 + b) gives a Pixel whose low 24 bits are rrggbb: the
// borrow a byte of 128 or more takes from the field above is paid back here.
// (0, 0, 0) is the only colour stored as three zero bytes.
void PutRgb24(Bytes& bytes, std::size_t index, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// Little-endian signed 16-bit value at element `index`.
void PutInt16(Bytes& bytes, std::size_t index, std::int16_t value);

// A small deterministic generator (the same sequence on every machine).
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t Next();
    double Uniform();  // [0, 1)

private:
    std::uint64_t state_;
};

// Gradient noise that repeats every `period` units in x and y (period >= 1),
// values roughly in [-1, 1].
double TileNoise(double x, double y, int period, std::uint32_t seed);

// Sum of `octaves` layers of TileNoise, each twice the frequency and
// `gain` times the amplitude of the one before; still periodic in `period`.
double TileFbm(double x, double y, int period, int octaves, double gain, std::uint32_t seed);

inline double Clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }
inline std::uint8_t ToByte(double v) {
    return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0));
}
inline double Mix(double a, double b, double t) { return a + (b - a) * t; }
inline double SmoothStep(double e0, double e1, double x) {
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

}  // namespace zep::datagen
