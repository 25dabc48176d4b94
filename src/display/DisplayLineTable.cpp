#include "display/DisplayLineTable.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "decode/SearchMark.h"
#include "display/LineCells.h"
#include "logfile/Status.h"
#include "platform/Granule.h"
#include "platform/LastError.h"
#include "platform/Trace.h"
#include "platform/WinError.h"

namespace tessary {
namespace {

// Estimates from the data byte count S: an INS64 bulk log holds two lines, so fewer lines of
// each are shown per byte.
constexpr uint64_t kBulkDivisor = 12;
constexpr uint64_t kBulkFactor = 13;
constexpr uint64_t kDivisor = 6;
constexpr uint64_t kFactor = 25;
constexpr uint64_t kBufferExtra = 2108;

bool Fail(uint32_t error) {
    SetLastError(error);
    return false;
}

uintptr_t Address(const void* p) {
    return reinterpret_cast<uintptr_t>(p);
}

// Position of the first `unit` in text[0, n), or n; four units a step (record texts are long).
size_t FindUnit(const char16_t* text, size_t n, char16_t unit) {
    const uint64_t pattern = 0x0001000100010001u * unit;
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        uint64_t four;
        std::memcpy(&four, text + i, sizeof four);
        four ^= pattern;
        if (((four - 0x0001000100010001u) & ~four & 0x8000800080008000u) != 0) {
            break;
        }
    }
    while (i < n && text[i] != unit) {
        ++i;
    }
    return i;
}

int AbsoluteClass(int colorClass) {
    return colorClass == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max()
                                                         : std::abs(colorClass);
}

}  // namespace

DisplayLineTable::~DisplayLineTable() {
    FreeText();
}

bool DisplayLineTable::PresetCapacities(uint32_t tableEntries, uint64_t bufferBytes) {
    if (m_table.IsValid() || m_buffer.IsValid()) {
        return false;
    }
    m_tableCapacity = tableEntries;
    m_bufferCapacity = bufferBytes;
    return true;
}

bool DisplayLineTable::OwnsLine(const DisplayLine* line) const {
    return line != nullptr && Line(line->lineNumber) == line;
}

uint64_t DisplayLineTable::EntryRoom(const DisplayLine* line) const {
    const int32_t n = line->lineNumber - m_firstLine;
    const uint64_t begin = Table()[n];
    const uint64_t end = n + 1 < m_lineCount - m_firstLine ? Table()[n + 1] : m_bufferUsed;
    return end - begin;
}

uint64_t DisplayLineTable::PercentRead() const {
    const uint64_t size = m_converter != nullptr ? m_converter->DataSize() : 0;
    return size == 0 ? 0 : uint64_t{m_converter->CurrentPosition()} * 100 / size;
}

uint64_t DisplayLineTable::Extrapolate(uint64_t capacity, uint64_t percent, uint64_t minimum) {
    const uint64_t granule = AllocationGranule();
    uint64_t grown = 0;
    if (percent != 0 && capacity <= std::numeric_limits<uint64_t>::max() / 100) {
        grown = capacity * 100 / percent;
    }
    if (grown <= capacity) {
        grown = capacity + granule;
    }
    // One entry may need more than a granule; never grow to less than what is asked for.
    return RoundUpToGranule(std::max(grown, minimum));
}

bool DisplayLineTable::CreateBlocks(CTessaryCan* converter) {
    uint64_t entries = m_tableCapacity;
    uint64_t bufferBytes = m_bufferCapacity;
    if (entries == 0 || bufferBytes == 0) {
        const uint64_t size = converter->DataSize();
        const bool bulk = converter->IsFileOpen() && converter->OpenStatus() == kOpenOk &&
                          !converter->IsIns1500() &&
                          converter->Header().dataKind == kDataKindIns64Bulk;
        entries = size / (bulk ? kBulkDivisor : kDivisor);
        bufferBytes = size * (bulk ? kBulkFactor : kFactor) + kBufferExtra;
    }
    // A log of a few bytes still gets a table of one granule.
    const uint64_t tableBytes =
        std::max<uint64_t>(RoundUpToGranule(8 * entries), AllocationGranule());
    if (tableBytes >= kTableByteLimit) {
        return Fail(kErrorNotEnoughMemory);
    }
    bufferBytes = RoundUpToGranule(bufferBytes);
    if (!m_table.Create(tableBytes)) {
        return Fail(kErrorNotEnoughMemory);
    }
    m_bufferPages.Release();
    if (!m_buffer.Create(bufferBytes)) {
        m_table.Destroy();
        return Fail(kErrorNotEnoughMemory);
    }
    m_tableCapacity = static_cast<uint32_t>(tableBytes / 8);
    m_bufferCapacity = bufferBytes;
    m_bufferUsed = 0;
    m_lineCount = 0;
    m_bufferPages.Follow(m_buffer.Data(), m_bufferCapacity, 0);
    return true;
}

