#include <cstdio>

#include "shell/platform.h"
#include "shell/virtual_timer.h"

namespace zep {
namespace {

class HeadlessConsole : public ptc::Console {
public:
    HeadlessConsole(long key_after_frame, bool fail_open)
        : key_after_frame_(key_after_frame), fail_open_(fail_open) {}

    void open(const std::string& title, int width, int height, const ptc::Format& format,
              int pages) override {
        (void)title;
        (void)pages;
        if (fail_open_) throw ptc::DynamicError("could not open the console (simulated failure)");
        if (width <= 0 || height <= 0 || format.bits != 32)
            throw ptc::DynamicError("unsupported console mode");
        allocate(width, height);
    }

    int key() override { return key_after_frame_ >= 0 && frames_ >= key_after_frame_ ? 1 : 0; }

    void update() override { ++frames_; }

private:
    long key_after_frame_;
    bool fail_open_;
    long frames_ = 0;
};

}  // namespace

std::unique_ptr<ptc::Console> HeadlessPlatform::MakeConsole() {
    return std::make_unique<HeadlessConsole>(options_.key_after_frame, options_.fail_console_open);
}

std::unique_ptr<ptc::Timer> HeadlessPlatform::MakeTimer(const Music& music) {
    (void)music;
    return std::make_unique<VirtualTimer>(options_.fps);
}

void HeadlessPlatform::Report(const ptc::DynamicError& error) {
    std::fprintf(stderr, "%s: %s\n", options_.program, error.what());
}

}  // namespace zep
