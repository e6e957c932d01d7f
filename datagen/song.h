// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The demo's soundtrack as a module description, before it becomes bytes.
#pragma once

#include <vector>

#include "datagen/it_writer.h"

namespace zep::datagen {

struct Song {
    ItModule module;
    // The order-list position where each section begins, in playing order:
    // intro, drive, landscape, chrome, tunnel, finale.
    std::vector<int> section_orders;
};

// Composes the whole piece: synthesises the samples, sets up the instruments
// and writes every section's patterns. The same result on every run.
Song ComposeSong();

}  // namespace zep::datagen