bool DisplayLineTable::AppendLine(CTessaryCan* converter, char16_t* text, size_t n) {
    if (n > kMaxLineText) {
        return Fail(kErrorInvalidParameter);
    }
    const uint64_t size = DisplayLineSize(n);
    if (m_bufferUsed + size > m_bufferCapacity) {
        const uint64_t grown = Extrapolate(m_bufferCapacity, PercentRead(), m_bufferUsed + size);
        // The buffer may move: the page helper lets go of it first.
        m_bufferPages.Release();
        if (!m_buffer.Grow(grown)) {
            m_bufferPages.Follow(m_buffer.Data(), m_bufferCapacity, m_bufferUsed);
            return Fail(kErrorNotEnoughMemory);
        }
        m_bufferCapacity = grown;
        m_bufferPages.Follow(m_buffer.Data(), m_bufferCapacity, m_bufferUsed);
    }
    auto* line = reinterpret_cast<DisplayLine*>(m_buffer.Data() + m_bufferUsed);
    std::memset(static_cast<void*>(line), 0, kDisplayLineFixedSize);
    line->lineNumber = m_lineCount;
    line->recordIndex = -1;
    line->colorClass = 1;
    line->textOffset =
        text != nullptr ? static_cast<int64_t>(Address(text) - Address(converter->TextBase())) : 0;
    line->textLength = static_cast<uint16_t>(n);
    line->cellCount = text != nullptr ? BuildCells(text, n, line->Cells()) : 0;
    // The cells are written; the rest of the entry's room is zero as a fresh entry's.
    std::memset(line->Cells() + line->cellCount, 0,
                size - kDisplayLineFixedSize - line->cellCount * sizeof(uint16_t));

    if (m_lineCount >= kMaxDisplayLines) {
        return Fail(kErrorNotEnoughMemory);
    }
    const auto slot = static_cast<uint32_t>(m_lineCount - m_firstLine);
    if (slot >= m_tableCapacity) {
        const uint64_t bytes = 8 * uint64_t{m_tableCapacity};
        const uint64_t grown =
            std::min(Extrapolate(bytes, PercentRead(), bytes + 8), kTableByteLimit);
        if (grown <= bytes || !m_table.Grow(grown)) {
            return Fail(kErrorNotEnoughMemory);
        }
        m_tableCapacity = static_cast<uint32_t>(std::min<uint64_t>(grown / 8, kMaxDisplayLines));
    }
    Table()[slot] = m_bufferUsed;
    m_bufferUsed += size;
    m_bufferPages.Post(m_bufferUsed);
    ++m_lineCount;
    if (line->lineNumber > 0) {
        m_maximumCells = std::max<int32_t>(m_maximumCells, line->cellCount);
    }
    return true;
}

int32_t DisplayLineTable::AddLines(CTessaryCan* converter, char16_t* text, size_t length, int block,
                                   int colorClass) {
    if (converter == nullptr || converter->TextBase() == nullptr ||
        (m_lineCount > 0 && m_converter != nullptr && converter != m_converter)) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    // The text must be one inside the converter's store: lines keep offsets into it.
    size_t available = 0;
    if (text != nullptr) {
        const uintptr_t begin = Address(converter->TextBase());
        const uintptr_t end = begin + converter->TextUsed();
        const uintptr_t at = Address(text);
        if (at <= begin || at >= end || (at - begin) % sizeof(char16_t) != 0) {
            SetLastError(kErrorInvalidParameter);
            return 0;
        }
        // Only the part that will be cut needs its terminator looked for.
        size_t units = (end - at) / sizeof(char16_t);
        if (length != 0) {
            units = std::min(units, length);
        }
        available = FindUnit(text, units, u'\0');
    }
    m_converter = converter;
    if (!m_table.IsValid() || !m_buffer.IsValid()) {
        if (!CreateBlocks(converter)) {
            return 0;
        }
    }
    const int firstClass = AbsoluteClass(colorClass);
    const int laterClass = colorClass < 0 ? 1 : colorClass;

    if (text == nullptr || length == 0) {
        if (!AppendLine(converter, text, available)) {
            return 0;
        }
        DisplayLine* line = Line(m_lineCount - 1);
        line->colorClass = firstClass;
        SetBlockParts(*line, text, block);
        return m_lineCount;
    }

    const size_t limit = std::min(length, available);
    size_t pos = 0;
    bool first = true;
    for (;;) {
        const size_t lf = pos + FindUnit(text + pos, limit - pos, u'\n');
        size_t end = lf;
        if (lf < limit && end > pos && text[end - 1] == u'\r') {
            --end;
        }
        if (!AppendLine(converter, text + pos, end - pos)) {
            return 0;
        }
        DisplayLine* line = Line(m_lineCount - 1);
        line->colorClass = first ? firstClass : laterClass;
        SetBlockParts(*line, text + pos, block);
        first = false;
        if (lf >= limit || lf + 1 >= limit) {
            break;  // no empty line after a final LF
        }
        pos = lf + 1;
    }
    return m_lineCount;
}

