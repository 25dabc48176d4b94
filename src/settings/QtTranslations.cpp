#include "settings/QtTranslations.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace tessary {

bool LoadQtTranslations(QCoreApplication& application, const QString& folder) {
    const QString from =
        folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_ja"), from) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace tessary
