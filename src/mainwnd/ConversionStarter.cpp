#include "mainwnd/ConversionStarter.h"

#include "logfile/Status.h"
#include "mainwnd/RecordLayout.h"
#include "platform/LastError.h"

namespace tessary {

void ConverterSubject::SetResult(int32_t code, uint32_t error) {
    m_code = code;
    m_error = error;
    m_started = false;
}

int32_t ConverterSubject::StartPass(LineCallback callback, void* user) {
    if (m_converter == nullptr) {
        return -1;
    }
    const int32_t status = m_converter->StartPass(callback, user, m_progressWindow);
    if (status == -1) {
        // An unusable reader keeps its own error; report that one, not the thread's.
        SetLastError(m_converter->LastError());
    }
    m_started = status == kStatusDone;
    return status;
}

void ConverterSubject::RequestStop() {
    if (m_converter != nullptr) {
        m_converter->RequestStop();
    }
}

int32_t ConverterSubject::ResultCode() const {
    if (m_started && m_converter != nullptr) {
        return m_converter->ConversionStatus();
    }
    return m_code;
}

int RunConversionControl(ConversionSubject* subject, DisplayLineTable* table, bool start) {
    if (subject == nullptr || table == nullptr) {
        return kStarterMissing;
    }
    if (!start) {
        subject->RequestStop();
        return kStarterStopping;
    }
    subject->SetResult(kStatusRunning, 0);
    const int32_t status = subject->StartPass(&LayoutRecord, table);
    if (status != kStatusDone) {
        subject->SetResult(status, GetLastError());
        return kStarterFailed;
    }
    return kStarterStarted;
}

}  // namespace tessary
