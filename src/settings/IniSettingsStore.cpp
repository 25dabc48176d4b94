#include "settings/IniSettingsStore.h"

#include <charconv>
#include <cstdio>

#include "platform/LastError.h"
#include "platform/Utf.h"
#include "platform/WinError.h"

namespace tessary {
namespace {

// Settings files are small; anything larger is not one.
constexpr uint64_t kMaxIniBytes = 16u << 20;

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t';
}

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

std::string_view TrimAscii(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Keys and groups: %XX and %UXXXX stand for characters outside [A-Za-z0-9_-.], '\' for '/'.
std::string UnescapeKey(std::string_view key) {
    std::u16string out;
    const std::u16string wide = Utf16(key);
    for (size_t i = 0; i < wide.size(); ++i) {
        const char16_t c = wide[i];
        if (c == u'%' && i + 1 < wide.size()) {
            const bool isUnicode = wide[i + 1] == u'U';
            const size_t start = i + (isUnicode ? 2 : 1);
            const size_t digits = isUnicode ? 4 : 2;
            unsigned value = 0;
            size_t n = 0;
            for (; n < digits && start + n < wide.size(); ++n) {
                const int h = HexValue(wide[start + n]);
                if (h < 0) {
                    break;
                }
                value = value * 16 + static_cast<unsigned>(h);
            }
            if (n == digits) {
                out.push_back(static_cast<char16_t>(value));
                i = start + digits - 1;
                continue;
            }
        }
        out.push_back(c == u'\\' ? u'/' : c);
    }
    return Utf8(out);
}

}  // namespace

bool IniSettingsStore::UnescapeValue(std::string_view raw, std::u16string& text) {
    const std::u16string in = Utf16(raw);
    text.clear();
    size_t i = 0;
    while (i < in.size() && IsSpace(in[i])) {
        ++i;
    }
    if (in.compare(i, 2, u"@@") == 0) {
        ++i;  // "@@" is a literal '@'
    } else if (i < in.size() && in[i] == u'@') {
        return false;  // @Variant(...), @ByteArray(...): not a string of ours
    }
    bool inQuotes = false;
    size_t pieces = 1;
    size_t unquotedEnd = 0;  // text length after the last significant character
    while (i < in.size()) {
        char16_t c = in[i++];
        if (c == u'"') {
            inQuotes = !inQuotes;
            unquotedEnd = text.size();
            continue;
        }
        if (!inQuotes && c == u',') {
            ++pieces;  // a list, which is not a string
            continue;
        }
        if (!inQuotes && IsSpace(c)) {
            text.push_back(c);
            continue;
        }
        if (c == u'\\' && i < in.size()) {
            c = in[i++];
            switch (c) {
                case u'a':
                    c = u'\a';
                    break;
                case u'b':
                    c = u'\b';
                    break;
                case u'f':
                    c = u'\f';
                    break;
                case u'n':
                    c = u'\n';
                    break;
                case u'r':
                    c = u'\r';
                    break;
                case u't':
                    c = u'\t';
                    break;
                case u'v':
                    c = u'\v';
                    break;
                case u'x': {
                    // Hex digits up to the first other character, or in braces.
                    const bool braced = i < in.size() && in[i] == u'{';
                    if (braced) {
                        ++i;
                    }
                    char32_t value = 0;
                    while (i < in.size() && HexValue(in[i]) >= 0) {
                        value = (value << 4 | static_cast<char32_t>(HexValue(in[i]))) & 0x1FFFFF;
                        ++i;
                    }
                    if (braced && i < in.size() && in[i] == u'}') {
                        ++i;
                    }
                    if (value > 0xFFFF && value <= 0x10FFFF) {
                        value -= 0x10000;
                        text.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
                        c = static_cast<char16_t>(0xDC00 + (value & 0x3FF));
                    } else {
                        c = value > 0x10FFFF ? u'\uFFFD' : static_cast<char16_t>(value);
                    }
                    break;
                }
                default:
                    if (c >= u'0' && c <= u'7') {
                        unsigned value = static_cast<unsigned>(c - u'0');
                        while (i < in.size() && in[i] >= u'0' && in[i] <= u'7') {
                            value = (value * 8 + static_cast<unsigned>(in[i] - u'0')) & 0xFFFF;
                            ++i;
                        }
                        c = static_cast<char16_t>(value);
                    }
                    // \" \' \? \\ \; \, and any other character stand for themselves.
                    break;
            }
        }
        text.push_back(c);
        unquotedEnd = text.size();
    }
    // Blanks after the last character outside quotes are not part of the value.
    text.resize(unquotedEnd);
    return pieces == 1;
}

std::string IniSettingsStore::EscapeValue(std::u16string_view text) {
    bool needsQuotes = !text.empty() && (IsSpace(text.front()) || IsSpace(text.back()));
    std::u16string out;
    if (!text.empty() && text.front() == u'@') {
        out.push_back(u'@');
    }
    // A hex escape reads every hex digit after it, so a digit that follows one is escaped too.
    bool escapeNextIfHex = false;
    for (const char16_t c : text) {
        if (escapeNextIfHex && HexValue(c) >= 0) {
            char hex[12];
            std::snprintf(hex, sizeof hex, "\\x%x", static_cast<unsigned>(c));
            out += Utf16(hex);
            continue;
        }
        escapeNextIfHex = false;
        switch (c) {
            case u'\0':
                out += u"\\0";
                break;
            case u'\a':
                out += u"\\a";
                break;
            case u'\b':
                out += u"\\b";
                break;
            case u'\f':
                out += u"\\f";
                break;
            case u'\n':
                out += u"\\n";
                break;
            case u'\r':
                out += u"\\r";
                break;
            case u'\t':
                out += u"\\t";
                break;
            case u'\v':
                out += u"\\v";
                break;
            case u'"':
                out += u"\\\"";
                break;
            case u'\\':
                out += u"\\\\";
                break;
            default:
                if (c == u';' || c == u',' || c == u'=') {
                    needsQuotes = true;
                }
                if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF)) {
                    char hex[12];
                    std::snprintf(hex, sizeof hex, "\\x%04x", static_cast<unsigned>(c));
                    out += Utf16(hex);
                    escapeNextIfHex = true;
                } else {
                    out.push_back(c);
                }
                break;
        }
    }
    std::string escaped = Utf8(out);
    return needsQuotes ? "\"" + escaped + "\"" : escaped;
}

