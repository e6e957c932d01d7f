// zep: the demo. Reads its data files and "076.it" from the working folder.
#include "shell/driver.h"

int main() {
    zep::SdlPlatform platform;
    return zep::RunDemo(platform, zep::DemoSequence(), zep::DataDir("."));
}
