#pragma once
// The main window's menus: the menu bar (menu 128) with its generated items (recent files,
// search samples, font sizes) and the block panes' context menu (menu 130) with the items that
// depend on where it was opened. Every item asks the command table for its state.
#include <QString>
#include <map>
#include <string>
#include <vector>

#include "mainwnd/CommandTable.h"
#include "mainwnd/QtMenus.h"

class QAction;
class QMenu;
class QMenuBar;

namespace tessary {

class QtMainMenus {
public:
    enum class Failure { kNone, kMenuBar, kRecent, kSamples, kFontSizes, kContext };

    QtMainMenus(const CommandTable& commands, MenuCommand onCommand)
        : m_commands(commands), m_onCommand(std::move(onCommand)) {}
    ~QtMainMenus();
    QtMainMenus(const QtMainMenus&) = delete;
    QtMainMenus& operator=(const QtMainMenus&) = delete;

    // The popups of menu 128 in `bar`.
    bool BuildBar(QMenuBar* bar);
    // The recent files, the samples, the font sizes and the context menu, in this order; the
    // first that failed.
    Failure BuildItems(const std::vector<std::u16string>& recentFiles);
    // The recent-file items 57616-57625 ("&%u %s") before item 32773, in list order.
    bool RefillRecent(const std::vector<std::u16string>& recentFiles);

    QAction* Action(int id) const;
    QMenu* Context() const { return m_context; }
    // The copy-word item (when `word` is not empty) at the top, the command states, and the
    // LAPD detail line (when not empty) at the end.
    void PrepareContext(const QString& word, const std::u16string& lapdDetail);
    // The text of item `id`: the context menu's first, then the menu bar's.
    std::u16string ItemText(int id) const;

private:
    const CommandTable& m_commands;
    MenuCommand m_onCommand;
    std::map<int, QAction*> m_actions;  // menu 128 items by command
    QMenu* m_context = nullptr;
};

}  // namespace tessary
