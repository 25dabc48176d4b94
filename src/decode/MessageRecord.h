#pragma once
// One message record of the line store: fixed fields, then its NUL-terminated UTF-16 text.
// Records lie back to back at 4-byte aligned offsets of the store's text buffer, so the 64-bit
// Time sits at offset 12 and has to live with 4-byte alignment.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace tessary {

// Flags bits.
inline constexpr uint16_t kRecordWarning = 0x0001;
inline constexpr uint16_t kRecordError = 0x0002;          // CRC error or out of scope
inline constexpr uint16_t kRecordIncomingCall = 0x0004;   // "着"
inline constexpr uint16_t kRecordDirectThrough = 0x0008;  // kind 5

inline constexpr uint8_t kNoBlock = 0xFF;
inline constexpr uint8_t kNoLayer = 0xFF;
inline constexpr uint8_t kLayerStatus = 0;   // layer-1 status (LY1)
inline constexpr uint8_t kLayerFrame = 1;    // layer-2 frame
inline constexpr uint8_t kLayerMessage = 2;  // layer-3 call-control message

// A signed 64-bit value that needs only 4-byte alignment; reads and writes like an int64_t.
class Int64At4 {
public:
    Int64At4() = default;
    Int64At4(int64_t value) { *this = value; }  // NOLINT: behaves as the plain value
    operator int64_t() const {                  // NOLINT
        int64_t value;
        std::memcpy(&value, m_parts, sizeof value);
        return value;
    }
    Int64At4& operator=(int64_t value) {
        std::memcpy(m_parts, &value, sizeof value);
        return *this;
    }

private:
    uint32_t m_parts[2];
};

struct MessageRecord {
    uint32_t Index;    // its own position in the line table
    uint32_t DataPos;  // data position of its log record; 0 for title and warning records
    uint32_t Id;       // the "ID=" number; for a warning record the ID of the next record
    Int64At4 Time;     // ms after the log's base time
    uint16_t Flags;
    uint8_t Block;       // 0-3 = A-D, kNoBlock
    uint8_t Layer;       // kLayerStatus, kLayerFrame, kLayerMessage, kNoLayer
    int32_t Code;        // control code, message type, or (warning record) the warning mask
    int32_t CallRef;     // call reference value, -1 the dummy call reference
    int32_t RowSlot[2];  // first display row in the main / second layout; -1 not laid out

    // The text follows the fixed fields; rows are separated by LF.
    const char16_t* Text() const { return reinterpret_cast<const char16_t*>(this + 1); }
    char16_t* Text() { return reinterpret_cast<char16_t*>(this + 1); }
    std::u16string_view TextView() const { return Text(); }

    // Flags, Block and Layer as the layouts read them: Flags bits 0-15, Block 16-23, Layer
    // 24-31.
    uint32_t FlagWord() const {
        return static_cast<uint32_t>(Flags) | static_cast<uint32_t>(Block) << 16 |
               static_cast<uint32_t>(Layer) << 24;
    }
};

inline constexpr size_t kMessageRecordFixedSize = 40;
static_assert(sizeof(MessageRecord) == kMessageRecordFixedSize);
static_assert(alignof(MessageRecord) == 4);
static_assert(std::is_trivially_copyable_v<MessageRecord>);
static_assert(offsetof(MessageRecord, Time) == 12);
static_assert(offsetof(MessageRecord, Flags) == 20);
static_assert(offsetof(MessageRecord, Code) == 24);
static_assert(offsetof(MessageRecord, RowSlot) == 32);

// Bytes a record with a text of `length` UTF-16 units occupies: fixed fields, text and
// terminator, rounded up to a multiple of 4.
constexpr uint64_t MessageRecordSize(uint64_t length) {
    return (kMessageRecordFixedSize + 2 * (length + 1) + 3) & ~uint64_t{3};
}

}  // namespace tessary
