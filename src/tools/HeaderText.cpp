#include "tools/HeaderText.h"

#include <iterator>
#include <new>

#include "decode/CTessaryCan.h"
#include "decode/MessageRecord.h"
#include "display/DisplayLineTable.h"
#include "logfile/CInsFileRead.h"
#include "logfile/InsLogFormat.h"
#include "logfile/LogTime.h"
#include "platform/Calendar.h"
#include "platform/LastError.h"
#include "platform/TimeMath.h"
#include "platform/Utf.h"
#include "platform/WinError.h"
#include "tools/HeaderTextMessages.h"
#include "tools/TextFormat.h"

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

std::string DateTimeText(const SystemTime& t) {
    return Printf("%u/%02u/%02u %02u:%02u:%02u.%03u", unsigned{t.year}, unsigned{t.month},
                  unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute}, unsigned{t.second},
                  unsigned{t.milliseconds});
}

// The date/time text of base + ms, or false when it does not convert.
bool DateTimeAt(int64_t base, int64_t ms, std::string& text) {
    int64_t ticks = 0;
    SystemTime t{};
    if (!AddMsToTicks(base, ms, ticks) || !TicksToSystemTime(ticks, t)) {
        return false;
    }
    text = DateTimeText(t);
    return true;
}

std::string DurationText(const char* format, const DurationParts& d) {
    return Printf(format, static_cast<unsigned long long>(d.days), d.hours, d.minutes, d.seconds,
                  d.milliseconds);
}

void Line(std::string& out, const std::string& text) {
    out += text;
    out += ht::kNewLine;
}

// Folder (with its trailing separator) and file name of a path.
void SplitPath(const PathString& path, std::string& folder, std::string& name) {
    size_t cut = path.size();
    while (cut > 0 && !IsPathSeparator(path[cut - 1])) {
        --cut;
    }
    folder = path.substr(0, cut);
    name = path.substr(cut);
}

void CommonHead(std::string& out, const PathString& path, uint64_t fileSize) {
    std::string folder;
    std::string name;
    SplitPath(path, folder, name);
    Line(out, Printf(ht::kFolder, folder.c_str()));
    Line(out, Printf(ht::kFileName, name.c_str()));
    out += ht::kNewLine;
    Line(out, Printf(ht::kFileSize, Megabytes(fileSize).c_str(), Grouped(fileSize).c_str()));
    out += ht::kNewLine;
}

// Two-digit upper-case hex bytes; `groupOfFour` puts two blanks after every fourth byte, and
// `breakAfterEight` a line break that lines the next bytes up under the first line's.
std::string HexBytes(const uint8_t* bytes, size_t count, bool groupOfFour, bool breakAfterEight) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) {
            if (breakAfterEight && i % 8 == 0) {
                text += ht::kDumpReservedBreak;
            } else if (groupOfFour && i % 4 == 0) {
                text += "  ";
            } else {
                text += ' ';
            }
        }
        text += Printf("%02X", unsigned{bytes[i]});
    }
    return text;
}

std::string Hex(const uint8_t* header, unsigned offset, size_t count) {
    return HexBytes(header + offset, count, count == 7, false);
}

std::string OpenFailureText(uint32_t error) {
    switch (error) {
        case kErrorFileNotFound:
            return ht::kOpenNotFound;
        case kErrorPathNotFound:
            return ht::kOpenNoFolder;
        case kErrorAccessDenied:
            return ht::kOpenInUse;
        case kErrorBadUnit:
        case kErrorNotReady:
        case kErrorBadNetPath:
            return ht::kOpenNoDrive;
        default:
            return Printf(ht::kOpenFailed, error);
    }
}

HeaderTextResult Failure(const std::string& message, const PathString& path) {
    HeaderTextResult result;
    result.status = 1;
    result.text = Utf16(
        message + Printf(ht::kFailureTail, ht::kNewLine, ht::kNewLine, path.c_str(), ht::kNewLine));
    return result;
}

