// The platform zep's window runs on, chosen when zep is built: the folder
// under shell/ that CMake's ZEP_WINDOW names (sdl by default) defines it.
#pragma once

#include <memory>

#include "shell/platform.h"

namespace zep {

std::unique_ptr<Platform> MakeWindowPlatform();

}  // namespace zep
