#include "platform/Trace.h"

#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/WinApi.h"
#endif

#include "platform/DigitGroup.h"
#include "platform/LastError.h"
#include "platform/Utf.h"

namespace tessary {

namespace {

std::mutex g_sinkMutex;
TraceSink g_sink;

bool TraceToStderr() {
    static const bool enabled = [] {
        const char* value = std::getenv("TESSARYVIEW_TRACE");
        return value != nullptr && std::strcmp(value, "1") == 0;
    }();
    return enabled;
}

std::string FormatUtf8(const char* format, va_list args) {
    char small[512];
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (needed < 0) {
        return {};
    }
    if (static_cast<size_t>(needed) < sizeof small) {
        return std::string(small, static_cast<size_t>(needed));
    }
    std::vector<char> large(static_cast<size_t>(needed) + 1);
    std::vsnprintf(large.data(), large.size(), format, args);
    return std::string(large.data(), static_cast<size_t>(needed));
}

}  // namespace

void Trace(const char* format, ...) {
    LastErrorKeeper keepLastError;
    int savedErrno = errno;
    if (format == nullptr) {
        return;
    }

    va_list args;
    va_start(args, format);
    std::string text = FormatUtf8(format, args);
    va_end(args);

    std::u16string line(kTracePrefix);
    line += Utf16(text);
    // Room for the terminator of the fixed buffer; a pair is never cut in half.
    constexpr size_t kMaxUnits = kTraceBufferUnits - 1;
    if (line.size() > kMaxUnits) {
        size_t cut = kMaxUnits;
        if (line[cut - 1] >= 0xD800 && line[cut - 1] < 0xDC00) {
            --cut;
        }
        line.resize(cut);
    }

    TraceSink sink;
    {
        std::lock_guard lock(g_sinkMutex);
        sink = g_sink;
    }
    if (sink) {
        sink(line);
    } else {
#ifdef _WIN32
        // The debugger's view; the call may change the system's last error, so keep it.
        const DWORD systemError = ::GetLastError();
        const std::wstring wide(line.begin(), line.end());
        ::OutputDebugStringW(wide.c_str());
        ::SetLastError(systemError);
#endif
        if (TraceToStderr()) {
            std::string out = Utf8(line);
            std::fwrite(out.data(), 1, out.size(), stderr);
            std::fflush(stderr);
        }
    }
    errno = savedErrno;
}

void TraceRelease(const char* owner, const char* what, uint64_t used, uint64_t capacity,
                  const std::function<void()>& release) {
    using Clock = std::chrono::steady_clock;
    const std::string usedText = GroupedDecimal(used);
    const std::string capacityText = GroupedDecimal(capacity);
    const auto start = Clock::now();
    release();
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    Trace("%s::FreeText(%s / %s) %s %u.%03u\n", owner, usedText.c_str(), capacityText.c_str(), what,
          static_cast<unsigned>(ms / 1000), static_cast<unsigned>(ms % 1000));
}

void SetTraceSink(TraceSink sink) {
    std::lock_guard lock(g_sinkMutex);
    g_sink = std::move(sink);
}

}  // namespace tessary
