#pragma once
// Windows error numbers as message texts: each caller names the numbers it words in its own
// table; every other number shows in the caller's fallback template with the number
// ("Error = %u").
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessary {

struct ErrorText {
    uint32_t error;
    std::u16string_view text;
};

// The text of `error` in `table`, else `fallback` filled with the number (FormatText).
std::u16string ErrorMessage(std::span<const ErrorText> table, uint32_t error,
                            std::u16string_view fallback);

// The thread's last error, or 1 (invalid function) when the call that failed set none, so
// that a failure is never reported as error 0.
uint32_t ErrorOrOne();

}  // namespace tessary
