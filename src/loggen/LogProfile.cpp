#include "loggen/LogProfile.h"

#include "logfile/InsLogFormat.h"
#include "loggen/Prng.h"

namespace tessary::loggen {

namespace {

constexpr int64_t kDefaultRingFirstMs = 600000;
constexpr uint64_t kMaxEndValue = 0xFFFFFFFFFULL;

bool RatesValid(const LogProfile& s) {
    for (uint32_t rate : {s.badFcsPerMille, s.noisePerMille, s.strayPerMille, s.fillPerMille,
                          s.oddPerMille, s.prefixPerMille, s.oversizePerMille, s.relayPerMille}) {
        if (rate > 1000) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string ValidateProfile(const LogProfile& s) {
    if (s.records == 0 && s.sizeBytes == 0 && s.spanMs <= 0) {
        return "--records/--size/--span: no target (give a positive value)";
    }
    if (s.dataKind != kDataKindInsSingle && s.dataKind != kDataKindIns64Bulk) {
        return "--data-kind: must be 1 or 4";
    }
    if (s.dataKind == kDataKindIns64Bulk && s.board == Board::Ins1500) {
        return "--data-kind: 4 (INS64 bulk) needs --board 64";
    }
    if (s.lines < 1 || s.lines > 2) {
        return "--lines: must be 1 or 2";
    }
    if (s.counterBits != 0 && s.counterBits != 30 && s.counterBits != 32) {
        return "--counter-bits: must be 30 or 32";
    }
    const unsigned bits =
        s.counterBits != 0 ? s.counterBits : (s.board == Board::Ins1500 ? 32 : 30);
    if (bits == 30 && s.countStartSet && s.countStart > 0x3FFFFFFF) {
        return "--count-start: above the range of a 30-bit counter";
    }
    int64_t startTicks = 0;
    if (!SystemTimeToTicks(s.start, startTicks)) {
        return "--start: not a valid date and time";
    }
    if (s.startCorrectionMs < kMinStartCorrection || s.startCorrectionMs > kMaxStartCorrection) {
        return "--start-correction: outside -34359738368..34359738367 ms";
    }
    SystemTime corrected{};
    if (!TicksToSystemTime(startTicks + s.startCorrectionMs * kTicksPerMs, corrected) ||
        !IsRepresentable(corrected)) {
        return "--start-correction: the corrected start is not a representable date";
    }
    if (s.ring && s.loopCount == 0) {
        return "--loop-count: a ring file needs at least 1";
    }
    if (s.ring && s.headOffsetSet && s.headOffsetPercent && s.headOffset >= 100) {
        return "--head-offset: a share must be below 100%";
    }
    if (s.ring && s.dataCountZero) {
        return "--data-count-zero: only for linear files";
    }
    if (s.extHeaderLength != 0 && s.extHeaderLength < 32) {
        return "--ext-header: length must be 32-255";
    }
    if (s.endValueSet && s.extHeaderLength == 0) {
        return "--end-value: needs --ext-header";
    }
    if (s.endValueSet && s.endValueMs > kMaxEndValue) {
        return "--end-value: above the 36-bit range";
    }
    if (!RatesValid(s)) {
        return "rates (--bad-fcs, --noise, ...): per mille, 0-1000";
    }
    if (s.callIntervalMs < 100 || s.callIntervalMs > 86400000) {
        return "--call-interval: 100 ms to 1 day";
    }
    if (s.pollIntervalMs < 100 || s.pollIntervalMs > 86400000) {
        return "--poll-interval: 100 ms to 1 day";
    }
    if (s.firstRecordMs > 0x3FFFFFFF) {
        return "--first-record-ms: at most 0x3FFFFFFF";
    }
    return {};
}

ResolvedProfile Resolve(const LogProfile& s) {
    ResolvedProfile r;
    r.profile = s;
    const bool is1500 = s.board == Board::Ins1500;
    r.boardKind = s.boardKind != 0 ? s.boardKind : (is1500 ? 0x0003 : 0x0001);
    r.counterBits = s.counterBits != 0 ? s.counterBits : (is1500 ? 32 : 30);
    r.counterMask = r.counterBits == 32 ? 0xFFFFFFFFu : 0x3FFFFFFFu;
    if (s.countStartSet) {
        r.countStart = s.countStart & r.counterMask;
    } else {
        Prng prng(s.seed ^ 0xC0FFEE5EEDULL);
        r.countStart = static_cast<uint32_t>(prng.Next()) & r.counterMask;
    }
    r.lines = s.dataKind == kDataKindIns64Bulk ? s.lines : 1;
    // The reader places the first record at the corrected start, or for an uncorrected ring
    // at the distance the counts give; the model follows so that times read back exactly.
    if (s.ring && s.startCorrectionMs == 0) {
        r.firstRecordMs = s.firstRecordMs >= 0 ? s.firstRecordMs : kDefaultRingFirstMs;
    } else {
        r.firstRecordMs = s.startCorrectionMs;
    }
    return r;
}

}  // namespace tessary::loggen
