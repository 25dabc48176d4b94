#pragma once
// A SettingsStore over an INI file in the viewer's QSettings format: the group [Settings],
// key=value lines, UTF-8, strings in QSettings' escaping (quotes, \\, \n, \xHHHH ...), numbers
// as decimal text. Lets tessarydump read the viewer's settings without Qt.
#include <map>
#include <string>
#include <string_view>

#include "platform/File.h"
#include "settings/SettingsStore.h"

namespace tessary {

inline constexpr std::string_view kSettingsGroup = "Settings";

class IniSettingsStore : public SettingsStore {
public:
    // Reads the file; false with a Windows error number when it cannot be read. A missing
    // group simply leaves the store empty.
    bool Load(const PathString& path, uint32_t& error);
    // Parses INI text (UTF-8) into the store, replacing its contents.
    void Parse(std::string_view text);
    // Writes the store as the [Settings] group; false with a Windows error number.
    bool Save(const PathString& path, uint32_t& error) const;
    std::string Serialize() const;

    bool GetInt(std::string_view name, uint32_t& value) const override;
    bool GetString(std::string_view name, std::u16string& value) const override;
    bool SetInt(std::string_view name, uint32_t value) override;
    bool SetString(std::string_view name, std::u16string_view value) override;

    // QSettings' value syntax, exposed for the tests: false for a list or a variant value.
    static bool UnescapeValue(std::string_view raw, std::u16string& text);
    static std::string EscapeValue(std::u16string_view text);

private:
    struct Value {
        bool isText = false;  // a plain string (not a list or a variant)
        std::u16string text;
    };
    std::map<std::string, Value, std::less<>> m_values;
};

}  // namespace tessary
