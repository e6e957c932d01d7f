// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// A timer on a virtual clock: the k-th read after start returns k / fps, so
// a run shows the same frames however fast the machine draws them. Used for
// offline rendering and for the browser's check mode.
#pragma once

#include "shell/ptc.h"

namespace zep {

class VirtualTimer : public ptc::Timer {
public:
    // `first_read`: the count the reads begin at, for a run that starts
    // past its beginning.
    explicit VirtualTimer(double fps, long first_read = 0) : fps_(fps), first_read_(first_read) {}
    void start() override { reads_ = first_read_; }
    double time() override { return static_cast<double>(reads_++) / fps_; }

private:
    double fps_;
    long first_read_;
    long reads_ = 0;
};

}  // namespace zep
