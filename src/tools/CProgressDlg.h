#pragma once
// The modal progress dialog that every long job runs under: status line, progress bar,
// message line and Stop. The dialog does not know the job; its initiator hands it a control
// function, relays the worker's notifications to it (WM_APP+2, a direct call) and reads the
// job's outcome after Run.
#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tessary {

inline constexpr int kMsgProgress = 0x8002;  // WM_APP+2
// wParam values of WM_APP+2.
inline constexpr intptr_t kProgressEnded = 0;
inline constexpr intptr_t kProgressStep = 1;
inline constexpr intptr_t kProgressStatusText = 2;   // lParam: const char16_t*, terminated
inline constexpr intptr_t kProgressMessageText = 3;  // lParam: const char16_t*, terminated

// End codes of Run besides the control function's failed start results.
inline constexpr int kProgressDone = 1;
inline constexpr int kProgressAborted = 2;
inline constexpr int kProgressRefused = -1;

class CProgressDlg : public QDialog {
    Q_OBJECT

public:
    // flag true: start the job (1 started, 3 failed, -1 nothing to run); false: ask it to stop
    // (2; a 1 ends the dialog at once with 2).
    using Control = std::function<int(bool start)>;

    explicit CProgressDlg(QWidget* initiator);
    ~CProgressDlg() override;

    // -1 for an empty title; else shows the dialog modally and returns its end code.
    int Run(std::u16string_view title, std::u16string_view subtitle, uint32_t total,
            Control control);

    // Runs one pass under a new dialog over `initiator`, registered in `running` while it is
    // shown; its end code (kProgressRefused when it could not run).
    static int RunPass(QWidget* initiator, CProgressDlg*& running, std::u16string_view title,
                       std::u16string_view subtitle, uint32_t total, const Control& control);

    // WM_APP+2: 1 progress or 0 ended with the bytes done in lParam; 2 and 3 set the status and
    // the message label. -1 for any other wParam, else 0.
    intptr_t OnProgress(intptr_t wParam, intptr_t lParam);

    // What the dialog shows (tests, the initiators).
    QString StatusText() const;
    QString MessageText() const;
    int BarMaximum() const;
    int BarValue() const;
    bool StopEnabled() const;
    int AbortState() const { return m_abortState; }
    uint32_t Divisor() const { return m_divisor; }
    // Presses Stop (as the button or a close request does).
    void Abort();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void reject() override;
    void accept() override;

private:
    void Build();
    std::u16string TitleOrDefault() const;
    void EndWith(int code);

    std::u16string m_title;
    uint32_t m_total = 0;
    uint32_t m_divisor = 1;
    Control m_control;
    int m_abortState = 0;  // 0 none, -1 the confirmation is open, 1 confirmed
    int m_timer = 0;
    bool m_ending = false;

    QGroupBox* m_group = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_bar = nullptr;
    QLabel* m_message = nullptr;
    QPushButton* m_stop = nullptr;
};

}  // namespace tessary
