#pragma once
// A command-line program's arguments and standard streams, the same on every system: arguments
// arrive as UTF-8 (on Windows taken from the UTF-16 command line, not the ANSI code page), and
// output streams write their bytes unchanged (no LF to CR LF in Windows' text mode).
#include <cstdio>
#include <string>
#include <vector>

namespace tessary {

// The arguments after the program name, UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Makes `stream` write bytes as they are; false when the system refuses.
bool SetBinaryOutput(std::FILE* stream);

// Whether `stream` is a terminal (a console on Windows).
bool IsTerminal(std::FILE* stream);

}  // namespace tessary
