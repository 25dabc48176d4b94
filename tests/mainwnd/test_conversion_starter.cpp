// The conversion control function: what it stores and answers, over a recording subject and
// over a real converter.
#include <atomic>
#include <utility>
#include <vector>

#include "LayoutTestSupport.h"
#include "mainwnd/ConversionStarter.h"
#include "platform/FaultInjection.h"
#include "platform/LastError.h"
#include "platform/ManualResetEvent.h"
#include "platform/WinError.h"

namespace tessary::test {
namespace {

class RecordingSubject : public ConversionSubject {
public:
    void SetResult(int32_t code, uint32_t error) override { results.emplace_back(code, error); }
    int32_t StartPass(LineCallback givenCallback, void* givenUser) override {
        callback = givenCallback;
        user = givenUser;
        SetLastError(error);
        return answer;
    }
    void RequestStop() override { ++stops; }

    std::vector<std::pair<int32_t, uint32_t>> results;
    int32_t answer = 0;
    uint32_t error = 0;
    LineCallback callback = nullptr;
    void* user = nullptr;
    int stops = 0;
};

class EndCounter : public NotifyTarget {
public:
    void PostNotify(uint32_t, uintptr_t wParam, void*) override {
        ended += wParam == kNotifyEnded ? 1 : 0;
    }
    std::atomic<int> ended{0};
};

TEST(ConversionControl, StartMarksTheSubjectRunningAndPassesTheLayout) {
    RecordingSubject subject;
    DisplayLineTable table;
    EXPECT_EQ(RunConversionControl(&subject, &table, true), kStarterStarted);
    EXPECT_EQ(subject.results, (std::vector<std::pair<int32_t, uint32_t>>{{kStatusRunning, 0}}));
    EXPECT_EQ(subject.callback, &LayoutRecord);
    EXPECT_EQ(subject.user, &table);
    EXPECT_EQ(subject.stops, 0);
}

TEST(ConversionControl, AFailedStartStoresItsCodeAndTheSystemError) {
    RecordingSubject subject;
    subject.answer = kStatusNotStarted;
    subject.error = kErrorNotEnoughMemory;
    DisplayLineTable table;
    EXPECT_EQ(RunConversionControl(&subject, &table, true), kStarterFailed);
    EXPECT_EQ(subject.results,
              (std::vector<std::pair<int32_t, uint32_t>>{
                  {kStatusRunning, 0}, {kStatusNotStarted, kErrorNotEnoughMemory}}));
}

TEST(ConversionControl, StopAsksForTheStopAndAnswersTwo) {
    RecordingSubject subject;
    DisplayLineTable table;
    EXPECT_EQ(RunConversionControl(&subject, &table, false), kStarterStopping);
    EXPECT_EQ(subject.stops, 1);
    EXPECT_TRUE(subject.results.empty());
    EXPECT_EQ(RunConversionControl(nullptr, &table, true), kStarterMissing);
    EXPECT_EQ(RunConversionControl(&subject, nullptr, false), kStarterMissing);
    EXPECT_EQ(subject.stops, 1);
}

using ConverterControl = LayoutTest;

TEST_F(ConverterControl, StartsTheLayoutPassOfTheConverter) {
    Open(LogBytes().Record('T', 9, 0, {0x34}).FrameWithFcs('R', 10, kRrFrame));
    EndCounter target;
    ConverterSubject subject(m_converter.get(), &target);
    ASSERT_EQ(RunConversionControl(&subject, &m_table, true), kStarterStarted);
    m_converter->WaitForWalk();
    EXPECT_EQ(subject.ResultCode(), kStatusDone);
    EXPECT_EQ(target.ended, 1);
    EXPECT_EQ(m_table.LineCount(), 1 + 1 + 2 + 0);  // title, layer 1, the RR frame's two rows
    EXPECT_EQ(Record(2)->RowSlot[0], 2);
}

TEST_F(ConverterControl, ARefusedStartReportsTheReadersCodeAndError) {
    WriteBytes(m_dir.File("junk.dat"), std::vector<uint8_t>(64, 0x5A));
    CTessaryCan junk(m_dir.File("junk.dat"), &m_para);
    ASSERT_NE(junk.OpenStatus(), 0);
    ConverterSubject subject(&junk, nullptr);
    SetLastError(0);
    EXPECT_EQ(RunConversionControl(&subject, &m_table, true), kStarterFailed);
    EXPECT_EQ(subject.ResultCode(), -1);
    EXPECT_EQ(subject.ResultError(), junk.LastError());
    EXPECT_NE(subject.ResultError(), 0u);
}

// Holds the worker at its first stop check until the test lets it go on.
class HoldAtFirstCheck : public EndCounter {
public:
    void PostNotify(uint32_t message, uintptr_t wParam, void* lParam) override {
        if (wParam == kNotifyProgress && !m_held.exchange(true)) {
            atCheck.Set();
            EXPECT_TRUE(release.Wait(60000));
        }
        EndCounter::PostNotify(message, wParam, lParam);
    }
    ManualResetEvent atCheck{false};
    ManualResetEvent release{false};

private:
    std::atomic<bool> m_held{false};
};

TEST_F(ConverterControl, ASecondStartIsRefusedAndAStopEndsThePassStopped) {
    LogBytes log;
    for (uint32_t i = 0; i < 20000; ++i) {
        log.FrameWithFcs('T', i, kSetupFrame);
    }
    Open(log);
    fault::CheckStopAtEveryRecord(true);
    HoldAtFirstCheck hold;
    ConverterSubject subject(m_converter.get(), &hold);
    ASSERT_EQ(RunConversionControl(&subject, &m_table, true), kStarterStarted);
    ASSERT_TRUE(hold.atCheck.Wait(60000));
    // A second start while the pass runs is refused and reported as a start failure.
    ConverterSubject again(m_converter.get(), nullptr);
    SetLastError(0);
    EXPECT_EQ(RunConversionControl(&again, &m_table, true), kStarterFailed);
    EXPECT_EQ(again.ResultCode(), kStatusRunning);
    EXPECT_EQ(again.ResultError(), kErrorInvalidFunction);
    EXPECT_EQ(RunConversionControl(&subject, &m_table, false), kStarterStopping);
    hold.release.Set();
    m_converter->WaitForWalk();
    EXPECT_EQ(subject.ResultCode(), kStatusStopped);
    EXPECT_EQ(hold.ended, 1);
    // The title before the first check and the one record after it.
    EXPECT_EQ(m_converter->LineCount(), 2u);
    // The title line and the SETUP frame: header, message, bearer capability and hex rows.
    EXPECT_EQ(m_table.LineCount(), 1 + 4);
    // The refused subject never took the pass over: it still answers its refusal.
    EXPECT_EQ(again.ResultCode(), kStatusRunning);
}

}  // namespace
}  // namespace tessary::test
