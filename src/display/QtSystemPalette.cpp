#include "display/QtSystemPalette.h"

#include <QGuiApplication>
#include <QPalette>

namespace tessary {

namespace {

uint32_t ColorRef(const QColor& color) {
    return static_cast<uint32_t>(color.red()) | static_cast<uint32_t>(color.green()) << 8 |
           static_cast<uint32_t>(color.blue()) << 16;
}

}  // namespace

QtSystemPalette::QtSystemPalette() {
    Refresh();
}

void QtSystemPalette::Refresh() {
    const QPalette palette = QGuiApplication::palette();
    // In the order of SystemColor.
    m_colors[0] = ColorRef(palette.color(QPalette::ButtonText));
    m_colors[1] = ColorRef(palette.color(QPalette::Button));
    m_colors[2] = ColorRef(palette.color(QPalette::Text));
    m_colors[3] = ColorRef(palette.color(QPalette::Base));
    m_colors[4] = ColorRef(palette.color(QPalette::HighlightedText));
    m_colors[5] = ColorRef(palette.color(QPalette::Highlight));
}

uint32_t QtSystemPalette::Color(SystemColor which) const {
    const auto index = static_cast<size_t>(which);
    return index < 6 ? m_colors[index] : 0;
}

void InstallQtSystemPalette() {
    static QtSystemPalette palette;
    palette.Refresh();
    SetSystemPalette(&palette);
}

}  // namespace tessary