void IniSettingsStore::Parse(std::string_view text) {
    m_values.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    bool inGroup = false;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = TrimAscii(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            const size_t close = line.find(']');
            inGroup = close != std::string_view::npos &&
                      UnescapeKey(line.substr(1, close - 1)) == kSettingsGroup;
            continue;
        }
        const size_t eq = line.find('=');
        if (!inGroup || eq == std::string_view::npos) {
            continue;
        }
        Value value;
        value.isText = UnescapeValue(TrimAscii(line.substr(eq + 1)), value.text);
        m_values[UnescapeKey(TrimAscii(line.substr(0, eq)))] = std::move(value);
    }
}

bool IniSettingsStore::Load(const PathString& path, uint32_t& error) {
    File file;
    uint64_t size = 0;
    if (!file.OpenRead(path) || !file.Size(size)) {
        error = GetLastError();
        return false;
    }
    if (size > kMaxIniBytes) {
        error = kErrorInvalidParameter;
        return false;
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    uint32_t done = 0;
    if (size != 0 &&
        (!file.ReadAt(0, bytes.data(), static_cast<uint32_t>(size), done) || done != size)) {
        error = done != size && GetLastError() == kErrorSuccess ? kErrorInsufficientBuffer
                                                                : GetLastError();
        return false;
    }
    Parse(bytes);
    error = kErrorSuccess;
    return true;
}

std::string IniSettingsStore::Serialize() const {
    std::string out = "[";
    out += kSettingsGroup;
    out += "]\n";
    for (const auto& [name, value] : m_values) {
        out += name;
        out += '=';
        out += EscapeValue(value.text);
        out += '\n';
    }
    return out;
}

bool IniSettingsStore::Save(const PathString& path, uint32_t& error) const {
    const std::string text = Serialize();
    File file;
    if (!file.Create(path, false) ||
        !file.WriteAt(0, text.data(), static_cast<uint32_t>(text.size())) || !file.Close()) {
        error = GetLastError();
        return false;
    }
    error = kErrorSuccess;
    return true;
}

bool IniSettingsStore::GetInt(std::string_view name, uint32_t& value) const {
    const auto found = m_values.find(name);
    if (found == m_values.end() || !found->second.isText) {
        return false;
    }
    const std::string text = Utf8(found->second.text);
    const std::string_view digits = TrimAscii(text);
    int64_t number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty() ||
        number < INT32_MIN || number > UINT32_MAX) {
        return false;
    }
    value = static_cast<uint32_t>(number);
    return true;
}

bool IniSettingsStore::GetString(std::string_view name, std::u16string& value) const {
    const auto found = m_values.find(name);
    if (found == m_values.end() || !found->second.isText) {
        return false;
    }
    value = found->second.text;
    return true;
}

bool IniSettingsStore::SetInt(std::string_view name, uint32_t value) {
    return SetString(name, Utf16(std::to_string(value)));
}

bool IniSettingsStore::SetString(std::string_view name, std::u16string_view value) {
    Value& entry = m_values[std::string(name)];
    entry.isText = true;
    entry.text.assign(value);
    return true;
}

}  // namespace tessary
