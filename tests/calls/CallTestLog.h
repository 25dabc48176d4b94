#pragma once
// A log converted in one pass without a layout (the call list needs only the message records),
// and logs written by the built insloggen.
#include <memory>
#include <string>

#include "decode/CTessaryCan.h"
#include "decode/CanPara.h"
#include "logfile/Status.h"
#include "support/GeneratedLog.h"
#include "support/TempDir.h"

namespace tessary::calls::test {

struct ConvertedLog {
    CanPara para;
    std::unique_ptr<CTessaryCan> converter;

    ConvertedLog() { ResetPara(para); }

    // Line 1 or 2 of a bulk log.
    void SelectLine(int line) {
        para.Flag[0] = static_cast<uint8_t>((para.Flag[0] & ~kFlag0LineSelectMask) |
                                            (line - 1) << kFlag0LineSelectShift);
    }
    // Opens and converts; the open status, else the pass's status.
    int32_t Convert(const std::string& path) {
        converter = std::make_unique<CTessaryCan>(path, &para);
        if (converter->OpenStatus() != 0) {
            return converter->OpenStatus();
        }
        const int32_t started = converter->StartPass(nullptr, nullptr, nullptr);
        if (started != kStatusDone) {
            return started;
        }
        converter->WaitForWalk();
        return converter->ConversionStatus();
    }
};

// Runs insloggen quietly with `options` into `name` in `dir`; the path, empty on failure.
inline std::string WriteLog(const tessary::test::TempDir& dir, const std::string& name,
                            const std::string& options) {
    const std::string path = dir.File(name);
    return tessary::test::RunInsloggen(options, path) ? path : std::string();
}

}  // namespace tessary::calls::test
