#include "tools/CPropertyDlg.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "decode/CTessaryCan.h"
#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "resources/DialogTables.h"
#include "resources/QtDialogControls.h"
#include "resources/ResourceIds.h"
#include "tools/HeaderText.h"
#include "tools/HeaderTextMessages.h"

namespace tessary {
namespace {

constexpr std::u16string_view kDumpCaption = u"ログファイル・ヘッダー情報";
constexpr int kClosed = static_cast<int>(Answer::kCancel);

}  // namespace

CPropertyDlg::CPropertyDlg(QWidget* parent, CTessaryCan* converter, const DisplayLineTable* table)
    : QDialog(parent), m_converter(converter), m_table(table) {
    Build();
}

CPropertyDlg::CPropertyDlg(QWidget* parent, const PathString& path)
    : QDialog(parent), m_path(path), m_dumpOfPath(true) {
    Build();
    setWindowTitle(ToQString(kDumpCaption));
}

QWidget* CPropertyDlg::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

QPlainTextEdit* CPropertyDlg::TextEdit() const {
    return qobject_cast<QPlainTextEdit*>(Control(res::kIdcPropertyText));
}

void CPropertyDlg::Build() {
    const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kIddProperty);
    if (dialog == nullptr) {
        return;
    }
    QFont font = ApplyTemplateFrame(this, *dialog);
    // Unhinted advances keep a double-width character at exactly two columns, so the dump's
    // labels line up in fonts whose hinted widths round apart.
    font.setHintingPreference(QFont::PreferNoHinting);
    setFont(font);
    const DialogUnits units(font);
    setFixedSize(units.Size(dialog->cx, dialog->cy));
    for (const res::DialogControl& control : dialog->controls) {
        QWidget* widget = nullptr;
        if (control.kind == res::ControlKind::kReadOnlyEdit) {
            auto* edit = new QPlainTextEdit(this);
            edit->setReadOnly(true);
            // Read-only, yet the caret keys move and select as in any edit.
            edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
            edit->setLineWrapMode(QPlainTextEdit::NoWrap);
            edit->setFont(font);
            QTextOption option = edit->document()->defaultTextOption();
            option.setUseDesignMetrics(true);
            edit->document()->setDefaultTextOption(option);
            widget = edit;
        } else if (control.kind == res::ControlKind::kButton) {
            auto* button = new QPushButton(ToQString(control.text), this);
            // Enter closes nothing; only a click, Space on the button or Esc does.
            button->setAutoDefault(false);
            button->setDefault(false);
            connect(button, &QPushButton::clicked, this, &QDialog::reject);
            widget = button;
        }
        if (widget == nullptr) {
            continue;
        }
        PlaceControl(widget, units.Rect(control), control.id, m_controls);
    }
    if (QPlainTextEdit* edit = TextEdit()) {
        edit->setFocus(Qt::OtherFocusReason);
    }
}

bool CPropertyDlg::FillText() {
    const std::u16string caption = FromQString(windowTitle());
    HeaderTextResult result;
    if (m_dumpOfPath) {
        result = BuildHeaderDump(m_path);
    } else if (m_converter != nullptr && m_table != nullptr) {
        const uint8_t* option = m_converter->OptionByte();
        result = BuildSummary(*m_converter, option != nullptr ? *option : 0,
                              SummaryRecordsOf(*m_converter, *m_table));
    } else {
        Ui().Warn(headertext::kNoLogLoaded, caption);
        return false;
    }
    if (result.status < 0) {
        Ui().Warn(m_dumpOfPath ? headertext::kNoMemoryDump : headertext::kNoMemorySummary, caption);
        return false;
    }
    // A failed dump is still shown: its text names the failure and the path.
    if (QPlainTextEdit* edit = TextEdit()) {
        edit->setPlainText(ToQString(result.text));
    }
    return true;
}

int CPropertyDlg::DoModal() {
    if (!FillText()) {
        return -1;
    }
    return exec();
}

void CPropertyDlg::reject() {
    done(kClosed);
}

void CPropertyDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tessary
