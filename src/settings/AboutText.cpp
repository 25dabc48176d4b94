#include "settings/AboutText.h"

#include <cstdio>

namespace tessary {

std::u16string AboutVersionText(std::u16string_view programFileName, uint32_t version) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, " Ver %u.%u.%u.%u ", (version >> 24) & 0xFFu,
                  (version >> 16) & 0xFFu, (version >> 8) & 0xFFu, version & 0xFFu);
    std::u16string text(programFileName);
    for (const char* c = numbers; *c != '\0'; ++c) {
        text.push_back(static_cast<char16_t>(*c));
    }
    text += u"<x64>";
    return text;
}

}  // namespace tessary
