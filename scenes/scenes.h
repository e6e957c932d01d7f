// The scenes of the demo, in the order they are shown. Each scene's entry
// (its own .cpp) holds its end time; shell/schedule.h derives the frames.
#pragma once

#include "core/code_path.h"
#include "scenes/scene.h"

namespace zep::inline ZEP_CODE_PATH {

extern const SceneEntry kPlanesScene;        // layered texture planes
extern const SceneEntry kCubeScene;          // spinning textured cube with zoom trails
extern const SceneEntry kLandscapeScene;     // bump-lit landscape under a cloud sky
extern const SceneEntry kChromeScene;        // environment-mapped object
extern const SceneEntry kStampTunnelScene;   // zoom tunnel with colour-split stamps
extern const SceneEntry kPolarTunnelScene;   // polar tunnel and closing picture

// All of them in order, as this copy of the scenes (core/code_path.h) runs them.
extern const DemoScenes kDemoScenes;

}  // namespace zep::inline ZEP_CODE_PATH
