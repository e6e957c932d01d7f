// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The name of the copy of the scenes and fillers being compiled.
//
// A generic x86-64 build compiles the scene and raster sources twice: once
// for every x86-64 CPU (SSE2) and once more with AVX2 (never with fused
// multiply-add), and picks one copy at start-up (scenes/code_paths.h). Each copy
// lives in its own inline namespace, zep::baseline or zep::avx2, so the two
// never share a symbol; a native build has one copy, zep::native. Code
// compiled once (the shell, the tests) sees the build's first copy.
#pragma once

#ifndef ZEP_CODE_PATH
#define ZEP_CODE_PATH baseline
#endif

#define ZEP_CODE_PATH_STRING_(name) #name
#define ZEP_CODE_PATH_STRING(name) ZEP_CODE_PATH_STRING_(name)
// The copy's name as a string: "baseline", "avx2" or "native".
#define ZEP_CODE_PATH_NAME ZEP_CODE_PATH_STRING(ZEP_CODE_PATH)
