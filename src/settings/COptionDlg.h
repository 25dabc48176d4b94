#pragma once
// The option dialog (template 140): three pages in a tab control over the option model, with
// apply, cancel and reset-all. It ends with IDOK (the result flags tell the main window what
// to do), IDCANCEL, or -1 when it could not open.
#include <QDialog>
#include <QFont>
#include <map>
#include <string>

#include "settings/OptionModel.h"

class QTabWidget;

namespace tessary {

class CTabPage;
class COptBlockPage;
class COptColorPage;
class COptMarkPage;

class COptionDlg : public QDialog {
    Q_OBJECT

public:
    COptionDlg(QWidget* owner, OptionModel& model);
    ~COptionDlg() override;

    // Fonts, pages and their settings; false on the first failure with its message.
    bool Initialize(std::u16string* failure);
    // Initialize, then runs modally; a failed opening shows its message and answers -1.
    int DoModal();
    // After IDOK: kOptionWrapChanged, kOptionResetAll or 0.
    int ResultFlags() const { return m_resultFlags; }

    OptionModel& Model() { return m_model; }
    const QFont& DialogFont() const { return m_dialogFont; }
    const QFont& BoldFont() const { return m_boldFont; }
    const QFont& FixedFont() const { return m_fixedFont; }
    QWidget* Control(int id) const;
    QTabWidget* Tabs() const { return m_tabs; }
    int CurrentTab() const { return m_currentTab; }
    COptMarkPage* MarkPage() const { return m_markPage; }
    COptColorPage* ColorPage() const { return m_colorPage; }
    COptBlockPage* BlockPage() const { return m_blockPage; }
    // Apply and cancel are out of reach while the colour dialog is open.
    void SetEndButtonsEnabled(bool enabled);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool CreateFonts();
    bool CreatePages();
    bool LoadPages();
    void SelectTab(int index);
    void OnTabChanged(int index);
    void OnApply();
    void OnCancel();
    void OnResetAll();

    OptionModel& m_model;
    QFont m_dialogFont;
    QFont m_boldFont;
    QFont m_fixedFont;
    std::map<int, QWidget*> m_controls;
    QTabWidget* m_tabs = nullptr;
    CTabPage* m_pages[3] = {};
    COptMarkPage* m_markPage = nullptr;
    COptColorPage* m_colorPage = nullptr;
    COptBlockPage* m_blockPage = nullptr;
    int m_currentTab = 0;
    int m_resultFlags = 0;
    bool m_initialized = false;
};

}  // namespace tessary
