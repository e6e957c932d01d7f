#include "scenes/scenes.h"

namespace zep::inline ZEP_CODE_PATH {

namespace {

// One line per scene, in the order they are shown.
constexpr const SceneEntry* kSequence[] = {
    &kPlanesScene,
    &kCubeScene,
    &kLandscapeScene,
    &kChromeScene,
    &kStampTunnelScene,
    &kPolarTunnelScene,
};

}  // namespace

const DemoScenes kDemoScenes = kSequence;

}  // namespace zep::inline ZEP_CODE_PATH
