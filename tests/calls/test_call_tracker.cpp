// The call tracker over converted logs built byte by byte: the call of each SETUP with its
// parties, channel, times, cause and result, and the ways a call ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CallTestLog.h"
#include "calls/CallList.h"
#include "calls/CallTracker.h"
#include "calls/RecordFrame.h"
#include "decode/CanPara.h"
#include "decode/Fcs16.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"

namespace tessary::calls {
namespace {

using tessary::test::LogBytes;
using tessary::test::TempDir;
using test::ConvertedLog;

using Bytes = std::vector<uint8_t>;

// Message types.
constexpr uint8_t kAlert = 0x01, kProceeding = 0x02, kSetup = 0x05, kConnect = 0x07,
                  kConnectAck = 0x0F, kSuspend = 0x25, kResume = 0x26, kSuspendAck = 0x2D,
                  kResumeAck = 0x2E, kDisc = 0x45, kRestart = 0x46, kRel = 0x4D, kRelComp = 0x5A;

// Byte by byte: GCC 12 warns falsely about vector::insert of small vectors.
void Append(Bytes& out, const Bytes& part) {
    for (uint8_t b : part) {
        out.push_back(b);
    }
}
void Append(Bytes& out, const std::string& digits) {
    for (char c : digits) {
        out.push_back(static_cast<uint8_t>(c));
    }
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        Append(out, part);
    }
    return out;
}

Bytes Channel(uint8_t octet) {
    return {0x18, 0x01, octet};
}
Bytes Cause(uint8_t value) {
    return {0x08, 0x02, 0x80, static_cast<uint8_t>(0x80 | value)};
}
Bytes Called(const std::string& digits) {
    Bytes out = {0x70, static_cast<uint8_t>(digits.size() + 1), 0x80};
    Append(out, digits);
    return out;
}
Bytes Calling(const std::string& digits) {
    Bytes out = {0x6C, static_cast<uint8_t>(digits.size() + 2), 0x00, 0x80};
    Append(out, digits);
    return out;
}
Bytes Speech() {
    return {0x04, 0x03, 0x80, 0x90, 0xA3};
}

// A Q.931 message with a one-octet call reference; `flag` is bit 8 of the reference.
Bytes Message(uint8_t type, uint8_t ref, bool flag, const Bytes& elements = {}) {
    Bytes out = {0x08, 0x01, static_cast<uint8_t>((flag ? 0x80 : 0) | ref), type};
    Append(out, elements);
    return out;
}

// The log of one line: frames of the terminal ('T', block C) and of the network ('R', block
// B), with their copies in blocks A and D when asked for.
class Line {
public:
    explicit Line(char terminal = 'T', char network = 'R')
        : m_terminal(terminal), m_network(network) {}

    // An I frame on SAPI 0 to or from `tei`.
    Line& I(bool fromNetwork, uint8_t tei, uint32_t ms, const Bytes& message, bool copy = false) {
        const Bytes frame = Cat({{static_cast<uint8_t>(fromNetwork ? 0x02 : 0x00),
                                  static_cast<uint8_t>(tei << 1 | 1), 0x00, 0x00},
                                 message});
        Frame(fromNetwork, ms, frame, copy);
        return *this;
    }
    // A UI frame to every terminal (TEI 127).
    Line& Broadcast(uint32_t ms, const Bytes& message) {
        Frame(true, ms, Cat({{0x02, 0xFF, 0x03}, message}), false);
        return *this;
    }
    LogBytes& Log() { return m_log; }

private:
    void Frame(bool fromNetwork, uint32_t ms, const Bytes& frame, bool copy) {
        const char direction = fromNetwork ? m_network : m_terminal;
        m_log.FrameWithFcs(direction, 1000 + ms, frame);
        if (copy) {
            m_log.Record(direction, 1, 1000 + ms + 2, frame);
        }
    }

    char m_terminal;
    char m_network;
    LogBytes m_log;
};

class CallTrackerTest : public ::testing::Test {
protected:
    // Converts the log (line 1 or 2 of a bulk file when `line` is given) and tracks its calls.
    std::vector<CallInfo> Track(LogBytes& log, int line = 0) {
        const std::string path = m_dir.File("calls.dat");
        log.FixDataByteCount().WriteTo(path);
        m_log = std::make_unique<ConvertedLog>();
        if (line != 0) {
            m_log->SelectLine(line);
        }
        EXPECT_EQ(m_log->Convert(path), 0);
        return BuildCallList(*m_log->converter);
    }
    int64_t Ms(const CallInfo& call, int64_t time) const { return time - call.setupMs; }
    const MessageRecord& Record(uint32_t index) const { return *m_log->converter->Record(index); }

