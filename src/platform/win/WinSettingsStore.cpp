// The settings store of QtSettingsStore.h for a Windows build without Qt (the command-line tools
// of the MinGW cross build): the same places and value types that Qt's settings class uses, read
// and written directly. The user's settings are the registry key
// HKEY_CURRENT_USER\Software\<company>\<profile>\Settings (whole numbers as REG_DWORD, texts as
// REG_SZ); a settings file is an INI file of Qt's layout (UTF-8, section [Settings], numbers as
// text, Qt's escapes).
#ifdef _WIN32

#include "platform/WinApi.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/LastError.h"
#include "platform/Utf.h"
#include "platform/WinError.h"
#include "resources/Version.h"
#include "settings/QtSettingsStore.h"

// Stands in for Qt's settings class, which this build does not have: one registry key or one
// INI file with the values of one group.
class QSettings {
public:
    enum class Kind { kRegistry, kIni };
    enum class Type { kNone, kNumber, kText, kOther };

    struct Value {
        Type type = Type::kNone;
        int64_t number = 0;
        std::u16string text;
    };

    virtual ~QSettings() = default;
    virtual Kind Format() const = 0;
    virtual Value Get(std::string_view name) const = 0;
    virtual bool SetNumber(std::string_view name, int32_t value) = 0;
    virtual bool SetText(std::string_view name, std::u16string_view value) = 0;
    virtual bool Sync() = 0;
    virtual std::string Location() const = 0;
};

namespace tessary {
namespace {

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring WideKey(std::string_view name) {
    return std::wstring(name.begin(), name.end());
}

// A text value that begins with '@' is written with a second one: a single '@' marks Qt's
// typed values ("@ByteArray(...)", "@Variant(...)", "@Invalid()").
std::u16string EscapeAt(std::u16string_view text) {
    std::u16string out;
    if (!text.empty() && text.front() == u'@') {
        out.push_back(u'@');
    }
    out.append(text);
    return out;
}

QSettings::Value TextValue(std::u16string text) {
    QSettings::Value value;
    if (!text.empty() && text.front() == u'@') {
        if (text.size() > 1 && text[1] == u'@') {
            text.erase(0, 1);
        } else if (text.rfind(u"@String(", 0) == 0 && text.back() == u')') {
            text = text.substr(8, text.size() - 9);
        } else if (text.back() == u')') {
            // Qt's typed values; any other text that starts with '@' is taken as it is.
            for (const std::u16string_view typed :
                 {u"@ByteArray(", u"@Variant(", u"@DateTime(", u"@Rect(", u"@Size(", u"@Point(",
                  u"@Invalid("}) {
                if (text.rfind(typed, 0) == 0) {
                    value.type = QSettings::Type::kOther;
                    return value;
                }
            }
        }
    }
    value.type = QSettings::Type::kText;
    value.text = std::move(text);
    return value;
}

// ---- registry -------------------------------------------------------------------------------

class RegistrySettings : public QSettings {
public:
    RegistrySettings(std::u16string_view company, std::u16string_view profile) {
        m_path = L"Software\\" + Wide(company) + L"\\" + Wide(profile);
        m_groupPath = m_path + L"\\" + WideKey(kSettingsGroup);
        m_location = "\\HKEY_CURRENT_USER\\" + Utf8(std::u16string(m_path.begin(), m_path.end()));
    }
    ~RegistrySettings() override {
        if (m_key != nullptr) {
            ::RegCloseKey(m_key);
        }
    }

    Kind Format() const override { return Kind::kRegistry; }

