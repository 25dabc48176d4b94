#include "decode/Elements.h"

#include <algorithm>
#include <bit>

#include "decode/ElementText.h"
#include "decode/Layer3Codes.h"
#include "decode/Layer3Labels.h"

namespace tessary {

namespace {

namespace ie = q931::ie;

// Facility forms that carry a reason the calling number is withheld, and the i-number
// notice; 0 stands for the octet left free (and the value octet at the end).
constexpr uint8_t kFacilityWithheld[] = {0x91, 0xA1, 0x0E, 0x02, 0x01, 0x00, 0x06, 0x06, 0x02,
                                         0x83, 0x38, 0x66, 0x01, 0x01, 0x0A, 0x01, 0x00};
constexpr uint8_t kFacilityINumber[] = {0x91, 0xA1, 0x11, 0x02, 0x01, 0x00, 0x06, 0x07, 0x03, 0xA2,
                                        0x31, 0x87, 0x69, 0x01, 0x05, 0x31, 0x03, 0x81, 0x01, 0x00};
constexpr int32_t kFacilityFreeOctet = 5;

bool IsSingleOctet(uint8_t identifier) {
    return identifier == ie::kEscape || identifier == ie::kShift6 || identifier == ie::kRepeat;
}

// Total length of the element at `element`, or 0 when it runs past `remaining` (> 0).
int32_t ElementLength(const uint8_t* element, int32_t remaining) {
    if (IsSingleOctet(element[0])) {
        return 1;
    }
    if (remaining < 2) {
        return 0;
    }
    int32_t total = element[1] + 2;
    return total > remaining ? 0 : total;
}

// True when `content` holds `form` (its free octet and its last octet, the value, excepted).
template <size_t N>
bool MatchesForm(const uint8_t* content, int32_t count, const uint8_t (&form)[N]) {
    if (count < static_cast<int32_t>(N)) {
        return false;
    }
    for (size_t i = 0; i + 1 < N; ++i) {
        if (static_cast<int32_t>(i) != kFacilityFreeOctet && content[i] != form[i]) {
            return false;
        }
    }
    return true;
}

void DecodeFacility(const uint8_t* content, int32_t count, TextBuilder& text) {
    if (MatchesForm(content, count, kFacilityWithheld)) {
        uint8_t reason = content[std::size(kFacilityWithheld) - 1];
        if (reason < std::size(kFacilityWithheldReasons)) {
            text.Append(kFacilityWithheldReasons[reason]);
            return;
        }
    } else if (MatchesForm(content, count, kFacilityINumber)) {
        uint8_t number = content[std::size(kFacilityINumber) - 1];
        if (number >= 1 && number <= 3) {
            text.Append(kTextINumber);
            AppendDecimal(text, number);
            return;
        }
    }
    text.Append(kTextFacilityUnknown);
}

void DecodeCause(const uint8_t* content, int32_t count, TextBuilder& text) {
    // Without the extension bit in octet 1, octet 2 (recommendation) comes before the value.
    int32_t at = (content[0] & 0x80) != 0 ? 1 : 2;
    if (at >= count) {
        return;
    }
    uint8_t value = content[at] & 0x7F;
    if (value == 16 || value == 31) {
        text.Append(kTextCauseNormal);
        return;
    }
    text.AppendAscii("0x");
    text.AppendHex2(value);
    text.Append(u'(');
    AppendDecimal(text, value);
    text.Append(u')');
}

void DecodeRedirectingNumber(const uint8_t* content, int32_t count, TextBuilder& text) {
    int32_t digits = 0;
    if ((content[0] & 0x80) != 0) {
        digits = 1;
    } else if (count >= 2 && (content[1] & 0x80) != 0) {
        digits = 2;
    } else if (count >= 3 && (content[2] & 0x80) != 0) {
        static constexpr char16_t kHex[] = u"0123456789ABCDEF";
        text.Append(kTextRedirectReason);
        text.Append(kHex[content[2] & 0x0F]);
        text.Append(u'=');
        digits = 3;
    } else {
        text.Append(kTextUnspecified);
        return;
    }
    AppendOctetChars(text, content + digits, count - digits);
}

void AppendChangeability(uint8_t first, TextBuilder& text) {
    text.Append((first & 0x08) != 0 ? kTextChangeForbidden : kTextChangeAllowed);
}

void AppendPrimaryRateChannel(const uint8_t* content, int32_t count, TextBuilder& text) {
    if (count < 2) {
        text.Append(kTextOutOfStandard);
        return;
    }
    if (content[1] == 0x83) {  // channel number follows
        if (count < 3 || (content[2] & 0x80) == 0) {
            text.Append(kTextOutOfStandard);
            return;
        }
        AppendDecimal(text, content[2] & 0x7F, 2);
        text.Append(kTextChannelChange);
        AppendChangeability(content[0], text);
        return;
    }
    if (content[1] == 0x93) {  // slot map follows: octet 5 holds channels 1-8
        if (count < 5) {
            text.Append(kTextOutOfStandard);
            return;
        }
        uint32_t map = static_cast<uint32_t>(content[4]) | static_cast<uint32_t>(content[3]) << 8 |
                       static_cast<uint32_t>(content[2]) << 16;
        if (std::popcount(map) != 1) {
            text.Append(kTextUnknown);
            return;
        }
        AppendDecimal(text, static_cast<uint32_t>(std::countr_zero(map)) + 1, 2);
        text.Append(kTextChannelChange);
        AppendChangeability(content[0], text);
        return;
    }
    text.Append(kTextUnknown);
}

void AppendChannel(const uint8_t* content, int32_t count, TextBuilder& text) {
    uint8_t first = content[0];
    switch (first & ~0x08) {
        case 0x80:
        case 0xA0:
            text.Append(kTextNoChannel);
            break;
        case 0x81:
        case 0x82:
            AppendDecimal(text, first & 3, 2);
            text.Append(kTextChannelChange);
            AppendChangeability(first, text);
            break;
        case 0x83:
        case 0xA3:
            text.Append(kTextAnyChannel);
            break;
        case 0xA1:
            AppendPrimaryRateChannel(content, count, text);
            break;
        default:
            text.Append(kTextOutOfStandard);
            break;
    }
}

void AppendCallingNumber(const uint8_t* content, int32_t count, TextBuilder& text) {
    if (content[0] == 0x80) {
        text.Append(kTextBySubscription);
        return;
    }
    if (content[0] != 0) {
        text.Append(kTextUnknownNumberType);
        return;
    }
    if (count < 2 || (content[1] & 0x80) == 0) {
        text.Append(kTextUnspecified);
        return;
    }
    switch ((content[1] >> 5) & 3) {
        case 1:
            text.Append(kTextPresentationRestricted);
            break;
        case 2:
            text.Append(kTextNotAvailable);
            break;
        case 3:
            text.Append(kTextUnspecified);
            break;
        default:
            if (count > 2) {
                AppendOctetChars(text, content + 2, count - 2);
            } else {
                text.Append(kTextPresentationAllowed);
            }
            break;
    }
}

void AppendCalledNumber(const uint8_t* content, int32_t count, TextBuilder& text) {
    if (content[0] == 0x80) {
        AppendOctetChars(text, content + 1, count - 1);
    } else {
        text.Append(kTextUnknownNumberType);
    }
}

// Runs `append` on the content of every element `identifier` found, each text behind its
// name and joined by one space; an element without content ends the search.
template <typename Append>
bool Summarize(const uint8_t* elements, int32_t length, uint8_t identifier, Append append,
               TextBuilder& text) {
    const uint8_t* cursor = elements;
    int32_t remaining = length;
    bool any = false;
    for (;;) {
        int32_t total = FindElement(cursor, remaining, identifier);
        if (total < 3) {
            return any;
        }
        if (any) {
            text.Append(u' ');
        }
        text.Append(kElementNames[identifier]);
        append(cursor + 2, total - 2, text);
        any = true;
        cursor += total;
        remaining -= total;
    }
}

// A label from a table by code, or "unknown" where the table has none for the code.
void AppendLabelOrUnknown(TextBuilder& text, std::u16string_view label) {
    text.Append(label.empty() ? kTextUnknown : label);
}

}  // namespace

int32_t FindElement(const uint8_t*& cursor, int32_t& remaining, int identifier) {
    while (remaining > 0) {
        uint8_t id = cursor[0];
        if (id == ie::kEscape) {
            return 1;
        }
        int32_t total = ElementLength(cursor, remaining);
        if (total == 0) {
            return -1;
        }
        if (identifier < 0 || id == identifier) {
            return total;
        }
        cursor += total;
        remaining -= total;
    }
    return 0;
}

void DecodeElement(const uint8_t* element, int32_t available, TextBuilder& text) {
    if (available < 2 || IsSingleOctet(element[0])) {
        return;
    }
    const uint8_t* content = element + 2;
    int32_t count = std::min<int32_t>(element[1], available - 2);
    if (count <= 0) {
        return;
    }
    switch (element[0]) {
        case ie::kBearer:
            AppendLabelOrUnknown(text, kBearerCapabilities[content[0]]);
            break;
        case ie::kCause:
            DecodeCause(content, count, text);
            break;
        case ie::kCallState:
            AppendLabelOrUnknown(text, kCallStates[content[0]]);
            break;
        case ie::kFacility:
            DecodeFacility(content, count, text);
            break;
        case ie::kProgress:
            if (count >= 2) {
                AppendDecimal(text, content[1] & 0x7F);
            }
            break;
        case ie::kCallingSub:
        case ie::kCalledSub:
            // Only the user-specified IA5 form ('P') is shown as text.
            if (count >= 2 && content[0] == 0x80 && content[1] == 0x50) {
                AppendOctetChars(text, content + 2, count - 2);
            } else {
                text.Append(kTextNonStandard);
            }
            break;
        case ie::kRedirecting:
            DecodeRedirectingNumber(content, count, text);
            break;
        default:
            break;
    }
}

bool ChannelSummary(const uint8_t* elements, int32_t length, TextBuilder& text) {
    return Summarize(elements, length, ie::kChannel, AppendChannel, text);
}

bool NumberSummary(const uint8_t* elements, int32_t length, NumberParty party, TextBuilder& text) {
    if (party == NumberParty::kCalling) {
        return Summarize(elements, length, ie::kCalling, AppendCallingNumber, text);
    }
    return Summarize(elements, length, ie::kCalled, AppendCalledNumber, text);
}

bool ElementRows(const uint8_t* elements, int32_t length, int32_t blockLen, TextBuilder& text) {
    const uint8_t* element = elements;
    int32_t remaining = length;
    int32_t used = 0;  // display columns of the current row
    bool any = false;
    while (remaining > 0) {
        uint8_t id = element[0];
        int32_t total = ElementLength(element, remaining);
        if (total == 0) {
            break;  // runs past the message: its bytes stay visible in the hex rows
        }
        std::u16string_view name = kElementNames[id];
        bool last = id == ie::kEscape || name.empty();
        if (id != ie::kChannel && id != ie::kCalling && id != ie::kCalled) {
            // A separator goes in first; it becomes LF when the text does not fit the row.
            size_t separator = text.Length();
            if (used > 0) {
                text.Append(u' ');
            }
            size_t start = text.Length();
            if (name.empty()) {
                text.Append(kTextUnlistedElement);
            } else {
                text.Append(name);
                DecodeElement(element, total, text);
            }
            int32_t width = static_cast<int32_t>(text.WidthFrom(start));
            if (used > 0 && used + 1 + width > blockLen) {
                text.MutableData()[separator] = u'\n';
                used = width;
            } else {
                used += used > 0 ? width + 1 : width;
            }
            any = true;
        }
        if (last) {
            break;
        }
        element += total;
        remaining -= total;
    }
    return any;
}

}  // namespace tessary
