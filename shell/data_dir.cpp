#include "shell/data_dir.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include "shell/open_file.h"

namespace zep {

const char* const kDefaultDataHint =
    "zep: to get the default data set, run \"make run\" (it writes it to build/data) "
    "or \"zep-data DIR\" (it writes it to DIR), then start zep in that folder";

std::string MissingFileMessage(const DataFile& file) {
    return "zep: data file \"" + std::string(file.name) + "\" is missing (it needs " +
           std::to_string(file.size) + " bytes)";
}

std::string ShortFileMessage(const DataFile& file, std::uintmax_t have) {
    return "zep: data file \"" + std::string(file.name) + "\" is too short: " +
           std::to_string(have) + " bytes, it needs " + std::to_string(file.size);
}

std::filesystem::path DataDir::Path(const char* name) const {
    if (dir_.empty() || dir_ == ".") return name;
    return dir_ / name;
}

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

void DataDir::Read(const DataFile& file, void* block) const {
    std::unique_ptr<std::FILE, FileCloser> f(OpenFile(Path(file.name), "rb"));
    if (!f) {
        if (errno == ENOENT || errno == ENOTDIR) throw DataError(MissingFileMessage(file));
        throw DataError("zep: data file \"" + std::string(file.name) +
                        "\" cannot be read: " + std::strerror(errno));
    }
    const std::size_t got = std::fread(block, 1, file.size, f.get());
    if (got != file.size) throw DataError(ShortFileMessage(file, got));
}

namespace {

std::string Quoted(const DataFile& file) { return "zep: data file \"" + std::string(file.name) + "\""; }

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
    switch (target.type()) {
        case fs::file_type::regular:
            return {};
        case fs::file_type::not_found:
            if (fs::is_symlink(fs::symlink_status(path, ec)))
                return Quoted(file) + " is a symbolic link to a file that does not exist";
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

}  // namespace

std::string DataDir::CheckFolder() const {
    if (dir_.empty() || dir_ == ".") return {};
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(dir_, ec);
    if (st.type() == std::filesystem::file_type::not_found)
        return "zep: the data folder \"" + dir_.string() + "\" does not exist";
    if (ec) return "zep: the data folder \"" + dir_.string() + "\" cannot be read: " + ec.message();
    if (st.type() != std::filesystem::file_type::directory)
        return "zep: the data folder \"" + dir_.string() + "\" is not a folder";
    return {};
}

std::vector<std::string> DataDir::Check(const std::vector<DataFile>& files) const {
    if (std::string folder = CheckFolder(); !folder.empty()) return {folder};
    std::vector<std::string> problems;
    for (const DataFile& file : files) {
        const std::filesystem::path path = Path(file.name);
        if (std::string what = NotAFile(path, file); !what.empty()) {
            problems.push_back(what);
            continue;
        }
        // Open it as the scene will, so that a file that cannot be read is
        // found now rather than when its scene starts.
        std::unique_ptr<std::FILE, FileCloser> f(OpenFile(path, "rb"));
        if (!f) {
            problems.push_back(Quoted(file) + " cannot be read: " + std::strerror(errno));
            continue;
        }
        std::error_code ec;
        const std::uintmax_t have = std::filesystem::file_size(path, ec);
        if (ec) {
            problems.push_back(Quoted(file) + " cannot be read: " + ec.message());
        } else if (have < file.size) {
            problems.push_back(ShortFileMessage(file, have));
        }
    }
    return problems;
}

}  // namespace zep
