#pragma once
// Runs a built program of the project (tessarydump, insloggen) with no shell in between, as the
// end-to-end tests do, and catches what it prints.
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace tessary::test {

// What a program printed and how it ended.
struct ProgramRun {
    int code = -1;  // -1: it did not start or did not end normally
    std::string out;
    std::string err;
};

// Runs `args` (the program's path first) and returns its exit code; stdout and stderr go to the
// given files.
int RunProgram(const std::vector<std::string>& args, const std::string& outPath,
               const std::string& errPath);

// Runs `args` with stdout and stderr caught in files of `dir`, which are read and removed again.
ProgramRun RunCaught(const std::vector<std::string>& args, const TempDir& dir);

// The tessarydump of this build.
std::string TessarydumpPath();

}  // namespace tessary::test
