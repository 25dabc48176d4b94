#pragma once
// Shared parts of the tool tests: a UI service that answers from a script and records what it
// was shown, and a converted log.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "decode/CTessaryCan.h"
#include "decode/CanPara.h"
#include "logfile/Status.h"
#include "platform/Utf.h"
#include "support/RecordingUi.h"

namespace tessary::test {

// Opens and converts a log with default settings; the file stays open.
inline std::unique_ptr<CTessaryCan> Convert(const std::string& path, CanPara& para) {
    auto converter = std::make_unique<CTessaryCan>(path, &para);
    if (converter->OpenStatus() != kOpenOk) {
        ADD_FAILURE() << "open status " << converter->OpenStatus();
        return converter;
    }
    const int32_t started = converter->StartPass(nullptr, nullptr, nullptr);
    EXPECT_EQ(started, kStatusDone);
    if (started == kStatusDone) {
        converter->WaitForWalk();
    }
    return converter;
}

}  // namespace tessary::test
