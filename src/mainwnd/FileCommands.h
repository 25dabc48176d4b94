#pragma once
// The file commands of the main window: the open-file dialog, the recent-file items and
// clearing their list, reload, dropped files and exit. A file that was opened (or whose
// conversion was cancelled) goes to the head of the recent-file list.
#include "mainwnd/CommandContext.h"
#include "mainwnd/CommandTable.h"

namespace tessary {

class FileCommands {
public:
    explicit FileCommands(MainCommandContext& context) : m_context(context) {}

    void Register(CommandTable& table);

    // Open, and on success or a cancelled conversion the path heads the recent-file list.
    int32_t OpenAndRemember(const PathString& path, int lineChoice);
    // A recent file (item text "&%u %s") or the head of the list for a reload: moved to the head
    // of the list, checked, then opened. The open result, or -1 when it was not opened.
    int32_t OpenRecent(const PathString& path, int lineChoice);
    void OpenFileDialog();
    void Reload();
    void ClearRecent();

private:
    MainCommandContext& m_context;
};

}  // namespace tessary
