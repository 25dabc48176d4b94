#pragma once
// printf-style building of file names, in the bytes the platform names files with (UTF-8);
// window texts are UTF-16 templates filled by FormatText.
#include <string>

#include "platform/PrintfFormat.h"

namespace tessary {

// vsnprintf into a string; a bad format gives an empty text.
std::string Printf(const char* format, ...) TESSARY_PRINTF_FORMAT(1, 2);

}  // namespace tessary
