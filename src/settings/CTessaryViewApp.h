#pragma once
// The application object: prepares the process, identifies the program from its version
// values, installs the system palette for the default colours, and runs the main window with
// the user's stored settings, which it writes back when the window ends.
#include <QString>
#include <cstdint>

#include "platform/OsVersion.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"

namespace tessary {

class CMainDlg;

class CTessaryViewApp {
public:
    // Sets the locale, the granule and the OS version (traced), and installs the application
    // palette as the system colours of the default colour table; needs the QApplication.
    CTessaryViewApp();
    ~CTessaryViewApp();
    CTessaryViewApp(const CTessaryViewApp&) = delete;
    CTessaryViewApp& operator=(const CTessaryViewApp&) = delete;

    // Runs the main window modally; `openPath` (may be empty) is opened once it is up.
    // Returns the main window's end code, or -1 when the program cannot start.
    int InitInstance(const QString& openPath = {});

    // The main window's settings from `store`: the program version is written first when the
    // stored one differs, then every value is read into `record`.
    static void LoadMainSettings(SettingsStore& store, uint32_t programVersion,
                                 SettingsRecord& record);

    uint32_t ProgramVersion() const { return m_programVersion; }
    const QString& ProgramFolder() const { return m_programFolder; }
    const QString& ProgramFileName() const { return m_programFileName; }
    const QString& ProfileName() const { return m_profileName; }
    const OsVersion& Os() const { return m_os; }
    uint32_t Granule() const { return m_granule; }
    static const OsVersion& CurrentOs();

private:
    // The program path and version, profile name, folder and file name; false (after the
    // message) when the program cannot start.
    bool Identify();

    uint32_t m_programVersion = 0;
    uint32_t m_granule = 0;
    OsVersion m_os;
    QString m_programFolder;
    QString m_programFileName;
    QString m_profileName;
};

}  // namespace tessary
