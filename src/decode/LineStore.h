#pragma once
// The converter's line store: a line table of 64-bit offsets and a text buffer of message
// records, each one GrowBlock. Offsets, not pointers, because the buffer may move when it
// grows; nothing is allocated per record.
#include <cstdint>
#include <string_view>

#include "decode/MessageRecord.h"
#include "platform/GrowBlock.h"
#include "platform/PagePreparer.h"

namespace tessary {

inline constexpr uint32_t kMaxLineCount = 0x7FFFFFFF;
inline constexpr uint32_t kNoRecordIndex = 0xFFFFFFFF;

// Where Forget moved the texts it kept: the kept record first, then the records from the first
// kept index on. Offsets of anything else are no longer valid.
struct StoreMove {
    uint64_t pinFrom = 0;
    uint64_t pinSize = 0;
    uint64_t restFrom = 0;
    uint64_t restTo = 0;

    bool Moved() const { return pinFrom != 0 || restFrom != restTo; }
    // The new offset of a byte that was at `offset` in a kept record.
    uint64_t Apply(uint64_t offset) const {
        if (pinSize != 0 && offset >= pinFrom && offset < pinFrom + pinSize) {
            return offset - pinFrom;
        }
        return offset - restFrom + restTo;
    }
};

class LineStore {
public:
    // Creates the two blocks with the given sizes rounded up to the granule. A block that
    // cannot be made stays absent; every append then fails.
    void Create(uint64_t tableBytes, uint64_t textBytes);
    // Appends a record with the initial fields (Index, Block/Layer none, RowSlot -1, the rest
    // 0). `percentRead` (0-100) steers growth: capacity x 100 / percent, or one granule more.
    // nullptr with last error kErrorNotEnoughMemory; what is stored stays valid.
    MessageRecord* Append(std::u16string_view text, uint64_t percentRead);

    // A stream that writes each record once keeps only what the next layout step reads: the
    // records from `keepFrom` on and the one record `pin` (kNoRecordIndex for none). They move
    // to the front of the buffer and keep their Index; every other record is gone (Record()
    // answers nullptr for it).
    StoreMove Forget(uint32_t keepFrom, uint32_t pin);

    void DestroyTable();
    void DestroyText();

    bool HasTable() const { return m_table.IsValid(); }
    bool HasText() const { return m_text.IsValid(); }
    uint32_t LineCount() const { return m_lineCount; }
    // The first record index still held in order (0 unless Forget dropped records).
    uint32_t FirstIndex() const { return m_first; }
    uint32_t TableCapacity() const { return m_tableCapacity; }
    uint64_t TextUsed() const { return m_textUsed; }
    uint64_t TextCapacity() const { return m_text.Capacity(); }
    // The offsets of the records held, from FirstIndex() on.
    const uint64_t* Table() const { return reinterpret_cast<const uint64_t*>(m_table.Data()); }
    uint8_t* TextBase() const { return m_text.Data(); }
    // Offset of record i in the text buffer (i held: below LineCount(), not forgotten).
    uint64_t Entry(uint32_t i) const { return i >= m_first ? Table()[i - m_first] : 0; }
    // Record i (below LineCount()), nullptr for a forgotten one.
    MessageRecord* Record(uint32_t i) const {
        if (i >= m_first) [[likely]] {
            return reinterpret_cast<MessageRecord*>(m_text.Data() + Table()[i - m_first]);
        }
        return i == m_pin ? reinterpret_cast<MessageRecord*>(m_text.Data()) : nullptr;
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
    // After Forget: table entry 0 is record m_first; record m_pin (if any) lies at offset 0.
    uint32_t m_first = 0;
    uint32_t m_pin = kNoRecordIndex;
    uint64_t m_pinSize = 0;
    // Last, so that it stops before the text block goes.
    PagePreparer m_textPages;
};

}  // namespace tessary
