#include "decode/CTessaryCan.h"

#include <algorithm>
#include <chrono>
#include <new>

#include "decode/FrameDecoder.h"
#include "decode/RecordText.h"
#include "logfile/InsLogFormat.h"
#include "logfile/Status.h"
#include "platform/Granule.h"
#include "platform/LastError.h"
#include "platform/Trace.h"
#include "platform/WinError.h"

namespace tessary {

namespace {

constexpr uint64_t kMaxTableBytes = uint64_t{32} << 30;
constexpr uint64_t kTextReserve = 562;
constexpr uint32_t kIdBlock = 100000;
constexpr uint32_t kIdLowLast = 29999;
constexpr uint32_t kIdHighCount = 100;
// A stream holds a few records at a time; the blocks grow if one record needs more.
constexpr uint64_t kStreamTableBytes = 64 * 1024;
constexpr uint64_t kStreamTextBytes = 1024 * 1024;

// Runs `step`; when the memory runs out on the way, sets kErrorNotEnoughMemory and answers
// `failed` instead.
template <typename T, typename Step>
T GuardMemory(T failed, Step step) {
    try {
        return step();
    } catch (const std::bad_alloc&) {
        SetLastError(kErrorNotEnoughMemory);
        return failed;
    }
}

bool EndsPass(int32_t status) {
    return status < 0 || status > kStatusRunning;
}

}  // namespace

uint32_t NextRecordId(uint32_t id) {
    uint32_t high = id / kIdBlock;
    uint32_t low = id % kIdBlock;
    if (low + 1 <= kIdLowLast) {
        ++low;
    } else {
        low = 0;
        high = (high + 1) % kIdHighCount;
    }
    return high * kIdBlock + low;
}

CTessaryCan::CTessaryCan(const PathString& path, CanPara* para, StoreSizing sizing)
    : CInsFileRead(path), m_para(para) {
    if (sizing == StoreSizing::kStream) {
        m_store.Create(kStreamTableBytes, kStreamTextBytes);
        return;
    }
    const uint64_t dataSize = DataSize();
    const bool twoLines = OpenStatus() == kOpenOk && IsFileOpen() && !IsIns1500() &&
                          Header().dataKind == kDataKindIns64Bulk;
    const uint64_t divisor = twoLines ? 18 : 9;
    const uint64_t textFactor = twoLines ? 9 : 17;

    uint64_t tableBytes = RoundUpToGranule(8 * (dataSize / divisor));
    // A log too small for one table entry by the estimate still gets a table: its one or two
    // records must not fail as "out of memory".
    if (tableBytes == 0) {
        tableBytes = AllocationGranule();
    }
    if (tableBytes >= kMaxTableBytes) {
        tableBytes = 0;
    }
    m_store.Create(tableBytes, dataSize * textFactor + kTextReserve);
}

CTessaryCan::~CTessaryCan() {
    // The worker calls into this object: it must be gone before the store is.
    StopWorker(false);
    FreeText();
}

uint8_t* CTessaryCan::OptionByte() {
    return m_para != nullptr ? m_para->Flag : nullptr;
}

uint64_t CTessaryCan::PercentRead() const {
    const uint64_t dataSize = DataSize();
    return dataSize == 0 ? 0 : uint64_t{m_currentPosition} * 100 / dataSize;
}

MessageRecord* CTessaryCan::AppendRecord(std::u16string_view text) {
    return m_store.Append(text, PercentRead());
}

int32_t CTessaryCan::Deliver(MessageRecord* record) {
    return m_callback != nullptr ? m_callback(this, record, m_user) : kStatusDone;
}

int32_t CTessaryCan::StartPass(LineCallback callback, void* user, NotifyTarget* progressWindow) {
    if (IsWalking()) {
        SetLastError(kErrorInvalidFunction);
        return kStatusRunning;
    }
    const bool redeliver = m_para != nullptr && (m_para->Flag[1] & kFlag1Redeliver) != 0;
    if (!redeliver) {
        m_callback = callback;
        m_user = user;
        const int32_t status = StartConversion(progressWindow, kWmApp + 1);
        if (status == kStatusDone) {
            SetLastError(kErrorSuccess);
        } else if (status == -1) {
            SetLastError(LastError());
        }
        return status;
    }
    if (!IsUsable() || DataSize() == 0 || !IsDecodedDataKind(Header().dataKind)) {
        SetLastError(LastError());
        return -1;
    }
    m_callback = callback;
    m_user = user;
    m_currentPosition = 0;
    if (!LaunchWorker(progressWindow, kWmApp + 1, [this] { Redeliver(); })) {
        if (GetLastError() == kErrorSuccess) {
            SetLastError(kErrorInvalidFunction);
        }
        m_conversionStatus = kStatusNotStarted;
        return kStatusNotStarted;
    }
    SetLastError(kErrorSuccess);
    return kStatusDone;
}

void CTessaryCan::Redeliver() {
    int32_t status = kStatusRunning;
    auto lastCheck = std::chrono::steady_clock::now();
    bool firstCheck = true;
    const uint32_t count = m_store.LineCount();
    for (uint32_t i = m_store.FirstIndex(); i < count; ++i) {
        MessageRecord* record = m_store.Record(i);
        m_currentPosition = record->DataPos;
        status = CheckStop(lastCheck, firstCheck);
        firstCheck = false;
        if (status != kStatusRunning) {
            break;
        }
        const int32_t result = Deliver(record);
        if (EndsPass(result)) {
            status = result;
            break;
        }
    }
    if (status == kStatusRunning) {
        status = kStatusDone;
        m_currentPosition = DataSize();
    }
    EndWalk(status);
}

template <typename Write>
MessageRecord* CTessaryCan::AppendNewText(Write write) {
    return GuardMemory<MessageRecord*>(nullptr, [&] {
        m_text.Clear();
        write();
        return AppendRecord(m_text.View());
    });
}

int32_t CTessaryCan::OnBegin(uint8_t*) {
    MessageRecord* record = AppendNewText([this] {
        for (int i = 0; i < kBlockCount; ++i) {
            if (m_para != nullptr) {
                m_text.Append(ParseBlockDef(SlotText(m_para->BlockDef[i])).title);
            }
            m_text.Append(u'\n');
        }
        if (m_text.Length() < kTitleRecordWidth) {
            m_text.AppendRepeat(u' ', kTitleRecordWidth - m_text.Length());
        }
    });
    if (record == nullptr) {
        return kStatusOutOfMemory;
    }
    return Deliver(record);
}

int32_t CTessaryCan::OnRecord(uint8_t* record, int32_t) {
    return GuardMemory(kStatusOutOfMemory, [&] { return ConvertRecord(record); });
}

int32_t CTessaryCan::ConvertRecord(uint8_t* record) {
    m_currentBlock = -1;
    m_currentLayer = -1;
    m_currentCode = 0;
    m_currentCallRef = 0;
    m_currentFlags = 0;

    const InsRecordHeader header = ParseRecordHeader(record);
    unsigned kind = header.blockCode;
    // The walk only passes valid headers; never read past the record buffer all the same.
    const uint32_t length = std::min<uint32_t>(header.payloadLength, kMaxPayloadLength);
    if (kind == 0 && length > kMaxCheckedFrameLength) {
        kind = 6;
        record[2] = 6;
    }
    const int block = BlockOfRecord(header.direction, static_cast<uint8_t>(kind));
    if (block < 0) {
        return kStatusNoBlock;
    }
    m_currentBlock = block;

    m_text.Clear();
    AppendRecordHeader(m_text, m_idCounter, kind);
    const uint8_t* data = record + kRecordHeaderSize;
    int32_t outcome = kStatusDone;
    if (kind == 9) {
        m_currentLayer = kLayerStatus;
        AppendLayer1(m_text, data, length, IsIns1500());
    } else {
        outcome = BuildFrameText(data, length, header.direction, kind);
        if (EndsPass(outcome)) {
            return outcome;
        }
    }

    MessageRecord* message = AppendRecord(m_text.View());
    if (message == nullptr) {
        return kStatusOutOfMemory;
    }
    uint16_t flags = m_currentFlags;
    if (outcome == kStatusCrcError || outcome == kStatusOutOfScope) {
        flags |= kRecordError;
    }
    if (kind == 5) {
        flags |= kRecordDirectThrough;
    }
    message->DataPos = RecordPosition();
    message->Id = m_idCounter;
    message->Time = m_elapsed;
    message->Flags = flags;
    message->Block = static_cast<uint8_t>(m_currentBlock);
    message->Layer = m_currentLayer < 0 ? kNoLayer : static_cast<uint8_t>(m_currentLayer);
    message->Code = m_currentCode;
    message->CallRef = m_currentCallRef;

    const int32_t result = Deliver(message);
    if (result <= kStatusRunning) {
        m_idCounter = NextRecordId(m_idCounter);
    }
    return result;
}

int32_t CTessaryCan::BuildFrameText(const uint8_t* data, uint32_t length, uint8_t direction,
                                    unsigned kind) {
    const FrameBytes bytes = FrameBytesOf(data, length);
    int32_t outcome = kStatusDone;
    uint32_t frameLength = bytes.count;
    if (kind == 0) {
        if (CheckFrameFcs(bytes.data, bytes.count)) {
            frameLength = bytes.count - 2;
        } else {
            outcome = kStatusCrcError;
        }
    }
    if (outcome == kStatusDone) {
        FrameInput input;
        input.frame = bytes.data;
        input.length = frameLength;
        input.direction = direction;
        input.kind = static_cast<uint8_t>(kind);
        input.block = m_currentBlock;
        input.blockLen = m_para != nullptr ? m_para->BlockLen : 48;
        FrameFields fields;
        outcome = DecodeFrame(input, m_text, fields);
        if (EndsPass(outcome)) {
            return outcome;
        }
        if (outcome != kStatusDone) {
            outcome = kStatusOutOfScope;
        }
        m_currentLayer = fields.layer;
        m_currentCode = fields.code;
        m_currentCallRef = fields.callRef;
        m_currentFlags = fields.flags & kRecordIncomingCall;
    }
    if (outcome == kStatusCrcError) {
        m_text.Append(kCrcErrorMark);
    } else if (outcome == kStatusOutOfScope) {
        m_text.Append(kOutOfScopeMark);
    }
    m_text.Append(u'\n');
    AppendHexRows(m_text, bytes.data, bytes.count, u"\n");
    if (kind == 5) {
        m_text.Append(kDirectThroughMark);
    }
    return outcome;
}

int32_t CTessaryCan::OnWarning(uint32_t kind) {
    CInsFileRead::OnWarning(kind);
    MessageRecord* record = AppendNewText([&] {
        m_text.AppendFormat("ID=%07u Warning=%u FilePos=%08Xh(%08Xh)", m_idCounter, kind + 1,
                            FileOffsetOf(CurrentPosition()), FileOffsetOf(NextPosition()));
    });
    if (record == nullptr) {
        return kStatusOutOfMemory;
    }
    record->Id = m_idCounter;
    record->Flags = kRecordWarning;
    record->Code = static_cast<int32_t>(m_warningMask);
    return Deliver(record);
}

MessageRecord* CTessaryCan::FindLaidOut(uint32_t index) const {
    if (!m_store.HasTable()) {
        return nullptr;
    }
    const int slot = m_para != nullptr && (m_para->Flag[1] & kFlag1SecondRowSlot) != 0 ? 1 : 0;
    for (uint32_t i = std::max(index, m_store.FirstIndex()); i < m_store.LineCount(); ++i) {
        MessageRecord* record = m_store.Record(i);
        if (record->RowSlot[slot] >= 0) {
            return record;
        }
    }
    return nullptr;
}

uint64_t CTessaryCan::RoomOf(const MessageRecord* record) const {
    const uint32_t i = record->Index;
    if (i < m_store.LineCount() && m_store.Record(i) == record) {
        return m_store.TextRoom(i);
    }
    return std::char_traits<char16_t>::length(record->Text()) + 1;
}

size_t CTessaryCan::FormatTime(MessageRecord* record) {
    if (record == nullptr || !m_store.HasText()) {
        return 0;
    }
    // The record's slot bounds the rewrite; a record not in this store may only shrink.
    const uint64_t room = RoomOf(record);
    const unsigned dateFormat = m_para != nullptr ? DateFormatOf(*m_para) : 0;
    return RewriteTimeText(record->Text(), room, BaseTime(), record->Time, dateFormat);
}

void CTessaryCan::FreeText() {
    if (m_store.HasTable()) {
        TraceRelease("CTessaryCan", "TblCnt", m_store.LineCount(), m_store.TableCapacity(),
                     [this] { m_store.DestroyTable(); });
    }
    if (m_store.HasText()) {
        TraceRelease("CTessaryCan", "TextBuff", m_store.TextUsed(), m_store.TextCapacity(),
                     [this] { m_store.DestroyText(); });
    }
    m_store.DestroyTable();
    m_store.DestroyText();
}

std::u16string CTessaryCan::LY1Legend(int value) const {
    std::u16string legend;
    const unsigned lineSelection = m_para != nullptr ? LineSelectionOf(*m_para) : 0;
    AppendLy1Legend(legend, value, IsIns1500(), Header().dataKind == kDataKindIns64Bulk,
                    LineLabel(lineSelection));
    return legend;
}

}  // namespace tessary
