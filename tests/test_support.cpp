// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "tests/test_support.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <random>

namespace zep::test {

std::filesystem::path DefaultDataPath() { return ZEP_TEST_DATA_DIR; }

const DataDir& DefaultData() {
    static const DataDir data(DefaultDataPath());
    return data;
}

std::filesystem::path FreshDir(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(ZEP_TEST_OUTPUT_DIR) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

void CopyDefaultData(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    for (const auto& entry : std::filesystem::directory_iterator(DefaultDataPath()))
        std::filesystem::copy_file(entry.path(), dir / entry.path().filename(),
                                   std::filesystem::copy_options::overwrite_existing);
}

std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng() >> 24);
    return bytes;
}

bool ReadPicturePng(const std::filesystem::path& path, std::vector<Pixel>& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.string().c_str())) return false;
    if (image.width != kWidth || image.height != kHeight) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kScreenPixels) * 4);
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) return false;
    picture.resize(kScreenPixels);
    for (int i = 0; i < kScreenPixels; ++i) {
        const std::uint8_t* p = rgba.data() + 4 * i;
        picture[i] = (static_cast<Pixel>(255 - p[3]) << 24) | (p[0] << 16) | (p[1] << 8) | p[2];
    }
    return true;
}

void WritePicturePng(const std::filesystem::path& path, const Pixel* picture) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kScreenPixels) * 4);
    for (int i = 0; i < kScreenPixels; ++i) {
        const Pixel p = picture[i];
        rgba[4 * i] = static_cast<std::uint8_t>(p >> 16);
        rgba[4 * i + 1] = static_cast<std::uint8_t>(p >> 8);
        rgba[4 * i + 2] = static_cast<std::uint8_t>(p);
        rgba[4 * i + 3] = static_cast<std::uint8_t>(255 - (p >> 24));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kWidth;
    image.height = kHeight;
    image.format = PNG_FORMAT_RGBA;
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(png_image_write_to_file(&image, path.string().c_str(), 0, rgba.data(), 0, nullptr))
        << "cannot write " << path;
}

void ExpectMatchesGolden(const std::string& name, const Pixel* picture) {
    const std::filesystem::path golden = std::filesystem::path(ZEP_GOLDEN_DIR) / (name + ".png");
    const char* record = std::getenv("ZEP_RECORD_GOLDEN");
    if (record && std::string(record) == "1") {
        WritePicturePng(golden, picture);
        std::printf("recorded %s\n", golden.string().c_str());
        return;
    }
    std::vector<Pixel> expected;
    ASSERT_TRUE(ReadPicturePng(golden, expected))
        << "cannot read the golden picture " << golden
        << " (run the test with ZEP_RECORD_GOLDEN=1 to make it)";
    std::vector<Pixel> diff(kScreenPixels);
    long differing = 0;
    int first = -1;
    for (int i = 0; i < kScreenPixels; ++i) {
        if (expected[i] != picture[i]) {
            ++differing;
            if (first < 0) first = i;
            diff[i] = 0xff00ff;
        } else {
            diff[i] = (picture[i] >> 2) & 0x3f3f3f;  // dimmed where equal
        }
    }
    if (differing == 0) return;
    const std::filesystem::path out = std::filesystem::path(ZEP_TEST_OUTPUT_DIR) / "golden";
    WritePicturePng(out / (name + "_actual.png"), picture);
    WritePicturePng(out / (name + "_diff.png"), diff.data());
    ADD_FAILURE() << name << ": " << differing << " pixels differ from " << golden
                  << "; first at (" << first % kWidth << ", " << first / kWidth
                  << "): expected 0x" << std::hex << expected[first] << ", got 0x"
                  << picture[first] << std::dec << "\n  actual: " << (out / (name + "_actual.png"))
                  << "\n  diff:   " << (out / (name + "_diff.png"));
}

}  // namespace zep::test
