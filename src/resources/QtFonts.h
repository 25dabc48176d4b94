#pragma once
// The program's fonts with the fallbacks of platforms that lack the Japanese Windows fonts.
#include <QFont>
#include <QIcon>
#include <QString>
#include <QStringList>

namespace tessary {

// "ＭＳ ゴシック" and its fixed-pitch stand-ins.
QStringList FixedFontFamilies();
// "MS UI Gothic" and its proportional stand-ins.
QStringList UiFontFamilies();
// A font of the family list at `tenths` of a point; `bold` weight 700.
QFont FixedFont(int tenths, bool bold = false);
QFont UiFont(int tenths);
// The font of a dialog template's face name and point size.
QFont TemplateFont(const QString& face, int points);

// The program's window icon, drawn at start-up.
QIcon AppIcon();

}  // namespace tessary
