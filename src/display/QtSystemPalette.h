#pragma once
// The system colours of the colour table's defaults, taken from the application palette.
// The colours are read once on the user-interface thread (Refresh), so that a worker may ask
// for them.
#include <cstdint>

#include "decode/Palette.h"

namespace tessary {

class QtSystemPalette final : public SystemPalette {
public:
    QtSystemPalette();
    // Reads the application palette again (user-interface thread).
    void Refresh();
    uint32_t Color(SystemColor which) const override;

private:
    uint32_t m_colors[6] = {};
};

// Installs one palette read from the application palette as the current system palette.
void InstallQtSystemPalette();

}  // namespace tessary
