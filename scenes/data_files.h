// The data files of the default set: each one's name and the bytes its scene
// reads, written once for the scenes that read them and for zep-data, which
// writes them.
#pragma once

#include "scenes/chrome.h"
#include "scenes/landscape.h"
#include "scenes/planes.h"
#include "scenes/polar_tunnel.h"
#include "scenes/stamp_tunnel.h"
#include "core/code_path.h"
#include "core/data_dir.h"
#include "core/types.h"

namespace zep::inline ZEP_CODE_PATH::files {

// Layered planes: three textures and three logo strips.
inline constexpr DataFile kPlaneTexture1{"ttx2.raw", kTextureBytes};
inline constexpr DataFile kPlaneTexture2{"ttx3.raw", kTextureBytes};
inline constexpr DataFile kPlaneTexture3{"ttx4.raw", kTextureBytes};
inline constexpr DataFile kLogoStrip1{"zepzep.raw", planes::kStripBytes};
inline constexpr DataFile kLogoStrip2{"zepzep2.raw", planes::kStripBytes};
inline constexpr DataFile kLogoStrip3{"zepzep3.raw", planes::kStripBytes};

// Spinning cube: its face texture.
inline constexpr DataFile kCubeTexture{"tex33.raw", kTextureBytes};

// Landscape: colour map, cloud sky, height map and bump map.
inline constexpr DataFile kColourMap{"hoyc2.raw", landscape::kColourMapBytes};
inline constexpr DataFile kCloudSky{"clouds.raw", landscape::kCloudBytes};
inline constexpr DataFile kHeightMap{"hoy.raw", landscape::kByteMapBytes};
inline constexpr DataFile kBumpMap{"512bump.raw", landscape::kByteMapBytes};

// Chrome object: reflection map, vertex records and faces.
inline constexpr DataFile kReflectionMap{"tex5.raw", kTextureBytes};
inline constexpr DataFile kMeshCoords{"Coords.ddd", chrome::kCoordsBytes};
inline constexpr DataFile kMeshFaces{"Surfaces.ddd", chrome::kFacesBytes};

// Stamp tunnel: the stamp.
inline constexpr DataFile kStamp{"boxb.raw", stamp_tunnel::kStampBytes};

// Polar tunnel: the wall texture and the closing picture.
inline constexpr DataFile kWallTexture{"tex2.raw", kTextureBytes};
inline constexpr DataFile kClosingPicture{"apic.raw", polar_tunnel::kPictureBytes};

}  // namespace zep::inline ZEP_CODE_PATH::files
