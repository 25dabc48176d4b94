#pragma once
// What a display line table reads from its owner (the main window or an aggregation window):
// the parameter record (colour table, and flag byte 1 bit 6 choosing the RowSlot) and the five
// compiled rule slots (highlight rules #0-#3, the search in slot 4). The owner points these at
// its own members; the table owns neither.
#include "decode/CanPara.h"
#include "decode/SearchCondition.h"

namespace tessary {

inline constexpr size_t kSearchSlot = 4;

struct DisplaySource {
    const CanPara* para = nullptr;
    SearchCondition* conditions = nullptr;  // kMarkIfTextCount slots

    bool IsSet() const { return para != nullptr && conditions != nullptr; }
    // The RowSlot of message records the owner's layout writes.
    int RowSlot() const {
        return para != nullptr && (para->Flag[1] & kFlag1SecondRowSlot) != 0 ? 1 : 0;
    }
    const ColorPair* Colors() const { return para != nullptr ? para->Color : nullptr; }
};

}  // namespace tessary
