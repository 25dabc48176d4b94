#include "mainwnd/QtSummaryContext.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include "mainwnd/CMainDlg.h"
#include "mainwnd/CSummaryDlg.h"
#include "mainwnd/QtMenus.h"
#include "platform/QtText.h"

namespace tessary {

QtSummaryContext::QtSummaryContext(CSummaryDlg& window) : QtPaneContext(window), m_window(window) {}

SettingsRecord& QtSummaryContext::Settings() {
    return m_window.m_owner.Settings();
}

std::u16string QtSummaryContext::Caption() const {
    return FromQString(m_window.windowTitle());
}

std::u16string QtSummaryContext::CopyHeading() const {
    return FromQString(m_window.windowTitle());
}

std::u16string QtSummaryContext::MenuItemText(int id) const {
    const QAction* item =
        m_window.m_context != nullptr ? FindMenuItem(m_window.m_context, id) : nullptr;
    if (item == nullptr) {
        const auto found = m_window.m_actions.find(id);
        item = found != m_window.m_actions.end() ? found->second : nullptr;
    }
    return item != nullptr ? FromQString(item->text()) : std::u16string();
}

}  // namespace tessary
