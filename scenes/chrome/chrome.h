// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Environment-mapped object: a closed mesh tumbling on black, textured by
// its rotated vertex normals and shaded by how far they point along the
// depth axis, its faces sorted far to near with a radix sort every frame.
#pragma once

#include <array>
#include <cstdint>

#include "raster/shaded_triangle.h"
#include "core/types.h"
#include "core/code_path.h"
#include "core/data_dir.h"
#include "scenes/scene.h"

namespace zep::inline ZEP_CODE_PATH::chrome {

inline constexpr int kVertices = 1440;
inline constexpr int kFaces = 2880;
inline constexpr int kCoordRecordValues = 5;  // x, y, z and two unused values
inline constexpr int kCoordsBytes = kVertices * kCoordRecordValues * 2;
inline constexpr int kFacesBytes = kFaces * 3 * 2;

// Vertex coordinates (x, y, z per vertex) from the file's records, each
// multiplied by 9 and stored back as a 16-bit value (wrapping).
void ScaleCoords(const std::int16_t* records, std::int16_t* coords);

// Throws DataError naming `file` and the first face with a vertex index
// outside 0 to 1439.
void CheckFaces(const std::int16_t* faces, const char* file);

// Per face, (P0 - P1) x (P2 - P1), not normalised.
void ComputeFaceNormals(const std::int16_t* coords, const std::int16_t* faces, double* normals);

// Per vertex, the sum of the normals of the faces that use it (once per index
// slot, in face order) scaled to length 255; a zero sum gives a zero normal.
void ComputeVertexNormals(const std::int16_t* faces, const double* face_normals,
                          double* vertex_normals);

struct Rotation {
    double m[3][3];
};
// Rotate about z by beta, then about y by alpha, then about x by gamma.
Rotation RotationMatrix(double alpha, double beta, double gamma);

struct ObjectMotion {
    double alpha = 0.0, beta = 0.0, gamma = 1.570796327;
    double zoom = 2.0;
    double px = 3.567, py = 45.213;  // wander phases
};

// What one frame uses: the zoom after this frame's growth, the wander
// offsets and the rotation of this frame's angles.
struct FrameSetup {
    double zoom;
    std::int32_t dx, dy;
    Rotation rotation;
};
// Grows the zoom (by 2 while below 256), advances the wander phases and
// builds the rotation.
FrameSetup BeginFrame(ObjectMotion& motion);
// Advances the angles for the next frame.
void EndFrame(ObjectMotion& motion);

// Everything a vertex needs for one frame.
struct VertexFrame {
    std::int32_t sx, sy;  // screen position
    std::int32_t u, v;    // texture coordinates from the rotated normal
    std::int32_t shade;   // from the rotated normal's depth component
    std::int16_t depth;   // trunc(rz), wrapped to 16 bits
    bool on_surface;      // 0 <= sx <= 640 and 0 <= sy <= 660
};

// Texture coordinates and shade of every vertex.
void MapVertices(const Rotation& m, const double* normals, VertexFrame* vertices);

// Screen position and depth of every vertex.
void ProjectVertices(const Rotation& m, const std::int16_t* coords, double zoom, std::int32_t dx,
                     std::int32_t dy, VertexFrame* vertices);

// (key, 3 x face number); the key is the face's mean depth plus 1000, formed
// in 16-bit arithmetic.
struct FaceOrder {
    std::int16_t key;
    std::int16_t position;
};
void ComputeSortKeys(const std::int16_t* faces, const VertexFrame* vertices, FaceOrder* list);

// Stable sort by the low 12 bits of the key, largest first (farthest first);
// faces with equal low bits keep their order. `scratch` holds kFaces entries.
void RadixSortFaces(FaceOrder* list, FaceOrder* scratch);

// Clears the window rows (0-479) of `surface` to black. `drawn` is null when
// the surface's content is unknown: then every pixel is cleared. Otherwise
// it holds the pixels that the previous frame drew on this same surface,
// which nothing else has written to since: every other window pixel is still
// black from that frame's clear, so only the 64-pixel blocks with a drawn
// pixel need clearing.
void ClearPicture(Pixel* surface, const Coverage* drawn);

// The faces to draw, nearest first, each as its three filler vertices in the
// face's index order.
struct DrawList {
    int count;
    std::array<std::array<ShadedVertex, 3>, kFaces> faces;
};

// Lists the sorted faces whose screen winding is positive, last (nearest)
// first. A face with a vertex off the surface is left out.
void ListFacesToDraw(const FaceOrder* list, const std::int16_t* faces,
                     const VertexFrame* vertices, DrawList& draw);

// Draws the listed faces, each behind those before it, which leaves the
// picture that drawing them in the sorted order (far to near) would.
// `coverage` is cleared first and then holds every pixel drawn.
void DrawFaces(const DrawList& draw, const Pixel* texture, const std::uint32_t* shade_table,
               Pixel* surface, Coverage& coverage);

// The object's shade table (kShadeTableEntries, as the shaded triangle
// reads it): entry s * 256 + ch = (s * ch) >> 8.
inline void FillShadeTable(std::uint32_t* table) {
    for (std::uint32_t s = 0; s < 256; ++s)
        for (std::uint32_t ch = 0; ch < 256; ++ch) table[s * 256 + ch] = (s * ch) >> 8;
}

// Its data files: reflection map, vertex records and faces.
inline constexpr DataFile kReflectionMap{"tex5.raw", kTextureBytes};
inline constexpr DataFile kMeshCoords{"Coords.ddd", kCoordsBytes};
inline constexpr DataFile kMeshFaces{"Surfaces.ddd", kFacesBytes};

// The scene (environment-mapped object), for the scene table.
std::unique_ptr<Scene> Start(const DataDir& data);
inline constexpr DataFile kFiles[] = {kReflectionMap, kMeshCoords, kMeshFaces};
inline constexpr SceneKind kScene{"chrome object", kFiles, Start, true};

}  // namespace zep::inline ZEP_CODE_PATH::chrome
