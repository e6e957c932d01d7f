// The six scenes of the demo, in the order they are shown.
#pragma once

#include "shell/core/code_path.h"
#include "shell/scene.h"

namespace zep::inline ZEP_CODE_PATH {

extern const SceneEntry kPlanesScene;        // layered texture planes, until 22 s
extern const SceneEntry kCubeScene;          // spinning textured cube with zoom trails, until 37 s
extern const SceneEntry kLandscapeScene;     // bump-lit landscape under a cloud sky, until 60.5 s
extern const SceneEntry kChromeScene;        // environment-mapped object, until 75.5 s
extern const SceneEntry kStampTunnelScene;   // zoom tunnel with colour-split stamps, until 86 s
extern const SceneEntry kPolarTunnelScene;   // polar tunnel and closing picture, until 107.2 s

// The six in order, as this copy of the scenes (shell/core/code_path.h) runs them.
extern const DemoScenes kDemoScenes;

}  // namespace zep::inline ZEP_CODE_PATH
