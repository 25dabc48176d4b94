#include "support/ProgramRun.h"

#include "platform/WinApi.h"
#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>

#include "platform/Utf.h"

namespace tessary::test {

#ifdef _WIN32
namespace {

std::wstring Wide(const std::string& utf8) {
    const std::u16string text = Utf16(utf8);
    return std::wstring(text.begin(), text.end());
}

// One argument as the C run-time splits the command line again: quotes around it, a quote
// inside escaped, and the backslashes before a quote doubled.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
    line.push_back(L'"');
    size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line.push_back(c);
    }
    line.append(backslashes * 2, L'\\');
    line.push_back(L'"');
}

HANDLE OutputFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int RunProgram(const std::vector<std::string>& args, const std::string& outPath,
               const std::string& errPath) {
    std::wstring line;
    for (const std::string& a : args) {
        if (!line.empty()) {
            line.push_back(L' ');
        }
        AppendQuoted(line, Wide(a));
    }
    HANDLE out = OutputFile(outPath);
    HANDLE err = OutputFile(errPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const BOOL started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                         ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &startup, &process);
    if (out != INVALID_HANDLE_VALUE) {
        ::CloseHandle(out);
    }
    if (err != INVALID_HANDLE_VALUE) {
        ::CloseHandle(err);
    }
    if (!started) {
        return -1;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
#else
int RunProgram(const std::vector<std::string>& args, const std::string& outPath,
               const std::string& errPath) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

ProgramRun RunCaught(const std::vector<std::string>& args, const TempDir& dir) {
    const std::string out = dir.File("stdout.txt");
    const std::string err = dir.File("stderr.txt");
    ProgramRun run{RunProgram(args, out, err), ReadText(out), ReadText(err)};
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

std::string TessarydumpPath() {
    return std::string(TESSARY_BINARY_DIR) + "/src/cli/tessarydump";
}

}  // namespace tessary::test
