#pragma once
// The message boxes and common dialogs every window asks for, behind one replaceable service:
// the viewer installs a Qt implementation, tests install one that answers and records, and the
// command line answers from its options.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"

namespace tessary {

// The button a message box was closed with; the values are IDOK, IDCANCEL, IDYES and IDNO.
enum class Answer : int { kNone = 0, kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

enum class MessageIcon { kNone, kExclamation, kQuestion, kInformation };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };

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
    // A modal message box; answers the button chosen (Answer::kCancel when it was closed).
    virtual Answer ShowMessage(std::u16string_view text, std::u16string_view caption,
                               MessageIcon icon, MessageButtons buttons) = 0;
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

    // The usual shapes: a Yes/No question, a Yes/No/Cancel question, an error with OK.
    Answer Ask(std::u16string_view text, std::u16string_view caption) {
        return ShowMessage(text, caption, MessageIcon::kQuestion, MessageButtons::kYesNo);
    }
    Answer AskWithCancel(std::u16string_view text, std::u16string_view caption) {
        return ShowMessage(text, caption, MessageIcon::kQuestion, MessageButtons::kYesNoCancel);
    }
    void Warn(std::u16string_view text, std::u16string_view caption) {
        ShowMessage(text, caption, MessageIcon::kExclamation, MessageButtons::kOk);
    }
    void Inform(std::u16string_view text, std::u16string_view caption) {
        ShowMessage(text, caption, MessageIcon::kInformation, MessageButtons::kOk);
    }
};

}  // namespace tessary
