#include "mainwnd/QtPaneNotices.h"

#include <QLineEdit>
#include <QMenu>
#include <algorithm>

#include "display/CPaneWnd.h"
#include "display/QtAppEvent.h"
#include "logfile/CInsFileRead.h"
#include "mainwnd/MainTexts.h"
#include "platform/DigitGroup.h"
#include "platform/QtText.h"
#include "resources/ResourceIds.h"
#include "tools/CProgressDlg.h"

namespace tessary {

bool QtPaneNotices::Handle(int message, intptr_t wParam, intptr_t lParam) {
    switch (message) {
        case kMsgSelectionChanged:
            RefreshSelection();
            return true;
        case kMsgScrolled:
            if (wParam > 0 && m_window.frame->SelectionLine() != nullptr) {
                RefreshSelection();
            }
            return true;
        case kMsgPaneMouseMove:
            if (CPaneWnd* pane = PaneOf(lParam)) {
                OnMouseMove(pane, PointY(wParam));
            }
            return true;
        case kMsgPaneLeftDown:
            if (CPaneWnd* pane = PaneOf(lParam)) {
                OnLeftDown(pane, PointY(wParam));
            }
            return true;
        default:
            return false;
    }
}

void QtPaneNotices::ForwardReaderNotify(intptr_t wParam, intptr_t lParam, CProgressDlg* progress) {
    // Only a reader under the running progress dialog is alive for certain.
    if (progress == nullptr || lParam == 0) {
        return;
    }
    const auto* reader = reinterpret_cast<const CInsFileRead*>(lParam);
    if (reader->WarningCounter() != 0) {
        m_window.setStatus(4, WarningCountText(static_cast<uint32_t>(reader->WarningCounter())));
    }
    progress->OnProgress(
        static_cast<uintptr_t>(wParam) == kNotifyProgress ? kProgressStep : kProgressEnded,
        static_cast<intptr_t>(reader->CurrentPosition()));
}

CPaneWnd* QtPaneNotices::PaneOf(intptr_t lParam) const {
    for (int p = 0; p < kPaneCount; ++p) {
        CPaneWnd* pane = m_window.frame->Pane(p);
        if (pane != nullptr && reinterpret_cast<intptr_t>(pane) == lParam) {
            return pane;
        }
    }
    return nullptr;
}

void QtPaneNotices::SetEditText(int id, std::u16string_view text) {
    auto* edit = qobject_cast<QLineEdit*>(m_window.control(id));
    const QString value = ToQString(text);
    if (edit != nullptr && edit->text() != value) {
        edit->setText(value);
    }
}

void QtPaneNotices::RefreshSelection() {
    m_window.refreshControls();
    const DisplayLine* line = m_window.frame->SelectionLine();
    const MessageRecord* record =
        line != nullptr ? m_window.frame->Table().RecordOf(line) : nullptr;
    if (record == nullptr) {
        SetEditText(res::kIdcLineNumber, {});
        SetEditText(res::kIdcIndexNumber, {});
        SetEditText(res::kIdcSelectionTime, {});
        return;
    }
    SetEditText(res::kIdcLineNumber,
                GroupedDecimal16(static_cast<uint64_t>(std::max(0, line->lineNumber))));
    SetEditText(res::kIdcIndexNumber, IndexNumberText(record->Id));
    const std::u16string_view time = SelectionTimeText(record->TextView());
    if (!time.empty()) {
        SetEditText(res::kIdcSelectionTime, time);
    }
}

void QtPaneNotices::OnMouseMove(CPaneWnd* pane, int y) {
    const int32_t number = pane->LineNumberAt(y);
    const DisplayLine* line = number >= 1 ? m_window.frame->Line(number) : nullptr;
    if (line == nullptr) {
        for (int i = 1; i <= 3; ++i) {
            m_window.setStatus(i, {});
        }
        return;
    }
    m_window.setStatus(1, LinePaneText(number));
    const MessageRecord* record = m_window.frame->Table().RecordOf(line);
    const CTessaryCan* converter = m_window.frame->LoadedConverter();
    if (record == nullptr || converter == nullptr) {
        m_window.setStatus(2, {});
        m_window.setStatus(3, {});
        return;
    }
    m_window.setStatus(2, IdPaneText(record->Id));
    m_window.setStatus(3, DatePaneText(converter->BaseTime(), record->Time));
}

void QtPaneNotices::OnLeftDown(CPaneWnd* pane, int y) {
    CPaneFrame* frame = m_window.frame;
    int32_t number = pane->LineNumberAt(y);
    const DisplayLine* line = number >= 1 ? frame->Line(number) : nullptr;
    if (line == nullptr) {
        return;
    }
    if (!line->HasRecord()) {
        // An empty separator belongs to the message above in its upper half, else below.
        const int lh = frame->LineHeight();
        const int top = number * lh - pane->ScrollPosition().y();
        number += (y - top) < lh / 2 ? -1 : 1;
        line = number >= 1 ? frame->Line(number) : nullptr;
        if (line == nullptr || !line->HasRecord()) {
            return;
        }
    }
    if (!frame->Table().IsSelectedRecord(line)) {
        frame->SelectLine(line);
    }
}

bool QtPaneNotices::HandleWindowMessage(
    QtPaneNotices* notices, const QtAppEvent& message, QMenu* menu,
    const std::function<bool(CPaneWnd* pane, int x, int y)>& prepare) {
    if (notices == nullptr) {
        return false;
    }
    const intptr_t wParam = message.WParam();
    const intptr_t lParam = message.LParam();
    if (notices->Handle(message.Message(), wParam, lParam)) {
        return true;
    }
    if (message.Message() != kMsgPaneRightDown) {
        return false;
    }
    CPaneWnd* pane = notices->PaneOf(lParam);
    const int x = PointX(wParam);
    const int y = PointY(wParam);
    if (menu != nullptr && prepare(pane, x, y)) {
        menu->exec(pane->mapToGlobal(QPoint(x, y)));
    }
    return true;
}

}  // namespace tessary
