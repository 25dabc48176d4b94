#include "LogWalk.h"

#include "logfile/CInsFileRead.h"

namespace tessary::test {

namespace {

class Collector : public CInsFileRead {
public:
    Collector(const std::string& path, uint8_t option) : CInsFileRead(path), m_option(option) {}
    ~Collector() override { StopWorker(true); }

    uint8_t* OptionByte() override { return &m_option; }
    int32_t OnBegin(uint8_t*) override { return 0; }
    int32_t OnRecord(uint8_t* record, int32_t differenceMs) override {
        const uint32_t length = kRecordHeaderSize + (record[3] | (record[4] << 8));
        m_records.push_back(
            WalkedRecord{std::vector<uint8_t>(record, record + length), differenceMs, Elapsed()});
        return 0;
    }

    std::vector<WalkedRecord> m_records;

private:
    uint8_t m_option;
};

}  // namespace

WalkResult WalkLog(const std::string& path, uint8_t lineSelection) {
    WalkResult result;
    Collector reader(path, lineSelection);
    result.openStatus = reader.OpenStatus();
    if (result.openStatus != kOpenOk) {
        return result;
    }
    result.correctionState = reader.CorrectionState();
    result.startTime = reader.StartTime();
    result.endTime = reader.EndTime();
    result.dataSize = reader.DataSize();
    result.dataOrigin = reader.DataOrigin();
    result.startStatus = reader.StartConversion(nullptr, 0);
    if (result.startStatus != 0) {
        return result;
    }
    reader.WaitForWalk();
    result.baseTime = reader.BaseTime();
    result.conversionStatus = reader.ConversionStatus();
    result.recordCounter = reader.RecordCounter();
    result.warningCounter = reader.WarningCounter();
    result.warningMask = reader.WarningMask();
    result.elapsedMs = reader.Elapsed();
    result.records = std::move(reader.m_records);
    return result;
}

std::vector<ExpectedRecord> Generate(const loggen::LogProfile& profile) {
    std::vector<ExpectedRecord> out;
    loggen::LogGenerator generator(profile);
    loggen::GeneratedRecord r;
    while (generator.Next(r)) {
        ExpectedRecord e;
        e.gap.assign(r.gap, r.gap + r.gapLength);
        e.bytes.assign(r.bytes, r.bytes + r.length);
        e.info = r;
        e.info.gap = nullptr;
        e.info.bytes = nullptr;
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace tessary::test
