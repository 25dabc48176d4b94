#include "mainwnd/QtSummaryContext.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include "mainwnd/CMainDlg.h"
#include "mainwnd/CSummaryDlg.h"
#include "mainwnd/QtMenus.h"
#include "platform/QtText.h"

namespace tessary {

SettingsRecord& QtSummaryContext::Settings() {
    return m_window.m_owner.Settings();
}

CTessaryCan* QtSummaryContext::Converter() const {
    return m_window.LoadedConverter();
}

std::u16string QtSummaryContext::Caption() const {
    return FromQString(m_window.windowTitle());
}

std::u16string QtSummaryContext::CopyHeading() const {
    return FromQString(m_window.windowTitle());
}

void QtSummaryContext::SetStatusText(int pane, std::u16string_view text) {
    m_window.SetStatusText(pane, text);
}

void QtSummaryContext::ShowStatusNow(std::u16string_view text) {
    m_window.SetStatusText(0, text);
    if (QLabel* pane = m_window.m_statusPanes[0]) {
        pane->repaint();
    }
}

int QtSummaryContext::ContextPane() const {
    return m_window.m_contextPane;
}

int32_t QtSummaryContext::CurrentLine() const {
    return m_window.m_currentLine;
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

CPaneFrame* QtSummaryContext::Frame() const {
    return m_window.m_frame;
}

QWidget* QtSummaryContext::Control(int id) const {
    return m_window.Control(id);
}

}  // namespace tessary
