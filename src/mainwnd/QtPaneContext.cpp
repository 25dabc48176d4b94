#include "mainwnd/QtPaneContext.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include "display/CPaneFrame.h"
#include "display/CPaneWnd.h"
#include "mainwnd/QtPaneWindow.h"
#include "platform/QtText.h"
#include "platform/QtUiService.h"

namespace tessary {
namespace {

// The edit field of a control: an edit itself, or the edit of a combo box.
QLineEdit* EditOf(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        return combo->lineEdit();
    }
    return qobject_cast<QLineEdit*>(control);
}

}  // namespace

CPaneFrame* QtPaneContext::Frame() const {
    return m_paneWindow.Frame();
}

QWidget* QtPaneContext::Control(int id) const {
    return m_paneWindow.Control(id);
}

SettingsRecord& QtPaneContext::Settings() {
    return m_paneWindow.Settings();
}

CTessaryCan* QtPaneContext::Converter() const {
    return m_paneWindow.LoadedConverter();
}

std::u16string QtPaneContext::Caption() const {
    return m_paneWindow.Caption();
}

std::u16string QtPaneContext::CopyHeading() const {
    return m_paneWindow.CopyHeading();
}

std::u16string QtPaneContext::MenuItemText(int id) const {
    return m_paneWindow.MenuItemText(id);
}

const DisplayLineTable& QtPaneContext::Table() const {
    return Frame()->Table();
}

UiService& QtPaneContext::Ui() {
    return tessary::Ui();
}

void QtPaneContext::SetWaitCursor(bool wait) {
    if (wait) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtPaneContext::SetStatusText(int pane, std::u16string_view text) {
    m_paneWindow.SetStatusText(pane, text);
}

void QtPaneContext::ShowStatusNow(std::u16string_view text) {
    m_paneWindow.ShowStatusNow(text);
}

int QtPaneContext::ContextPane() const {
    return m_paneWindow.ContextPane();
}

int32_t QtPaneContext::CurrentLine() const {
    return m_paneWindow.CurrentLine();
}

void QtPaneContext::ShowLine(int32_t line, bool groupStart, bool select, bool takeFocus) {
    if (const DisplayLine* shown = Frame()->Line(line)) {
        Frame()->ShowLine(shown, groupStart, select, takeFocus);
    }
}

void QtPaneContext::SelectLine(int32_t line) {
    if (const DisplayLine* selected = Frame()->Line(line)) {
        Frame()->SelectLine(selected);
    }
}

void QtPaneContext::RedrawPanes() {
    Frame()->InvalidateGroup(nullptr);
}

void QtPaneContext::VisibleLines(int32_t* top, int32_t* bottom) const {
    const CPaneFrame* frame = Frame();
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

int QtPaneContext::PaneBlock(int position) const {
    const CPaneWnd* pane = Frame()->Pane(position);
    return pane != nullptr ? pane->ShownBlock() : -1;
}

void QtPaneContext::SwapPanes(int first, int second) {
    CPaneFrame* frame = Frame();
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

void QtPaneContext::LayoutColumns() {
    Frame()->LayoutColumns(nullptr, true);
}

std::u16string QtPaneContext::ControlText(int id) const {
    const QLineEdit* edit = EditOf(Control(id));
    return edit != nullptr ? FromQString(edit->text()) : std::u16string();
}

void QtPaneContext::SetControlText(int id, std::u16string_view text) {
    if (QLineEdit* edit = EditOf(Control(id))) {
        edit->setText(ToQString(text));
    }
}

void QtPaneContext::FocusControl(int id, bool selectAll) {
    QLineEdit* edit = EditOf(Control(id));
    if (edit == nullptr) {
        return;
    }
    edit->setFocus(Qt::OtherFocusReason);
    if (selectAll) {
        edit->selectAll();
    }
}

}  // namespace tessary
