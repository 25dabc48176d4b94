// The settings store of the Windows build without Qt: the registry key and INI files in Qt's
// layout. Only that build has it.
#if defined(_WIN32) && defined(TESSARY_WIN_SETTINGS_STORE)

#include <gtest/gtest.h>

#include "platform/WinApi.h"

#include <string>

#include "platform/Utf.h"
#include "platform/WinError.h"
#include "settings/QtSettingsStore.h"
#include "support/TempDir.h"

namespace tessary {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::unique_ptr<QtSettingsStore> OpenIniText(const TempDir& dir, const std::string& text) {
    const std::string path = dir.File("settings.ini");
    WriteBytes(path, Bytes(text));
    uint32_t error = 99;
    auto store = QtSettingsStore::OpenIni(path, error);
    EXPECT_NE(store, nullptr);
    EXPECT_EQ(error, kErrorSuccess);
    return store;
}

TEST(WinSettingsStore, ReadsAnIniFileAsQtWritesIt) {
    TempDir dir;
    const auto store = OpenIniText(
        dir,
        "\xEF\xBB\xBF; a comment\r\n"
        "[General]\r\n"
        "CanParaBlockLen=7\r\n"
        "\r\n"
        "[Settings]\r\n"
        "CanParaBlockLen = 40\r\n"
        "CanParaColText_00=-1\r\n"
        "Big=4294967295\r\n"
        "TooBig=4294967296\r\n"
        "NotANumber=12a\r\n"
        "CanParaMarkIfText_00=\"@;<CRC\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC>;00000000\"\r\n"
        "Quoted=\"  blanks, kept  \"\r\n"
        "Escapes=a\\tb\\n\\\"c\\\\ \\x3042\\101\r\n"
        "DoubleAt=@@start\r\n"
        "Typed=@ByteArray(abc)\r\n"
        "List=one, two\r\n"
        "Trailing=text ; comment\r\n"
        "Long=first \\\r\n"
        "second\r\n"
        "Key%20With%U3042Blank=yes\r\n");
    ASSERT_NE(store, nullptr);

    uint32_t number = 0;
    ASSERT_TRUE(store->GetInt("CanParaBlockLen", number));
    EXPECT_EQ(number, 40u);  // the Settings group, not General
    ASSERT_TRUE(store->GetInt("CanParaColText_00", number));
    EXPECT_EQ(number, 0xFFFFFFFFu);
    ASSERT_TRUE(store->GetInt("Big", number));
    EXPECT_EQ(number, 0xFFFFFFFFu);
    EXPECT_FALSE(store->GetInt("TooBig", number));
    EXPECT_FALSE(store->GetInt("NotANumber", number));
    EXPECT_FALSE(store->GetInt("Missing", number));

    std::u16string text;
    ASSERT_TRUE(store->GetString("CanParaMarkIfText_00", text));
    EXPECT_EQ(Utf8(text), "@;<CRC\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC>;00000000");
    ASSERT_TRUE(store->GetString("Quoted", text));
    EXPECT_EQ(Utf8(text), "  blanks, kept  ");
    ASSERT_TRUE(store->GetString("Escapes", text));
    EXPECT_EQ(text, u"a\tb\n\"c\\ \u3042A");
    ASSERT_TRUE(store->GetString("DoubleAt", text));
    EXPECT_EQ(text, u"@start");
    EXPECT_FALSE(store->GetString("Typed", text));
    EXPECT_FALSE(store->GetString("List", text));
    ASSERT_TRUE(store->GetString("Trailing", text));
    EXPECT_EQ(text, u"text");
    ASSERT_TRUE(store->GetString("Long", text));
    EXPECT_EQ(text, u"first second");
    ASSERT_TRUE(store->GetString("Key With\u3042Blank", text));
    EXPECT_EQ(text, u"yes");
    // A number in an INI file is text too.
    ASSERT_TRUE(store->GetString("CanParaBlockLen", text));
    EXPECT_EQ(text, u"40");
}

TEST(WinSettingsStore, WritesAnIniFileItReadsBack) {
    TempDir dir;
    auto store = OpenIniText(dir, "[Other]\r\nKeep=1\r\n[Settings]\r\nOld=5\r\n");
    ASSERT_NE(store, nullptr);
    ASSERT_TRUE(store->SetInt("Old", 0xFFFFFFFF));
    ASSERT_TRUE(store->SetString("Rule", u"@;<a,b>;x"));
    ASSERT_TRUE(store->SetString("Line", u" two\nlines "));
    ASSERT_TRUE(store->Sync());
    EXPECT_EQ(store->Location(), dir.File("settings.ini"));

    const std::vector<uint8_t> written = ReadBytes(dir.File("settings.ini"));
    EXPECT_EQ(std::string(written.begin(), written.end()),
              "[Other]\r\nKeep=1\r\n\r\n[Settings]\r\nOld=-1\r\nRule=\"@@;<a,b>;x\"\r\n"
              "Line=\" two\\nlines \"\r\n");

    uint32_t error = 0;
    const auto again = QtSettingsStore::OpenIni(dir.File("settings.ini"), error);
    ASSERT_NE(again, nullptr);
    uint32_t number = 0;
    ASSERT_TRUE(again->GetInt("Old", number));
    EXPECT_EQ(number, 0xFFFFFFFFu);
    std::u16string text;
    ASSERT_TRUE(again->GetString("Rule", text));
    EXPECT_EQ(text, u"@;<a,b>;x");
    ASSERT_TRUE(again->GetString("Line", text));
    EXPECT_EQ(text, u" two\nlines ");
}

TEST(WinSettingsStore, AMissingIniFileIsAnError) {
    TempDir dir;
    uint32_t error = 0;
    EXPECT_EQ(QtSettingsStore::OpenIni(dir.File("none.ini"), error), nullptr);
    EXPECT_EQ(error, kErrorFileNotFound);
}

// The user's key, with HKEY_CURRENT_USER moved to a scratch key for the test: nothing the
// account stored is read or changed.
class ScratchCurrentUser {
public:
    ScratchCurrentUser() {
        m_name = L"Software\\TessaryViewTest-" + std::to_wstring(::GetCurrentProcessId());
        EXPECT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, m_name.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &m_key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, m_key), ERROR_SUCCESS);
    }
    ~ScratchCurrentUser() {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        ::RegCloseKey(m_key);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, m_name.c_str());
    }
    HKEY Key() const { return m_key; }

