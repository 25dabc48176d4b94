#pragma once
// A thin reader that hands raw records to a callback (the divide tool).
#include "logfile/CInsFileRead.h"

namespace tessary {

class CTessaryData;
// Called on the worker for the first record (OnBegin) and every record passed on (OnRecord);
// returns a ConversionStatus-compatible value.
using TessaryDataCallback = int32_t (*)(CTessaryData* reader, uint8_t* record, void* userData);

class CTessaryData : public CInsFileRead {
public:
    // `optionByte` is owned by the caller and must outlive the reader.
    CTessaryData(const PathString& path, uint8_t* optionByte);
    ~CTessaryData() override;

    // 0x200 when a walk runs; else stores the callback and starts StartConversion(window,
    // WM_APP+1).
    int32_t Start(TessaryDataCallback callback, void* userData, NotifyTarget* window);

    uint8_t* OptionByte() override { return m_optionByte; }
    int32_t OnBegin(uint8_t* record) override;
    int32_t OnRecord(uint8_t* record, int32_t differenceMs) override;

private:
    TessaryDataCallback m_callback = nullptr;
    void* m_userData = nullptr;
    uint8_t* m_optionByte;
};

}  // namespace tessary
