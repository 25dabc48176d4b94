#include "tools/HeaderText.h"

#include <filesystem>
#include <iterator>
#include <new>
#include <system_error>

#include "decode/CTessaryCan.h"
#include "decode/MessageRecord.h"
#include "display/DisplayLineTable.h"
#include "logfile/CInsFileRead.h"
#include "logfile/InsLogFormat.h"
#include "logfile/LogTime.h"
#include "platform/Calendar.h"
#include "platform/DigitGroup.h"
#include "platform/ErrorText.h"
#include "platform/FormatText.h"
#include "platform/LastError.h"
#include "platform/TimeMath.h"
#include "platform/Utf.h"
#include "platform/WinError.h"
#include "tools/HeaderTextMessages.h"

namespace tessary {

namespace ht = headertext;

namespace {

constexpr uint8_t kLineSelectionBits = 0x0C;
constexpr uint32_t kDumpSizeWithExt = kInsHeaderSize + kInsExtHeaderSize;

unsigned Hi16(uint64_t v) {
    return static_cast<unsigned>(v >> 16);
}
unsigned Lo16(uint64_t v) {
    return static_cast<unsigned>(v & 0xFFFF);
}

std::u16string DateTimeText(const SystemTime& t) {
    return FormatText(u"%u/%02u/%02u %02u:%02u:%02u.%03u", unsigned{t.year}, unsigned{t.month},
                      unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute}, unsigned{t.second},
                      unsigned{t.milliseconds});
}

// The date/time text of base + ms, or false when it does not convert.
bool DateTimeAt(int64_t base, int64_t ms, std::u16string& text) {
    int64_t ticks = 0;
    SystemTime t{};
    if (!AddMsToTicks(base, ms, ticks) || !TicksToSystemTime(ticks, t)) {
        return false;
    }
    text = DateTimeText(t);
    return true;
}

std::u16string DurationText(std::u16string_view format, const DurationParts& d) {
    return FormatText(format, static_cast<unsigned long long>(d.days), d.hours, d.minutes,
                      d.seconds, d.milliseconds);
}

// A byte count in "Mbytes": bytes / 2^20 grouped, '.', one truncated digit (1,234.5).
std::u16string Megabytes(uint64_t bytes) {
    constexpr uint64_t kMega = uint64_t{1} << 20;
    const uint64_t tenth = (bytes % kMega) * 10 / kMega;
    return GroupedDecimal16(bytes / kMega) + u'.' + static_cast<char16_t>(u'0' + tenth);
}

void Line(std::u16string& out, std::u16string_view text) {
    out += text;
    out += ht::kNewLine;
}

// A relative path names a file in the current folder, and the location shows that folder.
PathString FullPath(const PathString& path) {
    const std::filesystem::path given(std::u8string(path.begin(), path.end()));
    if (path.empty() || given.is_absolute()) {
        return path;
    }
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(given, error);
    if (error) {
        return path;
    }
    const std::u8string text = full.lexically_normal().u8string();
    return PathString(text.begin(), text.end());
}

// Folder (with its trailing separator) and file name of a path.
void SplitPath(const PathString& given, std::string& folder, std::string& name) {
    const PathString path = FullPath(given);
    size_t cut = path.size();
    while (cut > 0 && !IsPathSeparator(path[cut - 1])) {
        --cut;
    }
    folder = path.substr(0, cut);
    name = path.substr(cut);
}

void CommonHead(std::u16string& out, const PathString& path, uint64_t fileSize) {
    std::string folder;
    std::string name;
    SplitPath(path, folder, name);
    Line(out, FormatText(ht::kFolder, Utf16(folder)));
    Line(out, FormatText(ht::kFileName, Utf16(name)));
    out += ht::kNewLine;
    Line(out, FormatText(ht::kFileSize, Megabytes(fileSize), GroupedDecimal16(fileSize)));
    out += ht::kNewLine;
}

// Two-digit upper-case hex bytes; `groupOfFour` puts two blanks after every fourth byte, and
// `breakAfterEight` a line break that lines the next bytes up under the first line's.
std::u16string HexBytes(const uint8_t* bytes, size_t count, bool groupOfFour,
                        bool breakAfterEight) {
    std::u16string text;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) {
            if (breakAfterEight && i % 8 == 0) {
                text += ht::kDumpReservedBreak;
            } else if (groupOfFour && i % 4 == 0) {
                text += u"  ";
            } else {
                text += u' ';
            }
        }
        text += FormatText(u"%02X", unsigned{bytes[i]});
    }
    return text;
}

std::u16string Hex(const uint8_t* header, unsigned offset, size_t count) {
    return HexBytes(header + offset, count, count == 7, false);
}

