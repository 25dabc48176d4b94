#pragma once
// The settings store over Qt's own settings class: the current user's profile of the program
// (the registry on Windows, ~/.config/Nemra/TessaryView.conf on Linux) or an INI file of the
// same layout. Whole numbers are written as 32-bit integers (a registry DWORD), texts as
// strings; a value that is missing or of another type reads as absent.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/File.h"
#include "settings/SettingsStore.h"

class QSettings;

namespace tessary {

inline constexpr std::string_view kSettingsGroup = "Settings";

class QtSettingsStore : public SettingsStore {
public:
    // The current user's stored settings: company key and profile name from the version values.
    static std::unique_ptr<QtSettingsStore> OpenUser();
    // An INI file in the same layout; nullptr with a Windows error number when it cannot be
    // read.
    static std::unique_ptr<QtSettingsStore> OpenIni(const PathString& path, uint32_t& error);

    ~QtSettingsStore() override;
    QtSettingsStore(const QtSettingsStore&) = delete;
    QtSettingsStore& operator=(const QtSettingsStore&) = delete;

    // Writes what was set to its place; false when it could not be written.
    bool Sync();
    // Where the values live (a file path, or the registry key on Windows), UTF-8.
    std::string Location() const;

    bool GetInt(std::string_view name, uint32_t& value) const override;
    bool GetString(std::string_view name, std::u16string& value) const override;
    bool SetInt(std::string_view name, uint32_t value) override;
    bool SetString(std::string_view name, std::u16string_view value) override;

private:
    explicit QtSettingsStore(std::unique_ptr<QSettings> settings);

    std::unique_ptr<QSettings> m_settings;
    // An INI file keeps no types: its numbers are texts.
    bool m_numbersAsText = false;
};

}  // namespace tessary
