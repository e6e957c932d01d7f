#include "scenes/scenes.h"

namespace zep::inline ZEP_CODE_PATH {

const DemoScenes kDemoScenes = {
    &kPlanesScene,  &kCubeScene,         &kLandscapeScene,
    &kChromeScene,  &kStampTunnelScene,  &kPolarTunnelScene,
};

}  // namespace zep::inline ZEP_CODE_PATH
