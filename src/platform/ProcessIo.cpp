#include "platform/ProcessIo.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "platform/WinApi.h"
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/Utf.h"
#else
#include <unistd.h>
#endif

namespace tessary {

#ifdef _WIN32

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        // Without the UTF-16 command line the run-time's own split is all there is.
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        const std::wstring_view arg(wide[i]);
        args.push_back(Utf8(std::u16string(arg.begin(), arg.end())));
    }
    ::LocalFree(wide);
    return args;
}

bool SetBinaryOutput(std::FILE* stream) {
    std::fflush(stream);
    return _setmode(_fileno(stream), _O_BINARY) != -1;
}

bool IsTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

#else

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool SetBinaryOutput(std::FILE*) {
    return true;  // POSIX streams never translate line ends
}

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

#endif

}  // namespace tessary
