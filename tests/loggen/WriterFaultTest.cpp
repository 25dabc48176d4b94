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
            loggen::LogSpec spec;
            spec.seed = 61;
            spec.sizeBytes = 6u << 20;  // six buffers and the header
            spec.records = 0;
            spec.ring = ring;
            fault::FailNthWrite(failing);
            std::string error;
            const loggen::WriteStatus status =
                loggen::WriteLog(spec, dir.File("log.dat"), nullptr, &error);
            fault::Reset();
            EXPECT_EQ(status, loggen::WriteStatus::kFileError) << ring << " " << failing;
            EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
            EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << ring << " " << failing;
        }
    }
}

TEST(LogWriterFaults, BadSpecWritesNothing) {
    TempDir dir;
    loggen::LogSpec spec;
    spec.ring = true;
    spec.records = 50;
    spec.headOffsetSet = true;
    spec.headOffset = 1u << 30;  // far beyond a ring of 50 records
    std::string error;
    EXPECT_EQ(loggen::WriteLog(spec, dir.File("log.dat"), nullptr, &error),
              loggen::WriteStatus::kBadSpec);
    EXPECT_EQ(error.rfind("--head-offset", 0), 0u) << error;
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
}  // namespace tessary::test
