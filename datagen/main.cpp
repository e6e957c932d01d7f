// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// zep-data DIR: writes the default data set and music into DIR.
#include <cstdio>
#include <exception>
#include <string>

#include "datagen/datagen.h"
#include "core/process.h"
#include "shell/version.h"

namespace {

constexpr const char* kProgram = "zep-data";

// Exit statuses: 0 written, 1 a file or the folder could not be written,
// 2 a bad command line or help text that could not be written.
constexpr int kWriteFailed = 1;
constexpr int kUsageStatus = 2;

constexpr const char* kUsage =
    "usage: zep-data DIR\n"
    "       zep-data --help | --version\n"
    "Writes the demo's default data files and music module into DIR, which is\n"
    "made when it does not exist. Each file is written under a temporary name\n"
    "and renamed into place when complete; a folder, named pipe or device at a\n"
    "file's name is refused. Use `zep-data -- DIR` for a DIR that begins with '-'.\n"
    "Exit status: 0 written, 1 a file could not be written, 2 bad usage.\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "%s: %s\n%s", kProgram, problem.c_str(), kUsage);
    return kUsageStatus;
}

// Ends the process by the signal that interrupted it, if one did.
void EndIfInterrupted() {
    if (zep::Interrupted() == 0) return;
    std::fprintf(stderr, "%s: interrupted; the unfinished file was removed\n", kProgram);
    zep::EndByInterrupt(zep::Interrupted());
}

int DataMain(int argc, char** argv) {
    std::string dir;
    bool options_done = false;
    int folders = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!options_done && arg == "--") {
            options_done = true;
        } else if (!options_done && (arg == "--help" || arg == "-h")) {
            return zep::PrintToStandardOutput(kProgram, kUsage, "the help text");
        } else if (!options_done && arg == "--version") {
            return zep::PrintToStandardOutput(kProgram, std::string(kProgram) + " " + zep::kVersion + "\n",
                                              "the version");
        } else if (!options_done && arg.size() > 1 && arg[0] == '-') {
            return Usage("unknown option '" + arg + "'");
        } else {
            dir = arg;
            ++folders;
        }
    }
    if (folders != 1) return Usage(folders == 0 ? "no folder given" : "more than one folder given");
    if (dir.empty()) return Usage("the folder name is empty");
    // A signal stops the run at the next file: the one being written is
    // removed, and the process ends by that signal.
    zep::CatchInterrupts();
    try {
        zep::datagen::WriteDefaultData(dir);
    } catch (const std::exception& e) {
        EndIfInterrupted();
        std::fprintf(stderr, "%s: %s\n", kProgram, e.what());
        return kWriteFailed;
    }
    EndIfInterrupted();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    zep::KeepStandardStreamsOpen();
    return zep::RunGuarded(kProgram, [&] { return DataMain(argc, argv); });
}
