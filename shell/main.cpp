// zep: the demo. Reads its data files and the music module from the working folder.
#include "shell/driver.h"
#include "shell/process.h"
#ifdef _WIN32
#include <SDL.h>

#include "shell/message_box.h"
#endif

int main() {
#ifdef _WIN32
    // Started without a console (a double-click): messages in a message box.
    if (const int status = zep::RunWithLostOutputInMessageBox("ZEP."); status >= 0) return status;
    // On a display scaled above 100 % the window grows with the scale and the
    // picture is drawn at the display's own resolution, instead of being
    // stretched, blurred, by Windows.
    SDL_SetHint(SDL_HINT_WINDOWS_DPI_SCALING, "1");
#endif
    zep::KeepStandardStreamsOpen();
    return zep::RunGuarded("zep", [] {
        zep::SdlPlatform platform;
        return zep::RunDemo(platform, zep::DemoSequence(), zep::DataDir("."));
    });
}
