#include "scenes/scenes.h"
#include "shell/driver.h"

namespace zep {

std::span<const SceneEntry* const> DemoSequence() {
    static const SceneEntry* const kSequence[] = {
        &kPlanesScene,  &kCubeScene,         &kLandscapeScene,
        &kChromeScene,  &kStampTunnelScene,  &kPolarTunnelScene,
    };
    return kSequence;
}

}  // namespace zep
