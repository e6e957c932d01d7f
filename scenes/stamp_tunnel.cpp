#include "scenes/scenes.h"

namespace zep {

// Not built yet: a scene without a start step ends the sequence.
const SceneEntry kStampTunnelScene{"stamp tunnel", 86.0, {}, nullptr};

}  // namespace zep
