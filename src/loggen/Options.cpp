#include "loggen/Options.h"

#include <charconv>
#include <cstring>
#include <functional>

namespace tessary::loggen {

namespace {

bool ParseUnsigned(const std::string& text, uint64_t& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        first += 2;
        base = 16;
    }
    if (first == last) {
        return false;
    }
    auto [end, ec] = std::from_chars(first, last, value, base);
    return ec == std::errc() && end == last;
}

bool ParseSigned(const std::string& text, int64_t& value) {
    if (!text.empty() && text[0] == '-') {
        uint64_t magnitude = 0;
        if (!ParseUnsigned(text.substr(1), magnitude) || magnitude > (1ULL << 62)) {
            return false;
        }
        value = -static_cast<int64_t>(magnitude);
        return true;
    }
    uint64_t magnitude = 0;
    if (!ParseUnsigned(text[0] == '+' ? text.substr(1) : text, magnitude) ||
        magnitude > (1ULL << 62)) {
        return false;
    }
    value = static_cast<int64_t>(magnitude);
    return true;
}

// A number with an optional suffix from `units` (name, factor); `fallback` without one.
bool ParseWithUnit(const std::string& text,
                   std::initializer_list<std::pair<const char*, uint64_t>> units, uint64_t fallback,
                   uint64_t& value) {
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        ++digits;
    }
    uint64_t number = 0;
    if (digits == 0 || !ParseUnsigned(text.substr(0, digits), number)) {
        return false;
    }
    const std::string unit = text.substr(digits);
    uint64_t factor = 0;
    if (unit.empty()) {
        factor = fallback;
    } else {
        for (const auto& [name, f] : units) {
            if (unit == name) {
                factor = f;
            }
        }
    }
    if (factor == 0 || number > UINT64_MAX / factor) {
        return false;
    }
    value = number * factor;
    return true;
}

bool ParseSize(const std::string& text, uint64_t& value) {
    return ParseWithUnit(text, {{"K", 1ULL << 10}, {"M", 1ULL << 20}, {"G", 1ULL << 30}}, 1, value);
}

bool ParseDuration(const std::string& text, int64_t& value) {
    uint64_t ms = 0;
    if (!ParseWithUnit(
            text, {{"ms", 1}, {"s", 1000}, {"m", 60000}, {"h", 3600000}, {"d", 86400000}}, 1, ms) ||
        ms > (1ULL << 40)) {
        return false;
    }
    value = static_cast<int64_t>(ms);
    return true;
}

// "YYYY-MM-DD hh:mm:ss[.fff]", also with '/' between the date fields or 'T' before the time.
bool ParseDateTime(const std::string& text, SystemTime& time) {
    unsigned v[7] = {0, 0, 0, 0, 0, 0, 0};
    const char separators[] = {'-', '-', ' ', ':', ':', '.'};
    size_t pos = 0;
    int field = 0;
    for (; field < 7; ++field) {
        size_t start = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            ++pos;
        }
        if (pos == start || pos - start > 5) {
            return false;
        }
        v[field] = static_cast<unsigned>(std::stoul(text.substr(start, pos - start)));
        if (pos == text.size()) {
            break;
        }
        if (field == 6) {
            return false;
        }
        const char c = text[pos];
        const char want = separators[field];
        const bool ok = c == want || (field < 2 && c == '/') || (field == 2 && c == 'T');
        if (!ok) {
            return false;
        }
        ++pos;
    }
    if (field < 5) {
        return false;  // at least down to the seconds
    }
    if (field == 6 && text.size() - text.rfind('.') - 1 != 3) {
        return false;
    }
    time = SystemTime{};
    time.year = static_cast<uint16_t>(v[0] > 65535 ? 0 : v[0]);
    time.month = static_cast<uint16_t>(v[1] > 65535 ? 0 : v[1]);
    time.day = static_cast<uint16_t>(v[2] > 65535 ? 0 : v[2]);
    time.hour = static_cast<uint16_t>(v[3] > 65535 ? 0xFFFF : v[3]);
    time.minute = static_cast<uint16_t>(v[4] > 65535 ? 0xFFFF : v[4]);
    time.second = static_cast<uint16_t>(v[5] > 65535 ? 0xFFFF : v[5]);
    time.milliseconds = static_cast<uint16_t>(v[6]);
    return IsRepresentable(time);
}

