// zep as installed or unpacked: the demo reads its data files from the folder
// it is started in, so this small program starts it in the folder its data
// was installed to. Both are found from this program's own place (through
// any symbolic links to it), so the whole tree can be moved or unpacked
// anywhere, and started from any folder or from a desktop menu.
// ZEP_LAUNCH_DATA and ZEP_LAUNCH_PROGRAM are paths relative to the folder
// of this program, set by the install rules.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/core/data_dir.h"

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

}  // namespace

int main(int argc, char** argv) {
    (void)argc;
    const std::string folder = OwnFolder();
    if (folder.empty()) {
        std::fprintf(stderr, "zep: cannot find the folder zep was installed to: %s\n",
                     std::strerror(errno));
        return 1;
    }
    const std::string data = folder + "/" + ZEP_LAUNCH_DATA;
    const std::string program = folder + "/" + ZEP_LAUNCH_PROGRAM;
    if (chdir(data.c_str()) != 0) {
        std::fprintf(stderr, "zep: cannot open the data folder %s: %s\n%s\n", data.c_str(),
                     std::strerror(errno), zep::DefaultDataHint("zep").c_str());
        return 1;
    }
    execv(program.c_str(), argv);
    std::fprintf(stderr, "zep: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}
