#include "scenes/scenes.h"

namespace zep {

// Not built yet: a scene without a start step ends the sequence.
const SceneEntry kLandscapeScene{"landscape", 60.5, {}, nullptr};

}  // namespace zep