bool ParseList(const std::string& text, std::vector<uint64_t>& list) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        uint64_t n = 0;
        if (!ParseUnsigned(text.substr(start, end - start), n) || n == 0) {
            return false;
        }
        list.push_back(n);
        start = end + 1;
    }
    return true;
}

bool ParseRate(const std::string& text, uint32_t& rate) {
    uint64_t v = 0;
    if (!ParseUnsigned(text, v) || v > 1000) {
        return false;
    }
    rate = static_cast<uint32_t>(v);
    return true;
}

struct OptionDef {
    const char* name;
    const char* arg;  // nullptr: a flag
    const char* help;
    // Fills the command line from the value; false when the value is not acceptable.
    std::function<bool(CommandLine&, const std::string&)> apply;
};

const std::vector<OptionDef>& Options() {
    static const std::vector<OptionDef> options = {
        {"--out", "FILE", "the log file to write (required)",
         [](CommandLine& c, const std::string& v) {
             c.out = v;
             return !v.empty();
         }},
        {"--seed", "N", "random seed (default 1); the same seed and options give the same bytes",
         [](CommandLine& c, const std::string& v) { return ParseUnsigned(v, c.profile.seed); }},
        {"--records", "N", "write N complete records (default 1000)",
         [](CommandLine& c, const std::string& v) {
             c.profile.sizeBytes = 0;
             c.profile.spanMs = 0;
             return ParseUnsigned(v, c.profile.records) && c.profile.records > 0;
         }},
        {"--size", "SIZE", "write until the file holds SIZE bytes (suffix K, M, G: 1024-based)",
         [](CommandLine& c, const std::string& v) {
             c.profile.records = 0;
             c.profile.spanMs = 0;
             return ParseSize(v, c.profile.sizeBytes) && c.profile.sizeBytes > 0;
         }},
        {"--span", "TIME", "write until the records cover TIME (suffix ms, s, m, h, d)",
         [](CommandLine& c, const std::string& v) {
             c.profile.records = 0;
             c.profile.sizeBytes = 0;
             return ParseDuration(v, c.profile.spanMs) && c.profile.spanMs > 0;
         }},
        {"--board", "64|1500", "board kind: INS-Net 64 (default) or INS-Net 1500",
         [](CommandLine& c, const std::string& v) {
             if (v != "64" && v != "1500") {
                 return false;
             }
             c.profile.board = v == "64" ? Board::Ins64 : Board::Ins1500;
             return true;
         }},
        {"--board-kind", "HEX", "raw BD_STS value (default 0x0001, or 0x0003 for 1500)",
         [](CommandLine& c, const std::string& v) {
             uint64_t n = 0;
             if (!ParseUnsigned(v, n) || n == 0 || n > 0xFFFF) {
                 return false;
             }
             c.profile.boardKind = static_cast<uint16_t>(n);
             return true;
         }},
        {"--data-kind", "1|4", "1 single INS line (default), 4 INS-Net 64 bulk (two lines)",
         [](CommandLine& c, const std::string& v) {
             if (v != "1" && v != "4") {
                 return false;
             }
             c.profile.dataKind = static_cast<uint8_t>(v[0] - '0');
             return true;
         }},
        {"--lines", "1|2", "data kind 4: lines in the stream (default 2)",
         [](CommandLine& c, const std::string& v) {
             if (v != "1" && v != "2") {
                 return false;
             }
             c.profile.lines = static_cast<unsigned>(v[0] - '0');
             return true;
         }},
        {"--channel", "N", "channel number in the header (0-255, default 1)",
         [](CommandLine& c, const std::string& v) {
             uint64_t n = 0;
             if (!ParseUnsigned(v, n) || n > 255) {
                 return false;
             }
             c.profile.channelNumber = static_cast<uint8_t>(n);
             return true;
         }},
        {"--trace-type", "N", "INS trace type in the header (0-255, default 1)",
         [](CommandLine& c, const std::string& v) {
             uint64_t n = 0;
             if (!ParseUnsigned(v, n) || n > 255) {
                 return false;
             }
             c.profile.traceType = static_cast<uint8_t>(n);
             return true;
         }},
        {"--start", "DATETIME",
         "start date/time \"YYYY-MM-DD hh:mm:ss[.fff]\" (default 2024-06-07 12:34:56.789)",
         [](CommandLine& c, const std::string& v) { return ParseDateTime(v, c.profile.start); }},
        {"--start-correction", "MS", "signed 36-bit start correction in ms (default 0)",
         [](CommandLine& c, const std::string& v) {
             return ParseSigned(v, c.profile.startCorrectionMs);
         }},
        {"--counter-bits", "30|32", "width of the 1 ms counter (default 30, 32 for 1500)",
         [](CommandLine& c, const std::string& v) {
             if (v != "30" && v != "32") {
                 return false;
             }
             c.profile.counterBits = v == "30" ? 30 : 32;
             return true;
         }},
        {"--count-start", "N", "counter value at the start date/time (default from the seed)",
         [](CommandLine& c, const std::string& v) {
             uint64_t n = 0;
             if (!ParseUnsigned(v, n) || n > 0xFFFFFFFF) {
                 return false;
             }
             c.profile.countStart = static_cast<uint32_t>(n);
             c.profile.countStartSet = true;
             return true;
         }},
        {"--first-record-ms", "MS",
         "ring without correction: time of the oldest record kept (default 600000)",
         [](CommandLine& c, const std::string& v) {
             uint64_t n = 0;
             if (!ParseUnsigned(v, n) || n > 0x3FFFFFFF) {
                 return false;
             }
             c.profile.firstRecordMs = static_cast<int64_t>(n);
             return true;
         }},
        {"--ring", nullptr, "write a ring file (loop count 1 unless --loop-count)",
         [](CommandLine& c, const std::string&) {
             c.profile.ring = true;
             return true;
         }},
        {"--loop-count", "N", "ring file with this loop count (1 or more)",
         [](CommandLine& c, const std::string& v) {
             uint64_t n = 0;
             if (!ParseUnsigned(v, n) || n == 0 || n > 0xFFFFFFFF) {
                 return false;
             }
             c.profile.ring = true;
             c.profile.loopCount = static_cast<uint32_t>(n);
             return true;
         }},
        {"--head-offset", "N|P%",
         "ring: head offset in bytes, or as a share of the data area (default 37%)",
         [](CommandLine& c, const std::string& v) {
             c.profile.headOffsetSet = true;
             c.profile.headOffsetPercent = !v.empty() && v.back() == '%';
             const std::string n = c.profile.headOffsetPercent ? v.substr(0, v.size() - 1) : v;
             return ParseUnsigned(n, c.profile.headOffset) &&
                    (!c.profile.headOffsetPercent || c.profile.headOffset < 100);
         }},
        {"--ext-header", "LEN", "extended header of LEN bytes (32-255) with the end value",
         [](CommandLine& c, const std::string& v) {
             uint64_t n = 0;
             if (!ParseUnsigned(v, n) || n < 32 || n > 255) {
                 return false;
             }
             c.profile.extHeaderLength = static_cast<uint8_t>(n);
             return true;
         }},
        {"--end-value", "MS", "end value in ms (default: the time of the last record)",
         [](CommandLine& c, const std::string& v) {
             c.profile.endValueSet = true;
             return ParseUnsigned(v, c.profile.endValueMs) &&
                    c.profile.endValueMs <= 0xFFFFFFFFFULL;
         }},
        {"--data-count-zero", nullptr, "linear: write data byte count 0 (\"the rest of the file\")",
         [](CommandLine& c, const std::string&) {
             c.profile.dataCountZero = true;
             return true;
         }},
        {"--bad-fcs", "RATE", "per mille of kind-0 frames with a wrong check sequence (default 1)",
         [](CommandLine& c, const std::string& v) {
             return ParseRate(v, c.profile.badFcsPerMille);
         }},
        {"--bad-fcs-at", "N,...", "a wrong check sequence at these records (or the next kind 0)",
         [](CommandLine& c, const std::string& v) { return ParseList(v, c.profile.badFcsAt); }},
        {"--noise", "RATE", "per mille of records after a gap of noise bytes (default 1)",
         [](CommandLine& c, const std::string& v) {
             return ParseRate(v, c.profile.noisePerMille);
         }},
        {"--noise-at", "N,...", "a gap of noise bytes before these records",
         [](CommandLine& c, const std::string& v) { return ParseList(v, c.profile.noiseAt); }},
        {"--stray-marks", "RATE", "per mille of records after an 0xFF that opens no record",
         [](CommandLine& c, const std::string& v) {
             return ParseRate(v, c.profile.strayPerMille);
         }},
        {"--fill", "RATE", "per mille of records after a run of 0xFF fill (default 3)",
         [](CommandLine& c, const std::string& v) { return ParseRate(v, c.profile.fillPerMille); }},
        {"--odd-frames", "RATE", "per mille of frames the decoder calls out of scope (default 10)",
         [](CommandLine& c, const std::string& v) { return ParseRate(v, c.profile.oddPerMille); }},
        {"--prefix", "RATE", "per mille of frames behind a 0x01 prefix (default 5)",
         [](CommandLine& c, const std::string& v) {
             return ParseRate(v, c.profile.prefixPerMille);
         }},
        {"--oversize", "RATE", "per mille of I frames followed by a kind-0 record over 264 bytes",
         [](CommandLine& c, const std::string& v) {
             return ParseRate(v, c.profile.oversizePerMille);
         }},
        {"--relay", "RATE", "per mille of frames copied to blocks A/D as kinds 1-8 (default 500)",
         [](CommandLine& c, const std::string& v) {
             return ParseRate(v, c.profile.relayPerMille);
         }},
        {"--no-block-at", "N", "make record N a receive kind-9 record (no INS block)",
         [](CommandLine& c, const std::string& v) {
             return ParseUnsigned(v, c.profile.noBlockAt) && c.profile.noBlockAt > 0;
         }},
        {"--truncate-last", nullptr, "cut the last record short",
         [](CommandLine& c, const std::string&) {
             c.profile.truncateLast = true;
             return true;
         }},
        {"--call-interval", "TIME", "mean time between call attempts per line (default 20s)",
         [](CommandLine& c, const std::string& v) {
             return ParseDuration(v, c.profile.callIntervalMs);
         }},
        {"--poll-interval", "TIME", "idle time before a link is polled with RR (default 10s)",
         [](CommandLine& c, const std::string& v) {
             return ParseDuration(v, c.profile.pollIntervalMs);
         }},
        {"--call-list", "FILE",
         "also write the calls of the log as CSV: start, line, call reference, numbers, "
         "channel, result, cause",
         [](CommandLine& c, const std::string& v) {
             c.callList = v;
             return !v.empty();
         }},
        {"--quiet", nullptr, "print nothing on success",
         [](CommandLine& c, const std::string&) {
             c.quiet = true;
             return true;
         }},
    };
    return options;
}

}  // namespace

