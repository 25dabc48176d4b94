#pragma once
// The start date/time correction (template 134): the user states the true date/time of one
// line and the log's start correction follows from it. The checks, texts and the apply step
// are CorrectionEdit's; the window shows them and takes the input.
#include <QDialog>
#include <map>
#include <string>

#include "tools/CorrectionEdit.h"

class QLineEdit;

namespace tessary {

class CLogFileRead;
struct MessageRecord;

class CDiffTimeDlg : public QDialog {
    Q_OBJECT

public:
    // `line`: the message record of the line to correct (nullptr when there is none).
    CDiffTimeDlg(QWidget* owner, CLogFileRead* reader, const MessageRecord* line);

    // Runs modally: kDiffTimeApplied when the reader has the new correction, the cancel code,
    // or kDiffTimeFailed after the start check's message (CorrectionEdit.h).
    int DoModal();

    // The control `id` of the template, or nullptr.
    QWidget* Control(int id) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // The start checks and the controls; false with the message to show.
    bool Initialize(std::u16string& failure);
    void SetInput(const std::u16string& text);
    void OnApply();

    CLogFileRead* m_reader;
    const MessageRecord* m_line;
    CorrectionEdit m_edit;
    std::map<int, QWidget*> m_controls;
    QLineEdit* m_input = nullptr;
};

}  // namespace tessary
