// The small text routines on arbitrary text: the correction window's date/time input (parser,
// and the whole apply step against a loaded header with any line time and correction), the
// block definitions (split, format, indents, titles, the indent sort of the copy settings), the
// padding and row helpers, and the in-place rewrite of a record's time text.
//
// Input: 8 selector bytes, then the text (byte 0 bit 0: raw UTF-16 units, else UTF-8).
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "decode/CanPara.h"
#include "decode/MessageRecord.h"
#include "decode/RecordText.h"
#include "logfile/CLogFileRead.h"
#include "logfile/InsLogFormat.h"
#include "mainwnd/CopyText.h"
#include "platform/Calendar.h"
#include "platform/UiService.h"
#include "tools/CorrectionEdit.h"
#include "tools/DateTimeInput.h"
#include "tools/StartCorrection.h"

using namespace tessary;

namespace {

// Answers every question Yes; no box may be empty.
class YesUi : public UiService {
public:
    Answer ShowMessage(std::u16string_view text, std::u16string_view, MessageIcon,
                       MessageButtons buttons) override {
        fuzz::Require(!text.empty(), "empty message box");
        return buttons == MessageButtons::kOk ? Answer::kOk : Answer::kYes;
    }
    bool CloseMessage(std::u16string_view) override { return false; }
    bool AskOpenFile(OpenFileRequest&) override { return false; }
    bool AskFolder(std::u16string_view, PathString&) override { return false; }
    bool AskColor(std::u16string_view, uint32_t&) override { return false; }
};

// A header-only log (valid, no data): enough for the correction window.
CLogFileRead& Reader() {
    static fuzz::MemoryFile file;
    static std::unique_ptr<CLogFileRead> reader = [] {
        InsLogHeader header;
        header.startYear = 2024;
        header.startMonth = 6;
        header.startDay = 7;
        header.startHour = 12;
        header.dataKind = kDataKindInsSingle;
        uint8_t bytes[kInsHeaderSize];
        SerializeInsLogHeader(header, bytes);
        file.Write(bytes, sizeof bytes);
        auto made = std::make_unique<CLogFileRead>(file.Path());
        fuzz::Require(made->OpenStatus() == 0, "header-only log");
        return made;
    }();
    return *reader;
}

int64_t Int64Of(const uint8_t* bytes) {
    int64_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

void DateTimeInput(std::u16string_view text, const uint8_t* select) {
    SystemTime time{};
    int64_t ticks = 0;
    if (ParseDateTimeInput(text, time, ticks)) {
        SystemTime back{};
        fuzz::Require(IsRepresentable(time) && TicksToSystemTime(ticks, back), "parsed time");
        fuzz::Require(back.year == time.year && back.month == time.month && back.day == time.day &&
                          back.hour == time.hour && back.minute == time.minute &&
                          back.second == time.second && back.milliseconds == time.milliseconds,
                      "ticks of the parsed time");
    }

    // The apply step with a line time and a correction of the input's choosing.
    CLogFileRead& reader = Reader();
    const int64_t savedCorrection = reader.StartCorrection();
    const int64_t correction = Int64Of(select) >> 28;  // about the 36-bit range and beyond
    reader.SetStartCorrectionValue(correction);
    reader.SetBaseTime(IsCorrectionInRange(correction) ? correction : 0);
    alignas(MessageRecord) uint8_t storage[sizeof(MessageRecord) + 2] = {};
    auto* line = reinterpret_cast<MessageRecord*>(storage);
    line->Time = Int64Of(select) >> (select[0] & 31);
    line->Layer = kLayerFrame;
    line->Block = 0;
    CorrectionEdit edit;
    if (edit.Init(&reader, line)) {
        YesUi ui;
        if (edit.Apply(text, u"補正", ui)) {
            fuzz::Require(IsCorrectionInRange(reader.StartCorrection()), "applied correction");
        }
    } else {
        fuzz::Require(!edit.Message().empty(), "init message");
    }
    reader.SetStartCorrectionValue(savedCorrection);
    reader.SetBaseTime(savedCorrection);
}

void BlockDefinitions(std::u16string_view text, const uint8_t* select) {
    const BlockDefParts parts = ParseBlockDef(text);
    fuzz::Require(parts.indent.size() + parts.title.size() <= text.size(), "parts");
    fuzz::Require(parts.position >= -1, "position");
    char16_t slot[kBlockDefUnits];
    const int position = static_cast<int8_t>(select[1]) * (select[2] | 1);
    FormatBlockDef(slot, parts.indent, text, position);
    const std::u16string_view written = SlotText(slot);
    fuzz::Require(written.size() < kBlockDefUnits, "slot terminated");
    const BlockDefParts again = ParseBlockDef(written);
    fuzz::Require(again.indent.size() + again.title.size() <= kBlockDefPartMax, "parts fit");

    CanPara para;
    ResetPara(para);
    para.TabLen = 1 + (select[3] & 0x7F);
    // Four definitions cut from the text.
    for (int i = 0; i < kBlockCount; ++i) {
        const size_t from = text.size() * static_cast<size_t>(i) / kBlockCount;
        CopyToSlot(para.BlockDef[i], text.substr(from));
        fuzz::Require(SlotText(para.BlockDef[i]).size() < kBlockDefUnits, "copied slot");
        BlockPosition(para, i);
    }
    BlockPosition(para, select[4]);
    std::u16string titles;
    BlockTitles(para, titles);
    // The sort keeps every indent when the definitions fit their slots once rewritten.
    bool fits = true;
    for (int i = 0; i < kBlockCount; ++i) {
        const BlockDefParts stored = ParseBlockDef(SlotText(para.BlockDef[i]));
        fits = fits && stored.indent.size() + stored.title.size() <= 100 && stored.position < 10000;
    }
    NormalizeBlockIndents(para);
    size_t previous = 0;
    for (int i = 0; i < kBlockCount && fits; ++i) {
        const size_t width = IndentWidth(SlotText(para.BlockDef[i]), para.TabLen);
        fuzz::Require(width >= previous, "indents sorted");
        previous = width;
    }

    std::u16string out = u"x";
    const size_t added = IndentText(out, text);
    fuzz::Require(out.size() == 1 + added, "indent count");
}

void RowsAndPadding(std::u16string_view text, const uint8_t* select) {
    for (int row = -1; row <= 4; ++row) {
        const RowSpan span = RowOf(text, row);
        if (span.offset >= 0) {
            fuzz::Require(
                static_cast<size_t>(span.offset) + static_cast<size_t>(span.length) <= text.size(),
                "row inside the text");
        }
    }
    std::u16string padded(text);
    const int count = static_cast<int8_t>(select[5]);
    const size_t length = PadText(padded, count);
    fuzz::Require(length == padded.size(), "pad length");
    fuzz::Require(padded.find_first_not_of(u' ') == std::u16string::npos, "pad blanks");
    if (count > 0) {
        fuzz::Require(padded.size() == static_cast<size_t>(count), "pad count");
    }
}

void TimeText(std::u16string_view text, const uint8_t* select) {
    // The text in a room of exactly its size plus some slack, so that ASan sees any overrun.
    const size_t room = text.size() + 1 + (select[6] & 31);
    std::unique_ptr<char16_t[]> buffer(new char16_t[room]);
    std::memcpy(buffer.get(), text.data(), text.size() * sizeof(char16_t));
    buffer[text.size()] = u'\0';
    for (size_t i = text.size() + 1; i < room; ++i) {
        buffer[i] = u'#';
    }
    const int64_t base = 504911232000000000 + (Int64Of(select) & 0xFFFFFFFFFFFF);
    const int64_t ms = static_cast<int64_t>(static_cast<int32_t>(Int64Of(select) >> 16));
    RewriteTimeText(buffer.get(), room, base, ms, select[7] & 3);
    bool terminated = false;
    for (size_t i = 0; i < room && !terminated; ++i) {
        terminated = buffer[i] == u'\0';
    }
    fuzz::Require(terminated, "rewritten text terminated");
    RewriteTimeText(buffer.get(), room, Int64Of(select), ms, select[7] >> 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t select[8] = {};
    std::memcpy(select, data, size < 8 ? size : 8);
    const std::string_view rest(reinterpret_cast<const char*>(data) + (size < 8 ? size : 8),
                                size < 8 ? 0 : size - 8);
    const std::u16string text = fuzz::TextOf(rest, (select[0] & 1) != 0);
    DateTimeInput(text, select);
    BlockDefinitions(text, select);
    RowsAndPadding(text, select);
    TimeText(text, select);
    return 0;
}