// Why the file cannot be opened, as far as the error tells.
constexpr ErrorText kOpenErrors[] = {
    {kErrorFileNotFound, ht::kOpenNotFound}, {kErrorPathNotFound, ht::kOpenNoFolder},
    {kErrorAccessDenied, ht::kOpenInUse},    {kErrorBadUnit, ht::kOpenNoDrive},
    {kErrorNotReady, ht::kOpenNoDrive},      {kErrorBadNetPath, ht::kOpenNoDrive},
};

std::u16string OpenFailureText(uint32_t error) {
    return ErrorMessage(kOpenErrors, error, ht::kOpenFailed);
}

HeaderTextResult Failure(std::u16string_view message, const PathString& path) {
    HeaderTextResult result;
    result.status = 1;
    result.text = std::u16string(message) + FormatText(ht::kFailureTail, ht::kNewLine, ht::kNewLine,
                                                       Utf16(path), ht::kNewLine);
    return result;
}

void DumpFields(std::u16string& out, const uint8_t* raw, bool hasExt) {
    uint8_t headerBytes[kInsHeaderSize];
    for (unsigned i = 0; i < kInsHeaderSize; ++i) {
        headerBytes[i] = raw[i];
    }
    const InsLogHeader h = ParseInsLogHeader(headerBytes);
    uint8_t extBytes[kInsExtHeaderSize] = {};
    if (hasExt) {
        for (unsigned i = 0; i < kInsExtHeaderSize; ++i) {
            extBytes[i] = raw[kInsHeaderSize + i];
        }
    }
    const InsLogExtHeader ext = ParseInsLogExtHeader(extBytes);

    Line(out, ht::kDumpTitle);
    Line(out, FormatText(ht::kDumpStart, 0x00u, Hex(raw, 0x00, 7), unsigned{h.startYear},
                         unsigned{h.startMonth}, unsigned{h.startDay}, unsigned{h.startHour},
                         unsigned{h.startMinute}, unsigned{h.startSecond}));
    Line(out, FormatText(ht::kDumpChannel, 0x07u, Hex(raw, 0x07, 1), unsigned{h.channelNumber}));
    Line(out, FormatText(ht::kDumpDataBytes, 0x08u, Hex(raw, 0x08, 4),
                         GroupedDecimal16(h.dataByteCount)));
    Line(out, FormatText(ht::kDumpLoops, 0x0Cu, Hex(raw, 0x0C, 4), GroupedDecimal16(h.loopCount)));

    const uint8_t kind = h.dataKind;
    const bool insKind = kind == kDataKindInsSingle || kind == kDataKindIns64Bulk;
    const bool registerKind = kind == kDataKindAnalogSingle || kind == kDataKindAnalogBulk;
    const std::u16string_view kindName =
        kind < std::size(ht::kDumpKindNames) ? ht::kDumpKindNames[kind] : std::u16string_view();
    // A kind without a label still gets its bracket closed.
    Line(out, FormatText(ht::kDumpKind, 0x10u, Hex(raw, 0x10, 1), unsigned{kind}) +
                  std::u16string(!kindName.empty() ? kindName : ht::kDumpKindUnnamed));
    const std::u16string_view traceLabel = registerKind ? ht::kTraceRegister
                                           : insKind    ? ht::kTraceIns
                                                        : ht::kTraceOther;
    Line(out,
         FormatText(ht::kDumpTrace, 0x11u, Hex(raw, 0x11, 1), traceLabel, unsigned{h.traceType}));
    Line(out, FormatText(ht::kDumpBoard, 0x12u, Hex(raw, 0x12, 2), unsigned{h.boardKind}));
    std::u16string count = FormatText(ht::kDumpCount, 0x14u, Hex(raw, 0x14, 4));
    if (registerKind) {
        count += ht::kCountRegister;
    } else if (insKind) {
        count += ht::kCountIns;
        count += FormatText(ht::kCountInsValue, Hi16(h.timeCountAtStart), Lo16(h.timeCountAtStart));
    } else {
        count += ht::kCountOther;
    }
    Line(out, count);
    Line(out,
         FormatText(ht::kDumpExtLength, 0x18u, Hex(raw, 0x18, 1), unsigned{h.extHeaderLength}));
    Line(out, FormatText(ht::kDumpNibbles, 0x19u, Hex(raw, 0x19, 1), h.correctionHigh & 0x0Fu,
                         unsigned{h.correctionHigh} >> 4));
    Line(out, FormatText(ht::kDumpMilliseconds, 0x1Au, Hex(raw, 0x1A, 2),
                         unsigned{h.startMilliseconds}));

    const SystemTime start = StartDateTimeOf(h);
    int64_t startTicks = 0;
    const bool startValid = SystemTimeToTicks(start, startTicks);

    const int64_t correction = StartCorrectionOf(h);
    std::u16string corrected;
    std::u16string line = FormatText(ht::kDumpCorrection, 0x1Cu, Hex(raw, 0x1C, 4));
    if (startValid && correction != 0 && DateTimeAt(startTicks, correction, corrected)) {
        line += FormatText(ht::kDumpDateTime, corrected);
    } else {
        line += FormatText(ht::kDumpRaw36, h.correctionHigh & 0x0Fu, Hi16(h.startCorrectionLow),
                           Lo16(h.startCorrectionLow));
    }
    Line(out, line);

    if (hasExt) {
        const uint8_t* e = raw + kInsHeaderSize;
        std::u16string endText;
        line = FormatText(ht::kDumpEndValue, 0x20u, HexBytes(e, 4, false, false));
        if (startValid &&
            DateTimeAt(startTicks, static_cast<int64_t>(EndValueOf(h, ext)), endText)) {
            line += FormatText(ht::kDumpDateTime, endText);
        } else {
            line += FormatText(ht::kDumpRaw36, unsigned{h.correctionHigh} >> 4,
                               Hi16(ext.endValueLow), Lo16(ext.endValueLow));
        }
        Line(out, line);
        Line(out, FormatText(ht::kDumpReserved, 0x24u, HexBytes(e + 4, 28, true, true)));
    }
    const unsigned total = hasExt ? kDumpSizeWithExt : kInsHeaderSize;
    Line(out, FormatText(ht::kDumpEnd, total, total));
}

