// zep: the demo. Reads its data files and "076.it" from the working folder.
#include "shell/driver.h"
#include "shell/process.h"

int main() {
    zep::KeepStandardStreamsOpen();
    return zep::RunGuarded("zep", [] {
        zep::SdlPlatform platform;
        return zep::RunDemo(platform, zep::DemoSequence(), zep::DataDir("."));
    });
}
