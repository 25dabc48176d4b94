#include "cli/RecordStream.h"

#include <new>

#include "decode/RecordText.h"
#include "logfile/CTessaryData.h"
#include "logfile/InsLogFormat.h"
#include "logfile/LogTime.h"
#include "logfile/Status.h"
#include "mainwnd/ConversionStarter.h"

namespace tessary::cli {
namespace {

constexpr std::u16string_view kTitleRead = u"INSログデータ読込";
// The store forgets once its texts pass this size: small enough to stay in the cache, large
// enough that the few bytes moved each time cost nothing.
constexpr uint64_t kForgetBytes = 256 * 1024;

struct CheckState {
    bool begun = false;
    bool noBlock = false;
    uint32_t passed = 0;
};

// Every record the walk passes on must have an INS block, as the converter demands.
int32_t CheckRecord(CTessaryData*, uint8_t* record, void* user) {
    auto* state = static_cast<CheckState*>(user);
    if (!state->begun) {
        state->begun = true;  // the first call announces the walk
        return kStatusDone;
    }
    const InsRecordHeader header = ParseRecordHeader(record);
    uint8_t kind = header.blockCode;
    if (kind == 0 && header.payloadLength > kMaxCheckedFrameLength) {
        kind = 6;
    }
    if (BlockOfRecord(header.direction, kind) < 0) {
        state->noBlock = true;
        return kStatusNoBlock;
    }
    ++state->passed;
    return kStatusDone;
}

}  // namespace

LogCheck CheckLog(const std::string& path, int line, uint8_t optionByte, bool everyKind) {
    LogCheck check;
    uint8_t option = static_cast<uint8_t>(optionByte & ~kFlag0LineSelectMask);
    CTessaryData reader(path, &option);
    if (reader.OpenStatus() != kOpenOk || !reader.IsFileOpen()) {
        return check;
    }
    const uint8_t dataKind = reader.Header().dataKind;
    if (dataKind != kDataKindIns64Bulk && dataKind != kDataKindInsSingle) {
        return check;
    }
    if (dataKind == kDataKindIns64Bulk || everyKind) {
        check.lineBits = static_cast<uint8_t>((line == 2 ? 1 : 0) << kFlag0LineSelectShift);
    }
    option |= check.lineBits;
    CheckState state;
    if (reader.Start(&CheckRecord, &state, nullptr) != kStatusDone) {
        return check;
    }
    reader.WaitForWalk();
    check.elapsed = reader.Elapsed();
    // The conversion shows something when a record or a warning becomes a message record.
    check.streamable = reader.ConversionStatus() == kStatusDone && !state.noBlock &&
                       uint64_t{state.passed} + static_cast<uint32_t>(reader.WarningCounter()) > 0;
    return check;
}

RecordStream::RecordStream(const std::string& path, CanPara* para, const LogCheck& check) {
    para->Flag[0] = static_cast<uint8_t>((para->Flag[0] & ~kFlag0LineSelectMask) | check.lineBits);
    // A stream converts from the file, never from stored records.
    para->Flag[1] &= static_cast<uint8_t>(~(kFlag1SecondRowSlot | kFlag1Redeliver));
    m_converter.reset(new (std::nothrow) CTessaryCan(path, para, StoreSizing::kStream));
    if (!m_converter || m_converter->OpenStatus() != kOpenOk) {
        return;
    }
    m_ready = true;
    if (OpenFlow::NeedsTwoPasses(*m_converter)) {
        // The second pass of the viewer, at once: the base from the end time and the checked
        // sum of the record times.
        m_ready = OpenFlow::ApplyEndTimeBase(*m_converter, check.elapsed);
    }
}

RecordStream::~RecordStream() = default;

int32_t RecordStream::OnRecord(CTessaryCan* converter, MessageRecord* record, void* user) {
    auto* stream = static_cast<RecordStream*>(user);
    const int32_t result = stream->m_consumer->Consume(*converter, *record);
    if (converter->TextUsed() > kForgetBytes) {
        uint32_t keepFrom = converter->LineCount();
        uint32_t pin = kNoRecordIndex;
        stream->m_consumer->RecordsInUse(*converter, keepFrom, pin);
        const StoreMove move = converter->ForgetRecords(keepFrom, pin);
        stream->m_consumer->Forgotten(move);
    }
    return result;
}

int32_t RecordStream::Run(RecordConsumer& consumer, SyncPassProgress& progress) {
    if (!m_ready) {
        return -1;
    }
    m_consumer = &consumer;
    int32_t startStatus = kStatusDone;
    const auto control = [&](bool start) {
        if (!start) {
            m_converter->RequestStop();
            return kStarterStopping;
        }
        startStatus = m_converter->StartPass(&RecordStream::OnRecord, this, &progress);
        return startStatus == kStatusDone ? kStarterStarted : kStarterFailed;
    };
    const bool ran = progress.Run(kTitleRead, u"", m_converter->DataSize(), control);
    m_converter->WaitForWalk();
    if (!ran) {
        return kStatusRunning;
    }
    return startStatus != kStatusDone ? startStatus : m_converter->ConversionStatus();
}

}  // namespace tessary::cli
