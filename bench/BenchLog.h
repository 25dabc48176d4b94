#pragma once
// The benchmarks' input: a log written once by insloggen into the temporary folder.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tessary::bench {

// Writes `name`_<pid>.dat with the given insloggen options; empty when insloggen failed.
inline std::string WriteBenchLog(const char* name, const char* options) {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp != nullptr ? tmp : "/tmp") + "/" + name + "_" +
                       std::to_string(::getpid()) + ".dat";
    const std::string command =
        std::string("\"") + TESSARY_INSLOGGEN + "\" " + options + " --out \"" + path + "\"";
    std::printf("writing %s\n", path.c_str());
    std::fflush(stdout);
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "insloggen failed: %s\n", command.c_str());
        return {};
    }
    return path;
}

}  // namespace tessary::bench
