#include "datagen/datagen.h"

namespace zep::datagen {

// Nothing yet: the scene that reads these files is not built.
void WriteCubeData(const std::filesystem::path& dir) { (void)dir; }

}  // namespace zep::datagen