    Value Get(std::string_view name) const override {
        Value value;
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, m_groupPath.c_str(), 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS) {
            return value;
        }
        const std::wstring wideName = WideKey(name);
        DWORD type = 0;
        DWORD size = 0;
        LONG status = ::RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size);
        std::vector<BYTE> data(size + sizeof(wchar_t));
        if (status == ERROR_SUCCESS) {
            status = ::RegQueryValueExW(key, wideName.c_str(), nullptr, &type, data.data(), &size);
        }
        ::RegCloseKey(key);
        if (status != ERROR_SUCCESS) {
            return value;
        }
        switch (type) {
            case REG_DWORD:
                if (size == sizeof(DWORD)) {
                    int32_t number = 0;
                    std::memcpy(&number, data.data(), sizeof(number));
                    value.type = Type::kNumber;
                    value.number = number;
                }
                break;
            case REG_QWORD:
                if (size == sizeof(int64_t)) {
                    std::memcpy(&value.number, data.data(), sizeof(int64_t));
                    value.type = Type::kNumber;
                }
                break;
            case REG_SZ:
            case REG_EXPAND_SZ: {
                std::u16string text(size / sizeof(char16_t), u'\0');
                std::memcpy(text.data(), data.data(), text.size() * sizeof(char16_t));
                // The stored terminator is not part of the text.
                const size_t end = text.find(u'\0');
                if (end != std::u16string::npos) {
                    text.resize(end);
                }
                return TextValue(std::move(text));
            }
            default:
                value.type = Type::kOther;
                break;
        }
        return value;
    }

    bool SetNumber(std::string_view name, int32_t value) override {
        DWORD data = static_cast<DWORD>(value);
        return Set(name, REG_DWORD, &data, sizeof(data));
    }

    bool SetText(std::string_view name, std::u16string_view value) override {
        const std::u16string text = EscapeAt(value);
        return Set(name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(char16_t));
    }

    bool Sync() override { return m_key == nullptr || ::RegFlushKey(m_key) == ERROR_SUCCESS; }

