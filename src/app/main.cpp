// TessaryView: the INS log viewer. One optional argument, a log file to open after start-up.
#include <QApplication>
#include <QStringList>

#include "settings/CTessaryViewApp.h"
#include "settings/QtTranslations.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    tessary::LoadQtTranslations(application);
    tessary::CTessaryViewApp app;
    const QStringList arguments = QCoreApplication::arguments();
    const QString path = arguments.size() > 1 ? arguments.at(1) : QString();
    return app.InitInstance(path) == -1 ? 1 : 0;
}
