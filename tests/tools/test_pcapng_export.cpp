#include "tools/PcapngExport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "decode/CTessaryCan.h"
#include "decode/Fcs16.h"
#include "decode/MessageRecord.h"
#include "support/GeneratedLog.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"
#include "tools/ToolsTestSupport.h"

namespace tessary::test {
namespace {

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

std::vector<uint8_t> RecordBytes(char direction, uint8_t kind, std::vector<uint8_t> payload) {
    LogBytes one;
    one.Record(direction, kind, 0, payload);
    const std::vector<uint8_t> all = one.Bytes();
    return std::vector<uint8_t>(all.begin() + 32, all.end());
}

std::vector<uint8_t> Frame(const std::vector<uint8_t>& record) {
    const uint8_t* frame = nullptr;
    uint32_t length = 0;
    uint32_t flags = 0;
    EXPECT_TRUE(
        FrameOfRecord(record.data(), static_cast<uint32_t>(record.size()), frame, length, flags));
    return std::vector<uint8_t>(frame, frame + length);
}

uint32_t Direction(const std::vector<uint8_t>& record) {
    const uint8_t* frame = nullptr;
    uint32_t length = 0;
    uint32_t flags = 0;
    FrameOfRecord(record.data(), static_cast<uint32_t>(record.size()), frame, length, flags);
    return flags;
}

TEST(PcapngFrame, PrefixAndCheckBytesAreLeftOut) {
    EXPECT_EQ(Frame(RecordBytes('R', 0, {0x00, 0x01, 0x7F, 0xAA, 0xBB})),
              (std::vector<uint8_t>{0x00, 0x01, 0x7F}));
    EXPECT_EQ(Frame(RecordBytes('T', 0, {0x01, 0x02, 0x01, 0x73, 0xAA, 0xBB})),
              (std::vector<uint8_t>{0x02, 0x01, 0x73}));
    EXPECT_EQ(Frame(RecordBytes('T', 3, {0x01, 0x02, 0x01, 0x73})),
              (std::vector<uint8_t>{0x02, 0x01, 0x73}));
    EXPECT_EQ(Frame(RecordBytes('R', 8, {0x02, 0x01})), (std::vector<uint8_t>{0x02, 0x01}));
    // A lone 0x01 is the frame itself.
    EXPECT_EQ(Frame(RecordBytes('r', 5, {0x01})), (std::vector<uint8_t>{0x01}));
    // Longer than 264 bytes: kind 6, the last two bytes stay.
    std::vector<uint8_t> big(265, 0x42);
    EXPECT_EQ(Frame(RecordBytes('R', 0, big)), big);
    std::vector<uint8_t> fcs264(264, 0x42);
    EXPECT_EQ(Frame(RecordBytes('R', 0, fcs264)).size(), 262u);
}

TEST(PcapngFrame, DirectionAndRecordsWithoutFrames) {
    EXPECT_EQ(Direction(RecordBytes('T', 1, {0x02})), kPacketOutbound);              // A
    EXPECT_EQ(Direction(RecordBytes('R', 0, {0x02, 0x01, 0x01})), kPacketInbound);   // B
    EXPECT_EQ(Direction(RecordBytes('t', 0, {0x02, 0x01, 0x01})), kPacketOutbound);  // C
    EXPECT_EQ(Direction(RecordBytes('r', 4, {0x02})), kPacketInbound);               // D
    const uint8_t* frame = nullptr;
    uint32_t length = 0;
    uint32_t flags = 0;
    const auto status = RecordBytes('T', 9, {0x34});
    EXPECT_FALSE(
        FrameOfRecord(status.data(), static_cast<uint32_t>(status.size()), frame, length, flags));
    const auto noBlock = RecordBytes('R', 9, {0x34});
    EXPECT_FALSE(
        FrameOfRecord(noBlock.data(), static_cast<uint32_t>(noBlock.size()), frame, length, flags));
    // A record cut short is not read past its end.
    const auto cut = RecordBytes('T', 1, {0x02, 0x01, 0x01});
    EXPECT_FALSE(
        FrameOfRecord(cut.data(), static_cast<uint32_t>(cut.size() - 1), frame, length, flags));
}

struct Block {
    uint32_t type;
    std::vector<uint8_t> body;  // after type and length, before the trailing length
};

std::vector<Block> Blocks(const std::vector<uint8_t>& file) {
    std::vector<Block> blocks;
    size_t at = 0;
    while (at + 12 <= file.size()) {
        const uint32_t type = Get32(file, at);
        const uint32_t length = Get32(file, at + 4);
        EXPECT_EQ(length % 4, 0u);
        EXPECT_LE(at + length, file.size());
        if (length < 12 || at + length > file.size()) {
            break;
        }
        EXPECT_EQ(Get32(file, at + length - 4), length);
        blocks.push_back(
            {type, std::vector<uint8_t>(file.begin() + at + 8, file.begin() + at + length - 4)});
        at += length;
    }
    EXPECT_EQ(at, file.size());
    return blocks;
}

// Options of a block from `at` on: code -> value.
std::map<uint16_t, std::vector<uint8_t>> Options(const std::vector<uint8_t>& body, size_t at) {
    std::map<uint16_t, std::vector<uint8_t>> options;
    while (at + 4 <= body.size()) {
        const uint16_t code = Get16(body, at);
        const uint16_t length = Get16(body, at + 2);
        if (code == 0) {
            options[0] = {};
            break;
        }
        options[code] = std::vector<uint8_t>(body.begin() + at + 4, body.begin() + at + 4 + length);
        at += 4 + (length + 3u) / 4 * 4;
    }
    return options;
}

TEST(PcapngExport, BlocksCarryFramesTimesDirectionsAndIds) {
    TempDir dir;
    CanPara para;
    ResetPara(para);
    LogBytes log;  // starts 2024/06/07 12:34:56.789
    log.Record('T', 9, 1000, {0x34});
    log.FrameWithFcs('R', 1250, {0x00, 0x01, 0x7F});  // SABME from the exchange side
    std::vector<uint8_t> prefixed = {0x01, 0x02, 0x01, 0x73};
    const uint16_t fcs = Fcs16(prefixed.data() + 1, 3);
    prefixed.push_back(static_cast<uint8_t>(fcs));
    prefixed.push_back(static_cast<uint8_t>(fcs >> 8));
    log.Record('T', 0, 2000, prefixed);
    log.Record('T', 1, 2001, {0x00, 0x01, 0x00, 0x00, 0x08, 0x01, 0x01, 0x05});
    log.FixDataByteCount();
    const std::string path = log.WriteTo(dir.File("p.dat"));
    auto converter = Convert(path, para);
    const std::string out = dir.File("p.pcapng");
    const PcapngResult result = ExportPcapng(*converter, out, kResolutionMs);
    ASSERT_EQ(result.status, 0);
    EXPECT_EQ(result.packets, 3u);

    const std::vector<Block> blocks = Blocks(ReadBytes(out));
    ASSERT_EQ(blocks.size(), 5u);
    EXPECT_EQ(blocks[0].type, 0x0A0D0D0Au);
    EXPECT_EQ(Get32(blocks[0].body, 0), 0x1A2B3C4Du);
    EXPECT_EQ(Get16(blocks[0].body, 4), 1);
    EXPECT_EQ(Get16(blocks[0].body, 6), 0);
    EXPECT_EQ(blocks[1].type, 1u);
    EXPECT_EQ(Get16(blocks[1].body, 0), 203);
    const auto ifOptions = Options(blocks[1].body, 8);
    ASSERT_TRUE(ifOptions.count(9));
    EXPECT_EQ(ifOptions.at(9), (std::vector<uint8_t>{3}));

    struct Expected {
        uint64_t ms;
        std::vector<uint8_t> data;
        uint32_t flags;
        char block;
    };
    // Times: the base (the start) plus the counts' distance from the first record.
    const uint64_t start = 1717763696789ULL;
    const Expected expected[] = {
        {start + 250, {0x00, 0x01, 0x7F}, kPacketInbound, 'B'},
        {start + 1000, {0x02, 0x01, 0x73}, kPacketOutbound, 'C'},
        {start + 1001, {0x00, 0x01, 0x00, 0x00, 0x08, 0x01, 0x01, 0x05}, kPacketOutbound, 'A'},
    };
    for (size_t i = 0; i < 3; ++i) {
        const Block& b = blocks[2 + i];
        EXPECT_EQ(b.type, 6u);
        EXPECT_EQ(Get32(b.body, 0), 0u);
        const uint64_t ts = uint64_t{Get32(b.body, 4)} << 32 | Get32(b.body, 8);
        EXPECT_EQ(ts, expected[i].ms);
        const uint32_t captured = Get32(b.body, 12);
        EXPECT_EQ(Get32(b.body, 16), captured);
        ASSERT_EQ(captured, expected[i].data.size());
        EXPECT_EQ(std::vector<uint8_t>(b.body.begin() + 20, b.body.begin() + 20 + captured),
                  expected[i].data);
        const auto options = Options(b.body, 20 + (captured + 3) / 4 * 4);
        ASSERT_TRUE(options.count(2));
        EXPECT_EQ(Get32(options.at(2), 0), expected[i].flags);
        ASSERT_TRUE(options.count(1));
        const MessageRecord* record = converter->Record(static_cast<uint32_t>(2 + i));
        char comment[32];
        std::snprintf(comment, sizeof comment, "ID=%07u block %c", record->Id, expected[i].block);
        EXPECT_EQ(std::string(options.at(1).begin(), options.at(1).end()), comment);
        EXPECT_TRUE(options.count(0));
    }
}

TEST(PcapngExport, MicrosecondsAndAnUnwritableOutput) {
    TempDir dir;
    CanPara para;
    ResetPara(para);
    LogBytes log;
    log.FrameWithFcs('R', 0, {0x00, 0x01, 0x7F});
    log.FixDataByteCount();
    const std::string path = log.WriteTo(dir.File("u.dat"));
    const std::string out = dir.File("u.pcapng");
    const PcapngResult result = ExportPcapngFile(path, para, out, kResolutionUs);
    ASSERT_EQ(result.status, 0);
    const std::vector<Block> blocks = Blocks(ReadBytes(out));
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(Options(blocks[1].body, 8).at(9), (std::vector<uint8_t>{6}));
    const uint64_t ts = uint64_t{Get32(blocks[2].body, 4)} << 32 | Get32(blocks[2].body, 8);
    EXPECT_EQ(ts, 1717763696789000ULL);

    const PcapngResult denied = ExportPcapngFile(path, para, dir.File("no/such/x.pcapng"));
    EXPECT_EQ(denied.status, 774);
    EXPECT_EQ(denied.error, 3u);
    EXPECT_EQ(ExportPcapngFile(dir.File("none.dat"), para, out).status, 1);
}

std::string RunTshark(const std::string& file) {
    const std::string command = "tshark -r '" + file +
                                "' -T fields -E separator=/t -e frame.comment -e lapd.sapi "
                                "-e q931.message_type -e q931.call_ref -e q931.call_ref_flag "
                                "2>/dev/null";
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    ::pclose(pipe);
    return output;
}

std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(line);
    while (std::getline(in, part, separator)) {
        parts.push_back(part);
    }
    if (!line.empty() && line.back() == separator) {
        parts.emplace_back();
    }
    return parts;
}

TEST(PcapngExport, TsharkDecodesLapdAndQ931AsTheConverterDoes) {
    if (std::system("tshark --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "tshark is not installed (Debian package tshark): the export is not "
                        "checked against a packet analyser";
    }
    TempDir dir;
    const std::string log = dir.File("gen.dat");
    ASSERT_TRUE(RunInsloggen("--seed 7 --records 1500", log));
    CanPara para;
    ResetPara(para);
    para.Flag[0] = static_cast<uint8_t>((para.Flag[0] & ~kFlag0LineSelectMask) | 0x08);
    auto converter = Convert(log, para);
    const std::string out = dir.File("gen.pcapng");
    const PcapngResult result = ExportPcapng(*converter, out);
    ASSERT_EQ(result.status, 0);

    // The converter's call-control records by their ID.
    std::map<std::string, const MessageRecord*> messages;
    uint32_t frames = 0;
    for (uint32_t i = 1; i < converter->LineCount(); ++i) {
        const MessageRecord* r = converter->Record(i);
        if ((r->Flags & kRecordWarning) != 0 || r->Block == kNoBlock || r->Layer == kLayerStatus) {
            continue;
        }
        ++frames;
        char comment[32];
        std::snprintf(comment, sizeof comment, "ID=%07u block %c", r->Id, 'A' + r->Block);
        if (r->Layer == kLayerMessage && (r->Flags & kRecordError) == 0) {
            messages[comment] = r;
        }
    }
    EXPECT_EQ(result.packets, frames);
    ASSERT_GT(messages.size(), 20u);

    const std::string text = RunTshark(out);
    std::istringstream lines(text);
    std::string line;
    uint32_t packets = 0;
    size_t checked = 0;
    while (std::getline(lines, line)) {
        ++packets;
        const std::vector<std::string> f = Split(line, '\t');
        ASSERT_GE(f.size(), 3u) << line;
        const auto it = messages.find(f[0]);
        if (it == messages.end()) {
            continue;
        }
        const MessageRecord* r = it->second;
        ASSERT_GE(f.size(), 4u) << line;
        EXPECT_EQ(f[1], "0") << line;  // SAPI 0: call control
        EXPECT_EQ(std::stoul(f[2], nullptr, 0), static_cast<unsigned long>(r->Code)) << line;
        if (r->CallRef >= 0) {
            EXPECT_EQ(std::stoul(f[3], nullptr, 16), static_cast<unsigned long>(r->CallRef))
                << line;
        }
        ++checked;
    }
    EXPECT_EQ(packets, result.packets);
    EXPECT_EQ(checked, messages.size());
}

}  // namespace
}  // namespace tessary::test
