#include "tools/PcapngExport.h"

#include <cstdio>
#include <memory>
#include <new>

#include "decode/CTessaryCan.h"
#include "decode/CanPara.h"
#include "decode/MessageRecord.h"
#include "logfile/InsLogFormat.h"
#include "logfile/LogTime.h"
#include "logfile/Status.h"
#include "platform/Calendar.h"
#include "platform/ErrorText.h"
#include "platform/LastError.h"
#include "platform/TimeMath.h"
#include "platform/WinError.h"

namespace tessary {

namespace {

constexpr uint32_t kSectionHeaderBlock = 0x0A0D0D0A;
constexpr uint32_t kInterfaceBlock = 1;
constexpr uint32_t kEnhancedPacketBlock = 6;
constexpr uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr uint16_t kOptEnd = 0;
constexpr uint16_t kOptComment = 1;
constexpr uint16_t kOptEpbFlags = 2;
constexpr uint16_t kOptTsResol = 9;
constexpr uint32_t kSnapLength = 0;  // no limit
// 1970-01-01 in ticks since 1601-01-01.
constexpr int64_t kUnixEpochTicks = 116444736000000000;
constexpr uint32_t kMaxFcsKindLength = 264;
constexpr size_t kFlushSize = 1 << 16;

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

void Pad4(std::vector<uint8_t>& out, size_t length) {
    for (size_t i = length; i % 4 != 0; ++i) {
        out.push_back(0);
    }
}

void PutOption(std::vector<uint8_t>& out, uint16_t code, const void* value, uint16_t length) {
    Put16(out, code);
    Put16(out, length);
    const auto* bytes = static_cast<const uint8_t*>(value);
    out.insert(out.end(), bytes, bytes + length);
    Pad4(out, length);
}

// Opens a block: type and a length placeholder; returns where the block starts.
size_t BeginBlock(std::vector<uint8_t>& out, uint32_t type) {
    const size_t start = out.size();
    Put32(out, type);
    Put32(out, 0);
    return start;
}

// Closes a block: the trailing length, copied into the placeholder too.
void EndBlock(std::vector<uint8_t>& out, size_t start) {
    const uint32_t length = static_cast<uint32_t>(out.size() - start + 4);
    Put32(out, length);
    for (int i = 0; i < 4; ++i) {
        out[start + 4 + i] = static_cast<uint8_t>(length >> (8 * i));
    }
}

}  // namespace

void PcapngWriter::AppendSectionHeader(std::vector<uint8_t>& out) const {
    const size_t start = BeginBlock(out, kSectionHeaderBlock);
    Put32(out, kByteOrderMagic);
    Put16(out, 1);  // version 1.0
    Put16(out, 0);
    Put32(out, 0xFFFFFFFF);  // section length not given
    Put32(out, 0xFFFFFFFF);
    EndBlock(out, start);
}

void PcapngWriter::AppendInterface(std::vector<uint8_t>& out, uint16_t linkType) const {
    const size_t start = BeginBlock(out, kInterfaceBlock);
    Put16(out, linkType);
    Put16(out, 0);
    Put32(out, kSnapLength);
    PutOption(out, kOptTsResol, &m_resolution, 1);
    PutOption(out, kOptEnd, nullptr, 0);
    EndBlock(out, start);
}

void PcapngWriter::AppendPacket(std::vector<uint8_t>& out, uint64_t timestamp, const uint8_t* data,
                                uint32_t length, uint32_t flags, std::string_view comment) const {
    const size_t start = BeginBlock(out, kEnhancedPacketBlock);
    Put32(out, 0);  // interface 0
    Put32(out, static_cast<uint32_t>(timestamp >> 32));
    Put32(out, static_cast<uint32_t>(timestamp));
    Put32(out, length);
    Put32(out, length);
    if (length > 0) {
        out.insert(out.end(), data, data + length);
    }
    Pad4(out, length);
    uint8_t flagBytes[4];
    for (int i = 0; i < 4; ++i) {
        flagBytes[i] = static_cast<uint8_t>(flags >> (8 * i));
    }
    PutOption(out, kOptEpbFlags, flagBytes, 4);
    if (!comment.empty()) {
        PutOption(out, kOptComment, comment.data(), static_cast<uint16_t>(comment.size()));
    }
    PutOption(out, kOptEnd, nullptr, 0);
    EndBlock(out, start);
}

uint64_t PcapngWriter::Timestamp(int64_t ticks) const {
    if (ticks <= kUnixEpochTicks) {
        return 0;
    }
    const uint64_t since = static_cast<uint64_t>(ticks - kUnixEpochTicks);
    return m_resolution == kResolutionMs ? since / kTicksPerMs : since / 10;
}

bool FrameOfRecord(const uint8_t* record, uint32_t size, const uint8_t*& frame,
                   uint32_t& frameLength, uint32_t& flags) {
    if (record == nullptr || size < kRecordHeaderSize || !IsValidRecordHeader(record)) {
        return false;
    }
    const InsRecordHeader header = ParseRecordHeader(record);
    if (size < kRecordHeaderSize + header.payloadLength) {
        return false;
    }
    unsigned kind = header.blockCode;
    if (kind == 0 && header.payloadLength > kMaxFcsKindLength) {
        kind = 6;  // as the converter shows it: no frame check, the last two bytes are frame
    }
    const int block = BlockOfRecord(header.direction, header.blockCode);
    if (kind > 8 || block < 0) {
        return false;
    }
    const uint8_t* data = record + kRecordHeaderSize;
    uint32_t length = header.payloadLength;
    if (length >= 2 && data[0] == 0x01) {
        ++data;
        --length;
    }
    if (kind == 0) {
        length = length >= 2 ? length - 2 : 0;
    }
    frame = data;
    frameLength = length;
    // A (0) and C (2) are what the board transmits; B (1) and D (3) what it receives.
    flags = block == 0 || block == 2 ? kPacketOutbound : kPacketInbound;
    return true;
}

PcapngResult ExportPcapng(CTessaryCan& converter, const PathString& outPath, uint8_t resolution) {
    PcapngResult result;
    try {
        const PcapngWriter writer(resolution);
        PcapngOutput output;
        if (!output.Open(outPath)) {
            result.status = kStatusWriteError;
            result.error = output.Error();
            return result;
        }
        writer.AppendSectionHeader(output.Buffer());
        writer.AppendInterface(output.Buffer(), kLinkTypeLapd);

        uint8_t record[kRecordHeaderSize + kMaxPayloadLength];
        const int64_t base = converter.BaseTime();
        const uint32_t count = converter.LineCount();
        for (uint32_t i = 1; i < count; ++i) {  // record 0 is the title
            const MessageRecord* message = converter.Record(i);
            if ((message->Flags & kRecordWarning) != 0 || message->Block == kNoBlock ||
                message->Layer == kLayerStatus) {
                continue;
            }
            if (converter.ReadAt(record, message->DataPos, kRecordHeaderSize) !=
                    kRecordHeaderSize ||
                !IsValidRecordHeader(record)) {
                result.status = 1;
                result.error = converter.LastError();
                return result;
            }
            const uint32_t payload = ParseRecordHeader(record).payloadLength;
            if (payload > 0 &&
                converter.ReadAt(record + kRecordHeaderSize, message->DataPos + kRecordHeaderSize,
                                 payload) != payload) {
                result.status = 1;
                result.error = converter.LastError();
                return result;
            }
            const uint8_t* frame = nullptr;
            uint32_t length = 0;
            uint32_t flags = 0;
            if (!FrameOfRecord(record, kRecordHeaderSize + payload, frame, length, flags)) {
                continue;
            }
            int64_t ticks = 0;
            const uint64_t timestamp =
                base != 0 && AddMsToTicks(base, message->Time, ticks) ? writer.Timestamp(ticks) : 0;
            char comment[32];
            const int n = std::snprintf(comment, sizeof(comment), "ID=%07u block %c", message->Id,
                                        static_cast<char>('A' + message->Block));
            writer.AppendPacket(output.Buffer(), timestamp, frame, length, flags,
                                std::string_view(comment, n > 0 ? static_cast<size_t>(n) : 0));
            ++result.packets;
            if (!output.FlushIfFull()) {
                break;
            }
        }
        if (!output.Close()) {
            result.status = kStatusWriteError;
            result.error = output.Error();
        }
    } catch (const std::bad_alloc&) {
        result.status = kStatusWriteError;
        result.error = kErrorNotEnoughMemory;
    }
    return result;
}

PcapngResult ExportPcapngFile(const PathString& logPath, CanPara& para, const PathString& outPath,
                              uint8_t resolution) {
    PcapngResult result;
    auto converter = std::make_unique<CTessaryCan>(logPath, &para);
    if (converter->OpenStatus() != kOpenOk) {
        result.status = 1;
        result.error = converter->LastError();
        return result;
    }
    const int32_t start = converter->StartPass(nullptr, nullptr, nullptr);
    if (start != kStatusDone) {
        result.status = start == -1 ? 1 : 3;
        result.error = GetLastError();
        return result;
    }
    converter->WaitForWalk();
    if (converter->ConversionStatus() != kStatusDone) {
        result.status = 3;
        result.error = GetLastError();
        return result;
    }
    // A ring whose base comes from its end time: record times follow that base.
    if (converter->CorrectionState() > 0) {
        const int64_t correction = BaseOffsetFromEndTime(converter->EndTime(), converter->Elapsed(),
                                                         converter->StartTime());
        converter->SetStartCorrectionValue(correction);
        converter->SetBaseTime(correction);
    }
    return ExportPcapng(*converter, outPath, resolution);
}

bool PcapngOutput::Open(const PathString& path) {
    if (!m_file.Create(path, false)) {
        m_error = ErrorOrOne();
        return false;
    }
    return true;
}

bool PcapngOutput::FlushIfFull() {
    return m_buffer.size() < kFlushSize || Flush();
}

bool PcapngOutput::Flush() {
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

bool PcapngOutput::Close() {
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

}  // namespace tessary
