#include "cli/PcapStream.h"

#include <cstdio>

#include "logfile/InsLogFormat.h"
#include "logfile/LogTime.h"
#include "logfile/Status.h"
#include "platform/ErrorText.h"
#include "platform/TimeMath.h"

namespace tessary::cli {
namespace {

constexpr size_t kFlushSize = 1 << 16;

}  // namespace

bool PcapConsumer::Open(const std::string& path) {
    if (!m_file.Create(path, false)) {
        m_error = ErrorOrOne();
        return false;
    }
    m_writer.AppendSectionHeader(m_buffer);
    m_writer.AppendInterface(m_buffer, kLinkTypeLapd);
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
    m_writer.AppendPacket(m_buffer, timestamp, frame, length, flags,
                          std::string_view(comment, n > 0 ? static_cast<size_t>(n) : 0));
    if (m_buffer.size() >= kFlushSize && !Flush()) {
        return kStatusWriteError;
    }
    return kStatusDone;
}

void PcapConsumer::RecordsInUse(const CTessaryCan& converter, uint32_t& keepFrom, uint32_t& pin) {
    keepFrom = converter.LineCount();
    pin = kNoRecordIndex;
}

bool PcapConsumer::Flush() {
    if (m_error != 0) {
        return false;
    }
    if (!m_buffer.empty()) {
        if (!m_file.WriteAt(m_offset, m_buffer.data(), static_cast<uint32_t>(m_buffer.size()))) {
            m_error = ErrorOrOne();
            return false;
        }
        m_offset += m_buffer.size();
        m_buffer.clear();
    }
    return true;
}

bool PcapConsumer::Close() {
    if (!Flush()) {
        m_file.Close();
        return false;
    }
    if (!m_file.Close()) {
        m_error = ErrorOrOne();
        return false;
    }
    return true;
}

}  // namespace tessary::cli