std::string UsageText() {
    std::string text =
        "usage: insloggen [options] --out FILE\n"
        "Writes a synthetic INS log file (real-time output log) with layer 1 status, LAPD and\n"
        "INS-Net call control traffic.\n\n"
        "options:\n"
        "  --help                 this text\n";
    for (const OptionDef& o : Options()) {
        std::string left = std::string("  ") + o.name + (o.arg ? std::string(" ") + o.arg : "");
        if (left.size() < 25) {
            left.resize(25, ' ');
        } else {
            left += "\n" + std::string(25, ' ');
        }
        text += left + o.help + "\n";
    }
    text +=
        "\nRATE is per mille (0-1000). Exit: 0 written, 1 the file cannot be written (no file\n"
        "is left), 2 bad usage.\n";
    return text;
}

ParseOutcome ParseCommandLine(const std::vector<std::string>& args, CommandLine& line,
                              std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        if (name == "--help" || name == "-h") {
            return ParseOutcome::kHelp;
        }
        if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        const OptionDef* def = nullptr;
        for (const OptionDef& o : Options()) {
            if (name == o.name) {
                def = &o;
            }
        }
        if (!def) {
            error = "unknown option: " + args[i];
            return ParseOutcome::kUsageError;
        }
        if (def->arg && !hasValue) {
            if (i + 1 >= args.size()) {
                error = name + ": needs a value (" + def->arg + ")";
                return ParseOutcome::kUsageError;
            }
            value = args[++i];
        } else if (!def->arg && hasValue) {
            error = name + ": takes no value";
            return ParseOutcome::kUsageError;
        }
        if (!def->apply(line, value)) {
            error = name + ": invalid value '" + value + "' (" + (def->arg ? def->arg : "") + ")";
            return ParseOutcome::kUsageError;
        }
    }
    if (line.out.empty()) {
        error = "--out: missing (the log file to write)";
        return ParseOutcome::kUsageError;
    }
    if (std::string problem = ValidateProfile(line.profile); !problem.empty()) {
        error = problem;
        return ParseOutcome::kUsageError;
    }
    return ParseOutcome::kRun;
}

}  // namespace tessary::loggen
