#pragma once
// The range copy of the block panes: which display lines a copy covers, the context item's
// text, and the plain-text rendering of those lines (heading, block titles, block indents,
// highlight marks) that goes to the clipboard, or to tessarydump's output.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "decode/CanPara.h"
#include "display/DisplayLineTable.h"

namespace tessary {

// Results of CopyRange.
inline constexpr int kCopyDone = 0;
inline constexpr int kCopyTooLarge = 1;
inline constexpr int kCopyClipboardFailed = 2;
inline constexpr int kCopyDeclined = 256;
inline constexpr int kCopyOutOfMemory = -1;

// The clipboard takes at most this many bytes of UTF-16 text.
inline constexpr uint64_t kCopyByteLimit = uint64_t{1} << 32;
// Ranges wider than this (last line - first line) are confirmed first.
inline constexpr int32_t kCopyConfirmLines = 100000;

// Whole messages from the start record's first display line to the end record's last.
struct CopySpan {
    int32_t firstLine = -1;
    int32_t lastLine = -1;
    uint32_t startId = 0;
    uint32_t endId = 0;

    bool IsValid() const { return firstLine > 0 && lastLine >= firstLine; }
};

// From selection line S to current line L (either order); invalid without a selection line
// with a message record, or when no message lies between them.
CopySpan CopySpanOf(const DisplayLineTable& table, int32_t selectionLine, int32_t currentLine);

// The item "...%s..." filled with "(ID=%07u ～ %07u)", "(ID=%07u)", or "" for no span.
std::u16string CopyItemText(std::u16string_view itemTemplate, const CopySpan& span);
// The copy-word item's text from its first '<' through its last '>' (empty without both).
std::u16string CopyWordText(std::u16string_view itemText);

// Where the built text goes. Line ends are given separately so that a sink may write its own.
class CopySink {
public:
    virtual ~CopySink() = default;
    // False ends the copy as out of memory (or, for a stream, as failed).
    virtual bool Append(std::u16string_view text) = 0;
    virtual bool EndLine() = 0;
};

// Collects the clipboard text, lines ended by CR LF.
class StringCopySink : public CopySink {
public:
    bool Append(std::u16string_view text) override;
    bool EndLine() override;
    std::u16string& Text() { return m_text; }

private:
    std::u16string m_text;
};

struct CopyParams {
    const CanPara* para = nullptr;
    // Block shown at pane position 0-3 (left to right).
    int paneBlocks[kBlockCount] = {0, 1, 2, 3};
    // The layer-1 legend (main window) or the window title (aggregation window).
    std::u16string_view heading;
    // Bytes of UTF-16 text (terminator included) above which the copy stops; 0 for no limit.
    uint64_t byteLimit = kCopyByteLimit;
    // An invalid span writes the heading and the titles alone instead of failing.
    bool linesOptional = false;
};

// Writes the copy text piece by piece: the heading and block titles once, then runs of display
// lines in order. The range copy writes a span of a finished table; tessarydump writes each
// record's lines as soon as they are laid out. Results as BuildCopyText's.
class CopyTextWriter {
public:
    // `params.para` must be set; the table, params and sink must outlive the writer.
    CopyTextWriter(const DisplayLineTable& table, const CopyParams& params, CopySink& sink);
    int WriteHeading();
    // Lines first to last (inclusive, all held by the table).
    int WriteLines(int32_t first, int32_t last);

private:
    class Counter {
    public:
        Counter(CopySink& sink, uint64_t byteLimit) : m_sink(sink), m_limit(byteLimit) {}
        bool Append(std::u16string_view text) {
            m_units += text.size();
            return m_sink.Append(text);
        }
        bool EndLine() {
            m_units += 2;
            return m_sink.EndLine();
        }
        // Bytes with the terminator against the limit.
        bool OverLimit() const { return m_limit != 0 && (m_units + 1) * 2 > m_limit; }
        // Whether `units` more would pass the limit, before they are written.
        bool WouldPass(uint64_t units) const {
            return m_limit != 0 && (m_units + units + 1) * 2 > m_limit;
        }

    private:
        CopySink& m_sink;
        uint64_t m_limit;
        uint64_t m_units = 0;
    };

    int WriteLine(const DisplayLine* entry);

    const DisplayLineTable& m_table;
    const CopyParams& m_params;
    Counter m_out;
    std::u16string m_indents[kBlockCount];
    std::u16string m_line;
    int m_spcCnt = 0;
    // Marks belong to the record: matched once for all of its lines.
    int32_t m_markRecord = -1;
    int m_mark = -1;
    // The mark field as it replaces a line's leading blanks, per rule.
    std::u16string m_markFields[kBlockCount];
};

// Heading, block titles and the lines of the span: kCopyDone, kCopyTooLarge or
// kCopyOutOfMemory (also when the sink fails). Highlight marks come from the table's source.
int BuildCopyText(const DisplayLineTable& table, const CopySpan& span, const CopyParams& params,
                  CopySink& sink);

// Puts one text on the clipboard: 0 done, 1 it cannot be opened or set, -1 no memory.
class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    virtual int SetText(std::u16string_view text) = 0;
};

struct CopyOutcome {
    int result = kCopyOutOfMemory;
    std::u16string statusText;   // for the message pane after success
    std::u16string messageText;  // for the message box after a failure (1, 2, -1)
};

// The copy-range command. `confirmLarge` answers the 100 000-line question (true = Yes).
CopyOutcome CopyRange(const DisplayLineTable& table, int32_t selectionLine, int32_t currentLine,
                      const CopyParams& params, const std::function<bool()>& confirmLarge,
                      ClipboardService& clipboard);

// The question asked before a range of more than 100 000 lines.
std::u16string_view CopyConfirmText();

// Sorts the four block indents by width (tabs count TabLen columns), narrowest first, and
// writes them back to definitions 0-3, each keeping its title and position.
void NormalizeBlockIndents(CanPara& para);
// Columns of a definition's indent field.
size_t IndentWidth(std::u16string_view definition, int tabLen);

}  // namespace tessary