private:
    std::wstring m_name;
    HKEY m_key = nullptr;
};

TEST(WinSettingsStore, TheUserKeyHoldsDwordsAndStrings) {
    ScratchCurrentUser user;
    auto store = QtSettingsStore::OpenUser();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->Location(), "\\HKEY_CURRENT_USER\\Software\\Nemra\\TessaryView");
    uint32_t number = 0;
    std::u16string text;
    EXPECT_FALSE(store->GetInt("CanParaBlockLen", number));

    ASSERT_TRUE(store->SetInt("CanParaBlockLen", 40));
    ASSERT_TRUE(store->SetInt("CanParaColText_00", 0xFFFFFFFF));
    ASSERT_TRUE(store->SetString("Rule", u"@;<\u30A8\u30E9\u30FC>;0"));
    ASSERT_TRUE(store->Sync());

    // As Qt keeps them: REG_DWORD numbers, REG_SZ texts with a leading '@' doubled.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(user.Key(), L"Software\\Nemra\\TessaryView\\Settings", 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    EXPECT_EQ(::RegQueryValueExW(key, L"CanParaBlockLen", nullptr, &type,
                                 reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 40u);
    wchar_t stored[64] = {};
    size = sizeof(stored);
    EXPECT_EQ(
        ::RegQueryValueExW(key, L"Rule", nullptr, &type, reinterpret_cast<BYTE*>(stored), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(stored), std::wstring(L"@@;<\u30A8\u30E9\u30FC>;0"));
    // A number stored as text is no number in the registry.
    const wchar_t textNumber[] = L"12";
    EXPECT_EQ(::RegSetValueExW(key, L"TextNumber", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(textNumber), sizeof(textNumber)),
              ERROR_SUCCESS);
    ::RegCloseKey(key);

    const auto again = QtSettingsStore::OpenUser();
    ASSERT_TRUE(again->GetInt("CanParaBlockLen", number));
    EXPECT_EQ(number, 40u);
    ASSERT_TRUE(again->GetInt("CanParaColText_00", number));
    EXPECT_EQ(number, 0xFFFFFFFFu);
    ASSERT_TRUE(again->GetString("Rule", text));
    EXPECT_EQ(text, u"@;<\u30A8\u30E9\u30FC>;0");
    EXPECT_FALSE(again->GetInt("TextNumber", number));
    ASSERT_TRUE(again->GetString("TextNumber", text));
    EXPECT_EQ(text, u"12");
    EXPECT_FALSE(again->GetString("CanParaBlockLen", text));
}

}  // namespace
}  // namespace tessary

#endif
