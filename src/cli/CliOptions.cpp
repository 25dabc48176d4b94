#include "cli/CliOptions.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace tessary::cli {
namespace {

std::optional<int64_t> Number(std::string_view text) {
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool SetMode(CliOptions& options, Mode mode, bool& modeSet, const std::string& name,
             std::string& error) {
    if (modeSet) {
        error = name + ": only one of --jsonl, --header, --summary, --divide, --pcap, --calls";
        return false;
    }
    modeSet = true;
    options.mode = mode;
    return true;
}

}  // namespace

std::string CliUsageText() {
    return "usage: tessarydump [options] FILE\n"
           "  (no mode)          the text that \"copy range\" puts on the clipboard for the whole "
           "log\n"
           "  --jsonl            one JSON object per message record shown, in the same order\n"
           "  --header           the header dump of the file\n"
           "  --summary          the summary of the converted log\n"
           "  --divide DIR       split the log into one file per date in DIR\n"
           "  --pcap OUT         write the frame records as a pcapng file\n"
           "  --calls            one CSV row per call (with --jsonl: one JSON object per call)\n"
           "options:\n"
           "  --date-format N    date format of the record times, 0-3 (default 0)\n"
           "  --line N           INS64 bulk files: the line to decode, 1 or 2 (default 1)\n"
           "  --hide-rr          do not show layer-2 RR frames\n"
           "  --wrap N           layer-3 wrap width, 1-127 (default 48)\n"
           "  --search PATTERN   only what the search aggregation takes\n"
           "  --call ID          only what the related-call aggregation from the SETUP with\n"
           "                     index number ID takes\n"
           "  --settings FILE    read the settings record from an INI file in the viewer's\n"
           "                     QSettings format instead of the user's stored settings\n"
           "  --default-settings ignore every stored setting: the defaults of a new viewer\n"
           "  --crlf             end lines with CR LF\n"
           "exit: 0 done (also a --search or --call that selects no record: heading and titles,\n"
           "      the message on stderr); 1 the file cannot be opened or read, or is not an INS\n"
           "      log; 2 bad usage (a --call start that is not a SETUP with a channel); 3 the\n"
           "      conversion failed\n";
}

ParseResult ParseCliOptions(const std::vector<std::string>& args, CliOptions& options,
                            std::string& error) {
    options = CliOptions{};
    bool modeSet = false;
    bool calls = false;
    bool fileSet = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        if (optionsEnded || name.size() < 2 || name.rfind("-", 0) != 0) {
            if (fileSet) {
                error = "more than one FILE: " + name;
                return ParseResult::kUsageError;
            }
            options.file = name;
            fileSet = true;
            continue;
        }
        if (name == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        auto value = [&](std::string& out) {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                error = name + ": missing value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto ranged = [&](int low, int high, int& out) {
            std::string text;
            if (!value(text)) {
                return false;
            }
            const auto number = Number(text);
            if (!number || *number < low || *number > high) {
                error = name + ": expected a number " + std::to_string(low) + "-" +
                        std::to_string(high) + ", got '" + text + "'";
                return false;
            }
            out = static_cast<int>(*number);
            return true;
        };
        auto flag = [&]() {
            if (inlineValue) {
                error = name + ": takes no value";
                return false;
            }
            return true;
        };

        bool ok = true;
        if (name == "--help" || name == "-h") {
            return ParseResult::kHelp;
        } else if (name == "--jsonl") {
            ok = flag() && SetMode(options, Mode::kJsonl, modeSet, name, error);
        } else if (name == "--header") {
            ok = flag() && SetMode(options, Mode::kHeader, modeSet, name, error);
        } else if (name == "--summary") {
            ok = flag() && SetMode(options, Mode::kSummary, modeSet, name, error);
        } else if (name == "--divide") {
            ok = value(options.divideDir) && SetMode(options, Mode::kDivide, modeSet, name, error);
        } else if (name == "--pcap") {
            ok = value(options.pcapOut) && SetMode(options, Mode::kPcap, modeSet, name, error);
        } else if (name == "--calls") {
            ok = flag();
            calls = true;
        } else if (name == "--date-format") {
            ok = ranged(0, 3, options.dateFormat);
        } else if (name == "--line") {
            ok = ranged(1, 2, options.line);
        } else if (name == "--hide-rr") {
            ok = flag();
            options.hideRr = true;
        } else if (name == "--wrap") {
            ok = ranged(1, 127, options.wrap);
        } else if (name == "--search") {
            ok = value(options.search);
            options.hasSearch = true;
            if (ok && options.search.empty()) {
                error = "--search: empty pattern";
                ok = false;
            }
        } else if (name == "--call") {
            std::string text;
            ok = value(text);
            const auto number = ok ? Number(text) : std::nullopt;
            if (ok && (!number || *number < 0 || *number > UINT32_MAX)) {
                error = "--call: expected an index number, got '" + text + "'";
                ok = false;
            }
            options.hasCall = true;
            options.callId = number ? static_cast<uint32_t>(*number) : 0;
        } else if (name == "--settings") {
            ok = value(options.settings);
        } else if (name == "--default-settings") {
            ok = flag();
            options.defaultSettings = true;
        } else if (name == "--crlf") {
            ok = flag();
            options.crlf = true;
        } else {
            error = "unknown option: " + name;
            ok = false;
        }
        if (!ok) {
            return ParseResult::kUsageError;
        }
    }
    if (calls) {
        // --jsonl picks the form of the call rows.
        if (options.mode != Mode::kText && options.mode != Mode::kJsonl) {
            error = "--calls: only one of --jsonl, --header, --summary, --divide, --pcap, --calls";
            return ParseResult::kUsageError;
        }
        options.callsJsonl = options.mode == Mode::kJsonl;
        options.mode = Mode::kCalls;
    }
    if (options.hasSearch && options.hasCall) {
        error = "--search and --call exclude each other";
        return ParseResult::kUsageError;
    }
    if (!fileSet) {
        error = "missing FILE";
        return ParseResult::kUsageError;
    }
    return ParseResult::kRun;
}

}  // namespace tessary::cli