void DisplayLineTable::FreeText() {
    if (m_table.IsValid()) {
        TraceRelease("CPaneFrame", "TblCnt", static_cast<uint64_t>(m_lineCount), m_tableCapacity,
                     [this] { m_table.Destroy(); });
    }
    m_tableCapacity = 0;
    m_lineCount = 0;
    m_firstLine = 0;
    m_bufferPages.Release();
    if (m_buffer.IsValid()) {
        TraceRelease("CPaneFrame", "LineBuff", m_bufferUsed, m_bufferCapacity,
                     [this] { m_buffer.Destroy(); });
    }
    m_bufferUsed = 0;
    m_bufferCapacity = 0;
    m_maximumCells = 0;
    m_converter = nullptr;
    m_selection = -1;
}

void DisplayLineTable::Forget(int32_t keepLine, const StoreMove& textMove) {
    keepLine = std::min(keepLine, m_lineCount);
    if (!m_table.IsValid() || !m_buffer.IsValid() || keepLine < m_firstLine) {
        return;
    }
    uint64_t* table = Table();
    const uint64_t from = keepLine < m_lineCount ? table[keepLine - m_firstLine] : m_bufferUsed;
    const auto kept = static_cast<uint32_t>(m_lineCount - keepLine);
    if (from != 0) {
        std::memmove(m_buffer.Data(), m_buffer.Data() + from, m_bufferUsed - from);
        for (uint32_t k = 0; k < kept; ++k) {
            table[k] = table[keepLine - m_firstLine + k] - from;
        }
        m_bufferUsed -= from;
        m_firstLine = keepLine;
    }
    if (textMove.Moved()) {
        for (uint32_t k = 0; k < kept; ++k) {
            auto* line = reinterpret_cast<DisplayLine*>(m_buffer.Data() + table[k]);
            if (line->textOffset > 0) {
                line->textOffset =
                    static_cast<int64_t>(textMove.Apply(static_cast<uint64_t>(line->textOffset)));
            }
        }
    }
}

std::u16string_view DisplayLineTable::TextOf(const DisplayLine* line) const {
    if (line == nullptr || m_converter == nullptr || m_converter->TextBase() == nullptr ||
        line->textOffset <= 0) {
        return {};
    }
    const auto offset = static_cast<uint64_t>(line->textOffset);
    if (offset + sizeof(char16_t) * line->textLength > m_converter->TextCapacity()) {
        return {};
    }
    return std::u16string_view(reinterpret_cast<const char16_t*>(m_converter->TextBase() + offset),
                               line->textLength);
}

MessageRecord* DisplayLineTable::RecordOf(const DisplayLine* line) const {
    if (line == nullptr || m_converter == nullptr || line->recordIndex < 0 ||
        static_cast<uint32_t>(line->recordIndex) >= m_converter->LineCount()) {
        return nullptr;
    }
    return m_converter->Record(static_cast<uint32_t>(line->recordIndex));
}

DisplayLine* DisplayLineTable::FirstLineOf(const MessageRecord* record) const {
    if (record == nullptr) {
        return nullptr;
    }
    return Line(record->RowSlot[m_source.RowSlot()]);
}

int DisplayLineTable::MarkIndex(const DisplayLine* line) const {
    if (!m_source.IsSet() || m_converter == nullptr) {
        return -1;
    }
    const MessageRecord* record = RecordOf(line);
    if (record == nullptr) {
        return -1;
    }
    return ChooseMark(m_source.conditions, kMarkCount, record->Block, record->TextView());
}

