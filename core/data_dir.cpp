// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "core/data_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include "core/open_file.h"

namespace zep {

// How to get the default data back depends on how zep came to this machine:
// built from its sources, unpacked from a download, or installed as a package.
std::string DefaultDataHint(std::string_view program) {
    std::string hint(program);
    // zep reads the folder it is started in; the other programs take --data.
    const std::string own = program == "zep" ? std::string()
                                             : ", or give a folder of your own data to " +
                                                   std::string(program) + " with --data DIR";
#if defined(ZEP_DISTRIBUTION_PACKAGE)
    hint += ": the default data set comes with zep's package; reinstall it (for instance "
            "\"sudo apt-get install --reinstall zep\")" + own;
#elif defined(ZEP_DISTRIBUTION_DOWNLOAD)
    hint += ": the default data set comes in zep's download, beside the program; unpack the "
            "download again and start zep from the unpacked folder" + own;
#else
    hint += ": to get the default data set, run \"make run\" (it writes it to build/data) "
            "or \"zep-data DIR\" (it writes it to DIR), ";
    if (program == "zep")
        hint += "then start zep in that folder";
    else
        hint += "then give that folder to " + std::string(program) + " with --data DIR";
#endif
    return hint;
}

std::string MissingFileMessage(const DataFile& file) {
    return "data file \"" + std::string(file.name) + "\" is missing (it needs " +
           std::to_string(file.size) + " bytes)";
}

std::string ShortFileMessage(const DataFile& file, std::uintmax_t have) {
    return "data file \"" + std::string(file.name) + "\" is too short: " +
           std::to_string(have) + " bytes, it needs " + std::to_string(file.size);
}

std::vector<FileStamp> StampFiles(const DataDir& data, std::span<const DataFile> files) {
    namespace fs = std::filesystem;
    std::vector<FileStamp> stamps;
    stamps.reserve(files.size());
    for (const DataFile& file : files) {
        const fs::path path = data.Path(file.name);
        std::error_code error;
        FileStamp stamp;
        stamp.type = fs::status(path, error).type();
        if (stamp.type == fs::file_type::regular) {
            stamp.size = fs::file_size(path, error);
            stamp.written = fs::last_write_time(path, error);
        }
        stamps.push_back(stamp);
    }
    return stamps;
}

std::filesystem::path DataDir::Path(const char* name) const {
    if (dir_.empty() || dir_ == ".") return name;
    return dir_ / name;
}

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string Quoted(const DataFile& file) { return "data file \"" + std::string(file.name) + "\""; }

// A data file whose type is `type`, in words; empty for a regular file.
std::string TypeProblem(std::filesystem::file_type type, const DataFile& file) {
    namespace fs = std::filesystem;
    switch (type) {
        case fs::file_type::regular:
            return {};
        case fs::file_type::not_found:
            return MissingFileMessage(file);
        case fs::file_type::directory:
            return Quoted(file) + " is a folder, not a file";
        case fs::file_type::fifo:
            return Quoted(file) + " is a named pipe, not a regular file";
        case fs::file_type::socket:
            return Quoted(file) + " is a socket, not a regular file";
        case fs::file_type::block:
        case fs::file_type::character:
            return Quoted(file) + " is a device, not a regular file";
        default:
            return Quoted(file) + " is not a regular file";
    }
}

// What stands at `path` when it is not a regular file, in words; empty for a
// regular file.
std::string NotAFile(const std::filesystem::path& path, const DataFile& file) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status target = fs::status(path, ec);
    if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
        if (ec == std::errc::too_many_symbolic_link_levels)
            return Quoted(file) + " is a loop of symbolic links";
        return Quoted(file) + " cannot be read: " + ec.message();
    }
    if (target.type() == fs::file_type::not_found && fs::is_symlink(fs::symlink_status(path, ec)))
        return Quoted(file) + " is a symbolic link to a file that does not exist";
    return TypeProblem(target.type(), file);
}

