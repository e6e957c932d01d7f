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

std::vector<std::string> DataDir::Check(const std::vector<DataFile>& files) const {
    std::vector<std::string> problems;
    for (const DataFile& file : files) {
        std::error_code ec;
        const std::filesystem::path path = Path(file.name);
        if (!std::filesystem::is_regular_file(path, ec)) {
            problems.push_back(MissingFileMessage(file));
            continue;
        }
        const std::uintmax_t have = std::filesystem::file_size(path, ec);
        if (ec) {
            problems.push_back(MissingFileMessage(file));
        } else if (have < file.size) {
            problems.push_back(ShortFileMessage(file, have));
        }
    }
    return problems;
}

}  // namespace zep
