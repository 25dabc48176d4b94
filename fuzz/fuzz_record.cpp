// Arbitrary bytes as the payload of one record, with every kind and direction: the layer 2/3
// decoders and the element routines on an exact-size copy (so that any read past the frame is
// caught), the layer-1 text, the hex rows, and the converter's whole record path through a
// one-record log laid out by the main window's layout.
//
// Input: byte 0 selects direction (bits 0-1: T R t r) and kind (bits 2-5, taken modulo 10),
// byte 1 the wrap width and the board, the rest is the payload (at most 266 bytes).
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "decode/CTessaryCan.h"
#include "decode/Elements.h"
#include "decode/FrameDecoder.h"
#include "decode/Layer2.h"
#include "decode/Layer3.h"
#include "decode/RecordText.h"
#include "display/DisplayLineTable.h"
#include "logfile/InsLogFormat.h"
#include "logfile/Status.h"
#include "mainwnd/RecordLayout.h"

using namespace tessary;

namespace {

constexpr uint8_t kDirections[4] = {'T', 'R', 't', 'r'};

std::vector<uint8_t> OneRecordLog(uint8_t direction, uint8_t kind,
                                  const std::vector<uint8_t>& payload, bool ins1500, bool bulk) {
    InsLogHeader header;
    header.startYear = 2024;
    header.startMonth = 6;
    header.startDay = 7;
    header.startHour = 12;
    header.startMinute = 34;
    header.startSecond = 56;
    header.dataKind = bulk ? kDataKindIns64Bulk : kDataKindInsSingle;
    header.boardKind = ins1500 ? 0x0003 : 0x0001;
    header.dataByteCount = static_cast<uint32_t>(kRecordHeaderSize + payload.size());
    std::vector<uint8_t> bytes(kInsHeaderSize + header.dataByteCount);
    uint8_t head[kInsHeaderSize];
    SerializeInsLogHeader(header, head);
    std::memcpy(bytes.data(), head, kInsHeaderSize);
    InsRecordHeader record;
    record.mark = kRecordMark;
    record.direction = direction;
    record.blockCode = kind;
    record.payloadLength = static_cast<uint16_t>(payload.size());
    record.timeCount = 1000;
    SerializeRecordHeader(record, bytes.data() + kInsHeaderSize);
    if (!payload.empty()) {
        std::memcpy(bytes.data() + kInsHeaderSize + kRecordHeaderSize, payload.data(),
                    payload.size());
    }
    return bytes;
}

void DecodeDirectly(const std::vector<uint8_t>& payload, uint8_t direction, uint8_t kind,
                    int blockLen, bool ins1500) {
    TextBuilder text;
    // Exact-size copies: ASan sees any read past the end.
    const std::unique_ptr<uint8_t[]> data(new uint8_t[payload.size() + 1]);
    if (!payload.empty()) {
        std::memcpy(data.get(), payload.data(), payload.size());
    }
    const uint32_t count = static_cast<uint32_t>(payload.size());
    if (kind == 9) {
        AppendLayer1(text, count > 0 ? data.get() : nullptr, count, ins1500);
        return;
    }
    const FrameBytes bytes = FrameBytesOf(data.get(), count);
    fuzz::Require(bytes.count <= count, "frame inside the payload");
    uint32_t frameLength = bytes.count;
    if (kind == 0 && CheckFrameFcs(bytes.data, bytes.count)) {
        frameLength -= 2;
    }
    std::unique_ptr<uint8_t[]> frame(new uint8_t[frameLength == 0 ? 1 : frameLength]);
    if (frameLength > 0) {
        std::memcpy(frame.get(), bytes.data, frameLength);
    }
    FrameInput input;
    input.frame = frame.get();
    input.length = frameLength;
    input.direction = direction;
    input.kind = kind;
    input.block = BlockOfRecord(direction, kind);
    input.blockLen = blockLen;
    FrameFields fields;
    const int32_t outcome = DecodeFrame(input, text, fields);
    fuzz::Require(outcome == kStatusDone || outcome == kStatusOutOfScope, "frame outcome");
    AppendHexRows(text, bytes.data, bytes.count, u"\n", u"  ", u" ");

    // The element routines over the frame taken as an element area.
    const int32_t length = static_cast<int32_t>(frameLength);
    TextBuilder elements;
    ChannelSummary(frame.get(), length, elements);
    NumberSummary(frame.get(), length, NumberParty::kCalling, elements);
    NumberSummary(frame.get(), length, NumberParty::kCalled, elements);
    ElementRows(frame.get(), length, blockLen, elements);
    const uint8_t* cursor = frame.get();
    int32_t remaining = length;
    for (int guard = 0; guard < 300 && remaining > 0; ++guard) {
        const uint8_t* at = cursor;
        const int32_t found = FindElement(cursor, remaining, -1);
        if (found <= 1) {
            break;
        }
        fuzz::Require(found <= remaining, "element inside the area");
        DecodeElement(cursor, found, elements);
        cursor += found;
        remaining -= found;
        fuzz::Require(cursor > at, "the element search moves on");
    }
    if (length > 0) {
        FrameFields layer3Fields;
        DecodeLayer3(frame.get(), length, input, elements, layer3Fields);
    }
}

class Counter : public NotifyTarget {
public:
    void PostNotify(uint32_t, uintptr_t, void*) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::MemoryFile file;
    static CanPara defaults = [] {
        CanPara para;
        ResetPara(para);
        return para;
    }();
    fuzz::InputCursor in(data, size);
    const uint8_t select = in.Byte();
    const uint8_t knob = in.Byte();
    const uint8_t direction = kDirections[select & 3];
    const uint8_t kind = static_cast<uint8_t>(((select >> 2) & 15) % 10);
    const int blockLen = 1 + (knob & 0x7F);
    const bool ins1500 = (knob & 0x80) != 0;
    const std::string_view rest = in.Rest();
    std::vector<uint8_t> payload(rest.begin(), rest.end());
    if (payload.size() > kMaxPayloadLength) {
        payload.resize(kMaxPayloadLength);
    }
    // A kind-0 record over 264 bytes is taken as kind 6.
    const uint8_t decodedKind = kind == 0 && payload.size() > kMaxCheckedFrameLength ? 6 : kind;
    if (BlockOfRecord(direction, decodedKind) >= 0) {
        DecodeDirectly(payload, direction, decodedKind, blockLen, ins1500);
    }

    CanPara para = defaults;
    para.BlockLen = blockLen;
    para.Flag[0] = static_cast<uint8_t>(para.Flag[0] | ((select >> 6) << 2));  // line selection
    const bool lower = direction == 't' || direction == 'r';
    file.Write(
        OneRecordLog(direction, kind, payload, ins1500, lower || (select & 0x40) != 0).data(),
        kInsHeaderSize + kRecordHeaderSize + payload.size());
    CTessaryCan converter(file.Path(), &para);
    if (converter.OpenStatus() != kOpenOk) {
        return 0;
    }
    SearchCondition conditions[kMarkIfTextCount];
    DisplaySource source;
    source.para = &para;
    source.conditions = conditions;
    DisplayLineTable table;
    table.SetSource(source);
    Counter notify;
    if (converter.StartPass(&LayoutRecord, &table, &notify) == kStatusDone) {
        converter.WaitForWalk();
        const int32_t status = converter.ConversionStatus();
        fuzz::Require(status == kStatusDone || status == kStatusNoBlock, "one-record status");
        for (uint32_t i = 0; i < converter.LineCount(); ++i) {
            fuzz::Require(converter.Record(i)->Index == i, "record index");
        }
    }
    table.FreeText();
    return 0;
}
