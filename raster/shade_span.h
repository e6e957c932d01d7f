// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The shaded filler's spans: one row of a shaded triangle, with its
// texel fetches and the coverage marks of the behind-drawn triangles. Shared
// by the filler (raster/shaded_triangle.cpp), whose row loop inlines it, and
// the tests' single spans (raster/spans_for_tests.cpp); its functions are
// local to each file that includes it.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

#include "raster/edge_walk.h"
#include "raster/shaded_triangle.h"

// EdgeValues pass only between functions of the including file, most of them
// inlined, so how a build without 32-byte vector registers would pass them
// to other code does not matter.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace zep::inline ZEP_CODE_PATH {
namespace {

static_assert(std::endian::native == std::endian::little, "texels are read byte by byte");

typedef std::int32_t Truncated __attribute__((vector_size(16)));
typedef std::uint8_t TruncatedBytes __attribute__((vector_size(16)));
typedef std::uint64_t TruncatedHalves __attribute__((vector_size(16)));

// The value of the pixel whose attributes are `a`. u, v and shade lie
// within 0-255 (the caller's promise), so each one truncated toward zero is
// its low byte; those bytes make the texel index v * 256 + u and the table
// row shade * 256, masked so the reads stay inside the texture and the table
// whatever the values. The texel's colour bytes are read straight from
// memory (blue, green, red in the little-endian Pixel), which saves taking
// the value apart.
inline Pixel ShadedTexel(std::uint32_t texel_index, std::uint32_t row, const Pixel* texture,
                         const std::uint32_t* table) {
    const auto* texel = reinterpret_cast<const std::uint8_t*>(texture + texel_index);
    const std::uint32_t* levels = table + row;
    return levels[texel[2]] * 65536u + levels[texel[1]] * 256u + levels[texel[0]];
}

#if defined(__wasm_simd128__)
// WebAssembly converts a pair of doubles at a time and zeroes the two lanes
// above them, exactly as converting each double on its own would (inside the
// integer range, where these values are). One shuffle of the two converted
// halves packs the index (lane 0) and the row (lane 1), its zeros taken from
// a zeroed lane.
inline Pixel Shaded(const EdgeValues& a, const Pixel* texture, const std::uint32_t* table) {
    const v128_t xu = wasm_i32x4_trunc_sat_f64x2_zero(reinterpret_cast<v128_t>(a.xu));
    const v128_t vs = wasm_i32x4_trunc_sat_f64x2_zero(reinterpret_cast<v128_t>(a.vs));
    const v128_t packed = wasm_i8x16_shuffle(xu, vs, 4, 16, 31, 31, 31, 20, 31, 31, 31, 31, 31,
                                             31, 31, 31, 31, 31);
    return ShadedTexel(static_cast<std::uint32_t>(wasm_i32x4_extract_lane(packed, 0)),
                       static_cast<std::uint32_t>(wasm_i32x4_extract_lane(packed, 1)), texture,
                       table);
}
#elif defined(__SSSE3__)
// With a byte shuffle (x86-64 from SSSE3 on, so the AVX2 copy) one vector
// conversion truncates every lane, exactly as converting each double on its
// own would, and one shuffle packs the index (low half) and the row (high
// half).
inline Pixel Shaded(const EdgeValues& a, const Pixel* texture, const std::uint32_t* table) {
    const auto bytes =
        std::bit_cast<TruncatedBytes>(__builtin_convertvector(AllLanes(a), Truncated));
    const TruncatedBytes keep{255, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const auto packed = std::bit_cast<TruncatedHalves>(
        __builtin_shufflevector(bytes, bytes, 4, 8, 0, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) &
        keep);
    const std::uint64_t addresses = packed[0];
    return ShadedTexel(static_cast<std::uint32_t>(addresses),
                       static_cast<std::uint32_t>(addresses >> 32), texture, table);
}
#else
// Elsewhere each lane is a double of its own, converted on its own: the same
// additions, the same truncated bytes. x86-64's baseline (SSE2) has no byte
// shuffle, and the compiler took the vector apart byte by byte; on ARM64
// the scalar conversions go straight to the integer registers, where the
// vector form needs a narrowing, a table lookup and a move across.
inline std::uint32_t LowByte(double value) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) & 255u;
}

