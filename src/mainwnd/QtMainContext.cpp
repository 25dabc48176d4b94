#include "mainwnd/QtMainContext.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include "display/CPaneWnd.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/QtMainMenus.h"
#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "resources/ResourceIds.h"
#include "resources/WindowTexts.h"
#include "tools/HeaderText.h"

namespace tessary {

SettingsRecord& QtMainContext::Settings() {
    return m_window.m_settings;
}

const DisplayLineTable& QtMainContext::Table() const {
    return m_window.m_frame->Table();
}

CTessaryCan* QtMainContext::Converter() const {
    return m_window.LoadedConverter();
}

UiService& QtMainContext::Ui() {
    return tessary::Ui();
}

std::u16string QtMainContext::Caption() const {
    return FromQString(m_window.m_initialCaption);
}

std::u16string QtMainContext::CopyHeading() const {
    const CTessaryCan* converter = Converter();
    return converter != nullptr ? converter->LY1Legend(-1) : std::u16string();
}

void QtMainContext::SetStatusText(int pane, std::u16string_view text) {
    m_window.SetStatusText(pane, text);
}

void QtMainContext::ShowStatusNow(std::u16string_view text) {
    m_window.SetStatusText(0, text);
    if (QLabel* pane = m_window.m_statusPanes[0]) {
        pane->repaint();
    }
}

void QtMainContext::SetWaitCursor(bool wait) {
    if (wait) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtMainContext::ShowLine(int32_t line, bool groupStart, bool select, bool takeFocus) {
    if (const DisplayLine* shown = m_window.m_frame->Line(line)) {
        m_window.m_frame->ShowLine(shown, groupStart, select, takeFocus);
    }
}

void QtMainContext::SelectLine(int32_t line) {
    if (const DisplayLine* selected = m_window.m_frame->Line(line)) {
        m_window.m_frame->SelectLine(selected);
    }
}

void QtMainContext::RedrawPanes() {
    m_window.m_frame->InvalidateGroup(nullptr);
}

void QtMainContext::VisibleLines(int32_t* top, int32_t* bottom) const {
    CPaneFrame* frame = m_window.m_frame;
    const CPaneWnd* pane = frame->VisiblePane();
    const int lh = frame->LineHeight();
    *top = -1;
    *bottom = -1;
    if (pane == nullptr || lh <= 0 || frame->LineCount() < 2) {
        return;
    }
    // Row 0 is the title row; the lines below it follow the scroll position.
    *top = frame->LineAtY(lh);
    const int32_t last = frame->LineAtY(pane->viewport()->height() - 1);
    *bottom = last >= 1 ? last : frame->LineCount() - 1;
}

int QtMainContext::PaneBlock(int position) const {
    const CPaneWnd* pane = m_window.m_frame->Pane(position);
    return pane != nullptr ? pane->ShownBlock() : -1;
}

void QtMainContext::SwapPanes(int first, int second) {
    CPaneFrame* frame = m_window.m_frame;
    if (first < 0 && second < 0) {
        frame->SwapBlocks(nullptr, nullptr);
        RedrawPanes();
        return;
    }
    CPaneWnd* a = frame->Pane(first);
    CPaneWnd* b = frame->Pane(second);
    if (a != nullptr && b != nullptr && a != b) {
        frame->SwapBlocks(a, b);
    }
}

void QtMainContext::LayoutColumns() {
    m_window.m_frame->LayoutColumns(nullptr, true);
}

int QtMainContext::ContextPane() const {
    return m_window.m_contextPane;
}

int32_t QtMainContext::CurrentLine() const {
    return m_window.m_currentLine;
}

std::u16string QtMainContext::ControlText(int id) const {
    if (id == res::kIdcSearchText) {
        return m_window.m_search != nullptr ? FromQString(m_window.m_search->currentText())
                                            : std::u16string();
    }
    const auto* edit = qobject_cast<const QLineEdit*>(m_window.Control(id));
    return edit != nullptr ? FromQString(edit->text()) : std::u16string();
}

void QtMainContext::SetControlText(int id, std::u16string_view text) {
    if (id == res::kIdcSearchText) {
        if (m_window.m_search != nullptr) {
            m_window.m_search->setEditText(ToQString(text));
        }
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(m_window.Control(id))) {
        edit->setText(ToQString(text));
    }
}

void QtMainContext::FocusControl(int id, bool selectAll) {
    QLineEdit* edit = id == res::kIdcSearchText && m_window.m_search != nullptr
                          ? m_window.m_search->lineEdit()
                          : qobject_cast<QLineEdit*>(m_window.Control(id));
    if (edit == nullptr) {
        return;
    }
    edit->setFocus(Qt::OtherFocusReason);
    if (selectAll) {
        edit->selectAll();
    }
}

std::u16string QtMainContext::MenuItemText(int id) const {
    return m_window.m_menus->ItemText(id);
}

SearchCondition* QtMainContext::Conditions() {
    return m_window.m_conditions;
}

PathString QtMainContext::LoadedPath() const {
    return m_window.LoadedPath();
}

int32_t QtMainContext::Open(const PathString& path, int lineChoice) {
    return m_window.Open(path, lineChoice);
}

int32_t QtMainContext::Reconvert() {
    return m_window.Reconvert(kLineAsk);
}

void QtMainContext::ShowHeaderOnly(const PathString& path) {
    if (m_window.m_headerViewer) {
        m_window.m_headerViewer(path);
        return;
    }
    const HeaderTextResult dump = BuildHeaderDump(path);
    Ui().Inform(dump.text, res::kOpenTitle);
}

void QtMainContext::CloseWindow() {
    m_window.close();
}

bool QtMainContext::RefillRecentMenu() {
    return m_window.m_menus->RefillRecent(m_window.m_settings.recentFiles);
}

bool QtMainContext::RefillSearchList() {
    return m_window.RefillSearchList();
}

void QtMainContext::SelectFirstSearchItem() {
    if (m_window.m_search != nullptr && m_window.m_search->count() > 0) {
        m_window.m_search->setCurrentIndex(0);
    }
}

bool QtMainContext::SetPaneFont(int tenths) {
    return m_window.SetPaneFontPoint(tenths);
}

}  // namespace tessary