    std::string Location() const override { return m_location; }

private:
    bool Set(std::string_view name, DWORD type, const void* data, size_t bytes) {
        if (m_key == nullptr && ::RegCreateKeyExW(HKEY_CURRENT_USER, m_groupPath.c_str(), 0,
                                                  nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                                                  nullptr, &m_key, nullptr) != ERROR_SUCCESS) {
            m_key = nullptr;
            return false;
        }
        if (bytes > std::numeric_limits<DWORD>::max()) {
            return false;
        }
        const std::wstring wideName = WideKey(name);
        return ::RegSetValueExW(m_key, wideName.c_str(), 0, type, static_cast<const BYTE*>(data),
                                static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
    }

    std::wstring m_path;
    std::wstring m_groupPath;
    std::string m_location;
    HKEY m_key = nullptr;
};

// ---- INI file -------------------------------------------------------------------------------

bool IsHex(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

unsigned HexValue(char16_t c) {
    if (c <= u'9') {
        return c - u'0';
    }
    return (c | 0x20) - u'a' + 10;
}

// Keys: %XX and %UXXXX stand for one character each, '\' for the group separator '/'.
std::u16string UnescapeKey(std::u16string_view key) {
    std::u16string out;
    for (size_t i = 0; i < key.size(); ++i) {
        const char16_t c = key[i];
        if (c == u'\\') {
            out.push_back(u'/');
            continue;
        }
        if (c == u'%') {
            const bool wide = i + 1 < key.size() && key[i + 1] == u'U';
            const size_t digits = wide ? 4 : 2;
            const size_t from = i + 1 + (wide ? 1 : 0);
            bool ok = from + digits <= key.size();
            unsigned value = 0;
            for (size_t k = 0; ok && k < digits; ++k) {
                ok = IsHex(key[from + k]);
                value = value * 16 + (ok ? HexValue(key[from + k]) : 0);
            }
            if (ok) {
                out.push_back(static_cast<char16_t>(value));
                i = from + digits - 1;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

std::u16string EscapeKey(std::u16string_view key) {
    std::u16string out;
    for (const char16_t c : key) {
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
            c == u'_' || c == u'-' || c == u'.') {
            out.push_back(c);
        } else if (c == u'/') {
            out.push_back(u'\\');
        } else {
            static const char16_t kDigits[] = u"0123456789ABCDEF";
            out.push_back(u'%');
            if (c > 0xFF) {
                out.push_back(u'U');
                out.push_back(kDigits[(c >> 12) & 15]);
                out.push_back(kDigits[(c >> 8) & 15]);
            }
            out.push_back(kDigits[(c >> 4) & 15]);
            out.push_back(kDigits[c & 15]);
        }
    }
    return out;
}

// A value as Qt writes it: quotes keep blanks, commas and semicolons; outside them a comma
// separates the items of a list and a semicolon starts a comment; C escapes and \x hex codes.
QSettings::Value UnescapeValue(std::u16string_view raw) {
    std::vector<std::u16string> items(1);
    bool quoted = false;
    size_t i = 0;
    while (i < raw.size() && (raw[i] == u' ' || raw[i] == u'\t')) {
        ++i;
    }
    size_t keepBlanks = 0;  // length of items.back() that trailing-blank trimming must keep
    for (; i < raw.size(); ++i) {
        const char16_t c = raw[i];
        if (c == u'"') {
            quoted = !quoted;
            keepBlanks = items.back().size();
            continue;
        }
        if (!quoted && c == u';') {
            break;
        }
        if (!quoted && c == u',') {
            items.emplace_back();
            keepBlanks = 0;
            while (i + 1 < raw.size() && (raw[i + 1] == u' ' || raw[i + 1] == u'\t')) {
                ++i;
            }
            continue;
        }
        if (c == u'\\' && i + 1 < raw.size()) {
            const char16_t e = raw[++i];
            switch (e) {
                case u'a':
                    items.back().push_back(u'\a');
                    break;
                case u'b':
                    items.back().push_back(u'\b');
                    break;
                case u'f':
                    items.back().push_back(u'\f');
                    break;
                case u'n':
                    items.back().push_back(u'\n');
                    break;
                case u'r':
                    items.back().push_back(u'\r');
                    break;
                case u't':
                    items.back().push_back(u'\t');
                    break;
                case u'v':
                    items.back().push_back(u'\v');
                    break;
                case u'x': {
                    unsigned value = 0;
                    while (i + 1 < raw.size() && IsHex(raw[i + 1])) {
                        value = (value * 16 + HexValue(raw[++i])) & 0xFFFF;
                    }
                    items.back().push_back(static_cast<char16_t>(value));
                    break;
                }
                default:
                    if (e >= u'0' && e <= u'7') {
                        unsigned value = e - u'0';
                        while (i + 1 < raw.size() && raw[i + 1] >= u'0' && raw[i + 1] <= u'7') {
                            value = (value * 8 + (raw[++i] - u'0')) & 0xFFFF;
                        }
                        items.back().push_back(static_cast<char16_t>(value));
                    } else {
                        items.back().push_back(e);  // \" \' \\ \? and any other
                    }
                    break;
            }
            keepBlanks = items.back().size();
            continue;
        }
        items.back().push_back(c);
        if (quoted) {
            keepBlanks = items.back().size();
        }
    }
    std::u16string& last = items.back();
    while (last.size() > keepBlanks && (last.back() == u' ' || last.back() == u'\t')) {
        last.pop_back();
    }
    if (items.size() > 1) {
        QSettings::Value list;
        list.type = QSettings::Type::kOther;
        return list;
    }
    return TextValue(std::move(items.front()));
}

std::u16string EscapeValue(std::u16string_view value) {
    const std::u16string text = EscapeAt(value);
    bool quote = !text.empty() && (text.front() == u' ' || text.back() == u' ');
    std::u16string out;
    for (const char16_t c : text) {
        switch (c) {
            case u'\n':
                out += u"\\n";
                break;
            case u'\r':
                out += u"\\r";
                break;
            case u'\t':
                out += u"\\t";
                break;
            case u'"':
                out += u"\\\"";
                break;
            case u'\\':
                out += u"\\\\";
                break;
            case u';':
            case u',':
            case u'=':
                quote = true;
                out.push_back(c);
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    static const char16_t kDigits[] = u"0123456789abcdef";
                    out += u"\\x";
                    out.push_back(kDigits[(c >> 4) & 15]);
                    out.push_back(kDigits[c & 15]);
                } else {
                    out.push_back(c);
                }
                break;
        }
    }
    if (!quote) {
        return out;
    }
    std::u16string quoted(1, u'"');
    quoted.append(out).push_back(u'"');
    return quoted;
}

std::u16string Trimmed(std::u16string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t')) {
        ++begin;
    }
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t')) {
        --end;
    }
    return std::u16string(text.substr(begin, end - begin));
}

class IniSettings : public QSettings {
public:
    struct Entry {
        std::u16string key;  // unescaped
        std::u16string raw;  // the value as written in the file
    };
    struct Section {
        std::u16string name;  // unescaped
        std::vector<Entry> entries;
    };

    explicit IniSettings(PathString path) : m_path(std::move(path)) {}

    // Reads the file; false with a Windows error number when it cannot be read.
    bool Load(uint32_t& error) {
        File file;
        uint64_t size = 0;
        if (!file.OpenRead(m_path) || !file.Size(size)) {
            error = GetLastError();
            return false;
        }
        if (size > std::numeric_limits<uint32_t>::max()) {
            error = kErrorNotEnoughMemory;
            return false;
        }
        std::string bytes(static_cast<size_t>(size), '\0');
        uint32_t done = 0;
        if (!file.ReadAt(0, bytes.data(), static_cast<uint32_t>(size), done)) {
            error = GetLastError();
            return false;
        }
        bytes.resize(done);
        if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
            bytes.erase(0, 3);
        }
        Parse(Utf16(bytes));
        error = kErrorSuccess;
        return true;
    }

    Kind Format() const override { return Kind::kIni; }

    Value Get(std::string_view name) const override {
        const Entry* entry = Find(name);
        return entry != nullptr ? UnescapeValue(entry->raw) : Value{};
    }

    bool SetNumber(std::string_view name, int32_t value) override {
        return Put(name, Utf16(std::to_string(value)));
    }

    bool SetText(std::string_view name, std::u16string_view value) override {
        return Put(name, EscapeValue(value));
    }

    bool Sync() override {
        if (!m_changed) {
            return true;
        }
        std::u16string text;
        for (const Section& section : m_sections) {
            if (section.entries.empty()) {
                continue;
            }
            if (!text.empty()) {
                text += u"\r\n";
            }
            text.append(u"[").append(EscapeKey(section.name)).append(u"]\r\n");
            for (const Entry& entry : section.entries) {
                text.append(EscapeKey(entry.key)).append(u"=").append(entry.raw).append(u"\r\n");
            }
        }
        const std::string bytes = Utf8(text);
        File file;
        if (!file.Create(m_path, false) ||
            !file.WriteAt(0, bytes.data(), static_cast<uint32_t>(bytes.size())) || !file.Close()) {
            return false;
        }
        m_changed = false;
        return true;
    }

    std::string Location() const override { return m_path; }

private:
    void Parse(const std::u16string& text) {
        Section* current = nullptr;
        std::u16string line;
        size_t pos = 0;
        while (pos <= text.size()) {
            size_t end = text.find_first_of(u"\r\n", pos);
            if (end == std::u16string::npos) {
                end = text.size();
            }
            std::u16string part = text.substr(pos, end - pos);
            pos = end + 1;
            if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n') {
                ++pos;
            }
            // A backslash at the end of a line continues the value on the next.
            if (!part.empty() && part.back() == u'\\' && pos <= text.size()) {
                line += part.substr(0, part.size() - 1);
                continue;
            }
            line += part;
            const std::u16string trimmed = Trimmed(line);
            line.clear();
            if (trimmed.empty() || trimmed.front() == u';' || trimmed.front() == u'#') {
                continue;
            }
            if (trimmed.front() == u'[') {
                const size_t close = trimmed.find(u']');
                const std::u16string name = UnescapeKey(trimmed.substr(
                    1, close == std::u16string::npos ? std::u16string::npos : close - 1));
                current = &SectionNamed(name);
                continue;
            }
            const size_t equals = trimmed.find(u'=');
            if (equals == std::u16string::npos) {
                continue;
            }
            if (current == nullptr) {
                current = &SectionNamed(u"General");
            }
            const std::u16string key = UnescapeKey(Trimmed(trimmed.substr(0, equals)));
            std::u16string raw = Trimmed(trimmed.substr(equals + 1));
            Entry* existing = nullptr;
            for (Entry& entry : current->entries) {
                if (entry.key == key) {
                    existing = &entry;
                }
            }
            if (existing != nullptr) {
                existing->raw = std::move(raw);
            } else {
                current->entries.push_back(Entry{key, std::move(raw)});
            }
        }
    }

