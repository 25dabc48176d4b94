#pragma once
// Debug trace (OutputDebugStringW): "ZrTessaryView: " + text in a buffer of 1024 UTF-16 units,
// written to stderr when TESSARYVIEW_TRACE=1 (on Windows also to the debugger through
// OutputDebugStringW). The thread's last error is preserved.
#include <functional>
#include <string_view>

namespace tessary {

inline constexpr std::u16string_view kTracePrefix = u"ZrTessaryView: ";
inline constexpr size_t kTraceBufferUnits = 1024;

// printf-style format in UTF-8; the result is cut to fit the buffer with its terminator.
#if defined(__MINGW32__)
void Trace(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
#elif defined(__GNUC__)
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
#else
void Trace(const char* format, ...);
#endif

// Tests capture traces here; an empty function restores the default output.
using TraceSink = std::function<void(std::u16string_view line)>;
void SetTraceSink(TraceSink sink);

}  // namespace tessary
