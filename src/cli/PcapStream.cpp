#include "cli/PcapStream.h"

#include <cstdio>

#include "logfile/InsLogFormat.h"
#include "logfile/LogTime.h"
#include "logfile/Status.h"
#include "platform/TimeMath.h"

namespace tessary::cli {
bool PcapConsumer::Open(const std::string& path) {
    if (!m_output.Open(path)) {
        return false;
    }
    m_writer.AppendSectionHeader(m_output.Buffer());
    m_writer.AppendInterface(m_output.Buffer(), kLinkTypeLapd);
    return true;
}

int32_t PcapConsumer::Consume(CTessaryCan& converter, MessageRecord& message) {
    // The title record, warnings and layer-1 records carry no frame.
    if (message.Index == 0 || (message.Flags & kRecordWarning) != 0 || message.Block == kNoBlock ||
        message.Layer == kLayerStatus) {
        return kStatusDone;
    }
    // The log record itself, still in the reader's cache: the frame goes out as it was read.
    uint8_t record[kRecordHeaderSize + kMaxPayloadLength];
    if (converter.ReadAt(record, message.DataPos, kRecordHeaderSize) != kRecordHeaderSize ||
        !IsValidRecordHeader(record)) {
        m_readError = converter.LastError();
        return kStatusReadError;
    }
    const uint32_t payload = ParseRecordHeader(record).payloadLength;
    if (payload > 0 && converter.ReadAt(record + kRecordHeaderSize,
                                        message.DataPos + kRecordHeaderSize, payload) != payload) {
        m_readError = converter.LastError();
        return kStatusReadError;
    }
    const uint8_t* frame = nullptr;
    uint32_t length = 0;
    uint32_t flags = 0;
    if (!FrameOfRecord(record, kRecordHeaderSize + payload, frame, length, flags)) {
        return kStatusDone;
    }
    const int64_t base = converter.BaseTime();
    int64_t ticks = 0;
    const uint64_t timestamp =
        base != 0 && AddMsToTicks(base, message.Time, ticks) ? m_writer.Timestamp(ticks) : 0;
    char comment[32];
    const int n = std::snprintf(comment, sizeof(comment), "ID=%07u block %c", message.Id,
                                static_cast<char>('A' + message.Block));
    m_writer.AppendPacket(m_output.Buffer(), timestamp, frame, length, flags,
                          std::string_view(comment, n > 0 ? static_cast<size_t>(n) : 0));
    if (!m_output.FlushIfFull()) {
        return kStatusWriteError;
    }
    return kStatusDone;
}

void PcapConsumer::RecordsInUse(const CTessaryCan& converter, uint32_t& keepFrom, uint32_t& pin) {
    keepFrom = converter.LineCount();
    pin = kNoRecordIndex;
}

bool PcapConsumer::Close() {
    return m_output.Close();
}

}  // namespace tessary::cli
