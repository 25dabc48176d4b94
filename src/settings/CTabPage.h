#pragma once
// The base of the option dialog's pages: a child window of the dialog's tab control built from
// its dialog template. Enter and Esc do nothing in a page.
#include <QWidget>
#include <map>

#include "resources/DialogTables.h"

namespace tessary {

class COptionDlg;

class CTabPage : public QWidget {
    Q_OBJECT

public:
    CTabPage(COptionDlg& dialog, int templateId, QWidget* parent);

    int TemplateId() const { return m_templateId; }
    COptionDlg& Dialog() const { return m_dialog; }
    // The control `id` of the page's template, or nullptr.
    QWidget* Control(int id) const;

    // Creates the page's controls; false when the page cannot be made.
    virtual bool Create();
    // Fills the controls from the settings; false when that failed.
    virtual bool Load() = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    const res::DialogTemplate* Template() const;

private:
    COptionDlg& m_dialog;
    int m_templateId;
    std::map<int, QWidget*> m_controls;
};

// True for the keys of IDOK and IDCANCEL, which pages and the option dialog swallow.
bool IsDialogEndKey(const QKeyEvent* event);

}  // namespace tessary