inline Pixel Shaded(double u, double v, double shade, const Pixel* texture,
                    const std::uint32_t* table) {
    return ShadedTexel(LowByte(v) << 8 | LowByte(u), LowByte(shade) << 8, texture, table);
}

inline Pixel Shaded(const EdgeValues& a, const Pixel* texture, const std::uint32_t* table) {
    return Shaded(a[1], a[2], a[3], texture, table);
}
#endif

// Pixels [p, stop) of a span, the first at `a`, each next one `step` on.
#if defined(__SSSE3__) || defined(__wasm_simd128__)
inline void ShadeRun(EdgeValues a, const EdgeValues& step, Pixel* p, Pixel* stop,
                     const Pixel* texture, const std::uint32_t* table) {
    for (; p != stop; ++p) {
        *p = Shaded(a, texture, table);
        a += step;
    }
}
#elif defined(__SSE2__)
// x86-64's baseline: v and shade share a 16-byte register, so one addition
// steps both and one conversion truncates both (lane by lane, as two scalar
// conversions would); the pair then moves to an integer register in one go,
// v in the low half, shade in the high half.
inline void ShadeRun(const EdgeValues& a, const EdgeValues& step, Pixel* p, Pixel* stop,
                     const Pixel* texture, const std::uint32_t* table) {
    typedef std::int32_t TruncatedPair __attribute__((vector_size(8)));
    double u = a[1];
    EdgeValues::Half vs = a.vs;
    const double du = step[1];
    const EdgeValues::Half dvs = step.vs;
    for (; p != stop; ++p) {
        const auto pair = std::bit_cast<std::uint64_t>(__builtin_convertvector(vs, TruncatedPair));
        const auto v_byte = static_cast<std::uint32_t>(pair) & 255u;
        const auto shade_byte = static_cast<std::uint32_t>(pair >> 32) & 255u;
        *p = ShadedTexel(v_byte << 8 | LowByte(u), shade_byte << 8, texture, table);
        u += du;
        vs += dvs;
    }
}
#else
inline void ShadeRun(const EdgeValues& a, const EdgeValues& step, Pixel* p, Pixel* stop,
                     const Pixel* texture, const std::uint32_t* table) {
    double u = a[1], v = a[2], shade = a[3];
    const double du = step[1], dv = step[2], dshade = step[3];
    for (; p != stop; ++p) {
        *p = Shaded(u, v, shade, texture, table);
        u += du;
        v += dv;
        shade += dshade;
    }
}
#endif

enum class Marked { kNone, kSome, kAll };

// Coverage words w0..w1 hold columns [first, end) of a row: `head` and `tail`
// are the span's bits in the first and the last word (both all of them when
// it is one word).
struct SpanBits {
    int w0, w1;
    std::uint64_t head, tail;
};

inline SpanBits BitsOf(int first, int end) {
    SpanBits b{first >> 6, (end - 1) >> 6, ~std::uint64_t{0} << (first & 63),
               ~std::uint64_t{0} >> (63 - ((end - 1) & 63))};
    const std::uint64_t both = b.head & b.tail;
    const bool one_word = b.w0 == b.w1;
    b.head = one_word ? both : b.head;
    b.tail = one_word ? both : b.tail;
    return b;
}

// The words strictly between the first and the last, for the few spans
// longer than 64 pixels.
[[gnu::noinline]] void LookBetween(const std::uint64_t* words, const SpanBits& b,
                                   std::uint64_t& all, std::uint64_t& any) {
    for (int w = b.w0 + 1; w < b.w1; ++w) {
        all &= words[w];
        any |= words[w];
    }
}

