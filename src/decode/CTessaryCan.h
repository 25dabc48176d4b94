#pragma once
// The converter: turns the records of one log into message records kept in the line store,
// hands each to a line callback, and can re-deliver the stored records without the file.
#include <cstdint>
#include <string>
#include <string_view>

#include "decode/CanPara.h"
#include "decode/LineStore.h"
#include "decode/MessageRecord.h"
#include "decode/RecordText.h"
#include "decode/TextBuilder.h"
#include "logfile/CInsFileRead.h"

namespace tessary {

class CTessaryCan;
// Runs on the pass's worker thread. 0 to 0x200 go on; above 0x200 ends the pass with it.
using LineCallback = int32_t (*)(CTessaryCan* converter, MessageRecord* record, void* user);

// The ID after `id`: 0000000-0029999, 0100000-0129999, ... 9929999, then 0000000 again.
uint32_t NextRecordId(uint32_t id);

// Title rows are padded to this many characters (a fifth row that only widens the title).
inline constexpr size_t kTitleRecordWidth = 515;

// How the store is sized: for the whole log (the windows keep every record), or small for a
// stream that forgets each record once it is written.
enum class StoreSizing { kWholeLog, kStream };

class CTessaryCan : public CInsFileRead {
public:
    // Opens the log and sizes the store from its data byte count (or small for a stream).
    // `para` is not owned and must outlive the converter.
    CTessaryCan(const PathString& path, CanPara* para, StoreSizing sizing = StoreSizing::kWholeLog);
    ~CTessaryCan() override;

    // 0 the pass runs (last error cleared); 0x200 a pass runs already; -1 the reader is not
    // usable; 0x303 no worker. Bit 7 of flag byte 1 selects the re-delivery pass.
    int32_t StartPass(LineCallback callback, void* user, NotifyTarget* progressWindow);

    // A new record with the initial fields, or nullptr with kErrorNotEnoughMemory.
    MessageRecord* AppendRecord(std::u16string_view text);
    // The first record at or after `index` laid out in the current layout's row slot.
    MessageRecord* FindLaidOut(uint32_t index) const;
    // Rewrites the record's "TM=" time in the date format of CanPara; returns its length
    // without trailing blanks, 0 when the text has none.
    size_t FormatTime(MessageRecord* record);
    // Text units the record may hold, terminator included: its slot in the store, or for a
    // record not in this store its own text.
    uint64_t RoomOf(const MessageRecord* record) const;
    // The length of the record's text, found within its room.
    size_t TextLengthOf(const MessageRecord* record) const {
        return TextLengthWithin(record->Text(), RoomOf(record));
    }
    // Releases the store (with a trace of what it held and how long the release took).
    void FreeText();
    // A stream's forgetting (see LineStore::Forget); the display tables move their text
    // offsets by the answer.
    StoreMove ForgetRecords(uint32_t keepFrom, uint32_t pin) {
        return m_store.Forget(keepFrom, pin);
    }
    // The legend of one layer-1 value, or the whole legend for a negative value.
    std::u16string LY1Legend(int value) const;

    uint32_t LineCount() const { return m_store.LineCount(); }
    uint64_t LineEntry(uint32_t i) const { return m_store.Entry(i); }
    uint32_t FirstIndex() const { return m_store.FirstIndex(); }
    uint8_t* TextBase() const { return m_store.TextBase(); }
    MessageRecord* Record(uint32_t i) const { return m_store.Record(i); }
    uint32_t LineTableCapacity() const { return m_store.TableCapacity(); }
    uint64_t TextCapacity() const { return m_store.TextCapacity(); }
    uint64_t TextUsed() const { return m_store.TextUsed(); }
    uint32_t IdCounter() const { return m_idCounter; }
    CanPara* Para() const { return m_para; }

    uint8_t* OptionByte() override;
    int32_t OnBegin(uint8_t* record) override;
    int32_t OnRecord(uint8_t* record, int32_t differenceMs) override;
    int32_t OnWarning(uint32_t kind) override;

protected:
    // Test seam: the store with sizes of the caller's choice (the next appends grow it).
    void ResizeStore(uint64_t tableBytes, uint64_t textBytes) {
        m_store.Create(tableBytes, textBytes);
    }

private:
    // Clears the record text, lets `write` fill it and appends it as a new record; nullptr with
    // kErrorNotEnoughMemory when the memory runs out on the way.
    template <typename Write>
    MessageRecord* AppendNewText(Write write);
    int32_t ConvertRecord(uint8_t* record);
    // Builds the text of a frame record after its header row; returns 0, 0x100 or 0x101.
    int32_t BuildFrameText(const uint8_t* data, uint32_t length, uint8_t direction, unsigned kind);
    void Redeliver();
    int32_t Deliver(MessageRecord* record);
    uint64_t PercentRead() const;

    LineCallback m_callback = nullptr;
    void* m_user = nullptr;
    CanPara* m_para;
    int32_t m_currentBlock = -1;
    int32_t m_currentLayer = -1;
    int32_t m_currentCode = 0;
    int32_t m_currentCallRef = 0;
    uint16_t m_currentFlags = 0;
    uint32_t m_idCounter = 0;
    LineStore m_store;
    TextBuilder m_text;  // reused for every record
};

}  // namespace tessary