    Section& SectionNamed(const std::u16string& name) {
        for (Section& section : m_sections) {
            if (section.name == name) {
                return section;
            }
        }
        m_sections.push_back(Section{name, {}});
        return m_sections.back();
    }

    const Entry* Find(std::string_view name) const {
        const std::u16string group = Utf16(kSettingsGroup);
        const std::u16string key = Utf16(name);
        for (const Section& section : m_sections) {
            if (section.name != group) {
                continue;
            }
            for (const Entry& entry : section.entries) {
                if (entry.key == key) {
                    return &entry;
                }
            }
        }
        return nullptr;
    }

    bool Put(std::string_view name, std::u16string raw) {
        Section& section = SectionNamed(Utf16(kSettingsGroup));
        const std::u16string key = Utf16(name);
        for (Entry& entry : section.entries) {
            if (entry.key == key) {
                entry.raw = std::move(raw);
                m_changed = true;
                return true;
            }
        }
        section.entries.push_back(Entry{key, std::move(raw)});
        m_changed = true;
        return true;
    }

    PathString m_path;
    std::vector<Section> m_sections;
    bool m_changed = false;
};

// A DWORD may be written either way: -1 and 4294967295 are the same value.
bool FitsDword(int64_t number) {
    return number >= std::numeric_limits<int32_t>::min() &&
           number <= static_cast<int64_t>(std::numeric_limits<uint32_t>::max());
}

