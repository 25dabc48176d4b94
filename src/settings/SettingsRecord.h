#pragma once
// The persisted settings record of the main window: window placements, pane font size, the
// recent-file and search histories, the parameter record CanPara and the divide tool's paths;
// loaded with validation and saved over a SettingsStore.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "decode/CanPara.h"
#include "settings/SettingsStore.h"

namespace tessary {

inline constexpr size_t kHistoryMax = 10;
inline constexpr int32_t kPaneFontPointMin = 90;
inline constexpr int32_t kPaneFontPointMax = 200;
inline constexpr int32_t kPaneFontPointStep = 5;
inline constexpr int32_t kShowNormal = 1;     // SW_SHOWNORMAL
inline constexpr int32_t kShowMaximized = 3;  // SW_SHOWMAXIMIZED
// The value that records the version of the program that started last.
inline constexpr std::string_view kProgramVersionValue = "_ProgVer";
// The pattern of the first search sample, the oldest entry of a new search history.
inline constexpr std::u16string_view kSearchHistorySeed =
    u"<Warning> | <規定外> | <対象外> | <CRCエラー>";

struct WindowPlacement {
    int32_t showCmd = kShowNormal;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct SettingsRecord {
    WindowPlacement mainWindow;
    WindowPlacement summaryWindow;
    WindowPlacement callListWindow;
    int32_t paneFontPoint = kPaneFontPointMin;  // tenths of a point
    std::vector<std::u16string> recentFiles;    // newest first
    std::vector<std::u16string> searchHistory;  // newest first
    CanPara para;
    std::u16string divideInpPath;
    std::u16string divideOutDir;
};

// The defaults of a new main window: CanPara reset, the search history seeded.
void ResetSettings(SettingsRecord& record);

// Writes the program version when the stored one differs (read first, at start only); true
// when it was written.
bool StampProgramVersion(SettingsStore& store, uint32_t programVersion);
// Reads every value with the record's present value as the default, validating as it goes.
void LoadSettings(SettingsRecord& record, const SettingsStore& store);
// Writes every value (history positions beyond a list as empty strings). False when a value
// could not be written; the rest are still written.
bool SaveSettings(const SettingsRecord& record, SettingsStore& store);

// The history rule: drops empty entries and entries equal to `text` (ASCII case ignored),
// the oldest when ten remain, and puts `text` at the head. An empty text changes nothing.
// Returns the new count.
size_t AddToHistory(std::vector<std::u16string>& list, std::u16string_view text);
// The same rule for a list shown in a menu or a box: a text (none only refills), then `refill`
// shows the list again. The new count, or -2 with the list emptied when the refill failed.
int AddToHistory(std::vector<std::u16string>& list, std::optional<std::u16string_view> text,
                 const std::function<bool()>& refill);

// Leading and trailing blanks, tabs and line ends removed.
std::u16string_view TrimBlanks(std::u16string_view text);

}  // namespace tessary