    TempDir m_dir;
    std::unique_ptr<ConvertedLog> m_log;
};

TEST_F(CallTrackerTest, OutgoingCallAnsweredWithPartiesChannelTimesAndCause) {
    Line line;
    const Bytes sub = {0x71, 0x04, 0x80, 0x50, '1', '2'};
    line.I(false, 64, 0,
           Message(
               kSetup, 1, false,
               Cat({Speech(), Channel(0x81), Calling("0312345678"), Called("0398765432"), sub})),
           true)
        .I(true, 64, 40, Message(kProceeding, 1, true, Channel(0x8A)), true)
        .I(true, 64, 900, Message(kAlert, 1, true))
        .I(true, 64, 5000, Message(kConnect, 1, true), true)
        .I(false, 64, 5030, Message(kConnectAck, 1, false))
        .I(false, 64, 65000, Message(kDisc, 1, false, Cause(16)), true)
        .I(true, 64, 65100, Message(kRel, 1, true, Cause(16)))
        .I(false, 64, 65150, Message(kRelComp, 1, false));
    const std::vector<CallInfo> calls = Track(line.Log());
    ASSERT_EQ(calls.size(), 1u);  // the copies in blocks A and D start no call of their own
    const CallInfo& call = calls[0];
    EXPECT_FALSE(call.incoming);
    EXPECT_FALSE(call.broadcast);
    EXPECT_EQ(call.callRef, 1u);
    EXPECT_EQ(CallRefText(call), u"発1");
    EXPECT_EQ(call.setupBlock, 2);
    EXPECT_EQ(call.calling, u"0312345678");
    EXPECT_EQ(call.called, u"0398765432");
    EXPECT_EQ(call.calledSub, u"12");
    EXPECT_EQ(call.callingSub, u"");
    EXPECT_EQ(call.bearer, u"音声");
    EXPECT_EQ(call.setupChannel, u"CH=01変更可");
    EXPECT_EQ(call.channel, u"CH=02変更不可");  // as the network assigned it
    EXPECT_EQ(call.channelNumber, 2);
    EXPECT_EQ(Ms(call, call.alertingMs), 900);
    EXPECT_EQ(Ms(call, call.connectMs), 5000);
    EXPECT_EQ(Ms(call, call.clearingMs), 65000);
    EXPECT_EQ(Ms(call, call.lastMs), 65150);
    EXPECT_EQ(call.DurationMs(), 60000);
    EXPECT_EQ(call.cause, 16);
    EXPECT_EQ(call.causeText, u"正常");
    EXPECT_EQ(call.causeFrom, CallSide::kTerminal);
    EXPECT_EQ(call.result, CallResult::kAnswered);
    // Every message and every copy, in log order; the first is the SETUP.
    EXPECT_EQ(call.records.size(), 12u);
    EXPECT_EQ(call.records.front(), call.setupIndex);
    EXPECT_EQ(Record(call.setupIndex).Code, kSetup);
    EXPECT_EQ(Record(call.setupIndex).Id, call.setupId);
    EXPECT_TRUE(std::is_sorted(call.records.begin(), call.records.end()));
}

TEST_F(CallTrackerTest, NewSetupReusingTheCallReferenceEndsThePreviousCall) {
    Line line;
    line.I(false, 64, 0, Message(kSetup, 1, false, Cat({Channel(0x81), Called("111")})))
        .I(true, 64, 50, Message(kProceeding, 1, true, Channel(0x89)))
        // No clearing seen: the terminal takes reference 1 for the next call.
        .I(false, 64, 7000, Message(kSetup, 1, false, Cat({Channel(0x82), Called("222")})))
        .I(true, 64, 7050, Message(kRelComp, 1, true, Cause(34)))
        // The same SETUP once more after the release is a call of its own as well.
        .I(false, 64, 9000, Message(kSetup, 1, false, Cat({Channel(0x82), Called("222")})))
        .I(true, 64, 9010, Message(kProceeding, 1, true, Channel(0x8A)));
    const std::vector<CallInfo> calls = Track(line.Log());
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].called, u"111");
    EXPECT_EQ(calls[0].channelNumber, 1);
    EXPECT_EQ(calls[0].records.size(), 2u);
    EXPECT_EQ(calls[0].clearingMs, calls[1].setupMs);
    EXPECT_EQ(calls[0].result, CallResult::kAbandoned);  // the caller's side took it back
    EXPECT_EQ(calls[1].called, u"222");
    EXPECT_EQ(calls[1].result, CallResult::kRejected);
    EXPECT_EQ(calls[1].cause, 34);
    EXPECT_EQ(calls[1].causeFrom, CallSide::kNetwork);
    EXPECT_EQ(calls[1].records.size(), 2u);
    EXPECT_EQ(calls[2].result, CallResult::kOpen);
    EXPECT_EQ(calls[2].channelNumber, 2);
}

