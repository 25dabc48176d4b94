#pragma once
// The control function the progress dialog calls for a conversion: start the converter's pass
// with the per-record layout, or ask it to stop. Written over a small interface so that the
// open flow, the CLI and tests drive the same contract.
#include <cstdint>

#include "decode/CTessaryCan.h"
#include "display/DisplayLineTable.h"
#include "logfile/NotifyTarget.h"

namespace tessary {

// Answers of the control function.
inline constexpr int kStarterStarted = 1;
inline constexpr int kStarterStopping = 2;
inline constexpr int kStarterFailed = 3;
inline constexpr int kStarterMissing = -1;

class ConversionSubject {
public:
    virtual ~ConversionSubject() = default;
    // The pass's result code and Windows error as the open flow reads them afterwards.
    virtual void SetResult(int32_t code, uint32_t error) = 0;
    virtual int32_t StartPass(LineCallback callback, void* user) = 0;
    virtual void RequestStop() = 0;
};

// The loaded converter as a subject; progress goes to `progressWindow` (WM_APP+1).
class ConverterSubject : public ConversionSubject {
public:
    ConverterSubject(CTessaryCan* converter, NotifyTarget* progressWindow)
        : m_converter(converter), m_progressWindow(progressWindow) {}

    void SetResult(int32_t code, uint32_t error) override;
    int32_t StartPass(LineCallback callback, void* user) override;
    void RequestStop() override;

    // After the pass has been waited for: the converter's status once the pass ran, else the
    // code the starter stored.
    int32_t ResultCode() const;
    uint32_t ResultError() const { return m_error; }
    CTessaryCan* Converter() const { return m_converter; }

private:
    CTessaryCan* m_converter;
    NotifyTarget* m_progressWindow;
    int32_t m_code = 0;
    uint32_t m_error = 0;
    bool m_started = false;
};

// start: result code 512, then the pass with LayoutRecord into `table`; 1 started, 3 the start
// failed (its code and the Windows error stored in the subject). Stop: asks the pass to stop,
// 2. -1 without subject or table.
int RunConversionControl(ConversionSubject* subject, DisplayLineTable* table, bool start);

}  // namespace tessary
