#pragma once
// Information elements of a call-control message: the walk that makes the element rows, the
// element search used by the channel and number summaries, and the value decoders.
#include <cstdint>

#include "decode/TextBuilder.h"

namespace tessary {

// Moves `cursor` (and `remaining`) to the next element with `identifier` (any element when
// negative). Returns its total length, 1 when an escape element (0x7F) was reached, 0 when no
// element is left, -1 when an element runs past `remaining`.
int32_t FindElement(const uint8_t*& cursor, int32_t& remaining, int identifier);

// Appends the value text of the element at `element` (total length `available`) to its name.
void DecodeElement(const uint8_t* element, int32_t available, TextBuilder& text);

// "CH=..." texts of every channel identification element, joined by one space.
bool ChannelSummary(const uint8_t* elements, int32_t length, TextBuilder& text);

enum class NumberParty { kCalling, kCalled };

// "発番号=..." or "着番号=..." texts of every such element, joined by one space.
bool NumberSummary(const uint8_t* elements, int32_t length, NumberParty party, TextBuilder& text);

// The element rows: every element's text in message order, packed into rows of at most
// `blockLen` display columns (a wider text stands alone). Returns whether a row was made.
bool ElementRows(const uint8_t* elements, int32_t length, int32_t blockLen, TextBuilder& text);

}  // namespace tessary