// Opens a data file for reading when it is a regular file, and tells its
// size; else null with `problem` naming the file and what is wrong. The file
// may be replaced at any moment (between the start-up check and its scene,
// or between the look and the open), so what was opened is looked at again:
// the open never waits, as it would for a named pipe without a writer.
FilePtr OpenDataFile(const std::filesystem::path& path, const DataFile& file,
                     std::uintmax_t& size, std::string& problem) {
    problem = NotAFile(path, file);
    if (!problem.empty()) return nullptr;
#ifdef _WIN32
    // No named pipe or device stands among the files of a Windows folder.
    FilePtr f(OpenFile(path, "rb"));
    if (!f) {
        problem = Quoted(file) + " cannot be read: " + std::strerror(errno);
        return nullptr;
    }
    std::error_code ec;
    size = std::filesystem::file_size(path, ec);
    if (ec) {
        problem = Quoted(file) + " cannot be read: " + ec.message();
        return nullptr;
    }
    return f;
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        problem = NotAFile(path, file);
        if (problem.empty()) problem = Quoted(file) + " cannot be read: " + std::strerror(error);
        return nullptr;
    }
    struct stat st {};
    std::string what;
    if (::fstat(fd, &st) != 0) {
        what = Quoted(file) + " cannot be read: " + std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        namespace fs = std::filesystem;
        const fs::file_type type = S_ISDIR(st.st_mode)    ? fs::file_type::directory
                                   : S_ISFIFO(st.st_mode) ? fs::file_type::fifo
                                   : S_ISSOCK(st.st_mode) ? fs::file_type::socket
                                   : S_ISCHR(st.st_mode)  ? fs::file_type::character
                                   : S_ISBLK(st.st_mode)  ? fs::file_type::block
                                                          : fs::file_type::unknown;
        what = TypeProblem(type, file);
    }
    std::FILE* stream = what.empty() ? ::fdopen(fd, "rb") : nullptr;
    if (!stream) {
        if (what.empty()) what = Quoted(file) + " cannot be read: " + std::strerror(errno);
        ::close(fd);
        problem = what;
        return nullptr;
    }
    // O_NONBLOCK changes nothing for a regular file: its reads still wait.
    size = static_cast<std::uintmax_t>(st.st_size);
    return FilePtr(stream);
#endif
}

}  // namespace

void DataDir::Read(const DataFile& file, void* block) const {
    std::uintmax_t have = 0;
    std::string problem;
    const FilePtr f = OpenDataFile(Path(file.name), file, have, problem);
    if (!f) throw DataError(problem);
    const std::size_t got = std::fread(block, 1, file.size, f.get());
    if (got == file.size) return;
    if (std::ferror(f.get()))
        throw DataError(Quoted(file) + " cannot be read: " + std::strerror(errno));
    throw DataError(ShortFileMessage(file, got));
}

std::string DataDir::CheckFolder() const {
    if (dir_.empty() || dir_ == ".") return {};
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(dir_, ec);
    if (st.type() == std::filesystem::file_type::not_found)
        return "the data folder \"" + dir_.string() + "\" does not exist";
    if (ec) return "the data folder \"" + dir_.string() + "\" cannot be read: " + ec.message();
    if (st.type() != std::filesystem::file_type::directory)
        return "the data folder \"" + dir_.string() + "\" is not a folder";
    return {};
}

std::vector<std::string> DataDir::Check(const std::vector<DataFile>& files) const {
    if (std::string folder = CheckFolder(); !folder.empty()) return {folder};
    std::vector<std::string> problems;
    for (const DataFile& file : files) {
        // Opened as its scene will open it, so that a file that cannot be
        // read is found now rather than when its scene starts.
        std::uintmax_t have = 0;
        std::string problem;
        if (!OpenDataFile(Path(file.name), file, have, problem)) {
            problems.push_back(problem);
        } else if (have < file.size) {
            problems.push_back(ShortFileMessage(file, have));
        }
    }
    return problems;
}

}  // namespace zep