std::u16string SummaryText(const CInsFileRead& reader, uint8_t optionByte,
                           const SummaryRecords& records) {
    const InsLogHeader& h = reader.Header();
    std::u16string out;
    CommonHead(out, reader.Path(), reader.FileSize());

    const uint32_t headerSize = reader.HeaderSize();
    Line(out, FormatText(ht::kHeaderSize, headerSize));
    if (reader.IsRing()) {
        const uint64_t head = h.dataByteCount;
        const uint64_t position = head + headerSize;
        Line(out, FormatText(ht::kLoopCount, GroupedDecimal16(h.loopCount)));
        Line(out,
             FormatText(ht::kHeadOffset, Hi16(head), Lo16(head), Hi16(position), Lo16(position)));
    } else {
        const uint64_t n = reader.DataSize();
        std::u16string line = FormatText(ht::kDataBytes, Megabytes(n), GroupedDecimal16(n));
        if (h.dataByteCount == 0) {
            line += ht::kNoValidLength;
        }
        Line(out, line);
    }
    out += ht::kNewLine;

    const uint32_t saved = h.timeCountAtStart;
    const uint32_t first = reader.FirstCount();
    Line(out, FormatText(ht::kSavedCount, Hi16(saved), Lo16(saved)));
    std::u16string line = FormatText(ht::kFirstCount, Hi16(first), Lo16(first));
    if (first != saved) {
        line += DurationText(ht::kFirstCountGap, SplitDuration(uint32_t{first - saved}));
    }
    Line(out, line);
    out += ht::kNewLine;

    SystemTime t{};
    std::u16string when;
    if (TicksToSystemTime(reader.StartTime(), t)) {
        when = DateTimeText(t);
    }
    line = FormatText(ht::kStart, when);
    const int64_t correction = reader.StartCorrection();
    if (correction != 0) {
        const DurationParts d = SplitDuration(correction);
        line += FormatText(ht::kStartCorrection, d.negative ? '-' : '+',
                           static_cast<unsigned long long>(d.days), d.hours, d.minutes, d.seconds,
                           d.milliseconds);
    }
    Line(out, line);

    if (reader.EndTime() != 0 && TicksToSystemTime(reader.EndTime(), t)) {
        Line(out, FormatText(ht::kEnd, DateTimeText(t)) +
                      DurationText(ht::kEndElapsed, SplitDuration(reader.Elapsed())));
    } else if (TicksToSystemTime(reader.FileTime(), t)) {
        Line(out, FormatText(ht::kEnd, DateTimeText(t)) + std::u16string(ht::kEndFromFileTime));
    } else {
        Line(out, ht::kNoEnd);
    }
    out += ht::kNewLine;

    if (records.storeHasRecords) {
        const int64_t base = reader.BaseTime();
        if (records.first != nullptr && base != 0 && DateTimeAt(base, records.first->Time, when)) {
            Line(out, FormatText(ht::kFirstData, when));
        } else {
            Line(out, ht::kFirstDataFailed);
        }
        if (records.last != nullptr && base != 0 && DateTimeAt(base, records.last->Time, when)) {
            Line(out, FormatText(ht::kLastData, when, GroupedDecimal16(records.last->Index)));
        } else {
            Line(out, ht::kLastDataFailed);
        }
    } else {
        Line(out, ht::kNoLogData);
    }
    out += ht::kNewLine;

    Line(out, FormatText(ht::kChannel, unsigned{h.channelNumber}, unsigned{h.traceType}));
    line = FormatText(ht::kBoard, unsigned{h.boardKind});
    if (IsIns1500Board(h.boardKind)) {
        line += ht::kBoard1500;
    } else {
        line += ht::kBoard64;
        if (h.dataKind == kDataKindIns64Bulk) {
            line += ht::kBulk;
            const uint8_t lines = optionByte & kLineSelectionBits;
            if (lines == 0) {
                line += ht::kLine1;
            } else if (lines == 4) {
                line += ht::kLine2;
            }
            line += ht::kBulkEnd;
        }
        line += ht::kBoardEnd;
    }
    Line(out, line);
    out += ht::kNewLine;
    return out;
}

}  // namespace

