#include "decode/LineStore.h"

#include <algorithm>
#include <cstring>

#include "platform/Granule.h"
#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary {

namespace {

constexpr uint64_t kTableEntryBytes = 8;
constexpr uint64_t kMaxTextLength = 0x7FFFFFFF;

MessageRecord* Fail() {
    SetLastError(kErrorNotEnoughMemory);
    return nullptr;
}

}  // namespace

void LineStore::Create(uint64_t tableBytes, uint64_t textBytes) {
    DestroyTable();
    DestroyText();
    tableBytes = RoundUpToGranule(tableBytes);
    if (tableBytes > 0 && m_table.Create(tableBytes)) {
        m_tableCapacity =
            static_cast<uint32_t>(std::min<uint64_t>(tableBytes / kTableEntryBytes, kMaxLineCount));
    }
    textBytes = RoundUpToGranule(textBytes);
    if (textBytes > 0 && m_text.Create(textBytes)) {
        m_textPages.Follow(m_text.Data(), m_text.Capacity(), 0);
    }
}

uint64_t LineStore::GrownSize(uint64_t capacity, uint64_t needed, uint64_t percentRead) {
    const uint64_t granule = AllocationGranule();
    uint64_t grown = percentRead > 0 ? capacity * 100 / percentRead : 0;
    if (grown <= capacity) {
        grown = capacity + granule;
    }
    // A record larger than the extrapolated growth still has to fit.
    grown = std::max(grown, needed);
    return RoundUpToGranule(grown);
}

MessageRecord* LineStore::Append(std::u16string_view text, uint64_t percentRead) {
    if (!m_table.IsValid() || !m_text.IsValid() || m_lineCount >= kMaxLineCount ||
        text.size() > kMaxTextLength) {
        return Fail();
    }
    const uint64_t size = MessageRecordSize(text.size());
    if (m_textUsed + size > m_text.Capacity()) {
        // A text taken from a stored record must survive the buffer moving.
        const auto* source = reinterpret_cast<const uint8_t*>(text.data());
        const bool inside = source >= m_text.Data() && source < m_text.Data() + m_text.Capacity();
        const uint64_t sourceOffset = inside ? static_cast<uint64_t>(source - m_text.Data()) : 0;
        // The block may move: the page helper lets go of it first.
        m_textPages.Release();
        const bool grown =
            m_text.Grow(GrownSize(m_text.Capacity(), m_textUsed + size, percentRead));
        m_textPages.Follow(m_text.Data(), m_text.Capacity(), m_textUsed);
        if (!grown) {
            return Fail();
        }
        if (inside) {
            text = std::u16string_view(
                reinterpret_cast<const char16_t*>(m_text.Data() + sourceOffset), text.size());
        }
    }
    const uint64_t offset = m_textUsed;
    uint8_t* place = m_text.Data() + offset;
    // The fixed fields, then the text; only the terminator and the padding need zeros.
    std::memset(place, 0, kMessageRecordFixedSize);
    std::memset(place + kMessageRecordFixedSize + text.size() * sizeof(char16_t), 0,
                size - kMessageRecordFixedSize - text.size() * sizeof(char16_t));
    auto* record = reinterpret_cast<MessageRecord*>(place);
    record->Index = m_lineCount;
    record->Block = kNoBlock;
    record->Layer = kNoLayer;
    record->RowSlot[0] = -1;
    record->RowSlot[1] = -1;
    if (!text.empty()) {
        std::memcpy(record->Text(), text.data(), text.size() * sizeof(char16_t));
    }
    m_textUsed += size;
    m_textPages.Post(m_textUsed);

    const uint32_t slot = m_lineCount - m_first;
    if (slot >= m_tableCapacity) {
        const uint64_t bytes = m_tableCapacity * kTableEntryBytes;
        const uint64_t grown = GrownSize(bytes, bytes + kTableEntryBytes, percentRead);
        if (!m_table.Grow(grown)) {
            return Fail();  // the text bytes stay used but unreferenced
        }
        m_tableCapacity =
            static_cast<uint32_t>(std::min<uint64_t>(grown / kTableEntryBytes, kMaxLineCount));
    }
    reinterpret_cast<uint64_t*>(m_table.Data())[slot] = offset;
    ++m_lineCount;
    return record;
}

uint64_t LineStore::TextRoom(uint32_t i) const {
    if (i >= m_lineCount) {
        return 0;
    }
    if (i < m_first) {
        return i == m_pin ? (m_pinSize - kMessageRecordFixedSize) / sizeof(char16_t) : 0;
    }
    const uint64_t begin = Table()[i - m_first];
    const uint64_t end = i + 1 < m_lineCount ? Table()[i + 1 - m_first] : m_textUsed;
    return (end - begin - kMessageRecordFixedSize) / sizeof(char16_t);
}

StoreMove LineStore::Forget(uint32_t keepFrom, uint32_t pin) {
    StoreMove move;
    keepFrom = std::min(keepFrom, m_lineCount);
    if (!m_table.IsValid() || !m_text.IsValid() || keepFrom <= m_first) {
        move.restFrom = move.restTo = 0;
        return move;
    }
    uint64_t* table = reinterpret_cast<uint64_t*>(m_table.Data());
    uint8_t* base = m_text.Data();
    // The pinned record: one forgotten by the order but still read by a layout.
    if (pin != kNoRecordIndex && pin < keepFrom && Record(pin) != nullptr) {
        const uint64_t from = pin == m_pin ? 0 : table[pin - m_first];
        const uint64_t to = pin == m_pin || pin + 1 >= m_lineCount
                                ? from + (pin == m_pin ? m_pinSize : m_textUsed - from)
                                : table[pin + 1 - m_first];
        move.pinFrom = from;
        move.pinSize = to - from;
        std::memmove(base, base + from, move.pinSize);
        m_pin = pin;
        m_pinSize = move.pinSize;
    } else {
        m_pin = kNoRecordIndex;
        m_pinSize = 0;
    }
    move.restFrom = keepFrom < m_lineCount ? table[keepFrom - m_first] : m_textUsed;
    move.restTo = move.pinSize;
    const uint64_t restBytes = m_textUsed - move.restFrom;
    std::memmove(base + move.restTo, base + move.restFrom, restBytes);
    const uint32_t kept = m_lineCount - keepFrom;
    for (uint32_t k = 0; k < kept; ++k) {
        table[k] = table[keepFrom - m_first + k] - move.restFrom + move.restTo;
    }
    m_textUsed = move.restTo + restBytes;
    m_first = keepFrom;
    return move;
}

void LineStore::DestroyTable() {
    m_table.Destroy();
    m_tableCapacity = 0;
    m_lineCount = 0;
    m_first = 0;
    m_pin = kNoRecordIndex;
    m_pinSize = 0;
}

void LineStore::DestroyText() {
    m_textPages.Release();
    m_text.Destroy();
    m_textUsed = 0;
}

}  // namespace tessary
