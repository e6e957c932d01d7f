#include "datagen/datagen.h"

namespace zep::datagen {

void WriteSong(const std::filesystem::path& dir) { WriteFile(dir, kModuleName, SongModule()); }

void WriteDefaultData(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    WritePlanesData(dir);
    WriteCubeData(dir);
    WriteLandscapeData(dir);
    WriteChromeData(dir);
    WriteTunnelsData(dir);
    WriteSong(dir);
}

}  // namespace zep::datagen
