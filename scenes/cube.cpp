#include "scenes/scenes.h"

namespace zep {

// Not built yet: a scene without a start step ends the sequence.
const SceneEntry kCubeScene{"spinning cube", 37.0, {}, nullptr};

}  // namespace zep
