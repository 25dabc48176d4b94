#pragma once
// Opening a log into the main window, and converting the loaded one again: the checks and
// messages of the open, the INS64 line choice, the conversion under a progress display, the
// result mapping and the second pass of a ring file whose base time comes from its end time.
// The main window owns one OpenFlow; tessarydump drives the same flow without a window.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "decode/CTessaryCan.h"
#include "display/DisplayLineTable.h"
#include "logfile/NotifyTarget.h"
#include "platform/ManualResetEvent.h"
#include "platform/UiService.h"

namespace tessary {

// Results of Open beyond the converter's status codes.
inline constexpr int32_t kOpenResultDone = 0;
inline constexpr int32_t kOpenResultNotFound = 1;  // cannot open, or an empty path
inline constexpr int32_t kOpenResultReadFailed = 2;
inline constexpr int32_t kOpenResultBadFormat = 3;  // not a log, or not an INS line
inline constexpr int32_t kOpenResultOther = -1;     // out of memory, line question declined
inline constexpr int32_t kOpenResultCannotStart = 512;
inline constexpr int32_t kOpenResultCancelled = 768;
inline constexpr int32_t kOpenResultNoData = 769;

// Line choices of Open.
inline constexpr int kLineAsk = -1;
inline constexpr int kLineFirst = 0;
inline constexpr int kLineSecond = 1;
inline constexpr int kLineSecondPass = 2;

// The states of the window that shows the flow's lines (the values are the window's modes).
enum class WindowState : int {
    kNoFile = -1,       // no file, also after a failed open
    kLoaded = 0,        // a file has just been loaded
    kReconverting = 1,  // a reconversion starts
    kReconverted = 2,   // it ended
};

// One pass under a progress display (the progress dialog, or a waiter without a window).
class PassProgress {
public:
    virtual ~PassProgress() = default;
    // Shows the progress and returns once the pass has ended. `control(true)` starts the pass
    // (1 started, 3 the start failed, -1 nothing to run); `control(false)` asks it to stop (2).
    // False when the progress display could not run at all.
    virtual bool Run(std::u16string_view title, std::u16string_view subtitle, uint32_t total,
                     const std::function<int(bool)>& control) = 0;
};

// Waits for a pass without a window: it is the pass's notify target, so it sees the progress
// and the end. `onProgress` (optional) gets (title, bytes done, total) on the worker thread.
class SyncPassProgress : public PassProgress, public NotifyTarget {
public:
    using ProgressFn = std::function<void(std::u16string_view, uint64_t, uint64_t)>;
    explicit SyncPassProgress(ProgressFn onProgress = {}) : m_onProgress(std::move(onProgress)) {}

    bool Run(std::u16string_view title, std::u16string_view subtitle, uint32_t total,
             const std::function<int(bool)>& control) override;
    void PostNotify(uint32_t message, uintptr_t wParam, void* lParam) override;

private:
    ProgressFn m_onProgress;
    ManualResetEvent m_ended{true};
    std::u16string m_title;
    uint64_t m_total = 0;
};

// What the flow asks of its window.
class OpenFlowHost {
public:
    virtual ~OpenFlowHost() = default;
    // The message pane (a cancelled conversion).
    virtual void ShowStatus(std::u16string_view text) { (void)text; }
    // The window state of a mode. The flow releases the line table itself after kNoFile and
    // kReconverting.
    virtual void UpdateState(WindowState mode) { (void)mode; }
    // Hides the block panes; answers whether any was visible.
    virtual bool HidePanes() { return false; }
    virtual void ShowPanes() {}
    // A new file clears the compiled search condition.
    virtual void ClearSearch() {}
    // Schedules the second pass (Reconvert(kLineSecondPass)) for later and answers true; false
    // lets the flow run it at once.
    virtual bool PostSecondPass() { return false; }
};

class OpenFlow {
public:
    // None of the arguments is owned; all must outlive the flow. `ui` shows the messages and
    // asks the INS64 line question (an answer other than Yes or No declines the open).
    // `notify` receives the pass's notifications (the window; for a SyncPassProgress the
    // progress itself).
    OpenFlow(CanPara* para, DisplayLineTable* table, OpenFlowHost* host, UiService* ui,
             PassProgress* progress, NotifyTarget* notify);
    ~OpenFlow();
    OpenFlow(const OpenFlow&) = delete;
    OpenFlow& operator=(const OpenFlow&) = delete;

    // Opens `path` (line choice kLineAsk, kLineFirst or kLineSecond). The caller has already
    // offered to save an unsaved correction. Results: see the constants above; 770-773 and
    // other converter codes for failed conversions. When the second pass runs at once, its
    // result is the result.
    int32_t Open(const PathString& path, int lineChoice);
    // Converts the loaded file again (kLineSecondPass for the second pass of a two-pass file).
    int32_t Reconvert(int lineChoice);

    CTessaryCan* Converter() const { return m_converter.get(); }
    // The loaded file's path (the reader forgets its path when it fails).
    const PathString& LoadedPath() const { return m_loadedPath; }
    // A conversion or an aggregation pass is registered as running.
    bool IsRunning() const { return m_running; }
    void SetRunning(bool running) { m_running = running; }
    // Whether the loaded file needs a second pass (a ring file with the base from its end).
    static bool NeedsTwoPasses(const CTessaryCan& converter);
    // The base of such a file from its end time and the sum of its record times (`elapsed`, as
    // a whole pass over it counts it); false when the base cannot be set.
    static bool ApplyEndTimeBase(CTessaryCan& converter, int64_t elapsed);

private:
    int32_t Run(bool newFile, int lineChoice, const PathString& path);
    // Constructs and checks a converter; 0 or the failure result with its message in `text`.
    int32_t Construct(const PathString& path, int lineChoice,
                      std::unique_ptr<CTessaryCan>& converter, std::u16string& text);
    int32_t Convert(CTessaryCan& converter, std::u16string_view title, std::u16string_view subtitle,
                    std::u16string& text);
    void ReleaseTable(WindowState mode);

    CanPara* m_para;
    DisplayLineTable* m_table;
    OpenFlowHost* m_host;
    UiService* m_ui;
    PassProgress* m_progress;
    NotifyTarget* m_notify;
    std::unique_ptr<CTessaryCan> m_converter;
    PathString m_loadedPath;
    bool m_running = false;
};

// The message of a pass result (open flow or aggregation), empty for results without one.
// `aggregation` picks the aggregation's texts; `error` and `filePos` fill the numbers.
std::u16string PassResultText(int32_t result, bool aggregation, uint32_t error, uint32_t filePos);

}  // namespace tessary
