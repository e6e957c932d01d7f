// zep: the demo. Reads its data files and the music module from the working folder.
#include "shell/core/process.h"
#include "shell/driver.h"
#include "shell/window_platform.h"
#ifdef _WIN32
#include "shell/message_box.h"
#endif

int main() {
#ifdef _WIN32
    // Started without a console (a double-click): messages in a message box.
    if (const int status = zep::RunWithLostOutputInMessageBox("ZEP."); status >= 0) return status;
#endif
    zep::KeepStandardStreamsOpen();
    return zep::RunGuarded("zep", [] {
        const std::unique_ptr<zep::Platform> platform = zep::MakeWindowPlatform();
        return zep::RunDemo(*platform, zep::DemoSequence(), zep::DataDir("."));
    });
}