HeaderTextResult BuildHeaderDump(const PathString& path) {
    try {
        if (path.empty()) {
            HeaderTextResult result;
            result.status = 1;
            result.text = std::u16string(ht::kNoPath) + std::u16string(ht::kNewLine);
            return result;
        }
        File file;
        if (!file.OpenRead(path)) {
            return Failure(OpenFailureText(GetLastError()), path);
        }
        uint64_t size = 0;
        if (!file.Size(size)) {
            return Failure(ht::kNoSize, path);
        }
        if (size < kInsHeaderSize) {
            return Failure(
                FormatText(ht::kShortHeader, static_cast<unsigned>(size), kInsHeaderSize), path);
        }
        uint8_t raw[kDumpSizeWithExt] = {};
        uint32_t done = 0;
        if (!file.ReadAt(0, raw, kInsHeaderSize, done) || done != kInsHeaderSize) {
            return Failure(ht::kHeaderReadFailed, path);
        }
        // The dump reads exactly the 32 meaningful bytes, whatever the length field says.
        const bool hasExt = raw[0x18] != 0;
        if (hasExt) {
            if (size < kDumpSizeWithExt) {
                return Failure(
                    FormatText(ht::kShortExtHeader, static_cast<unsigned>(size), kDumpSizeWithExt),
                    path);
            }
            if (!file.ReadAt(kInsHeaderSize, raw + kInsHeaderSize, kInsExtHeaderSize, done) ||
                done != kInsExtHeaderSize) {
                return Failure(ht::kExtReadFailed, path);
            }
        }
        std::u16string out;
        CommonHead(out, path, size);
        DumpFields(out, raw, hasExt);
        HeaderTextResult result;
        result.text = std::move(out);
        return result;
    } catch (const std::bad_alloc&) {
        HeaderTextResult result;
        result.status = -1;
        return result;
    }
}

HeaderTextResult BuildSummary(const CInsFileRead& reader, uint8_t optionByte,
                              const SummaryRecords& records) {
    try {
        HeaderTextResult result;
        result.text = SummaryText(reader, optionByte, records);
        return result;
    } catch (const std::bad_alloc&) {
        HeaderTextResult result;
        result.status = -1;
        return result;
    }
}

HeaderTextResult BuildSummary(CTessaryCan& converter) {
    const uint8_t* option = converter.OptionByte();
    return BuildSummary(converter, option != nullptr ? *option : 0, SummaryRecordsOf(converter));
}

std::u16string HeaderDumpOpenFailure(uint32_t error) {
    return OpenFailureText(error);
}

SummaryRecords SummaryRecordsOf(const CTessaryCan& converter) {
    SummaryRecords records;
    const uint32_t count = converter.LineCount();
    records.storeHasRecords = count > 0;
    if (count >= 2) {
        records.first = converter.Record(1);
        records.last = converter.Record(count - 1);
    }
    return records;
}

SummaryRecords SummaryRecordsOf(const CTessaryCan& converter, const DisplayLineTable& table) {
    SummaryRecords records;
    records.storeHasRecords = converter.LineCount() > 0;
    MessageRecord* first = nullptr;
    MessageRecord* last = nullptr;
    table.FirstLastLine(true, &first);
    table.FirstLastLine(false, &last);
    records.first = first;
    records.last = last;
    return records;
}

}  // namespace tessary
