#pragma once
// Menus and accelerators of the resource tables as Qt menus and shortcuts, for the main and
// the aggregation window. Items carry their command in QAction::data().
#include <QKeySequence>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "mainwnd/CommandTable.h"
#include "resources/Accelerators.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace tessary {

using MenuCommand = std::function<void(int command)>;

// The key sequence of an accelerator entry; empty when the key has no Qt key.
QKeySequence AcceleratorKey(const res::Accelerator& accelerator);

// One window shortcut per entry of accelerator table `tableId` on `window`; false for an
// unknown table or a key without a Qt key.
bool InstallAccelerators(QWidget* window, int tableId, const MenuCommand& onCommand);

// Fills `bar` with the popups of menu `menuId`; `onShow` runs before a popup opens (to update
// its items). The items go to `actions` by command (the first of each). False for an unknown
// or malformed menu.
bool BuildMenuBar(QMenuBar* bar, int menuId, const MenuCommand& onCommand,
                  const std::function<void(QMenu*)>& onShow, std::map<int, QAction*>& actions);

// Popup `index` of menu `menuId` as a new parentless menu (the caller owns it), or nullptr.
QMenu* BuildPopupMenu(int menuId, int index, const MenuCommand& onCommand);

// A new item of `menu` with command `id`, inserted before `before` (appended without).
QAction* InsertMenuItem(QMenu* menu, QAction* before, int id, const QString& text,
                        const MenuCommand& onCommand);

// Inserts `items` (command, text) before the placeholder item `placeholderId` of `actions`, in
// its popup, and gives the placeholder `placeholderText`; the new items join `actions`. False
// when the placeholder or its popup is missing.
bool FillPlaceholder(std::map<int, QAction*>& actions, int placeholderId,
                     const std::vector<std::pair<int, QString>>& items,
                     const QString& placeholderText, const MenuCommand& onCommand);

// The items of `menu` (not its popups) take their state from `commands`: enabled, checked
// (a command with a check state is checkable), and the text when the command gives one.
void ApplyCommandStates(QMenu* menu, const CommandTable& commands);

// The first item of `menu` with command `id` (popups included), or nullptr.
QAction* FindMenuItem(QMenu* menu, int id);
// Removes and deletes the item with command `id` and the separator next to it (after it when
// `separatorAfter`, else before it); false when there is no such item.
bool RemoveMenuItem(QMenu* menu, int id, bool separatorAfter);

}  // namespace tessary