TEST_F(CallTrackerTest, CallStillGoingOnAtTheEndOfTheLogIsOpen) {
    Line line;
    line.I(true, 64, 0, Message(kSetup, 5, false, Cat({Channel(0x89), Calling("0451112222")})))
        .I(false, 64, 100, Message(kAlert, 5, true))
        .I(false, 64, 3000, Message(kConnect, 5, true))
        .I(true, 64, 3010, Message(kConnectAck, 5, false));
    const std::vector<CallInfo> calls = Track(line.Log());
    ASSERT_EQ(calls.size(), 1u);
    const CallInfo& call = calls[0];
    EXPECT_TRUE(call.incoming);
    EXPECT_EQ(CallRefText(call), u"着5");
    EXPECT_EQ(call.setupBlock, 1);
    EXPECT_EQ(call.calling, u"0451112222");
    EXPECT_EQ(call.channel, u"CH=01変更不可");
    EXPECT_EQ(call.result, CallResult::kOpen);
    EXPECT_EQ(call.clearingMs, kNoTime);
    EXPECT_EQ(call.cause, -1);
    // Connected until its last message as far as the log shows.
    EXPECT_EQ(call.DurationMs(), 10);
}

TEST_F(CallTrackerTest, BroadcastSetupAnsweredByOneTerminal) {
    Line line;
    line.Broadcast(0, Message(kSetup, 7, false, Cat({Speech(), Channel(0x8A), Called("5678")})))
        .I(false, 64, 60, Message(kAlert, 7, true, Channel(0x8A)))
        .I(false, 65, 80, Message(kAlert, 7, true, Channel(0x8A)))
        .I(false, 65, 2000, Message(kConnect, 7, true))
        .I(true, 65, 2020, Message(kConnectAck, 7, false))
        // The terminal that rang in vain is released; its clearing is not the call's.
        .I(true, 64, 2030, Message(kRel, 7, false, Cause(26)))
        .I(false, 64, 2050, Message(kRelComp, 7, true))
        .I(false, 65, 30000, Message(kDisc, 7, true, Cause(16)))
        .I(true, 65, 30100, Message(kRel, 7, false))
        .I(false, 65, 30200, Message(kRelComp, 7, true));
    const std::vector<CallInfo> calls = Track(line.Log());
    ASSERT_EQ(calls.size(), 1u);
    const CallInfo& call = calls[0];
    EXPECT_TRUE(call.broadcast);
    EXPECT_TRUE(call.incoming);
    EXPECT_EQ(call.called, u"5678");
    EXPECT_EQ(call.channelNumber, 2);
    EXPECT_EQ(Ms(call, call.alertingMs), 60);
    EXPECT_EQ(Ms(call, call.connectMs), 2000);
    EXPECT_EQ(Ms(call, call.clearingMs), 30000);
    EXPECT_EQ(call.DurationMs(), 28000);
    EXPECT_EQ(call.cause, 16);
    EXPECT_EQ(call.causeFrom, CallSide::kTerminal);
    EXPECT_EQ(call.result, CallResult::kAnswered);
    EXPECT_EQ(call.records.size(), 10u);
}

