#include "platform/ErrorText.h"

#include "platform/FormatText.h"
#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary {

std::u16string ErrorMessage(std::span<const ErrorText> table, uint32_t error,
                            std::u16string_view fallback) {
    for (const ErrorText& entry : table) {
        if (entry.error == error) {
            return std::u16string(entry.text);
        }
    }
    return FormatText(fallback, error);
}

uint32_t ErrorOrOne() {
    const uint32_t error = GetLastError();
    return error != kErrorSuccess ? error : kErrorInvalidFunction;
}

}  // namespace tessary
