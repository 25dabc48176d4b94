#include "decode/Palette.h"

#include <atomic>

namespace tessary {

namespace {

class BuiltInPalette final : public SystemPalette {
public:
    uint32_t Color(SystemColor which) const override {
        switch (which) {
            case SystemColor::kButtonText:
                return 0x000000;
            case SystemColor::kButtonFace:
                return 0xF0F0F0;
            case SystemColor::kWindowText:
                return 0x000000;
            case SystemColor::kWindow:
                return 0xFFFFFF;
            case SystemColor::kHighlightText:
                return 0xFFFFFF;
            case SystemColor::kHighlight:
                return 0xD77800;
        }
        return 0x000000;
    }
};

const BuiltInPalette kBuiltIn;
std::atomic<const SystemPalette*> g_installed{nullptr};

}  // namespace

const SystemPalette& BuiltInSystemPalette() {
    return kBuiltIn;
}

const SystemPalette& CurrentSystemPalette() {
    const SystemPalette* palette = g_installed.load(std::memory_order_acquire);
    return palette != nullptr ? *palette : kBuiltIn;
}

void SetSystemPalette(const SystemPalette* palette) {
    g_installed.store(palette, std::memory_order_release);
}

}  // namespace tessary
