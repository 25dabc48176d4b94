// Arbitrary definition strings «mark;pattern;mask» through ParseDefinition, FormatDefinition,
// Compile and Match, against decoded record texts and against a text from the input, with the
// search-hit ranges the highlight draws.
//
// Input: byte 0 (bit 0: the texts are raw UTF-16 units, else UTF-8; bits 1-7: mark width - 1,
// 0x7F for none), then the definition up to a 0x00 byte, then the text.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "decode/CTessaryCan.h"
#include "decode/SearchCondition.h"
#include "decode/SearchDefinition.h"
#include "decode/SearchFind.h"
#include "logfile/InsLogFormat.h"
#include "logfile/Status.h"
#include "platform/Width.h"

using namespace tessary;

namespace {

// Decoded texts of typical records, made once by the converter from a byte-built log.
std::vector<std::u16string> DecodedTexts() {
    static const uint8_t kRecords[][24] = {
        // kind 9 layer 1, SETUP (I frame) with bearer and channel, RR, SABME, UA.
        {0xFF, 'T', 9, 2, 0, 0x10, 0, 0, 0, 0x05, 0x01},
        {0xFF, 'T',  1,    12,   0,    0x20, 0,    0,    0,    0x00, 0x81,
         0x00, 0x00, 0x08, 0x01, 0x01, 0x05, 0x04, 0x02, 0x88, 0x90},
        {0xFF, 'R', 1, 4, 0, 0x30, 0, 0, 0, 0x02, 0x81, 0x01, 0x03},
        {0xFF, 'R', 2, 3, 0, 0x40, 0, 0, 0, 0x00, 0x81, 0x7F},
        {0xFF, 'T', 3, 3, 0, 0x50, 0, 0, 0, 0x02, 0x81, 0x73},
        {0xFF, 'R', 4, 10, 0, 0x60, 0, 0, 0, 0x02, 0x81, 0x02, 0x02, 0x08, 0x01, 0x81, 0x45, 0x08,
         0x02},
    };
    std::vector<uint8_t> log(kInsHeaderSize);
    InsLogHeader header;
    header.startYear = 2024;
    header.startMonth = 6;
    header.startDay = 7;
    header.dataKind = kDataKindInsSingle;
    header.boardKind = 1;
    for (const auto& record : kRecords) {
        log.insert(log.end(), record, record + kRecordHeaderSize + record[3]);
    }
    header.dataByteCount = static_cast<uint32_t>(log.size() - kInsHeaderSize);
    uint8_t head[kInsHeaderSize];
    SerializeInsLogHeader(header, head);
    std::copy(head, head + kInsHeaderSize, log.begin());

    fuzz::MemoryFile file;
    file.Write(log.data(), log.size());
    CanPara para;
    ResetPara(para);
    CTessaryCan converter(file.Path(), &para);
    std::vector<std::u16string> texts;
    if (converter.StartPass(nullptr, nullptr, nullptr) == kStatusDone) {
        converter.WaitForWalk();
        for (uint32_t i = 0; i < converter.LineCount(); ++i) {
            texts.emplace_back(converter.Record(i)->TextView());
        }
    }
    fuzz::Require(texts.size() > 1, "decoded texts");
    return texts;
}

void MatchAndMark(SearchCondition& condition, std::u16string_view text, bool compiled) {
    const int result = condition.Match(text);
    fuzz::Require(result == 0 || result == 1, "match result");
    fuzz::Require(compiled || result == 1, "a failed compile never matches");
    fuzz::Require(result == 1 || !text.empty(), "an empty text never matches");
    condition.ForEachHitRange(text, [&](size_t offset, size_t length) {
        fuzz::Require(offset + length <= text.size() && length > 0, "hit inside the text");
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<std::u16string> decoded = DecodedTexts();
    fuzz::InputCursor in(data, size);
    const uint8_t select = in.Byte();
    const bool raw = (select & 1) != 0;
    const int markWidth = (select >> 1) == 0x7F ? -1 : (select >> 1);
    const std::u16string definition = fuzz::TextOf(in.UpTo(0), raw);
    const std::u16string text = fuzz::TextOf(in.Rest(), raw);

    const DefinitionFields fields = ParseDefinition(definition);
    fuzz::Require(fields.mask >= -1 && fields.mask <= 0xF, "mask range");
    fuzz::Require(fields.mark.size() + fields.pattern.size() <= definition.size(), "fields");
    fuzz::Require(MaskFromLetters(fields.BlockLetters()) == (fields.mask < 0 ? 0 : fields.mask) ||
                      fields.mask == kAllBlocksMask,
                  "letters of the mask");
    ReadMaskField(definition);
    char16_t buffer[kDefinitionSize];
    const int formatted = FormatDefinition(buffer, kDefinitionSize, fields.mark, fields.pattern,
                                           fields.BlockLetters());

    SearchCondition condition;
    const int compiled = condition.Compile(definition, markWidth);
    fuzz::Require(compiled >= -1, "compile result");
    if (compiled > 0) {
        fuzz::Require(
            static_cast<size_t>(compiled) <= TextWidth(definition.data(), definition.size()) + 1,
            "error column");
    }
    if (markWidth >= 0 && condition.HasMark()) {
        fuzz::Require(TextWidth(condition.Mark().data(), condition.Mark().size()) <=
                          static_cast<size_t>(markWidth),
                      "mark width");
    }
    for (const std::u16string& record : decoded) {
        MatchAndMark(condition, record, compiled == 0);
    }
    MatchAndMark(condition, text, compiled == 0);
    Match(&condition, text.data(), text.size());

    if (formatted >= 0) {
        SearchCondition again;
        again.Compile(std::u16string_view(buffer), markWidth);
        MatchAndMark(again, text, true);
    }
    if (!definition.empty()) {
        const size_t found = FindNoCase(text, select, definition);
        fuzz::Require(found == kNotFound || found + definition.size() <= text.size(), "find");
    }
    return 0;
}
