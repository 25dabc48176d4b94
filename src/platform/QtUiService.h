#pragma once
// The UI service on Qt widgets, and the process-wide service every window calls.
#include "platform/UiService.h"

namespace tessary {

class QtUiService : public UiService {
public:
    Answer ShowMessage(std::u16string_view text, std::u16string_view caption, MessageIcon icon,
                       MessageButtons buttons) override;
    bool CloseMessage(std::u16string_view captionPrefix) override;
    bool AskOpenFile(OpenFileRequest& request) override;
    bool AskFolder(std::u16string_view title, PathString& folder) override;
    bool AskColor(std::u16string_view title, uint32_t& color) override;
};

// The installed service, or a QtUiService when none is installed.
UiService& Ui();
// Installs `service` (not owned; nullptr restores the Qt one); returns the previous one.
UiService* SetUi(UiService* service);
// A service that passes every call on to Ui() at the time of the call, for an owner that
// keeps the service longer than a test keeps its replacement installed.
UiService& CurrentUi();

}  // namespace tessary
