#pragma once
// The header information dialog (template 133): the summary of the log loaded in the main
// window, or the header dump of any file, as column-aligned text in a read-only edit.
#include <QDialog>
#include <map>

#include "platform/File.h"

class QPlainTextEdit;

namespace tessary {

class CTessaryCan;
class DisplayLineTable;

class CPropertyDlg : public QDialog {
    Q_OBJECT

public:
    // The summary of the loaded log: its converter and the display table that picks the first
    // and last records (nullptr for either when no log is loaded).
    CPropertyDlg(QWidget* parent, CTessaryCan* converter, const DisplayLineTable* table);
    // The header dump of the file at `path`.
    CPropertyDlg(QWidget* parent, const PathString& path);

    // Builds the text and runs modally: the close command (2) when closed; -1 after the message
    // when there is nothing to show or the text ran out of memory.
    int DoModal();

    // The control `id` of the template (1300, 2), or nullptr.
    QWidget* Control(int id) const;
    QPlainTextEdit* TextEdit() const;

public slots:
    // Esc, the close button and the window's close box end it with the close command.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Build();
    // The text into the edit; false after the message box when there is none to show.
    bool FillText();

    CTessaryCan* m_converter = nullptr;
    const DisplayLineTable* m_table = nullptr;
    PathString m_path;
    bool m_dumpOfPath = false;
    std::map<int, QWidget*> m_controls;
};

}  // namespace tessary
