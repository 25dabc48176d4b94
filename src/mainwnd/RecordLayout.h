#pragma once
// The main window's layout of converted message records into display lines: the line callback
// that the converter calls on its worker thread once per record, in file order.
#include <cstdint>

#include "decode/CTessaryCan.h"
#include "display/DisplayLineTable.h"

namespace tessary {

// Colour classes the layout gives (the panes' table of classes).
inline constexpr int kClassTitle = 0;
inline constexpr int kClassNormal = 1;
inline constexpr int kClassWarning = 2;  // warning and error records, layer 1
inline constexpr int kClassRr = 3;
inline constexpr int kClassMessageFirstRow = 4;  // given as -4: only the first line

inline constexpr int32_t kLayoutGoOn = 0;
inline constexpr int32_t kLayoutOutOfMemory = 772;

// Line callback; `user` is the DisplayLineTable to fill. 0 goes on (also for a hidden RR
// record), 772 when appending fails, -1 (kErrorInvalidParameter) without table or record.
int32_t LayoutRecord(CTessaryCan* converter, MessageRecord* record, void* user);

}  // namespace tessary
