#include "support/GeneratedLog.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tessary::test {
namespace {

std::string Command(const std::string& options, const std::string& path) {
    return ShellQuote(TESSARY_INSLOGGEN) + " --quiet " + options + " --out " + ShellQuote(path);
}

}  // namespace

std::string ShellQuote(const std::string& text) {
#ifdef _WIN32
    // cmd.exe quotes with double quotes; paths and options never hold one.
    return "\"" + text + "\"";
#else
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
#endif
}

bool RunInsloggen(const std::string& options, const std::string& path) {
#ifdef _WIN32
    // cmd /c drops the first and the last quote of the line: one more pair keeps the rest whole.
    std::string line(1, '"');
    line.append(Command(options, path)).push_back('"');
    return std::system(line.c_str()) == 0;
#else
    return std::system(Command(options, path).c_str()) == 0;
#endif
}

std::string GenerateLog(const TempDir& dir, const std::string& name, const std::string& options) {
    const std::string path = dir.File(name);
    if (!RunInsloggen(options, path)) {
        ADD_FAILURE() << "insloggen failed: " << Command(options, path);
    }
    return path;
}

}  // namespace tessary::test
