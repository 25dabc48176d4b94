#pragma once
// The version line of the version dialog.
#include <cstdint>
#include <string>
#include <string_view>

namespace tessary {

// "%s Ver %u.%u.%u.%u " with the program file name and the version's four bytes (highest
// first), followed by "<x64>".
std::u16string AboutVersionText(std::u16string_view programFileName, uint32_t version);

}  // namespace tessary
