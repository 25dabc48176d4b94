#include "settings/CTessaryViewApp.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <clocale>
#include <memory>

#include "display/QtSystemPalette.h"
#include "mainwnd/CMainDlg.h"
#include "platform/FormatText.h"
#include "platform/Granule.h"
#include "platform/OsVersion.h"
#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "platform/Trace.h"
#include "resources/Version.h"
#include "resources/WindowTexts.h"
#include "settings/QtSettingsStore.h"

namespace tessary {
namespace {

OsVersion g_os;

}  // namespace

CTessaryViewApp::CTessaryViewApp() {
    std::setlocale(LC_ALL, "");
    m_granule = AllocationGranule();
    int error = 0;
    if (QueryOsVersion(m_os, error)) {
        Trace("RtlGetVersion = %u.%u.%u <x64>\n", m_os.major, m_os.minor, m_os.build);
    } else {
        Trace("RtlGetVersion Error = %d\n", error);
    }
    g_os = m_os;
    InstallQtSystemPalette();
}

CTessaryViewApp::~CTessaryViewApp() = default;

const OsVersion& CTessaryViewApp::CurrentOs() {
    return g_os;
}

void CTessaryViewApp::LoadMainSettings(SettingsStore& store, uint32_t programVersion,
                                       SettingsRecord& record) {
    StampProgramVersion(store, programVersion);
    LoadSettings(record, store);
}

bool CTessaryViewApp::Identify() {
    const res::VersionStrings& version = res::ProgramVersion();
    const QString path = QCoreApplication::applicationFilePath();
    m_programVersion = res::ParseFileVersion(version.fileVersion);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (m_programVersion == 0 || slash < 0) {
        Ui().Warn(FormatText(res::kBadStartPath, FromQString(path)), {});
        return false;
    }
    const std::u16string_view profile = res::ProfileName(version.originalFilename);
    m_profileName = ToQString(profile);
    m_programFolder = path.left(slash + 1);
    m_programFileName = path.mid(slash + 1);
    QCoreApplication::setOrganizationName(ToQString(version.companyKey));
    QCoreApplication::setApplicationName(m_profileName);
    return true;
}

int CTessaryViewApp::InitInstance(const QString& openPath) {
    if (!Identify()) {
        return -1;
    }
    CMainDlg dialog;
    const std::unique_ptr<QtSettingsStore> store = QtSettingsStore::OpenUser();
    LoadMainSettings(*store, m_programVersion, dialog.Settings());
    // The version stamp is the one value written at start.
    store->Sync();
    if (!openPath.isEmpty()) {
        // Opened once the modal loop runs, as a file association would.
        QTimer::singleShot(0, &dialog, [&dialog, openPath] {
            dialog.OpenAndRemember(openPath.toStdString(), -1);
        });
    }
    const int result = dialog.DoModal();
    // A window that could not start leaves the stored settings as they were.
    if (result != -1) {
        SaveSettings(dialog.Settings(), *store);
        store->Sync();
    }
    Trace("MainDlg End = %d (IDOK=%d, IDCANCEL=%d)\n", result, 1, 2);
    return result;
}

}  // namespace tessary
