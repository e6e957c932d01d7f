// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Reading the demo's data files from one folder.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zep {

// The music module, read from the data folder beside the data files.
inline constexpr const char* kModuleName = "076.it";

struct DataFile {
    const char* name;
    std::size_t size;  // bytes read; the file may be longer
};

// A data file that cannot be used: missing, short, or with bad contents.
// what() names the file and what is wrong; the program that reports it puts
// its own name in front.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The folder the files are read from ("." for the working directory, where
// the files are opened by bare name).
class DataDir {
public:
    explicit DataDir(std::filesystem::path dir = ".") : dir_(std::move(dir)) {}

    std::filesystem::path Path(const char* name) const;

    // One read of exactly `size` bytes into `block`; throws DataError when the
    // file is not a regular file (as Check words it; the open never waits),
    // cannot be opened or delivers fewer bytes.
    void Read(const DataFile& file, void* block) const;

    // Every listed file that cannot be used, one message each naming the
    // file and why: missing (`data file "ttx2.raw" is missing (it needs
    // 262144 bytes)`), shorter than its size, not a regular file (a folder, a
    // named pipe, a device, a loop of symbolic links) or not readable. A data
    // folder that does not exist or is not a folder gives one message.
    std::vector<std::string> Check(const std::vector<DataFile>& files) const;

    // Empty when the folder exists and is a folder, else a message naming it.
    std::string CheckFolder() const;

private:
    std::filesystem::path dir_;
};

// What a data file looks like from outside: its kind, size and time of last
// change. Two equal stamps mean the file was not replaced or written to in
// between, as far as the file system's clock can tell.
struct FileStamp {
    std::filesystem::file_type type = std::filesystem::file_type::none;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written{};
    bool operator==(const FileStamp&) const = default;
};

// The stamp of each of `files` in `data`, in order; one that cannot be
// looked at gets the kind the look gave (not_found, unknown).
std::vector<FileStamp> StampFiles(const DataDir& data, std::span<const DataFile> files);

std::string MissingFileMessage(const DataFile& file);
std::string ShortFileMessage(const DataFile& file, std::uintmax_t have);

// The line that tells the user of `program` how to get the default data set.
std::string DefaultDataHint(std::string_view program);

}  // namespace zep
