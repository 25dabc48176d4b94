#include "LogWalk.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <fstream>
#include <sstream>

#include "logfile/CInsFileRead.h"
#include "platform/Utf.h"

namespace tessary::test {

namespace {

class Collector : public CInsFileRead {
public:
    Collector(const std::string& path, uint8_t option) : CInsFileRead(path), m_option(option) {}
    ~Collector() override { StopWorker(true); }

    uint8_t* OptionByte() override { return &m_option; }
    int32_t OnBegin(uint8_t*) override { return 0; }
    int32_t OnRecord(uint8_t* record, int32_t differenceMs) override {
        const uint32_t length = kRecordHeaderSize + (record[3] | (record[4] << 8));
        m_records.push_back(
            WalkedRecord{std::vector<uint8_t>(record, record + length), differenceMs, Elapsed()});
        return 0;
    }

    std::vector<WalkedRecord> m_records;

private:
    uint8_t m_option;
};

}  // namespace

WalkResult WalkLog(const std::string& path, uint8_t lineSelection) {
    WalkResult result;
    Collector reader(path, lineSelection);
    result.openStatus = reader.OpenStatus();
    if (result.openStatus != kOpenOk) {
        return result;
    }
    result.correctionState = reader.CorrectionState();
    result.startTime = reader.StartTime();
    result.endTime = reader.EndTime();
    result.dataSize = reader.DataSize();
    result.dataOrigin = reader.DataOrigin();
    result.startStatus = reader.StartConversion(nullptr, 0);
    if (result.startStatus != 0) {
        return result;
    }
    reader.WaitForWalk();
    result.baseTime = reader.BaseTime();
    result.conversionStatus = reader.ConversionStatus();
    result.recordCounter = reader.RecordCounter();
    result.warningCounter = reader.WarningCounter();
    result.warningMask = reader.WarningMask();
    result.elapsedMs = reader.Elapsed();
    result.records = std::move(reader.m_records);
    return result;
}

std::vector<ExpectedRecord> Generate(const loggen::LogProfile& profile) {
    std::vector<ExpectedRecord> out;
    loggen::LogGenerator generator(profile);
    loggen::GeneratedRecord r;
    while (generator.Next(r)) {
        ExpectedRecord e;
        e.gap.assign(r.gap, r.gap + r.gapLength);
        e.bytes.assign(r.bytes, r.bytes + r.length);
        e.info = r;
        e.info.gap = nullptr;
        e.info.bytes = nullptr;
        out.push_back(std::move(e));
    }
    return out;
}

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

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace tessary::test
