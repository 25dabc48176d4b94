// A write that fails half way leaves neither the log nor its temporary file.
#include <gtest/gtest.h>

#include <filesystem>

#include "loggen/LogWriter.h"
#include "platform/FaultInjection.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

TEST(LogWriterFaults, FailedWriteRemovesEverything) {
    for (const bool ring : {false, true}) {
        // Write 1 is the first buffer; a ring's rotation writes several more.
        for (const int failing : {1, 2, 3, 5}) {
            TempDir dir;
            loggen::LogProfile profile;
            profile.seed = 61;
            profile.sizeBytes = 6u << 20;  // six buffers and the header
            profile.records = 0;
            profile.ring = ring;
            fault::FailNthWrite(failing);
            std::string error;
            const loggen::WriteStatus status =
                loggen::WriteLog(profile, dir.File("log.dat"), nullptr, &error);
            fault::Reset();
            EXPECT_EQ(status, loggen::WriteStatus::kFileError) << ring << " " << failing;
            EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
            EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << ring << " " << failing;
        }
    }
}

TEST(LogWriterFaults, BadProfileWritesNothing) {
    TempDir dir;
    loggen::LogProfile profile;
    profile.ring = true;
    profile.records = 50;
    profile.headOffsetSet = true;
    profile.headOffset = 1u << 30;  // far beyond a ring of 50 records
    std::string error;
    EXPECT_EQ(loggen::WriteLog(profile, dir.File("log.dat"), nullptr, &error),
              loggen::WriteStatus::kBadProfile);
    EXPECT_EQ(error.rfind("--head-offset", 0), 0u) << error;
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
}  // namespace tessary::test