void DumpFields(std::string& out, const uint8_t* raw, bool hasExt) {
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
    Line(out, Printf(ht::kDumpStart, 0x00u, Hex(raw, 0x00, 7).c_str(), unsigned{h.startYear},
                     unsigned{h.startMonth}, unsigned{h.startDay}, unsigned{h.startHour},
                     unsigned{h.startMinute}, unsigned{h.startSecond}));
    Line(out,
         Printf(ht::kDumpChannel, 0x07u, Hex(raw, 0x07, 1).c_str(), unsigned{h.channelNumber}));
    Line(out, Printf(ht::kDumpDataBytes, 0x08u, Hex(raw, 0x08, 4).c_str(),
                     Grouped(h.dataByteCount).c_str()));
    Line(out,
         Printf(ht::kDumpLoops, 0x0Cu, Hex(raw, 0x0C, 4).c_str(), Grouped(h.loopCount).c_str()));

    const uint8_t kind = h.dataKind;
    const bool insKind = kind == kDataKindInsSingle || kind == kDataKindIns64Bulk;
    const bool registerKind = kind == kDataKindAnalogSingle || kind == kDataKindAnalogBulk;
    const char* kindName =
        kind < std::size(ht::kDumpKindNames) ? ht::kDumpKindNames[kind] : nullptr;
    // A kind without a label still gets its bracket closed.
    Line(out, Printf(ht::kDumpKind, 0x10u, Hex(raw, 0x10, 1).c_str(), unsigned{kind}) +
                  (kindName != nullptr ? kindName : ht::kDumpKindUnnamed));
    const char* traceLabel = registerKind ? ht::kTraceRegister
                             : insKind    ? ht::kTraceIns
                                          : ht::kTraceOther;
    Line(out, Printf(ht::kDumpTrace, 0x11u, Hex(raw, 0x11, 1).c_str(), traceLabel,
                     unsigned{h.traceType}));
    Line(out, Printf(ht::kDumpBoard, 0x12u, Hex(raw, 0x12, 2).c_str(), unsigned{h.boardKind}));
    std::string count = Printf(ht::kDumpCount, 0x14u, Hex(raw, 0x14, 4).c_str());
    if (registerKind) {
        count += ht::kCountRegister;
    } else if (insKind) {
        count += ht::kCountIns;
        count += Printf(ht::kCountInsValue, Hi16(h.timeCountAtStart), Lo16(h.timeCountAtStart));
    } else {
        count += ht::kCountOther;
    }
    Line(out, count);
    Line(out,
         Printf(ht::kDumpExtLength, 0x18u, Hex(raw, 0x18, 1).c_str(), unsigned{h.extHeaderLength}));
    Line(out, Printf(ht::kDumpNibbles, 0x19u, Hex(raw, 0x19, 1).c_str(), h.correctionHigh & 0x0Fu,
                     unsigned{h.correctionHigh} >> 4));
    Line(out, Printf(ht::kDumpMilliseconds, 0x1Au, Hex(raw, 0x1A, 2).c_str(),
                     unsigned{h.startMilliseconds}));

    const SystemTime start = StartDateTimeOf(h);
    int64_t startTicks = 0;
    const bool startValid = SystemTimeToTicks(start, startTicks);

    const int64_t correction = StartCorrectionOf(h);
    std::string corrected;
    std::string line = Printf(ht::kDumpCorrection, 0x1Cu, Hex(raw, 0x1C, 4).c_str());
    if (startValid && correction != 0 && DateTimeAt(startTicks, correction, corrected)) {
        line += Printf(ht::kDumpDateTime, corrected.c_str());
    } else {
        line += Printf(ht::kDumpRaw36, h.correctionHigh & 0x0Fu, Hi16(h.startCorrectionLow),
                       Lo16(h.startCorrectionLow));
    }
    Line(out, line);

    if (hasExt) {
        const uint8_t* e = raw + kInsHeaderSize;
        std::string endText;
        line = Printf(ht::kDumpEndValue, 0x20u, HexBytes(e, 4, false, false).c_str());
        if (startValid &&
            DateTimeAt(startTicks, static_cast<int64_t>(EndValueOf(h, ext)), endText)) {
            line += Printf(ht::kDumpDateTime, endText.c_str());
        } else {
            line += Printf(ht::kDumpRaw36, unsigned{h.correctionHigh} >> 4, Hi16(ext.endValueLow),
                           Lo16(ext.endValueLow));
        }
        Line(out, line);
        Line(out, Printf(ht::kDumpReserved, 0x24u, HexBytes(e + 4, 28, true, true).c_str()));
    }
    const unsigned total = hasExt ? kDumpSizeWithExt : kInsHeaderSize;
    Line(out, Printf(ht::kDumpEnd, total, total));
}

