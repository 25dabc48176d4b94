#pragma once
// Where the settings record lives: the registry profile of the application (QSettings in the
// viewer), or an INI file for tessarydump. Values are whole numbers (DWORD) or texts.
#include <cstdint>
#include <string>
#include <string_view>

namespace tessary {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // False when the value is missing or of another type (the caller keeps its default).
    virtual bool GetInt(std::string_view name, uint32_t& value) const = 0;
    virtual bool GetString(std::string_view name, std::u16string& value) const = 0;
    // False when the value cannot be written.
    virtual bool SetInt(std::string_view name, uint32_t value) = 0;
    virtual bool SetString(std::string_view name, std::u16string_view value) = 0;
};

}  // namespace tessary
