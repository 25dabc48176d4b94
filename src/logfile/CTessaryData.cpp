#include "logfile/CTessaryData.h"

#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary {

CTessaryData::CTessaryData(const PathString& path, uint8_t* optionByte)
    : CInsFileRead(path), m_optionByte(optionByte) {}

// The worker calls this class's operations: it must have ended before they go.
CTessaryData::~CTessaryData() {
    StopWorker(false);
}

int32_t CTessaryData::Start(TessaryDataCallback callback, void* userData, NotifyTarget* window) {
    if (IsWalking()) {
        SetLastError(kErrorInvalidFunction);
        return kStatusRunning;
    }
    // A walk asked to stop may still be finishing its last record with the old callback.
    WaitForWalk();
    m_callback = callback;
    m_userData = userData;
    return StartConversion(window, kWmApp + 1);
}

int32_t CTessaryData::OnBegin(uint8_t* record) {
    return m_callback != nullptr ? m_callback(this, record, m_userData) : 0;
}

int32_t CTessaryData::OnRecord(uint8_t* record, int32_t /*differenceMs*/) {
    return m_callback != nullptr ? m_callback(this, record, m_userData) : 0;
}

}  // namespace tessary
