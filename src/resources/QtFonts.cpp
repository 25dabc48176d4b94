#include "resources/QtFonts.h"

#include <QPainter>
#include <QPixmap>

namespace tessary {

QStringList FixedFontFamilies() {
    return {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
            QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
            QStringLiteral("monospace")};
}

QStringList UiFontFamilies() {
    return {QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"),
            QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP"),
            QStringLiteral("sans-serif")};
}

namespace {

QFont FontOf(const QStringList& families, int tenths, QFont::StyleHint hint) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPointSizeF(tenths / 10.0);
    return font;
}

}  // namespace

QFont FixedFont(int tenths, bool bold) {
    QFont font = FontOf(FixedFontFamilies(), tenths, QFont::TypeWriter);
    font.setFixedPitch(true);
    if (bold) {
        font.setWeight(QFont::Bold);
    }
    return font;
}

QFont UiFont(int tenths) {
    return FontOf(UiFontFamilies(), tenths, QFont::SansSerif);
}

QFont TemplateFont(const QString& face, int points) {
    if (face == QStringLiteral("ＭＳ ゴシック")) {
        return FixedFont(points * 10);
    }
    return UiFont(points * 10);
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0x1F, 0x4E, 0x8C));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        // Four block columns.
        painter.setBrush(QColor(0xF2, 0xF2, 0xF2));
        const double w = size / 6.0;
        for (int i = 0; i < 4; ++i) {
            painter.drawRect(QRectF(w * 0.6 + i * w * 1.25, size * 0.2, w, size * 0.6));
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace tessary