TEST_F(CallTrackerTest, SetupRejectedWithReleaseComplete) {
    Line line;
    // Outgoing: the network answers the SETUP with RELEASE COMPLETE.
    line.I(false, 64, 0, Message(kSetup, 2, false, Cat({Channel(0x83), Called("0120")})))
        .I(true, 64, 30, Message(kRelComp, 2, true, Cause(17)))
        // Incoming: the terminal turns it down.
        .I(true, 64, 5000, Message(kSetup, 3, false, Channel(0x89)))
        .I(false, 64, 5040, Message(kRelComp, 3, true, Cause(21)))
        // Outgoing, cleared by the network after it took the call on.
        .I(false, 64, 9000, Message(kSetup, 4, false, Channel(0x83)))
        .I(true, 64, 9020, Message(kProceeding, 4, true, Channel(0x89)))
        .I(true, 64, 9500, Message(kDisc, 4, true, Cause(17)))
        // Incoming, given up by the far end while it rang.
        .I(true, 64, 12000, Message(kSetup, 6, false, Channel(0x8A)))
        .I(false, 64, 12030, Message(kAlert, 6, true))
        .I(true, 64, 15000, Message(kDisc, 6, false, Cause(16)));
    const std::vector<CallInfo> calls = Track(line.Log());
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].result, CallResult::kRejected);
    EXPECT_EQ(calls[0].cause, 17);
    EXPECT_EQ(calls[0].causeText, u"0x11(17)");
    EXPECT_EQ(calls[0].causeFrom, CallSide::kNetwork);
    EXPECT_EQ(calls[0].channel, u"CH=任意");
    EXPECT_EQ(calls[0].channelNumber, -1);
    EXPECT_EQ(calls[0].DurationMs(), -1);
    EXPECT_EQ(calls[1].result, CallResult::kRejected);
    EXPECT_EQ(calls[1].cause, 21);
    EXPECT_EQ(calls[1].causeFrom, CallSide::kTerminal);
    EXPECT_EQ(calls[2].result, CallResult::kNetworkCleared);
    EXPECT_EQ(calls[3].result, CallResult::kAbandoned);
    EXPECT_EQ(SummaryText(calls),
              u"呼数=4  応答=0  拒否=2  発呼側放棄=1  網切断=1  継続中=0  不成立の理由: 17×2 16×1 "
              u"21×1");
}

TEST_F(CallTrackerTest, RestartEndsTheOpenCallsOnItsChannels) {
    Line line;
    const Bytes restartChannel1 = Cat({Channel(0x81), {0x79, 0x01, 0x80}});
    const Bytes restartAll = {0x79, 0x01, 0x87};
    line.I(true, 64, 0, Message(kSetup, 1, false, Channel(0x89)))
        .I(false, 64, 50, Message(kConnect, 1, true))
        .I(false, 64, 60, Message(kSetup, 2, false, Channel(0x82)))
        .I(true, 64, 70, Message(kProceeding, 2, true, Channel(0x8A)))
        .I(true, 64, 1000, {0x08, 0x00, kRestart, 0x18, 0x01, 0x81, 0x79, 0x01, 0x80})
        .I(false, 64, 1010, Cat({{0x08, 0x00, 0x4E}, restartChannel1}))
        .I(true, 64, 2000, Message(kSetup, 3, false, Channel(0x89)))
        .I(true, 64, 3000, Cat({{0x08, 0x00, kRestart}, restartAll}));
    const std::vector<CallInfo> calls = Track(line.Log());
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].result, CallResult::kAnswered);
    EXPECT_EQ(Ms(calls[0], calls[0].clearingMs), 1000);
    // Channel 2 was not restarted at first; the restart of everything ends it and the last
    // call as the network's clearing.
    EXPECT_EQ(calls[1].result, CallResult::kNetworkCleared);
    EXPECT_EQ(Ms(calls[1], calls[1].clearingMs), 3000 - 60);
    EXPECT_EQ(calls[2].result, CallResult::kAbandoned);
    EXPECT_EQ(calls[2].channelNumber, 1);
}

TEST_F(CallTrackerTest, SuspendedCallResumedOnANewCallReferenceStaysOneCall) {
    Line line;
    const Bytes identity = {0x10, 0x02, 0x12, 0x34};
    line.I(false, 64, 0, Message(kSetup, 1, false, Channel(0x83)))
        .I(true, 64, 20, Message(kConnect, 1, true, Channel(0x89)))
        .I(false, 64, 1000, Message(kSuspend, 1, false, identity))
        .I(true, 64, 1010, Message(kSuspendAck, 1, true))
        // Reference 1 is free again: a new call takes it meanwhile.
        .I(false, 64, 2000, Message(kSetup, 1, false, Cat({Channel(0x83), Called("9")})))
        .I(true, 64, 2010, Message(kRelComp, 1, true, Cause(34)))
        .I(false, 64, 4000, Message(kResume, 9, false, identity))
        .I(true, 64, 4010, Message(kResumeAck, 9, true))
        .I(true, 64, 9000, Message(kDisc, 9, true, Cause(16)));
    const std::vector<CallInfo> calls = Track(line.Log());
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].records.size(), 7u);
    EXPECT_EQ(calls[0].result, CallResult::kAnswered);
    EXPECT_EQ(Ms(calls[0], calls[0].clearingMs), 9000);
    EXPECT_EQ(calls[0].DurationMs(), 8980);
    EXPECT_EQ(calls[1].called, u"9");
    EXPECT_EQ(calls[1].result, CallResult::kRejected);
}

