#pragma once
// Logs written by the built insloggen for the suites that need a realistic log.
#include <string>

#include "support/TempDir.h"

namespace tessary::test {

// `text` as one word of a POSIX shell command line.
std::string ShellQuote(const std::string& text);

// Runs insloggen quietly with `options` (as on its command line) writing `path`; true when it
// exited with 0.
bool RunInsloggen(const std::string& options, const std::string& path);

// The log `name` in `dir` written with `options`; a failed run is a test failure that names the
// command. Returns the log's path either way.
std::string GenerateLog(const TempDir& dir, const std::string& name, const std::string& options);

}  // namespace tessary::test
