#include "mainwnd/CopyText.h"

#include <algorithm>
#include <new>

#include "decode/SearchCondition.h"
#include "display/DisplaySource.h"
#include "platform/FormatText.h"
#include "platform/LastError.h"
#include "platform/Trace.h"
#include "platform/Width.h"

namespace tessary {
namespace {

constexpr std::u16string_view kConfirmText =
    u"コピーするINSログデータ文字列行が、10万行を超えています。\n\n"
    u"かなり時間を要するか、あるいはメモリ不足が発生する可能性があります。\n\n"
    u"このまま、実行を継続しますか？";
constexpr std::u16string_view kTooLargeText =
    u"コピーするINSログデータ文字列が最大バイト数をオーバーしました。\n\n(最大 4 Gbytes)";
constexpr std::u16string_view kClipboardText = u"テキスト形式のクリップボード転送に失敗しました。";
constexpr std::u16string_view kNoMemoryText =
    u"メモリ不足のため、文字列データのコピーに失敗しました。";
// The copied range by index numbers: one record, or the first and the last.
constexpr std::u16string_view kDoneOne = u"表示内容コピー終了(ID=%07u)";
constexpr std::u16string_view kDoneRange = u"表示内容コピー終了(ID=%07u～%07u)";
constexpr std::u16string_view kItemOne = u"(ID=%07u)";
constexpr std::u16string_view kItemRange = u"(ID=%07u ～ %07u)";

bool IsLeadingBlank(char16_t c) {
    // Tabs and blanks of the indent, and the full-width blank the decoder may start a row with.
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' ||
           c == u'\u3000';
}

// The mark text cut to `width` columns: stops at a character without width and before a
// double-width character that would pass the width; then blanks up to the width.
std::u16string MarkField(std::u16string_view mark, int width) {
    std::u16string field;
    int used = 0;
    for (char16_t c : mark) {
        const int columns = CharWidth(c);
        if (columns == 0 || used + columns > width) {
            break;
        }
        field.push_back(c);
        used += columns;
    }
    if (used < width) {
        field.append(static_cast<size_t>(width - used), u' ');
    }
    return field;
}

// The indent of pane position i, expanded.
std::u16string PositionIndent(const CanPara& para, int position) {
    std::u16string indent;
    if (position >= 0 && position < kBlockCount) {
        // Only the indent field: a definition without ';' is all title.
        IndentText(indent, ParseBlockDef(SlotText(para.BlockDef[position])).indent);
    }
    return indent;
}

std::u16string_view TitleOf(const CTessaryCan* converter, int block) {
    if (converter == nullptr || converter->LineCount() == 0 || block < 0 || block >= kBlockCount ||
        converter->Record(0) == nullptr) {
        return {};
    }
    const std::u16string_view text = converter->Record(0)->TextView();
    const RowSpan row = RowOf(text, block);
    if (row.offset < 0) {
        return {};
    }
    return text.substr(static_cast<size_t>(row.offset), static_cast<size_t>(row.length));
}

int PositionOfBlock(const CopyParams& params, int block) {
    for (int p = 0; p < kBlockCount; ++p) {
        if (params.paneBlocks[p] == block) {
            return p;
        }
    }
    return 0;
}

template <class Out>
int WriteHeadingAndTitles(const DisplayLineTable& table, const CopyParams& params, Out& out) {
    const CanPara& para = *params.para;
    const std::u16string_view demi = SlotText(para.TitleDemi);
    if (!params.heading.empty()) {
        std::u16string line(static_cast<size_t>(std::max(para.SpcCnt, 0)), u' ');
        line.append(demi);
        line.append(params.heading);
        if (!out.Append(line) || !out.EndLine()) {
            return kCopyOutOfMemory;
        }
    }
    const bool oneLine = (para.Flag[1] & kFlag1TitlesOneRow) != 0;
    std::u16string line;
    for (int p = 0; p < kBlockCount; ++p) {
        std::u16string title(demi);
        title.append(TitleOf(table.Converter(), params.paneBlocks[p]));
        if (!oneLine) {
            line = PositionIndent(para, p);
            line.append(title);
            if (!out.Append(line) || !out.EndLine()) {
                return kCopyOutOfMemory;
            }
            continue;
        }
        if (p == 0) {
            line = PositionIndent(para, 0);
        }
        line.append(title);
        if (p < kBlockCount - 1) {
            const size_t width = TextWidth(title.data(), title.size());
            if (para.BlockLen > 0 && width < static_cast<size_t>(para.BlockLen)) {
                line.append(static_cast<size_t>(para.BlockLen) - width, u' ');
            }
        } else if (!out.Append(line) || !out.EndLine()) {
            return kCopyOutOfMemory;
        }
    }
    return kCopyDone;
}

}  // namespace

bool StringCopySink::Append(std::u16string_view text) {
    try {
        m_text.append(text);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

bool StringCopySink::EndLine() {
    return Append(u"\r\n");
}

CopySpan CopySpanOf(const DisplayLineTable& table, int32_t selectionLine, int32_t currentLine) {
    CopySpan span;
    const int32_t count = table.LineCount();
    if (count < 2 || selectionLine < 1 || selectionLine >= count) {
        return span;
    }
    const DisplayLine* selection = table.Line(selectionLine);
    const MessageRecord* selected = table.RecordOf(selection);
    if (selected == nullptr) {
        return span;
    }
    const int32_t current = std::clamp(currentLine, 1, count - 1);
    int32_t startAt = selectionLine;
    int32_t endAt = selectionLine;
    if (current < selectionLine) {
        for (int32_t n = current; n <= selectionLine; ++n) {
            if (table.RecordOf(table.Line(n)) != nullptr) {
                startAt = n;
                break;
            }
        }
    } else {
        for (int32_t n = current; n >= selectionLine; --n) {
            if (table.RecordOf(table.Line(n)) != nullptr) {
                endAt = n;
                break;
            }
        }
    }
    const MessageRecord* start = table.RecordOf(table.Line(startAt));
    const MessageRecord* end = table.RecordOf(table.Line(endAt));
    // Whole messages: the first line by the view's row slot (else from the line's group).
    auto firstOf = [&](const MessageRecord* record, int32_t at) -> const DisplayLine* {
        const DisplayLine* line = table.FirstLineOf(record);
        if (line == nullptr || line->recordIndex != static_cast<int32_t>(record->Index)) {
            const DisplayLine* near = table.Line(at);
            line = table.Line(near->lineNumber - near->groupOffset);
        }
        return line;
    };
    const DisplayLine* first = firstOf(start, startAt);
    const DisplayLine* last = firstOf(end, endAt);
    if (first == nullptr || last == nullptr) {
        return span;
    }
    span.firstLine = std::max(first->lineNumber, 1);
    span.lastLine =
        std::min<int32_t>(last->lineNumber + std::max<int32_t>(last->groupSize, 1) - 1, count - 1);
    span.startId = start->Id;
    span.endId = end->Id;
    if (span.lastLine < span.firstLine) {
        return CopySpan{};
    }
    return span;
}

std::u16string CopyItemText(std::u16string_view itemTemplate, const CopySpan& span) {
    std::u16string fill;
    if (span.IsValid()) {
        fill = span.startId != span.endId ? FormatText(kItemRange, span.startId, span.endId)
                                          : FormatText(kItemOne, span.startId);
    }
    return FormatText(itemTemplate, fill);
}

std::u16string CopyWordText(std::u16string_view itemText) {
    const size_t open = itemText.find(u'<');
    const size_t close = itemText.rfind(u'>');
    if (open == std::u16string_view::npos || close == std::u16string_view::npos || close < open) {
        return {};
    }
    return std::u16string(itemText.substr(open, close - open + 1));
}

CopyTextWriter::CopyTextWriter(const DisplayLineTable& table, const CopyParams& params,
                               CopySink& sink)
    : m_table(table), m_params(params), m_out(sink, params.byteLimit) {}

int CopyTextWriter::WriteHeading() {
    if (m_params.para == nullptr) {
        return kCopyOutOfMemory;
    }
    const CanPara& para = *m_params.para;
    try {
        if (const int result = WriteHeadingAndTitles(m_table, m_params, m_out);
            result != kCopyDone) {
            return result;
        }
        if (m_out.OverLimit()) {
            return kCopyTooLarge;
        }
        for (int p = 0; p < kBlockCount; ++p) {
            m_indents[p] = PositionIndent(para, p);
        }
        m_spcCnt = std::max(para.SpcCnt, 0);
        const SearchCondition* rules = m_table.Source().conditions;
        for (int m = 0; m < kBlockCount && rules != nullptr; ++m) {
            m_markFields[m] = MarkField(rules[m].Mark(), m_spcCnt);
        }
    } catch (const std::bad_alloc&) {
        return kCopyOutOfMemory;
    } catch (const std::length_error&) {
        return kCopyOutOfMemory;
    }
    return kCopyDone;
}

int CopyTextWriter::WriteLine(const DisplayLine* entry) {
    const std::u16string_view text = m_table.TextOf(entry);
    const SearchCondition* rules = m_table.Source().conditions;
    if (entry->recordIndex != m_markRecord) {
        m_markRecord = entry->recordIndex;
        m_mark = rules != nullptr && m_markRecord >= 0 ? m_table.MarkIndex(entry) : -1;
    }
    const bool marked = m_mark >= 0 && m_mark < kBlockCount && !rules[m_mark].Mark().empty();
    std::u16string_view indent;
    if (!text.empty()) {
        const MessageRecord* record = m_table.RecordOf(entry);
        const int position = record != nullptr && record->Block < kBlockCount
                                 ? PositionOfBlock(m_params, record->Block)
                                 : 0;
        indent = m_indents[position];
    }
    if (!marked) {
        // Indent and text go to the sink as they are: no line is put together.
        if (m_out.WouldPass(indent.size() + text.size() + 2)) {
            return kCopyTooLarge;
        }
        if ((!indent.empty() && !m_out.Append(indent)) || !m_out.Append(text) || !m_out.EndLine()) {
            return kCopyOutOfMemory;
        }
        return kCopyDone;
    }
    m_line.assign(indent);
    m_line.append(text);
    size_t skip = 0;
    while (skip < m_line.size() && IsLeadingBlank(m_line[skip])) {
        ++skip;
    }
    m_line.replace(0, skip, m_markFields[m_mark]);
    if (m_out.WouldPass(m_line.size() + 2)) {
        return kCopyTooLarge;
    }
    if (!m_out.Append(m_line) || !m_out.EndLine()) {
        return kCopyOutOfMemory;
    }
    return kCopyDone;
}

int CopyTextWriter::WriteLines(int32_t first, int32_t last) {
    try {
        for (int32_t n = first; n <= last; ++n) {
            const DisplayLine* entry = m_table.Line(n);
            if (entry == nullptr) {
                return kCopyOutOfMemory;
            }
            if (const int result = WriteLine(entry); result != kCopyDone) {
                return result;
            }
        }
    } catch (const std::bad_alloc&) {
        return kCopyOutOfMemory;
    } catch (const std::length_error&) {
        return kCopyOutOfMemory;
    }
    return kCopyDone;
}

int BuildCopyText(const DisplayLineTable& table, const CopySpan& span, const CopyParams& params,
                  CopySink& sink) {
    const bool hasLines = span.IsValid() && span.lastLine < table.LineCount();
    if (params.para == nullptr || (!hasLines && !params.linesOptional)) {
        return kCopyOutOfMemory;
    }
    CopyTextWriter writer(table, params, sink);
    if (const int result = writer.WriteHeading(); result != kCopyDone) {
        return result;
    }
    return hasLines ? writer.WriteLines(span.firstLine, span.lastLine) : kCopyDone;
}

CopyOutcome CopyRange(const DisplayLineTable& table, int32_t selectionLine, int32_t currentLine,
                      const CopyParams& params, const std::function<bool()>& confirmLarge,
                      ClipboardService& clipboard) {
    CopyOutcome outcome;
    const CopySpan span = CopySpanOf(table, selectionLine, currentLine);
    if (!span.IsValid()) {
        outcome.result = kCopyOutOfMemory;
        return outcome;
    }
    if (span.lastLine - span.firstLine > kCopyConfirmLines && !(confirmLarge && confirmLarge())) {
        outcome.result = kCopyDeclined;
        return outcome;
    }
    int result = kCopyOutOfMemory;
    {
        StringCopySink sink;
        result = BuildCopyText(table, span, params, sink);
        if (result == kCopyDone) {
            const int set = clipboard.SetText(sink.Text());
            Trace("_SetClipboardText(%llu) = %d(%u)\n",
                  static_cast<unsigned long long>((sink.Text().size() + 1) * 2), set,
                  GetLastError());
            result = set == 0 ? kCopyDone : set == 1 ? kCopyClipboardFailed : kCopyOutOfMemory;
        }
    }
    outcome.result = result;
    try {
        switch (result) {
            case kCopyDone:
                outcome.statusText = span.startId != span.endId
                                         ? FormatText(kDoneRange, span.startId, span.endId)
                                         : FormatText(kDoneOne, span.startId);
                break;
            case kCopyTooLarge:
                outcome.messageText = kTooLargeText;
                break;
            case kCopyClipboardFailed:
                outcome.messageText = kClipboardText;
                break;
            default:
                outcome.messageText = kNoMemoryText;
                break;
        }
    } catch (const std::bad_alloc&) {
        outcome.statusText.clear();
    }
    return outcome;
}

std::u16string_view CopyConfirmText() {
    return kConfirmText;
}

size_t IndentWidth(std::u16string_view definition, int tabLen) {
    std::u16string indent;
    IndentText(indent, ParseBlockDef(definition).indent);
    size_t width = 0;
    for (char16_t c : indent) {
        width += c == u'\t' ? static_cast<size_t>(std::max(tabLen, 0)) : 1;
    }
    return width;
}

void NormalizeBlockIndents(CanPara& para) {
    struct Entry {
        std::u16string indent;
        size_t width;
    };
    Entry entries[kBlockCount];
    for (int i = 0; i < kBlockCount; ++i) {
        const std::u16string_view definition = SlotText(para.BlockDef[i]);
        entries[i].indent = std::u16string(ParseBlockDef(definition).indent);
        entries[i].width = IndentWidth(definition, para.TabLen);
    }
    // A later entry moves forward only when strictly narrower: equal widths keep their order.
    std::stable_sort(std::begin(entries), std::end(entries),
                     [](const Entry& a, const Entry& b) { return a.width < b.width; });
    for (int i = 0; i < kBlockCount; ++i) {
        const std::u16string definition(SlotText(para.BlockDef[i]));
        const BlockDefParts parts = ParseBlockDef(definition);
        if (parts.indent == entries[i].indent) {
            continue;  // unchanged definitions are not rewritten
        }
        FormatBlockDef(para.BlockDef[i], entries[i].indent, parts.title, parts.position);
    }
}

}  // namespace tessary