TEST_F(CallTrackerTest, TwoLineBulkFileKeepsEachLinesCalls) {
    InsLogHeader header = tessary::test::DefaultHeader();
    header.dataKind = kDataKindIns64Bulk;
    LogBytes log(header);
    // The same call reference on both lines, interleaved.
    log.FrameWithFcs('T', 1000,
                     Cat({{0x00, 0x81, 0x00, 0x00},
                          Message(kSetup, 1, false, Cat({Channel(0x81), Called("1")}))}))
        .FrameWithFcs('t', 1010,
                      Cat({{0x00, 0x81, 0x00, 0x00},
                           Message(kSetup, 1, false, Cat({Channel(0x82), Called("2")}))}))
        .FrameWithFcs('R', 1020,
                      Cat({{0x02, 0x81, 0x00, 0x00}, Message(kRelComp, 1, true, Cause(17))}))
        .FrameWithFcs('r', 1030, Cat({{0x02, 0x81, 0x00, 0x00}, Message(kConnect, 1, true)}));
    for (int line = 1; line <= 2; ++line) {
        SCOPED_TRACE(line);
        const std::vector<CallInfo> calls = Track(log, line);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].line, line);
        EXPECT_EQ(calls[0].called, line == 1 ? u"1" : u"2");
        EXPECT_EQ(calls[0].channelNumber, line);
        EXPECT_EQ(calls[0].result, line == 1 ? CallResult::kRejected : CallResult::kOpen);
        EXPECT_EQ(calls[0].connectMs != kNoTime, line == 2);
    }
}

TEST_F(CallTrackerTest, StreamingSinkGetsSettledCallsInSetupOrder) {
    Line line;
    line.I(false, 64, 0, Message(kSetup, 1, false, Channel(0x81)))
        .I(false, 64, 10, Message(kSetup, 2, false, Channel(0x82)))
        .I(true, 64, 20, Message(kRelComp, 2, true, Cause(34)))
        .I(true, 64, 5000, Message(kRelComp, 1, true, Cause(17)), true)
        .I(false, 64, 9000, Message(kSetup, 3, false, Channel(0x81)));
    const std::vector<CallInfo> all = Track(line.Log());
    ASSERT_EQ(all.size(), 3u);

    CallTracker tracker;
    std::vector<CallInfo> seen;
    tracker.SetSink([&](const CallInfo& call) { seen.push_back(call); });
    for (uint32_t i = 0; i < m_log->converter->LineCount(); ++i) {
        tracker.Add(Record(i));
        if (i + 1 == all[2].setupIndex) {
            EXPECT_EQ(seen.size(), 0u);  // call 1 holds call 2 back: the list keeps SETUP order
        }
    }
    EXPECT_EQ(seen.size(), 2u);  // settled before the last SETUP came
    tracker.Finish();
    ASSERT_EQ(seen.size(), 3u);
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(seen[i].setupIndex, all[i].setupIndex);
        EXPECT_EQ(seen[i].records, all[i].records);  // the late copy joined its call
        EXPECT_EQ(seen[i].result, all[i].result);
    }
    EXPECT_TRUE(tracker.Calls().empty());
}

TEST_F(CallTrackerTest, MessageReadBackFromHexRows) {
    Line line;
    // A long SETUP (hex rows beyond the first), a direct-through copy (kind 5 mark after the
    // last byte) and a frame behind the 0x01 prefix.
    const Bytes setup =
        Message(kSetup, 1, false,
                Cat({Speech(), Channel(0x81), Calling("0312345678901"), Called("0398765432109")}));
    const Bytes frame = Cat({{0x00, 0x81, 0x00, 0x00}, setup});
    line.Log().FrameWithFcs('T', 1000, frame);
    line.Log().Record('T', 5, 1001, frame);
    // The check sequence covers the frame, not the prefix.
    const uint16_t fcs = Fcs16(frame.data(), frame.size());
    line.Log().Record(
        'T', 0, 1002,
        Cat({{0x01}, frame, {static_cast<uint8_t>(fcs), static_cast<uint8_t>(fcs >> 8)}}));
    Track(line.Log());
    for (uint32_t index = 1; index <= 3; ++index) {
        SCOPED_TRACE(index);
        RecordMessage message;
        ASSERT_TRUE(ReadRecordMessage(Record(index), message));
        EXPECT_EQ(Bytes(message.bytes, message.bytes + message.frameLength), frame);
        EXPECT_EQ(Bytes(message.Message(), message.Message() + message.MessageLength()), setup);
        EXPECT_EQ(message.tei, 64);
        EXPECT_FALSE(message.fromNetwork);
    }
    RecordMessage message;
    EXPECT_FALSE(ReadRecordMessage(Record(0), message));  // the title record
}

}  // namespace
}  // namespace tessary::calls
