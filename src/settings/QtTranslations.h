#pragma once
// Qt's own texts (standard buttons, the file, folder and colour dialogs) in Japanese, so that
// the library's dialogs speak the program's language.
#include <QCoreApplication>
#include <QString>

namespace tessary {

// Installs Qt's Japanese translations ("qtbase_ja") from `folder` (Qt's translations folder when
// empty) on `application`, which owns the translator. False when they cannot be loaded: the
// texts stay as Qt has them, which is no failure of the program.
bool LoadQtTranslations(QCoreApplication& application, const QString& folder = QString());

}  // namespace tessary
