#pragma once
// Debug trace (OutputDebugStringW): "ZrTessaryView: " + text in a buffer of 1024 UTF-16 units,
// written to stderr when TESSARYVIEW_TRACE=1 (on Windows also to the debugger through
// OutputDebugStringW). The thread's last error is preserved.
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/PrintfFormat.h"

namespace tessary {

inline constexpr std::u16string_view kTracePrefix = u"ZrTessaryView: ";
inline constexpr size_t kTraceBufferUnits = 1024;

// printf-style format in UTF-8; the result is cut to fit the buffer with its terminator.
void Trace(const char* format, ...) TESSARY_PRINTF_FORMAT(1, 2);

// Runs `release`, which frees one block, and traces "`owner`::FreeText(used / capacity) `what`
// s.mmm": what the block held and how long the release took.
void TraceRelease(const char* owner, const char* what, uint64_t used, uint64_t capacity,
                  const std::function<void()>& release);

// Tests capture traces here; an empty function restores the default output.
using TraceSink = std::function<void(std::u16string_view line)>;
void SetTraceSink(TraceSink sink);

}  // namespace tessary
