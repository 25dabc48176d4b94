#pragma once
// The system colours that the default colour table takes (GetSysColor). The core knows no
// window system: the GUI installs a palette that reads its application palette; without one
// the usual Windows defaults stand in.
#include <cstdint>

namespace tessary {

enum class SystemColor {
    kButtonText,     // COLOR_BTNTEXT
    kButtonFace,     // COLOR_BTNFACE
    kWindowText,     // COLOR_WINDOWTEXT
    kWindow,         // COLOR_WINDOW
    kHighlightText,  // COLOR_HIGHLIGHTTEXT
    kHighlight,      // COLOR_HIGHLIGHT
};

class SystemPalette {
public:
    virtual ~SystemPalette() = default;
    // A COLORREF, 0x00BBGGRR.
    virtual uint32_t Color(SystemColor which) const = 0;
};

// The Windows default colours.
const SystemPalette& BuiltInSystemPalette();

// The palette used where none is passed: the one installed, else the built-in one. The
// installed palette must outlive its use; install it at start-up, before any worker runs.
const SystemPalette& CurrentSystemPalette();
void SetSystemPalette(const SystemPalette* palette);

}  // namespace tessary
