#include "scenes/scenes.h"

namespace zep {

// Not built yet: a scene without a start step ends the sequence.
const SceneEntry kPolarTunnelScene{"polar tunnel", 107.2, {}, nullptr};

}  // namespace zep