// Decimal with an optional sign, nothing else (as Qt's toLongLong in base 10).
std::optional<int64_t> ParseDecimal(std::u16string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - u'0');
        if (value > (uint64_t{1} << 40)) {
            return std::nullopt;  // far beyond any DWORD
        }
    }
    const int64_t number = static_cast<int64_t>(value);
    return negative ? -number : number;
}

}  // namespace

QtSettingsStore::QtSettingsStore(std::unique_ptr<QSettings> settings)
    : m_settings(std::move(settings)) {
    m_numbersAsText = m_settings->Format() == QSettings::Kind::kIni;
}

QtSettingsStore::~QtSettingsStore() = default;

std::unique_ptr<QtSettingsStore> QtSettingsStore::OpenUser() {
    const res::VersionStrings& version = res::ProgramVersion();
    return std::unique_ptr<QtSettingsStore>(new QtSettingsStore(std::make_unique<RegistrySettings>(
        version.companyKey, res::ProfileName(version.originalFilename))));
}

std::unique_ptr<QtSettingsStore> QtSettingsStore::OpenIni(const PathString& path, uint32_t& error) {
    auto settings = std::make_unique<IniSettings>(path);
    if (!settings->Load(error)) {
        return nullptr;
    }
    return std::unique_ptr<QtSettingsStore>(new QtSettingsStore(std::move(settings)));
}

bool QtSettingsStore::Sync() {
    return m_settings->Sync();
}

std::string QtSettingsStore::Location() const {
    return m_settings->Location();
}

bool QtSettingsStore::GetInt(std::string_view name, uint32_t& value) const {
    const QSettings::Value stored = m_settings->Get(name);
    int64_t number = 0;
    switch (stored.type) {
        case QSettings::Type::kNumber:
            number = stored.number;
            break;
        case QSettings::Type::kText: {
            if (!m_numbersAsText) {
                return false;
            }
            const std::optional<int64_t> parsed = ParseDecimal(stored.text);
            if (!parsed) {
                return false;
            }
            number = *parsed;
            break;
        }
        default:
            return false;
    }
    if (!FitsDword(number)) {
        return false;
    }
    value = static_cast<uint32_t>(number);
    return true;
}

bool QtSettingsStore::GetString(std::string_view name, std::u16string& value) const {
    QSettings::Value stored = m_settings->Get(name);
    if (stored.type != QSettings::Type::kText) {
        return false;
    }
    value = std::move(stored.text);
    return true;
}

bool QtSettingsStore::SetInt(std::string_view name, uint32_t value) {
    // A signed 32-bit integer, as the Qt build writes it.
    return m_settings->SetNumber(name, static_cast<int32_t>(value));
}

bool QtSettingsStore::SetString(std::string_view name, std::u16string_view value) {
    return m_settings->SetText(name, value);
}

}  // namespace tessary

#endif  // _WIN32
