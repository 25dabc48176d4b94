#include "tools/CDiffTimeDlg.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "platform/UiService.h"
#include "resources/DialogTables.h"
#include "resources/QtDialogControls.h"
#include "resources/QtFonts.h"
#include "resources/ResourceIds.h"
#include "tools/CorrectionMessages.h"

namespace tessary {
namespace {

namespace ct = correctiontext;

constexpr int kEndCancel = static_cast<int>(Answer::kCancel);

}  // namespace

CDiffTimeDlg::CDiffTimeDlg(QWidget* owner, CLogFileRead* reader, const MessageRecord* line)
    : QDialog(owner), m_reader(reader), m_line(line) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
}

QWidget* CDiffTimeDlg::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

int CDiffTimeDlg::DoModal() {
    std::u16string failure;
    if (!Initialize(failure)) {
        Ui().Warn(failure, FromQString(windowTitle()));
        return kDiffTimeFailed;
    }
    return exec();
}

bool CDiffTimeDlg::Initialize(std::u16string& failure) {
    const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kIddDiffTime);
    if (dialog != nullptr) {
        setWindowTitle(ToQString(dialog->caption));
    }
    if (!m_edit.Init(m_reader, m_line)) {
        failure = m_edit.Message();
        return false;
    }
    if (dialog != nullptr) {
        // The template's face is already the fixed-pitch one: the edit shares the dialog font.
        const QFont font = TemplateFont(ToQString(dialog->fontFace), dialog->pointSize);
        setFont(font);
        m_controls = CreateTemplateControls(this, *dialog, font, font).byId;
        setFixedSize(size());
    }
    m_input = qobject_cast<QLineEdit*>(Control(res::kIdcDiffInput));
    auto* group = qobject_cast<QGroupBox*>(Control(res::kIdcDiffGroup));
    auto* current = qobject_cast<QPushButton*>(Control(res::kIdcDiffCurrent));
    auto* reset = qobject_cast<QPushButton*>(Control(res::kIdcDiffReset));
    auto* apply = qobject_cast<QPushButton*>(Control(res::kIdcDiffApply));
    auto* cancel = qobject_cast<QPushButton*>(Control(res::kIdcDiffCancel));
    // The tips hang on these controls; without them the window cannot be used.
    if (m_input == nullptr || group == nullptr || current == nullptr || reset == nullptr ||
        apply == nullptr || cancel == nullptr) {
        failure = ct::kTooltipFailed;
        return false;
    }
    SetControlTip(current, ToQString(ct::kTipCurrent));
    SetControlTip(reset, ToQString(ct::kTipReset));
    SetControlTip(apply, ToQString(ct::kTipApply));
    group->setTitle(group->title() + ToQString(m_edit.GroupSuffix()));
    reset->setEnabled(m_edit.CanReset());
    SetInput(m_edit.CurrentShort());

    connect(current, &QPushButton::clicked, this, [this] { SetInput(m_edit.CurrentShort()); });
    connect(reset, &QPushButton::clicked, this, [this] { SetInput(m_edit.UncorrectedShort()); });
    connect(apply, &QPushButton::clicked, this, &CDiffTimeDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, [this] { done(kEndCancel); });
    m_input->setFocus();
    m_input->selectAll();
    return true;
}

void CDiffTimeDlg::SetInput(const std::u16string& text) {
    m_input->setText(ToQString(text));
}

void CDiffTimeDlg::OnApply() {
    // A rejected input stays in the box for the user to mend.
    if (m_edit.Apply(FromQString(m_input->text()), FromQString(windowTitle()), Ui())) {
        done(kDiffTimeApplied);
    }
}

void CDiffTimeDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc end nothing here: only the buttons and the close box do.
    if (!SwallowDialogKeys(event)) {
        QDialog::keyPressEvent(event);
    }
}

void CDiffTimeDlg::closeEvent(QCloseEvent* event) {
    event->accept();
    done(kEndCancel);
}

void CDiffTimeDlg::reject() {}

}  // namespace tessary
