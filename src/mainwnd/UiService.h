#pragma once
// The message boxes and common dialogs every window asks for, behind one replaceable service:
// the viewer installs a Qt implementation, tests install one that answers and records.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"

namespace tessary {

enum class MessageIcon { kNone, kExclamation, kQuestion, kInformation };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };

// Answers of ShowMessage, as IDOK, IDCANCEL, IDYES, IDNO.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancelled = 2;
inline constexpr int kAnswerYesButton = 6;
inline constexpr int kAnswerNoButton = 7;

// A check box of an open-file dialog: its control id, text and state (in and out).
struct FileDialogCheck {
    int id = 0;
    std::u16string text;
    bool checked = false;
};

struct OpenFileRequest {
    std::u16string title;
    std::u16string filter;  // "label|patterns|...||"
    std::u16string defaultExtension;
    PathString folder;  // the folder to start in; empty for the current one
    bool mustExist = true;
    std::vector<FileDialogCheck> checks;
    PathString path;  // out: the chosen file
};

class UiService {
public:
    virtual ~UiService() = default;
    // A modal message box; answers the button chosen (kAnswerCancelled when it was closed).
    virtual int ShowMessage(std::u16string_view text, std::u16string_view caption, MessageIcon icon,
                            MessageButtons buttons) = 0;
    // Closes the open message box whose caption begins with `captionPrefix` as if answered
    // No (Cancel without a No button); false when none is open.
    virtual bool CloseMessage(std::u16string_view captionPrefix) = 0;
    // An open-file dialog; true on OK with `request.path` set. The check boxes' states are
    // written back whether or not the user chose OK.
    virtual bool AskOpenFile(OpenFileRequest& request) = 0;
    // A folder dialog starting at `folder`; true on OK with `folder` set.
    virtual bool AskFolder(std::u16string_view title, PathString& folder) = 0;
    // A colour dialog starting at `color` (COLORREF 0x00BBGGRR); true on OK with `color` set.
    virtual bool AskColor(std::u16string_view title, uint32_t& color) = 0;
};

}  // namespace tessary
