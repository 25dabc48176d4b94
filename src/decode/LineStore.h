#pragma once
// The converter's line store: a line table of 64-bit offsets and a text buffer of message
// records, each one GrowBlock. Offsets, not pointers, because the buffer may move when it
// grows; nothing is allocated per record.
#include <cstdint>
#include <string_view>

#include "decode/MessageRecord.h"
#include "platform/GrowBlock.h"

namespace tessary {

inline constexpr uint32_t kMaxLineCount = 0x7FFFFFFF;

class LineStore {
public:
    // Creates the two blocks with the given sizes rounded up to the granule. A block that
    // cannot be made stays absent; every append then fails.
    void Create(uint64_t tableBytes, uint64_t textBytes);
    // Appends a record with the initial fields (Index, Block/Layer none, RowSlot -1, the rest
    // 0). `percentRead` (0-100) steers growth: capacity x 100 / percent, or one granule more.
    // nullptr with last error kErrorNotEnoughMemory; what is stored stays valid.
    MessageRecord* Append(std::u16string_view text, uint64_t percentRead);

    void DestroyTable();
    void DestroyText();

    bool HasTable() const { return m_table.IsValid(); }
    bool HasText() const { return m_text.IsValid(); }
    uint32_t LineCount() const { return m_lineCount; }
    uint32_t TableCapacity() const { return m_tableCapacity; }
    uint64_t TextUsed() const { return m_textUsed; }
    uint64_t TextCapacity() const { return m_text.Capacity(); }
    const uint64_t* Table() const { return reinterpret_cast<const uint64_t*>(m_table.Data()); }
    uint8_t* TextBase() const { return m_text.Data(); }
    // Record i (below LineCount()).
    MessageRecord* Record(uint32_t i) const {
        return reinterpret_cast<MessageRecord*>(m_text.Data() + Table()[i]);
    }
    // Text units record i may hold, terminator included (its slot up to the next record).
    uint64_t TextRoom(uint32_t i) const;

private:
    static uint64_t GrownSize(uint64_t capacity, uint64_t needed, uint64_t percentRead);

    GrowBlock m_table;
    GrowBlock m_text;
    uint32_t m_tableCapacity = 0;
    uint32_t m_lineCount = 0;
    uint64_t m_textUsed = 0;
};

}  // namespace tessary
