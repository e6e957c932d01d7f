// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// zep as installed or unpacked: the demo reads its data files from the folder
// it is started in, so this small program starts it in the folder its data
// was installed to. Both are found from this program's own place (through
// any symbolic links to it), so the whole tree can be moved or unpacked
// anywhere, and started from any folder or from a desktop menu.
// ZEP_LAUNCH_DATA and ZEP_LAUNCH_PROGRAM are paths relative to the folder
// of this program, set by the install rules. A --data folder given relative
// to where the viewer started zep is made absolute before the change of
// folder, and --help, --version and --data need no installed data folder.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/data_dir.h"

namespace {

// The folder of the running program, links resolved; empty when the system
// cannot tell.
std::string OwnFolder() {
    char path[PATH_MAX];
    if (!realpath("/proc/self/exe", path)) return {};
    std::string folder = path;
    const std::size_t slash = folder.rfind('/');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash == 0 ? 1 : slash);
}

// The arguments, with a relative --data folder (after a space or '=') made
// relative to `cwd` instead.
std::vector<std::string> AbsoluteData(int argc, char** argv, const std::string& cwd, bool& needs_data) {
    std::vector<std::string> args(argv, argv + argc);
    needs_data = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string& a = args[i];
        if (a == "--help" || a == "-h" || a == "--version") needs_data = false;
        const bool separate = a == "--data" && i + 1 < args.size();
        const bool joined = a.rfind("--data=", 0) == 0;
        if (!separate && !joined) continue;
        needs_data = false;
        std::string& value = separate ? args[++i] : a;
        const std::size_t at = separate ? 0 : 7;
        if (value.size() > at && value[at] != '/' && !cwd.empty()) value.insert(at, cwd + "/");
    }
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    char here[PATH_MAX];
    const std::string cwd = getcwd(here, sizeof here) ? here : "";
    bool needs_data = true;
    const std::vector<std::string> args = AbsoluteData(argc, argv, cwd, needs_data);
    std::vector<char*> argv_out;
    for (const std::string& a : args) argv_out.push_back(const_cast<char*>(a.c_str()));
    argv_out.push_back(nullptr);
    const std::string folder = OwnFolder();
    if (folder.empty()) {
        std::fprintf(stderr, "zep: cannot find the folder zep was installed to: %s\n",
                     std::strerror(errno));
        return 1;
    }
    const std::string data = folder + "/" + ZEP_LAUNCH_DATA;
    const std::string program = folder + "/" + ZEP_LAUNCH_PROGRAM;
    if (chdir(data.c_str()) != 0 && needs_data) {
        std::fprintf(stderr, "zep: cannot open the data folder %s: %s\n%s\n", data.c_str(),
                     std::strerror(errno), zep::DefaultDataHint("zep").c_str());
        return 1;
    }
    execv(program.c_str(), argv_out.data());
    std::fprintf(stderr, "zep: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}
