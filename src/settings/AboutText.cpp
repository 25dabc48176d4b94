#include "settings/AboutText.h"

#include "platform/FormatText.h"

namespace tessary {

std::u16string AboutVersionText(std::u16string_view programFileName, uint32_t version) {
    return FormatText(u"%s Ver %u.%u.%u.%u <x64>", programFileName, (version >> 24) & 0xFFu,
                      (version >> 16) & 0xFFu, (version >> 8) & 0xFFu, version & 0xFFu);
}

}  // namespace tessary
