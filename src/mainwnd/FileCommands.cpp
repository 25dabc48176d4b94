#include "mainwnd/FileCommands.h"

#include "mainwnd/CommandTexts.h"
#include "mainwnd/OpenFlow.h"
#include "mainwnd/ViewItems.h"
#include "platform/File.h"
#include "platform/FormatText.h"
#include "platform/LastError.h"
#include "platform/Utf.h"
#include "platform/WinError.h"
#include "resources/ResourceIds.h"
#include "resources/WindowTexts.h"

namespace tessary {
namespace {

// How a recent file can be read: 0 it can, else the Windows error (a folder counts as not
// found).
uint32_t ReadableError(const PathString& path) {
    if (IsDirectory(path)) {
        return kErrorFileNotFound;
    }
    File file;
    if (!file.OpenRead(path)) {
        const uint32_t error = GetLastError();
        return error != 0 ? error : kErrorFileNotFound;
    }
    return 0;
}

}  // namespace

void FileCommands::Register(CommandTable& table) {
    table.Add(res::kCmdOpen, {.action = [this] { OpenFileDialog(); }});
    table.Add(res::kCmdExit, {.action = [this] { m_context.CloseWindow(); }});
    table.Add(res::kCmdReload, {.action = [this] { Reload(); }});
    table.Add(res::kCmdClearRecent,
              {.action = [this] { ClearRecent(); },
               .enabled = [this] { return !m_context.Settings().recentFiles.empty(); }});
    for (int id = res::kCmdRecentFirst; id <= res::kCmdRecentLast; ++id) {
        table.Add(id, {.action = [this, id] {
                      const std::u16string item = m_context.MenuItemText(id);
                      if (!item.empty()) {
                          OpenRecent(Utf8(RecentItemPath(item)), kLineAsk);
                      }
                  }});
    }
}

int32_t FileCommands::OpenAndRemember(const PathString& path, int lineChoice) {
    const int32_t result = m_context.Open(path, lineChoice);
    if (result == kOpenResultDone || result == kOpenResultCancelled) {
        const std::u16string text = Utf16(path);
        if (AddToHistory(m_context.Settings().recentFiles, std::u16string_view(text),
                         [this] { return m_context.RefillRecentMenu(); }) < 0) {
            m_context.Ui().Warn(kRecentMenuFailed, m_context.Caption());
        }
    }
    return result;
}

int32_t FileCommands::OpenRecent(const PathString& path, int lineChoice) {
    std::vector<std::u16string>& list = m_context.Settings().recentFiles;
    const std::u16string text = Utf16(path);
    if (AddToHistory(list, std::u16string_view(text),
                     [this] { return m_context.RefillRecentMenu(); }) < 0) {
        m_context.Ui().Warn(kRecentMenuFailed, m_context.Caption());
        return -1;
    }
    const uint32_t error = ReadableError(path);
    if (error == kErrorAccessDenied || error == kErrorSharingViolation) {
        m_context.Ui().Warn(FormatText(kRecentAccessDenied, Utf16(path)),
                            kRecentAccessDeniedCaption);
        return -1;
    }
    if (error != 0) {
        if (m_context.Ui().Ask(FormatText(kRecentNotFound, Utf16(path)), kRecentRemoveCaption) ==
            Answer::kYes) {
            // The path heads the list now.
            list.erase(list.begin());
            m_context.RefillRecentMenu();
        }
        return -1;
    }
    return m_context.Open(path, lineChoice);
}

void FileCommands::OpenFileDialog() {
    OpenFileRequest request;
    request.title = res::kOpenTitle;
    request.filter = res::kOpenFilter;
    request.defaultExtension = res::kOpenDefaultExtension;
    const PathString loaded = m_context.LoadedPath();
    const size_t slash = loaded.find_last_of(kPathSeparator);
    if (slash != PathString::npos) {
        request.folder = loaded.substr(0, slash);
    }
    CanPara& para = m_context.Settings().para;
    request.checks.push_back({res::kIdcOpenHideRr, std::u16string(res::kOpenHideRr),
                              (para.Flag[1] & kFlag1HideRr) != 0});
    request.checks.push_back(
        {res::kIdcOpenHeaderOnly, std::u16string(res::kOpenHeaderOnly), false});
    const bool chosen = m_context.Ui().AskOpenFile(request);
    // The RR flag follows the check box even when the dialog was cancelled.
    if (request.checks[0].checked) {
        para.Flag[1] |= kFlag1HideRr;
    } else {
        para.Flag[1] &= static_cast<uint8_t>(~kFlag1HideRr);
    }
    if (!chosen) {
        return;
    }
    if (request.checks[1].checked) {
        m_context.ShowHeaderOnly(request.path);
        return;
    }
    OpenAndRemember(request.path, kLineAsk);
}

void FileCommands::Reload() {
    const std::vector<std::u16string>& list = m_context.Settings().recentFiles;
    if (m_context.Converter() != nullptr) {
        // The loaded file (the head of the list unless an open failed since); a two-line file
        // keeps the line it shows.
        const int line = static_cast<int>(LineSelectionOf(m_context.Settings().para) & 1);
        OpenRecent(m_context.LoadedPath(), line);
        return;
    }
    if (!list.empty()) {
        OpenRecent(Utf8(list.front()), kLineAsk);
        return;
    }
    OpenFileDialog();
}

void FileCommands::ClearRecent() {
    if (m_context.Ui().Ask(kClearRecentQuestion, kRecentRemoveCaption) != Answer::kYes) {
        return;
    }
    m_context.Settings().recentFiles.clear();
    m_context.RefillRecentMenu();
}

}  // namespace tessary
