#include "scenes/scenes.h"

namespace zep {

// Not built yet: a scene without a start step ends the sequence.
const SceneEntry kChromeScene{"chrome object", 75.5, {}, nullptr};

}  // namespace zep
