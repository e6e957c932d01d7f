#include "shell/core/cpu.h"
#include "shell/driver.h"

namespace zep {

std::span<const SceneEntry* const> DemoSequence() { return *CurrentCodePath().scenes; }

}  // namespace zep