int DisplayLineTable::MarkSearchHits(const MessageRecord* record, DisplayLine* line,
                                     bool apply) const {
    if (!m_source.IsSet() || (record != nullptr && line != nullptr)) {
        return -1;
    }
    if (record == nullptr) {
        record = RecordOf(line);
        if (record == nullptr) {
            return -1;
        }
        if (apply) {
            ClearHits(*line);
        }
    }
    SearchCondition& search = m_source.conditions[kSearchSlot];
    if (!search.AppliesToBlock(record->Block) || search.Match(record->TextView()) != 0) {
        return 0;
    }
    if (line == nullptr) {
        return 1;
    }
    const std::u16string_view text = TextOf(line);
    const size_t words = search.ForEachHitWord([&](std::u16string_view word) {
        if (apply) {
            MarkWord(*line, text, word);
        }
    });
    return static_cast<int>(words);
}

int DisplayLineTable::ReplaceLineText(CTessaryCan* converter, DisplayLine* line,
                                      const char16_t* text, size_t length) {
    if (converter == nullptr || line == nullptr || text == nullptr || converter != m_converter ||
        !OwnsLine(line) || converter->TextBase() == nullptr) {
        SetLastError(kErrorInvalidParameter);
        return -1;
    }
    MessageRecord* record = RecordOf(line);
    if (record == nullptr) {
        SetLastError(kErrorInvalidParameter);
        return -1;
    }
    if (length == 0) {
        length = std::char_traits<char16_t>::length(text);
    }
    // The caller's text may lie in the record it replaces: work from a copy.
    std::u16string copy;
    try {
        copy.assign(text, length);
    } catch (const std::bad_alloc&) {
        SetLastError(kErrorNotEnoughMemory);
        return -1;
    }
    if (length > kMaxLineText) {
        return 1;
    }
    const uint32_t index = record->Index;
    const uint64_t begin = converter->LineEntry(index);
    const uint64_t end = index + 1 < converter->LineCount() ? converter->LineEntry(index + 1)
                                                            : converter->TextUsed();
    const uint64_t recordRoom = (end - begin - kMessageRecordFixedSize) / sizeof(char16_t);
    const uint64_t cellRoom = (EntryRoom(line) - kDisplayLineFixedSize) / sizeof(uint16_t);
    if (length + 1 > recordRoom || CellsOf(copy.data(), length) > cellRoom) {
        return 1;
    }
    char16_t* target = record->Text();
    std::copy(copy.begin(), copy.end(), target);
    target[length] = u'\0';
    line->textOffset = static_cast<int64_t>(Address(target) - Address(converter->TextBase()));
    line->textLength = static_cast<uint16_t>(length);
    line->cellCount = BuildCells(target, length, line->Cells());
    SetBlockParts(*line, target, record->Block < kPartCount ? record->Block : -1);
    if (line->lineNumber > 0) {
        m_maximumCells = std::max<int32_t>(m_maximumCells, line->cellCount);
    }
    return 0;
}

DisplayLine* DisplayLineTable::FirstLastLine(bool first, MessageRecord** record) const {
    if (record != nullptr) {
        *record = nullptr;
    }
    if (m_lineCount < 2) {
        return nullptr;
    }
    for (int32_t i = 1; i < m_lineCount; ++i) {
        DisplayLine* line = Line(first ? i : m_lineCount - i);
        if (record == nullptr) {
            return line;
        }
        if (MessageRecord* found = RecordOf(line)) {
            *record = found;
            return line;
        }
    }
    return nullptr;
}

SelectionChange DisplayLineTable::SelectLine(const DisplayLine* line) {
    SelectionChange change;
    if (line != nullptr && (!OwnsLine(line) || line->lineNumber < 1)) {
        return change;
    }
    const MessageRecord* record = RecordOf(line);
    const DisplayLine* old = SelectionLine();
    const MessageRecord* oldRecord = RecordOf(old);
    const DisplayLine* first = FirstLineOf(record);
    m_selection = first != nullptr ? first->lineNumber : -1;
    change.notifyLine = m_selection;
    change.recordChanged = record != oldRecord;
    change.oldSelection = old;
    change.result = old != nullptr ? old->lineNumber : 0;
    return change;
}

bool DisplayLineTable::IsSelectedRecord(const DisplayLine* line) const {
    const MessageRecord* selected = RecordOf(SelectionLine());
    return selected != nullptr && selected == RecordOf(line);
}

}  // namespace tessary
