#include "mainwnd/QtMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <vector>

#include "platform/QtText.h"
#include "resources/MenuTables.h"

namespace tessary {

QKeySequence AcceleratorKey(const res::Accelerator& accelerator) {
    int key = 0;
    if (accelerator.key >= 'A' && accelerator.key <= 'Z') {
        key = Qt::Key_A + (accelerator.key - 'A');
    } else if (accelerator.key >= '0' && accelerator.key <= '9') {
        key = Qt::Key_0 + (accelerator.key - '0');
    } else if (accelerator.key >= 0x70 && accelerator.key <= 0x87) {  // VK_F1 ... VK_F24
        key = Qt::Key_F1 + (accelerator.key - 0x70);
    } else {
        return {};
    }
    int modifiers = 0;
    if ((accelerator.modifiers & res::kAccelShift) != 0) {
        modifiers |= Qt::SHIFT;
    }
    if ((accelerator.modifiers & res::kAccelControl) != 0) {
        modifiers |= Qt::CTRL;
    }
    if ((accelerator.modifiers & res::kAccelAlt) != 0) {
        modifiers |= Qt::ALT;
    }
    return QKeySequence(key | modifiers);
}

bool InstallAccelerators(QWidget* window, int tableId, const MenuCommand& onCommand) {
    const auto table = res::AcceleratorTable(tableId);
    if (window == nullptr || table.empty()) {
        return false;
    }
    for (const res::Accelerator& accelerator : table) {
        const QKeySequence key = AcceleratorKey(accelerator);
        if (key.isEmpty()) {
            return false;
        }
        auto* shortcut = new QShortcut(key, window);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false);
        const int id = accelerator.command;
        QObject::connect(shortcut, &QShortcut::activated, window,
                         [onCommand, id] { onCommand(id); });
    }
    return true;
}

QAction* InsertMenuItem(QMenu* menu, QAction* before, int id, const QString& text,
                        const MenuCommand& onCommand) {
    auto* action = new QAction(text, menu);
    action->setData(id);
    menu->insertAction(before, action);
    QObject::connect(action, &QAction::triggered, menu, [onCommand, id] { onCommand(id); });
    return action;
}

bool BuildMenuBar(QMenuBar* bar, int menuId, const MenuCommand& onCommand,
                  const std::function<void(QMenu*)>& onShow, std::map<int, QAction*>& actions) {
    const auto entries = res::MenuTemplate(menuId);
    if (bar == nullptr || entries.empty()) {
        return false;
    }
    std::vector<QMenu*> stack;
    for (const res::MenuEntry& entry : entries) {
        QMenu* menu = stack.empty() ? nullptr : stack.back();
        switch (entry.kind) {
            case res::MenuEntryKind::kPopup: {
                QMenu* popup = menu != nullptr ? menu->addMenu(ToQString(entry.text))
                                               : bar->addMenu(ToQString(entry.text));
                if (onShow) {
                    QObject::connect(popup, &QMenu::aboutToShow, popup,
                                     [onShow, popup] { onShow(popup); });
                }
                stack.push_back(popup);
                break;
            }
            case res::MenuEntryKind::kEnd:
                if (stack.empty()) {
                    return false;
                }
                stack.pop_back();
                break;
            case res::MenuEntryKind::kSeparator:
                if (menu != nullptr) {
                    menu->addSeparator();
                }
                break;
            case res::MenuEntryKind::kItem:
                if (menu == nullptr) {
                    return false;
                }
                actions.emplace(entry.id, InsertMenuItem(menu, nullptr, entry.id,
                                                         ToQString(entry.text), onCommand));
                break;
        }
    }
    return stack.empty();
}

QMenu* BuildPopupMenu(int menuId, int index, const MenuCommand& onCommand) {
    const auto entries = res::MenuTemplate(menuId);
    // Find the top-level popup `index`.
    int depth = 0;
    int popup = -1;
    size_t i = 0;
    for (; i < entries.size(); ++i) {
        if (entries[i].kind == res::MenuEntryKind::kPopup) {
            if (depth == 0 && ++popup == index) {
                break;
            }
            ++depth;
        } else if (entries[i].kind == res::MenuEntryKind::kEnd) {
            --depth;
        }
    }
    if (i >= entries.size()) {
        return nullptr;
    }
    auto* menu = new QMenu();
    menu->setTitle(ToQString(entries[i].text));
    for (++i; i < entries.size(); ++i) {
        const res::MenuEntry& entry = entries[i];
        if (entry.kind == res::MenuEntryKind::kEnd) {
            return menu;
        }
        if (entry.kind == res::MenuEntryKind::kSeparator) {
            menu->addSeparator();
        } else if (entry.kind == res::MenuEntryKind::kItem) {
            InsertMenuItem(menu, nullptr, entry.id, ToQString(entry.text), onCommand);
        } else {
            break;  // nested popups are not used in context menus
        }
    }
    delete menu;
    return nullptr;
}

bool FillPlaceholder(std::map<int, QAction*>& actions, int placeholderId,
                     const std::vector<std::pair<int, QString>>& items,
                     const QString& placeholderText, const MenuCommand& onCommand) {
    const auto placeholder = actions.find(placeholderId);
    QMenu* menu = placeholder != actions.end() ? qobject_cast<QMenu*>(placeholder->second->parent())
                                               : nullptr;
    if (menu == nullptr) {
        return false;
    }
    for (const auto& [id, text] : items) {
        actions.emplace(id, InsertMenuItem(menu, placeholder->second, id, text, onCommand));
    }
    placeholder->second->setText(placeholderText);
    return true;
}

void ApplyCommandStates(QMenu* menu, const CommandTable& commands) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || action->menu() != nullptr) {
            continue;
        }
        const int id = action->data().toInt();
        if (const std::optional<std::u16string> text = commands.Text(id)) {
            action->setText(ToQString(*text));
        }
        const bool checkable = commands.IsCheckable(id);
        action->setCheckable(checkable);
        if (checkable) {
            action->setChecked(commands.IsChecked(id));
        }
        action->setEnabled(commands.IsEnabled(id));
    }
}

QAction* FindMenuItem(QMenu* menu, int id) {
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            if (QAction* inner = FindMenuItem(action->menu(), id)) {
                return inner;
            }
        } else if (!action->isSeparator() && action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
}

bool RemoveMenuItem(QMenu* menu, int id, bool separatorAfter) {
    const QList<QAction*> actions = menu->actions();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (actions[i]->isSeparator() || actions[i]->data().toInt() != id) {
            continue;
        }
        const qsizetype next = separatorAfter ? i + 1 : i - 1;
        if (next >= 0 && next < actions.size() && actions[next]->isSeparator()) {
            menu->removeAction(actions[next]);
            delete actions[next];
        }
        menu->removeAction(actions[i]);
        delete actions[i];
        return true;
    }
    return false;
}

}  // namespace tessary
