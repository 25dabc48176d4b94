#pragma once
// The log divide dialog (template 135): source and destination, the run under the progress
// dialog and its status line. The divide itself is DivideRun's.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <map>

#include "logfile/NotifyTarget.h"
#include "platform/File.h"
#include "settings/SettingsRecord.h"
#include "tools/DivideRun.h"

class QLabel;
class QLineEdit;

namespace tessary {

class CProgressDlg;

class CDivideDlg : public QDialog, public NotifyTarget {
    Q_OBJECT

public:
    // `displayedPath` is the log shown in the main window (empty: none) and `correction` its
    // start correction; the edit boxes start from and end in `settings`.
    CDivideDlg(QWidget* parent, SettingsRecord& settings, PathString displayedPath,
               int64_t correction);
    ~CDivideDlg() override;

    // The control `id` of the template, or nullptr.
    QWidget* Control(int id) const;
    QString StatusText() const;
    // The progress dialog of the pass under way, or nullptr.
    CProgressDlg* RunningProgress() const { return m_progress; }

    // The reader's notifications, on its worker thread.
    void PostNotify(uint32_t message, uintptr_t wParam, void* lParam) override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Build();
    void TakeDisplayed();
    void TakeSourceFolder();
    void BrowseSource();
    void BrowseFolder();
    void RunDivide();
    void OnReaderNotify(uintptr_t wParam);
    void StoreSettings();

    SettingsRecord& m_settings;
    PathString m_displayedPath;
    int64_t m_displayedCorrection;
    // The correction "→" took for the run (0 = none).
    int64_t m_correction = 0;
    DivideRun m_run;
    CProgressDlg* m_progress = nullptr;
    std::map<int, QWidget*> m_controls;
    QLineEdit* m_source = nullptr;
    QLineEdit* m_folder = nullptr;
    QLabel* m_status = nullptr;
};

}  // namespace tessary
