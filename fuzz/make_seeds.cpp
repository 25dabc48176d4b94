// Writes the seed corpora of the fuzz targets: byte-built logs with the cases the reader and
// the decoders must handle, the records of the given insloggen logs as one-record inputs, and
// definition strings and texts for the pattern and text targets.
//
//   make_seeds OUTDIR [LOG...]    (OUTDIR/<target>/<name> per seed)
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "logfile/InsLogFormat.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"

using namespace tessary;
using namespace tessary::test;
namespace fs = std::filesystem;

namespace {

const std::vector<uint8_t> kRr = {0x02, 0x81, 0x01, 0x03};
const std::vector<uint8_t> kSabme = {0x00, 0x81, 0x7F};
const std::vector<uint8_t> kUa = {0x00, 0x81, 0x73};
const std::vector<uint8_t> kSetup = {0x00, 0x81, 0x00, 0x00, 0x08, 0x01, 0x01, 0x05, 0x04, 0x03,
                                     0x80, 0x90, 0xA3, 0x18, 0x01, 0x89, 0x6C, 0x0C, 0x00, 0x80,
                                     '0',  '3',  '1',  '2',  '3',  '4',  '5',  '6',  '7',  '8',
                                     0x70, 0x05, 0x80, '1',  '2',  '3',  '4'};
const std::vector<uint8_t> kDisconnect = {0x02, 0x81, 0x02, 0x02, 0x08, 0x01,
                                          0x81, 0x45, 0x08, 0x02, 0x80, 0x90};
const std::vector<uint8_t> kTeiRequest = {0xFE, 0xFF, 0x03, 0x0F, 0x12, 0x34, 0x01, 0xFF};
const std::vector<uint8_t> kFacility = {
    0x00, 0x81, 0x04, 0x02, 0x08, 0x01, 0x01, 0x62, 0x1C, 0x11, 0x91, 0xA1, 0x0E, 0x02, 0x01, 0x01,
    0x06, 0x06, 0x02, 0x83, 0x38, 0x66, 0x01, 0x01, 0x0A, 0x01, 0x01, 0x96, 0x01, 0x02, 0x03, 0x04};

int g_written = 0;

void Put(const fs::path& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::create_directories(dir);
    WriteBytes((dir / name).string(), bytes);
    ++g_written;
}

std::vector<uint8_t> Text(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

LogBytes Traffic(const InsLogHeader& header) {
    LogBytes log(header);
    log.Record('T', 9, 100, {0x05, 0x01})
        .FrameWithFcs('T', 110, kSabme)
        .FrameWithFcs('R', 120, kUa)
        .FrameWithFcs('T', 130, kSetup)
        .FrameWithFcs('R', 140, kRr)
        .Record('R', 1, 150, kDisconnect)
        .Record('T', 2, 160, kFacility)
        .FrameWithFcs('T', 170, kTeiRequest)
        .FrameWithFcs('R', 180, kSetup, true)
        .Record('T', 5, 190, kRr)
        .Record('R', 9, 200, {0x03});
    return log;
}

void LogSeeds(const fs::path& dir) {
    const InsLogHeader base = DefaultHeader();
    Put(dir, "header-only", LogBytes(base).Bytes());
    Put(dir, "traffic", Traffic(base).FixDataByteCount().Bytes());
    Put(dir, "traffic-count-zero", Traffic(base).Bytes());

    LogBytes noisy(base);
    noisy.FrameWithFcs('T', 10, kRr).Raw({0x00, 0x11, 0x22}).FrameWithFcs('R', 20, kRr);
    noisy.Fill(0xFF, 7).FrameWithFcs('T', 30, kSabme).Raw({0xFF, 'X', 0x01});
    noisy.FrameWithFcs('T', 40, kUa).Raw({0xFF, 'T', 12, 0x01, 0x00});
    noisy.Record('T', 0, 50, std::vector<uint8_t>(20, 0x42));
    Put(dir, "noise-fill-truncated", noisy.FixDataByteCount().Bytes());

    InsLogHeader ext = base;
    LogBytes withExt(ext);
    withExt.ExtHeader(40, 5000);
    withExt.FrameWithFcs('T', 10, kSetup).FrameWithFcs('R', 5000, kDisconnect);
    Put(dir, "ext-header-40", withExt.FixDataByteCount().Bytes());

    // A ring: the oldest byte in the middle of the data area.
    InsLogHeader ring = base;
    ring.loopCount = 1;
    LogBytes second(ring);
    second.FrameWithFcs('R', 300, kRr).FrameWithFcs('T', 310, kSetup);
    LogBytes first(ring);
    first.FrameWithFcs('T', 100, kSabme).FrameWithFcs('R', 200, kUa);
    const std::vector<uint8_t> firstBytes = first.Bytes();
    const std::vector<uint8_t> secondBytes = second.Bytes();
    const std::vector<uint8_t> firstData(firstBytes.begin() + kInsHeaderSize, firstBytes.end());
    const std::vector<uint8_t> secondData(secondBytes.begin() + kInsHeaderSize, secondBytes.end());
    ring.dataByteCount = static_cast<uint32_t>(secondData.size());
    LogBytes wrapped(ring);
    wrapped.Raw(secondData).Raw(firstData);
    Put(dir, "ring", wrapped.Bytes());
    ring.extHeaderLength = 0;
    LogBytes ringExt(ring);
    ringExt.ExtHeader(32, 400).Raw(secondData).Raw(firstData);
    Put(dir, "ring-end-time", ringExt.Bytes());

    InsLogHeader bulk = base;
    bulk.dataKind = kDataKindIns64Bulk;
    LogBytes two(bulk);
    two.FrameWithFcs('T', 10, kSetup).FrameWithFcs('t', 11, kSetup).FrameWithFcs('r', 12, kRr);
    two.Record('r', 9, 13, {0x01}).FrameWithFcs('R', 14, kDisconnect);
    Put(dir, "ins64-two-lines", two.FixDataByteCount().Bytes());
    bulk.traceType = 0x30;  // the fuzz target's "second line" and re-layout knobs
    LogBytes twoAgain(bulk);
    twoAgain.FrameWithFcs('t', 11, kSetup).FrameWithFcs('r', 12, kRr);
    Put(dir, "ins64-second-line", twoAgain.FixDataByteCount().Bytes());

    InsLogHeader primary = base;
    primary.boardKind = 0x0003;
    primary.channelNumber = 0x3F;  // date format 3, RR hidden, titles on one row, wrap 24
    Put(dir, "ins1500", Traffic(primary).FixDataByteCount().Bytes());

    InsLogHeader corrected = base;
    corrected.correctionHigh = 0x0F;
    corrected.startCorrectionLow = 0xFFFFFC18;  // -1000 ms
    Put(dir, "corrected", Traffic(corrected).FixDataByteCount().Bytes());

    // Counter wrap and large jumps.
    LogBytes jumps(base);
    jumps.FrameWithFcs('T', 0x3FFFFFF0, kRr).FrameWithFcs('R', 0x00000010, kRr);
    jumps.FrameWithFcs('T', 0xFFFFFFF0, kRr).FrameWithFcs('R', 0x10, kRr);
    Put(dir, "count-wrap", jumps.FixDataByteCount().Bytes());

    // Enough records to pass the 32768-byte read cache.
    LogBytes big(base);
    for (uint32_t i = 0; big.DataSize() < 40000; ++i) {
        big.FrameWithFcs(i % 2 ? 'R' : 'T', 1000 + i * 7, i % 3 ? kRr : kSetup);
    }
    Put(dir, "past-the-cache", big.FixDataByteCount().Bytes());
}

// One-record inputs: selector (direction bits 0-1, kind bits 2-5), wrap width, payload.
void RecordSeed(const fs::path& dir, const std::string& name, uint8_t direction, uint8_t kind,
                const std::vector<uint8_t>& payload) {
    uint8_t dirBits = 0;
    switch (direction) {
        case 'R':
            dirBits = 1;
            break;
        case 't':
            dirBits = 2;
            break;
        case 'r':
            dirBits = 3;
            break;
        default:
            break;
    }
    std::vector<uint8_t> input = {static_cast<uint8_t>(dirBits | (kind << 2)), 47};
    input.insert(input.end(), payload.begin(), payload.end());
    Put(dir, name, input);
}

void RecordSeeds(const fs::path& dir, const std::vector<std::string>& logs) {
    const std::vector<std::vector<uint8_t>> frames = {kRr,         kSabme,      kUa,      kSetup,
                                                      kDisconnect, kTeiRequest, kFacility};
    int n = 0;
    for (const auto& frame : frames) {
        for (uint8_t kind : {0, 1, 6}) {
            LogBytes one;
            one.FrameWithFcs('T', 0, frame);
            const std::vector<uint8_t> bytes = one.Bytes();
            std::vector<uint8_t> payload(bytes.begin() + kInsHeaderSize + kRecordHeaderSize,
                                         bytes.end());
            if (kind != 0) {
                payload.resize(frame.size());
            }
            RecordSeed(dir, "frame-" + std::to_string(n++), kind == 6 ? 'R' : 'T', kind, payload);
        }
    }
    RecordSeed(dir, "layer1", 'T', 9, {0x05, 0x01, 0x02});
    RecordSeed(dir, "prefixed", 'R', 1, {0x01, 0x02, 0x81, 0x01, 0x03});
    // Every distinct record of the generated logs (at most a few hundred).
    std::vector<std::vector<uint8_t>> seen;
    for (const std::string& path : logs) {
        const std::vector<uint8_t> log = ReadBytes(path);
        if (log.size() < kInsHeaderSize) {
            continue;
        }
        const size_t headerSize = kInsHeaderSize + log[0x18];
        for (size_t at = headerSize; at + kRecordHeaderSize <= log.size() && seen.size() < 400;) {
            if (!IsValidRecordHeader(&log[at])) {
                ++at;
                continue;
            }
            const size_t length = log[at + 3] | (log[at + 4] << 8);
            if (at + kRecordHeaderSize + length > log.size()) {
                break;
            }
            std::vector<uint8_t> payload(
                log.begin() + static_cast<long>(at + kRecordHeaderSize),
                log.begin() + static_cast<long>(at + kRecordHeaderSize + length));
            payload.insert(payload.begin(), log[at + 2]);
            payload.insert(payload.begin(), log[at + 1]);
            bool known = false;
            for (const auto& s : seen) {
                known = known || s == payload;
            }
            if (!known) {
                seen.push_back(payload);
                RecordSeed(dir, "log-" + std::to_string(seen.size()), payload[0], payload[1],
                           std::vector<uint8_t>(payload.begin() + 2, payload.end()));
            }
            at += kRecordHeaderSize + length;
        }
    }
}

void SearchSeeds(const fs::path& dir) {
    const char* definitions[] = {
        "@;<Warning> | <規定外> | <対象外> | <CRCエラー>;0",
        "!!;<呼設定> <CH=01>;A",
        ";00000 TM",
        "!!!;x;1",
        ";<<a> | <b>> <c>;0000000F",
        ";<abc",
        ";abc>",
        ";<A> <B> | <C>;123456789",
        "#; CH=01;BD",
        ";ＣＨ;  0000000C",
        "mark;pat;tern;mask",
        ";<>",
        "ああ;<TEI=> | <ID=0000001>;3",
    };
    int n = 0;
    for (const char* definition : definitions) {
        std::vector<uint8_t> input = {0x04};  // UTF-8, mark width 2
        const std::vector<uint8_t> d = Text(definition);
        input.insert(input.end(), d.begin(), d.end());
        input.push_back(0);
        const std::vector<uint8_t> t =
            Text("ID=0000001 TM=2024/06/07 12:34:56.789 種=0 呼設定 CH=01");
        input.insert(input.end(), t.begin(), t.end());
        Put(dir, "definition-" + std::to_string(n++), input);
    }
}

void TextSeeds(const fs::path& dir) {
    const char* texts[] = {
        "2024/6/7 9:05:03.25",
        "  2024/06/07   12:34:56.789  ",
        "1601/1/1 0:0:0",
        "30827/12/31 23:59:59.999",
        "2024/2/30 0:0:0",
        "000000000002024/6/7 9:5:3.1234",
        "\t\t;Ａ  TX  局 ←;0",
        "  ;title;3",
        "indent;;-1",
        "ID=0000001 TM=2024/06/07 12:34:56.789 種=0 \nrow\nrow",
        "TM=",
        "a\nb\nc\nd\ne",
    };
    int n = 0;
    for (const char* text : texts) {
        std::vector<uint8_t> input = {0x00, 0x02, 0x01, 0x07, 0x01, 0x05, 0x10, 0x01};
        const std::vector<uint8_t> t = Text(text);
        input.insert(input.end(), t.begin(), t.end());
        Put(dir, "text-" + std::to_string(n++), input);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_seeds OUTDIR [LOG...]\n");
        return 2;
    }
    const fs::path out = argv[1];
    std::vector<std::string> logs(argv + 2, argv + argc);
    LogSeeds(out / "fuzz_logfile");
    for (const std::string& log : logs) {
        fs::create_directories(out / "fuzz_logfile");
        fs::copy_file(log, out / "fuzz_logfile" / fs::path(log).filename(),
                      fs::copy_options::overwrite_existing);
        ++g_written;
    }
    RecordSeeds(out / "fuzz_record", logs);
    SearchSeeds(out / "fuzz_search");
    TextSeeds(out / "fuzz_text");
    std::printf("%d seeds in %s\n", g_written, out.c_str());
    return 0;
}
