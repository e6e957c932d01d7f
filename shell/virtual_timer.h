// A timer on a virtual clock: the k-th read after start returns k / fps, so
// a run shows the same frames however fast the machine draws them. Used for
// offline rendering and for the browser's check mode.
#pragma once

#include "shell/ptc.h"

namespace zep {

class VirtualTimer : public ptc::Timer {
public:
    explicit VirtualTimer(double fps) : fps_(fps) {}
    void start() override { reads_ = 0; }
    double time() override { return static_cast<double>(reads_++) / fps_; }

private:
    double fps_;
    long reads_ = 0;
};

}  // namespace zep