[[gnu::noinline]] void MarkBetween(std::uint64_t* words, const SpanBits& b) {
    for (int w = b.w0 + 1; w < b.w1; ++w) words[w] = ~std::uint64_t{0};
}

inline Marked Look(const std::uint64_t* words, const SpanBits& b) {
    std::uint64_t all = (words[b.w0] | ~b.head) & (words[b.w1] | ~b.tail);
    std::uint64_t any = (words[b.w0] & b.head) | (words[b.w1] & b.tail);
    if (b.w1 - b.w0 > 1) [[unlikely]]
        LookBetween(words, b, all, any);
    return all == ~std::uint64_t{0} ? Marked::kAll : (any != 0 ? Marked::kSome : Marked::kNone);
}

inline void Mark(std::uint64_t* words, const SpanBits& b) {
    words[b.w0] |= b.head;
    words[b.w1] |= b.tail;
    if (b.w1 - b.w0 > 1) [[unlikely]]
        MarkBetween(words, b);
}

// The coverage bits of a span of at most 57 pixels, read as the eight bytes
// from its first column's byte: `mask` marks the span within `bits`.
struct SpanWindow {
    std::uint8_t* at;
    std::uint64_t bits, mask;
};
constexpr int kWindowPixels = 57;  // 7 bits before the first column, at most

inline SpanWindow WindowOf(std::uint64_t* covered, int first, int end) {
    SpanWindow w{reinterpret_cast<std::uint8_t*>(covered) + (first >> 3), 0,
                 ((std::uint64_t{1} << (end - first)) - 1) << (first & 7)};
    std::memcpy(&w.bits, w.at, sizeof w.bits);
    return w;
}

// Writes the window back with the span marked; the bytes around the span
// keep the values read, since nothing else writes the coverage meanwhile.
inline void MarkWindow(const SpanWindow& w) {
    const std::uint64_t marked = w.bits | w.mask;
    std::memcpy(w.at, &marked, sizeof marked);
}

// One span from the left side's values to the right side's, shared by
// DrawShadedSpan and the triangles' row loop (where it is inlined). `row`
// points at the row's first pixel; `covered` at the row's coverage words, or
// is null.
inline void ShadeSpan(const EdgeValues& left, const EdgeValues& right, Pixel* row,
                      const Pixel* texture, const std::uint32_t* table, std::uint64_t* covered) {
    const auto first = static_cast<std::int32_t>(left[0]);
    const auto end = static_cast<std::int32_t>(right[0]);
    if (first >= end) return;
    Marked marked = Marked::kNone;
    // Short spans (nearly all) test and mark their bits in one eight-byte
    // window; longer ones word by word.
    const bool short_span = end - first <= kWindowPixels;
    SpanWindow window{};
    SpanBits bits{};
    if (covered) {
        if (short_span) [[likely]] {
            window = WindowOf(covered, first, end);
            const std::uint64_t seen = window.bits & window.mask;
            if (seen == window.mask) return;
            marked = seen != 0 ? Marked::kSome : Marked::kNone;
        } else {
            bits = BitsOf(first, end);
            marked = Look(covered, bits);
            if (marked == Marked::kAll) return;
        }
    }
    // Lane 0 is the width divided by itself, unused.
    const EdgeValues step = (right - left) / (right[0] - left[0]);
    if (marked == Marked::kNone) {
        ShadeRun(left, step, row + first, row + end, texture, table);
    } else {  // partly behind: only a few spans
        EdgeValues a = left;
        for (int x = first; x < end; ++x) {
            if (!(covered[x >> 6] >> (x & 63) & 1)) row[x] = Shaded(a, texture, table);
            a += step;
        }
    }
    if (covered) {
        if (short_span) [[likely]]
            MarkWindow(window);
        else
            Mark(covered, bits);
    }
}

}  // namespace
}  // namespace zep::inline ZEP_CODE_PATH

#pragma GCC diagnostic pop
