// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "scenes/chrome/chrome.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "raster/shaded_triangle.h"

namespace zep::inline ZEP_CODE_PATH::chrome {

void ScaleCoords(const std::int16_t* records, std::int16_t* coords) {
    for (int i = 0; i < kVertices; ++i)
        for (int k = 0; k < 3; ++k)
            coords[3 * i + k] = static_cast<std::int16_t>(records[kCoordRecordValues * i + k] * 9);
}

void CheckFaces(const std::int16_t* faces, const char* file) {
    for (int f = 0; f < kFaces; ++f)
        for (int k = 0; k < 3; ++k) {
            const int index = faces[3 * f + k];
            if (index < 0 || index >= kVertices)
                throw DataError(
                    "data file \"" + std::string(file) + "\" is not a valid mesh: face " +
                    std::to_string(f) + " uses vertex " + std::to_string(index) +
                    " (vertex indices run from 0 to " + std::to_string(kVertices - 1) + ")");
        }
}

void ComputeFaceNormals(const std::int16_t* coords, const std::int16_t* faces, double* normals) {
    for (int f = 0; f < kFaces; ++f) {
        const std::int16_t* p0 = coords + 3 * faces[3 * f];
        const std::int16_t* p1 = coords + 3 * faces[3 * f + 1];
        const std::int16_t* p2 = coords + 3 * faces[3 * f + 2];
        const double e1x = static_cast<double>(p0[0]) - p1[0];
        const double e1y = static_cast<double>(p0[1]) - p1[1];
        const double e1z = static_cast<double>(p0[2]) - p1[2];
        const double e2x = static_cast<double>(p2[0]) - p1[0];
        const double e2y = static_cast<double>(p2[1]) - p1[1];
        const double e2z = static_cast<double>(p2[2]) - p1[2];
        normals[3 * f] = e1y * e2z - e1z * e2y;
        normals[3 * f + 1] = e1z * e2x - e1x * e2z;
        normals[3 * f + 2] = e1x * e2y - e1y * e2x;
    }
}

void ComputeVertexNormals(const std::int16_t* faces, const double* face_normals,
                          double* vertex_normals) {
    // Walking the faces once adds to each vertex the same normals, in the same
    // order (face by face, slot by slot), as searching all faces per vertex.
    std::fill(vertex_normals, vertex_normals + 3 * kVertices, 0.0);
    for (int f = 0; f < kFaces; ++f)
        for (int k = 0; k < 3; ++k) {
            double* sum = vertex_normals + 3 * faces[3 * f + k];
            sum[0] += face_normals[3 * f];
            sum[1] += face_normals[3 * f + 1];
            sum[2] += face_normals[3 * f + 2];
        }
    for (int i = 0; i < kVertices; ++i) {
        double* n = vertex_normals + 3 * i;
        const double length_squared = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
        if (length_squared == 0.0) continue;  // no face uses it: stays zero
        const double scale = 255 / std::sqrt(length_squared);
        n[0] *= scale;
        n[1] *= scale;
        n[2] *= scale;
    }
}

Rotation RotationMatrix(double alpha, double beta, double gamma) {
    const double ca = std::cos(alpha), sa = std::sin(alpha);
    const double cb = std::cos(beta), sb = std::sin(beta);
    const double cg = std::cos(gamma), sg = std::sin(gamma);
    Rotation r;
    r.m[0][0] = ca * cb;
    r.m[0][1] = -ca * sb;
    r.m[0][2] = sa;
    r.m[1][0] = cg * sb + sg * sa * cb;
    r.m[1][1] = cg * cb - sg * sa * sb;
    r.m[1][2] = -sg * ca;
    r.m[2][0] = sg * sb - cg * sa * cb;
    r.m[2][1] = sg * cb + cg * sa * sb;
    r.m[2][2] = cg * ca;
    return r;
}

FrameSetup BeginFrame(ObjectMotion& motion) {
    if (motion.zoom < 256) motion.zoom += 2.0;
    FrameSetup f;
    f.zoom = motion.zoom;
    f.rotation = RotationMatrix(motion.alpha, motion.beta, motion.gamma);
    motion.px += 0.056;
    motion.py += 0.078;
    f.dx = static_cast<std::int32_t>(std::sin(motion.px) * 256 / motion.zoom);
    f.dy = static_cast<std::int32_t>(std::sin(motion.py) * 256 / motion.zoom);
    return f;
}

void EndFrame(ObjectMotion& motion) {
    motion.alpha += 0.06;
    motion.beta -= 0.08;
    motion.gamma += 0.07;
}

void MapVertices(const Rotation& r, const double* normals, VertexFrame* vertices) {
    const auto& m = r.m;
    for (int i = 0; i < kVertices; ++i) {
        const double nx = normals[3 * i], ny = normals[3 * i + 1], nz = normals[3 * i + 2];
        const auto u = static_cast<std::int32_t>(m[0][0] * nx + m[0][1] * ny + m[0][2] * nz);
        const auto v = static_cast<std::int32_t>(m[1][0] * nx + m[1][1] * ny + m[1][2] * nz);
        const double depth = m[2][0] * nx + m[2][1] * ny + m[2][2] * nz;
        vertices[i].u = (u >> 1) + 128;
        vertices[i].v = (v >> 1) + 128;
        vertices[i].shade = static_cast<std::int32_t>(std::max(0.0, depth));
    }
}

void ProjectVertices(const Rotation& r, const std::int16_t* coords, double zoom, std::int32_t dx,
                     std::int32_t dy, VertexFrame* vertices) {
    const auto& m = r.m;
    // Worked out for a block of vertices side by side (the compiler steps
    // several at a time through the same operations), then stored per vertex.
    constexpr int kBlock = 160;
    static_assert(kVertices % kBlock == 0);
    for (int start = 0; start < kVertices; start += kBlock) {
        std::int32_t ox[kBlock], oy[kBlock], depth[kBlock];
        bool finite[kBlock];
        for (int k = 0; k < kBlock; ++k) {
            const int i = start + k;
            const double x = coords[3 * i], y = coords[3 * i + 1], z = coords[3 * i + 2];
            const double rx = m[0][0] * x + m[0][1] * y + m[0][2] * z;
            const double ry = m[1][0] * x + m[1][1] * y + m[1][2] * z;
            const double rz = m[2][0] * x + m[2][1] * y + m[2][2] * z;
            const double offset_x = rx * 1120 / (rz + 4510) * zoom / 256;
            const double offset_y = ry * 840 / (rz + 3510) * zoom / 256;
            // An offset far off any surface (or not a number) is not
            // converted to an integer; its vertex is off the surface.
            finite[k] = std::fabs(offset_x) < 1e6 && std::fabs(offset_y) < 1e6;
            ox[k] = static_cast<std::int32_t>(finite[k] ? offset_x : 0.0);
            oy[k] = static_cast<std::int32_t>(finite[k] ? offset_y : 0.0);
            depth[k] = static_cast<std::int32_t>(rz);
        }
        for (int k = 0; k < kBlock; ++k) {
            VertexFrame& out = vertices[start + k];
            out.sx = 320 + dx + ox[k];
            out.sy = 240 + dy + oy[k];
            out.depth = static_cast<std::int16_t>(depth[k]);
            out.on_surface = finite[k] && out.sx >= 0 && out.sx <= kWidth && out.sy >= 0 &&
                             out.sy <= kSurfaceRows;
        }
    }
}

void ComputeSortKeys(const std::int16_t* faces, const VertexFrame* vertices, FaceOrder* list) {
    for (int f = 0; f < kFaces; ++f) {
        const auto sum = static_cast<std::int16_t>(vertices[faces[3 * f]].depth +
                                                   vertices[faces[3 * f + 1]].depth +
                                                   vertices[faces[3 * f + 2]].depth);
        list[f].key = static_cast<std::int16_t>(sum / 3 + 1000);
        list[f].position = static_cast<std::int16_t>(3 * f);
    }
}

namespace {

// One stable counting pass on the 6-bit digit at `shift`, largest digit first.
void SortByDigit(const FaceOrder* from, FaceOrder* to, int shift) {
    int count[64] = {};
    for (int i = 0; i < kFaces; ++i)
        ++count[(static_cast<std::uint16_t>(from[i].key) >> shift) & 63];
    int next[64];
    int at = 0;
    for (int d = 63; d >= 0; --d) {
        next[d] = at;
        at += count[d];
    }
    for (int i = 0; i < kFaces; ++i)
        to[next[(static_cast<std::uint16_t>(from[i].key) >> shift) & 63]++] = from[i];
}

}  // namespace

void RadixSortFaces(FaceOrder* list, FaceOrder* scratch) {
    // Two stable 6-bit passes, low digit first, give the same order as twelve
    // stable one-bit partitions (set bits first) from bit 0 to bit 11.
    SortByDigit(list, scratch, 0);
    SortByDigit(scratch, list, 6);
}

void ClearPicture(Pixel* surface, const Coverage* drawn) {
    if (!drawn) {
        std::fill(surface, surface + kScreenPixels, Pixel{0});
        return;
    }
    static_assert(kPitch == Coverage::kWordsPerRow * 64, "a coverage word is 64 pixels of a row");
    // Each block as sixteen 16-byte stores: the library's fill of a block
    // this small costs more to start than the stores themselves.
    typedef Pixel Quad __attribute__((vector_size(16)));
    const Quad zero{};
    for (int w = 0; w < kHeight * Coverage::kWordsPerRow; ++w)
        if (drawn->bits[w]) {
            Pixel* block = surface + 64 * w;
#pragma GCC unroll 16
            for (int q = 0; q < 16; ++q) std::memcpy(block + 4 * q, &zero, sizeof zero);
        }
}

void ListFacesToDraw(const FaceOrder* list, const std::int16_t* faces,
                     const VertexFrame* vertices, DrawList& draw) {
    // Every face is written at the end of the list and counted only if it is
    // drawn, without branching on each test (about half the faces turn away,
    // in no pattern a branch predictor could follow). The drawing pass then
    // reads its vertices in order.
    int count = 0;
    for (int n = kFaces - 1; n >= 0; --n) {
        const std::int16_t* face = faces + list[n].position;
        const VertexFrame& a = vertices[face[0]];
        const VertexFrame& b = vertices[face[1]];
        const VertexFrame& c = vertices[face[2]];
        // Winding in 32 bits; the coordinates of faces on the surface are
        // small, and the others are not drawn.
        const std::uint32_t winding =
            static_cast<std::uint32_t>(a.sx - b.sx) * static_cast<std::uint32_t>(c.sy - b.sy) -
            static_cast<std::uint32_t>(a.sy - b.sy) * static_cast<std::uint32_t>(c.sx - b.sx);
        draw.faces[count] = {ShadedVertex{a.sx, a.sy, a.u, a.v, a.shade},
                             ShadedVertex{b.sx, b.sy, b.u, b.v, b.shade},
                             ShadedVertex{c.sx, c.sy, c.u, c.v, c.shade}};
        count +=
            a.on_surface & b.on_surface & c.on_surface & (static_cast<std::int32_t>(winding) > 0);
    }
    draw.count = count;
}

void DrawFaces(const DrawList& draw, const Pixel* texture, const std::uint32_t* shade_table,
               Pixel* surface, Coverage& coverage) {
    // Nearest first, each face behind those already drawn: the same picture
    // as drawing far to near, without shading pixels that nearer faces hide.
    coverage.Clear();
    for (int k = 0; k < draw.count; ++k) {
        const auto& [a, b, c] = draw.faces[k];
        DrawShadedTriangleBehind(a, b, c, texture, surface, shade_table, coverage);
    }
}

namespace {


// Little-endian signed 16-bit values from a file block.
void DecodeInt16(const std::uint8_t* bytes, std::int16_t* values, int count) {
    for (int i = 0; i < count; ++i)
        values[i] = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

class ChromeScene : public Scene {
public:
    explicit ChromeScene(const DataDir& data)
        : texture_(std::make_unique_for_overwrite<Pixel[]>(kTexturePixels)),
          coords_(std::make_unique<std::int16_t[]>(3 * kVertices)),
          faces_(std::make_unique<std::int16_t[]>(3 * kFaces)),
          shade_table_(std::make_unique<std::uint32_t[]>(kShadeTableEntries)),
          face_normals_(std::make_unique<double[]>(3 * kFaces)),
          vertex_normals_(std::make_unique<double[]>(3 * kVertices)),
          vertices_(std::make_unique<VertexFrame[]>(kVertices)),
          order_(std::make_unique<FaceOrder[]>(kFaces)),
          scratch_(std::make_unique<FaceOrder[]>(kFaces)),
          draw_(std::make_unique<DrawList>()),
          coverage_(std::make_unique<Coverage>()) {
        data.Read(kReflectionMap, texture_.get());
        {
            auto bytes = std::make_unique<std::uint8_t[]>(kCoordsBytes);
            auto records = std::make_unique<std::int16_t[]>(kVertices * kCoordRecordValues);
            data.Read(kMeshCoords, bytes.get());
            DecodeInt16(bytes.get(), records.get(), kVertices * kCoordRecordValues);
            ScaleCoords(records.get(), coords_.get());
        }
        {
            auto bytes = std::make_unique<std::uint8_t[]>(kFacesBytes);
            data.Read(kMeshFaces, bytes.get());
            DecodeInt16(bytes.get(), faces_.get(), 3 * kFaces);
            CheckFaces(faces_.get(), kMeshFaces.name);
        }
        FillShadeTable(shade_table_.get());
        ComputeFaceNormals(coords_.get(), faces_.get(), face_normals_.get());
        ComputeVertexNormals(faces_.get(), face_normals_.get(), vertex_normals_.get());
    }

    void Draw(Pixel* surface, SceneClock) override {
        // The coverage still holds what the last frame drew, on the surface
        // it drew on.
        ClearPicture(surface, surface == last_surface_ ? coverage_.get() : nullptr);
        last_surface_ = surface;
        const FrameSetup f = BeginFrame(motion_);
        MapVertices(f.rotation, vertex_normals_.get(), vertices_.get());
        ProjectVertices(f.rotation, coords_.get(), f.zoom, f.dx, f.dy, vertices_.get());
        ComputeSortKeys(faces_.get(), vertices_.get(), order_.get());
        RadixSortFaces(order_.get(), scratch_.get());
        EndFrame(motion_);
        ListFacesToDraw(order_.get(), faces_.get(), vertices_.get(), *draw_);
        DrawFaces(*draw_, texture_.get(), shade_table_.get(), surface, *coverage_);
    }

    PresentRows Present() const override { return {1, 479}; }

private:
    std::unique_ptr<Pixel[]> texture_;
    std::unique_ptr<std::int16_t[]> coords_;
    std::unique_ptr<std::int16_t[]> faces_;
    std::unique_ptr<std::uint32_t[]> shade_table_;
    std::unique_ptr<double[]> face_normals_;
    std::unique_ptr<double[]> vertex_normals_;
    std::unique_ptr<VertexFrame[]> vertices_;
    std::unique_ptr<FaceOrder[]> order_;
    std::unique_ptr<FaceOrder[]> scratch_;
    std::unique_ptr<DrawList> draw_;
    std::unique_ptr<Coverage> coverage_;
    const Pixel* last_surface_ = nullptr;  // none drawn yet
    ObjectMotion motion_;
};

}  // namespace

// Its first frame clears the whole window area (ClearPicture without a
// coverage) and it presents rows 1 to 478 from then on; no later scene
// reads the rows below the window.
std::unique_ptr<Scene> Start(const DataDir& data) { return std::make_unique<ChromeScene>(data); }

}  // namespace zep::inline ZEP_CODE_PATH::chrome
