#include "settings/CTabPage.h"

#include <QKeyEvent>

#include "resources/QtDialogControls.h"
#include "settings/COptionDlg.h"

namespace tessary {

CTabPage::CTabPage(COptionDlg& dialog, int templateId, QWidget* parent)
    : QWidget(parent), m_dialog(dialog), m_templateId(templateId) {}

const res::DialogTemplate* CTabPage::Template() const {
    return res::FindDialogTemplate(m_templateId);
}

QWidget* CTabPage::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

bool CTabPage::Create() {
    const res::DialogTemplate* page = Template();
    if (page == nullptr) {
        return false;
    }
    m_controls =
        CreateTemplateControls(this, *page, m_dialog.DialogFont(), m_dialog.FixedFont()).byId;
    return !m_controls.empty();
}

void CTabPage::keyPressEvent(QKeyEvent* event) {
    if (IsDialogEndKey(event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool IsDialogEndKey(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return true;
        default:
            return false;
    }
}

}  // namespace tessary
