// zep-data DIR: writes the default data set and music into DIR.
#include <cstdio>
#include <exception>
#include <string>

#include "datagen/datagen.h"
#include "shell/core/process.h"
#include "shell/version.h"

int main(int argc, char** argv) {
    zep::KeepStandardStreamsOpen();
    return zep::RunGuarded("zep-data", [&] {
        if (argc == 2 && std::string(argv[1]) == "--version") {
            std::printf("zep-data %s\n", zep::kVersion);
            return std::fflush(stdout) == 0 ? 0 : 2;
        }
        if (argc != 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
            std::fprintf(stderr,
                         "usage: zep-data DIR\n"
                         "       zep-data --version\n"
                         "writes the demo's default data files and music module into DIR\n");
            return argc == 2 ? 0 : 2;
        }
        try {
            zep::datagen::WriteDefaultData(argv[1]);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "zep-data: %s\n", e.what());
            return 1;
        }
        return 0;
    });
}
