// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "datagen/common.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "core/files.h"
#include "core/process.h"

namespace zep::datagen {

namespace {

// The temporary file: closed and removed unless it was renamed into place.
struct Unfinished {
    std::FILE* file = nullptr;
    std::filesystem::path path;
    bool renamed = false;
    ~Unfinished() {
        if (file) std::fclose(file);
        std::error_code ec;
        if (!renamed && !path.empty()) std::filesystem::remove(path, ec);
    }
};

std::string Reason(int error) { return error != 0 ? std::strerror(error) : "write failed"; }

}  // namespace

void WriteFile(const std::filesystem::path& dir, const std::string& name, const Bytes& bytes) {
    const std::filesystem::path path = dir / name;
    // It would be replaced by the rename below; anything but a file (or a
    // link, which is replaced, never followed) is most likely someone's
    // and is left alone.
    if (const std::string what = NotARegularFile(path); !what.empty())
        throw std::runtime_error(path.string() + " is " + what + ", not a regular file; remove it first");
    Unfinished out;
    out.file = CreateFileBeside(path, out.path);
    if (!out.file) throw std::runtime_error("cannot write " + path.string() + ": " + Reason(errno));
    errno = 0;
    const std::size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), out.file);
    if (written != bytes.size() || std::fflush(out.file) != 0)
        throw std::runtime_error("cannot write " + path.string() + ": " + Reason(errno));
    const int closed = std::fclose(out.file);
    out.file = nullptr;
    if (closed != 0) throw std::runtime_error("cannot write " + path.string() + ": " + Reason(errno));
    // An interrupt that came meanwhile ends the run before the file is in
    // place.
    if (Interrupted() != 0) throw std::runtime_error("interrupted");
    if (::rename(out.path.c_str(), path.c_str()) != 0)
        throw std::runtime_error("cannot write " + path.string() + ": " + Reason(errno));
    out.renamed = true;
}

void WriteFile(const std::filesystem::path& dir, const DataFile& file, const Bytes& bytes) {
    if (bytes.size() != file.size)
        throw std::logic_error(std::string(file.name) + " is made with " + std::to_string(bytes.size()) +
                               " bytes, its scene reads " + std::to_string(file.size));
    WriteFile(dir, file.name, bytes);
}

void PutPixel32(Bytes& bytes, std::size_t index, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[4 * index + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutRgb24(Bytes& bytes, std::size_t index, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    // Signed-digit form of the 24-bit value: each digit in -128..127, its
    // byte the digit's two's complement.
    std::int32_t rest = (r << 16) | (g << 8) | b;
    std::uint8_t digits[3];
    for (int i = 2; i >= 0; --i) {
        const std::int32_t low = rest & 0xff;
        const std::int32_t digit = low >= 128 ? low - 256 : low;
        digits[i] = static_cast<std::uint8_t>(low);
        rest = (rest - digit) >> 8;
    }
    bytes[3 * index] = digits[0];
    bytes[3 * index + 1] = digits[1];
    bytes[3 * index + 2] = digits[2];
}

void PutInt16(Bytes& bytes, std::size_t index, std::int16_t value) {
    const auto u = static_cast<std::uint16_t>(value);
    bytes[2 * index] = static_cast<std::uint8_t>(u & 0xff);
    bytes[2 * index + 1] = static_cast<std::uint8_t>(u >> 8);
}

std::uint32_t Rng::Next() {
    // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

double Rng::Uniform() { return Next() / 4294967296.0; }

namespace {
std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x27d4eb2dU;
    h ^= static_cast<std::uint32_t>(x) * 0x85ebca6bU;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xc2b2ae35U;
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

double Gradient(std::int32_t ix, std::int32_t iy, int period, std::uint32_t seed, double dx,
                double dy) {
    const std::int32_t wx = ((ix % period) + period) % period;
    const std::int32_t wy = ((iy % period) + period) % period;
    const double angle = Hash(wx, wy, seed) * (6.283185307179586 / 4294967296.0);
    return std::cos(angle) * dx + std::sin(angle) * dy;
}

double Fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }
}  // namespace

double TileNoise(double x, double y, int period, std::uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
    const double dx = x - fx, dy = y - fy;
    const double n00 = Gradient(ix, iy, period, seed, dx, dy);
    const double n10 = Gradient(ix + 1, iy, period, seed, dx - 1.0, dy);
    const double n01 = Gradient(ix, iy + 1, period, seed, dx, dy - 1.0);
    const double n11 = Gradient(ix + 1, iy + 1, period, seed, dx - 1.0, dy - 1.0);
    const double sx = Fade(dx), sy = Fade(dy);
    return 1.4142 * Mix(Mix(n00, n10, sx), Mix(n01, n11, sx), sy);
}

double TileFbm(double x, double y, int period, int octaves, double gain, std::uint32_t seed) {
    double sum = 0.0, amplitude = 1.0, norm = 0.0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * TileNoise(x, y, period, seed + 977u * o);
        norm += amplitude;
        amplitude *= gain;
        x *= 2.0;
        y *= 2.0;
        period *= 2;
    }
    return sum / norm;
}

}  // namespace zep::datagen
