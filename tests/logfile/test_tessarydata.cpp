#include "logfile/CTessaryData.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "WalkProbe.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"

namespace tessary {
namespace {

struct Collected {
    std::vector<char> directions;
    std::atomic<bool> hold{false};
    std::atomic<bool> entered{false};
};

int32_t Collect(CTessaryData* reader, uint8_t* record, void* userData) {
    auto* c = static_cast<Collected*>(userData);
    EXPECT_NE(reader, nullptr);
    c->directions.push_back(static_cast<char>(record[1]));
    c->entered = true;
    while (c->hold) {
        std::this_thread::yield();
    }
    return 0;
}

TEST(TessaryData, HandsRawRecordsOfBothLinesToTheCallback) {
    test::TempDir dir;
    InsLogHeader h = test::DefaultHeader();
    h.dataKind = kDataKindIns64Bulk;
    std::string path = test::LogBytes(h)
                           .Record('T', 1, 1, {1})
                           .Record('r', 1, 2, {2})
                           .Record('t', 0, 3, {})
                           .WriteTo(dir.File("a.dat"));
    uint8_t option = 8;
    CTessaryData reader(path, &option);
    EXPECT_EQ(reader.OptionByte(), &option);
    Collected c;
    test::CountingTarget target;
    ASSERT_EQ(reader.Start(Collect, &c, &target), 0);
    reader.WaitForWalk();
    EXPECT_EQ(reader.ConversionStatus(), kStatusDone);
    // OnBegin sees the first record, then every record follows.
    EXPECT_EQ(std::string(c.directions.begin(), c.directions.end()), "TTrt");
    EXPECT_EQ(target.lastMessage, kWmApp + 1);
    EXPECT_EQ(target.ended, 1);
    EXPECT_EQ(option, 0x88) << "detection flag set by the walk, no 30-bit step";

    // Without a callback the walk still runs to the end.
    ASSERT_EQ(reader.Start(nullptr, nullptr, nullptr), 0);
    reader.WaitForWalk();
    EXPECT_EQ(reader.ConversionStatus(), kStatusDone);
}

TEST(TessaryData, StartIsRefusedWhileAWalkRuns) {
    test::TempDir dir;
    std::string path =
        test::LogBytes().Record('T', 1, 1, {}).Record('R', 1, 2, {}).WriteTo(dir.File("a.dat"));
    uint8_t option = 0;
    CTessaryData reader(path, &option);
    Collected c;
    c.hold = true;
    ASSERT_EQ(reader.Start(Collect, &c, nullptr), 0);
    while (!c.entered) {
        std::this_thread::yield();
    }
    Collected other;
    EXPECT_EQ(reader.Start(Collect, &other, nullptr), kStatusRunning);
    c.hold = false;
    reader.WaitForWalk();
    EXPECT_EQ(c.directions.size(), 3u);
    EXPECT_TRUE(other.directions.empty());
}

}  // namespace
}  // namespace tessary