std::string SummaryText(const CInsFileRead& reader, uint8_t optionByte,
                        const SummaryRecords& records) {
    const InsLogHeader& h = reader.Header();
    std::string out;
    CommonHead(out, reader.Path(), reader.FileSize());

    const uint32_t headerSize = reader.HeaderSize();
    Line(out, Printf(ht::kHeaderSize, headerSize));
    if (reader.IsRing()) {
        const uint64_t head = h.dataByteCount;
        const uint64_t position = head + headerSize;
        Line(out, Printf(ht::kLoopCount, Grouped(h.loopCount).c_str()));
        Line(out, Printf(ht::kHeadOffset, Hi16(head), Lo16(head), Hi16(position), Lo16(position)));
    } else {
        const uint64_t n = reader.DataSize();
        std::string line = Printf(ht::kDataBytes, Megabytes(n).c_str(), Grouped(n).c_str());
        if (h.dataByteCount == 0) {
            line += ht::kNoValidLength;
        }
        Line(out, line);
    }
    out += ht::kNewLine;

    const uint32_t saved = h.timeCountAtStart;
    const uint32_t first = reader.FirstCount();
    Line(out, Printf(ht::kSavedCount, Hi16(saved), Lo16(saved)));
    std::string line = Printf(ht::kFirstCount, Hi16(first), Lo16(first));
    if (first != saved) {
        line += DurationText(ht::kFirstCountGap, SplitDuration(uint32_t{first - saved}));
    }
    Line(out, line);
    out += ht::kNewLine;

    SystemTime t{};
    std::string when;
    if (TicksToSystemTime(reader.StartTime(), t)) {
        when = DateTimeText(t);
    }
    line = Printf(ht::kStart, when.c_str());
    const int64_t correction = reader.StartCorrection();
    if (correction != 0) {
        const DurationParts d = SplitDuration(correction);
        line += Printf(ht::kStartCorrection, d.negative ? '-' : '+',
                       static_cast<unsigned long long>(d.days), d.hours, d.minutes, d.seconds,
                       d.milliseconds);
    }
    Line(out, line);

    if (reader.EndTime() != 0 && TicksToSystemTime(reader.EndTime(), t)) {
        Line(out, Printf(ht::kEnd, DateTimeText(t).c_str()) +
                      DurationText(ht::kEndElapsed, SplitDuration(reader.Elapsed())));
    } else if (TicksToSystemTime(reader.FileTime(), t)) {
        Line(out, Printf(ht::kEnd, DateTimeText(t).c_str()) + ht::kEndFromFileTime);
    } else {
        Line(out, ht::kNoEnd);
    }
    out += ht::kNewLine;

    if (records.storeHasRecords) {
        const int64_t base = reader.BaseTime();
        if (records.first != nullptr && base != 0 && DateTimeAt(base, records.first->Time, when)) {
            Line(out, Printf(ht::kFirstData, when.c_str()));
        } else {
            Line(out, ht::kFirstDataFailed);
        }
        if (records.last != nullptr && base != 0 && DateTimeAt(base, records.last->Time, when)) {
            Line(out, Printf(ht::kLastData, when.c_str(), Grouped(records.last->Index).c_str()));
        } else {
            Line(out, ht::kLastDataFailed);
        }
    } else {
        Line(out, ht::kNoLogData);
    }
    out += ht::kNewLine;

    Line(out, Printf(ht::kChannel, unsigned{h.channelNumber}, unsigned{h.traceType}));
    line = Printf(ht::kBoard, unsigned{h.boardKind});
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
            result.text = Utf16(std::string(ht::kNoPath) + ht::kNewLine);
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
            return Failure(Printf(ht::kShortHeader, static_cast<unsigned>(size), kInsHeaderSize),
                           path);
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
                    Printf(ht::kShortExtHeader, static_cast<unsigned>(size), kDumpSizeWithExt),
                    path);
            }
            if (!file.ReadAt(kInsHeaderSize, raw + kInsHeaderSize, kInsExtHeaderSize, done) ||
                done != kInsExtHeaderSize) {
                return Failure(ht::kExtReadFailed, path);
            }
        }
        std::string out;
        CommonHead(out, path, size);
        DumpFields(out, raw, hasExt);
        HeaderTextResult result;
        result.text = Utf16(out);
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
        result.text = Utf16(SummaryText(reader, optionByte, records));
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
    return Utf16(OpenFailureText(error));
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
