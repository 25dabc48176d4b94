#include "tools/CProgressDlg.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimerEvent>

#include "display/QtAppEvent.h"
#include "platform/DigitGroup.h"
#include "platform/FormatText.h"
#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "resources/DialogTables.h"
#include "resources/QtDialogControls.h"
#include "resources/QtFonts.h"
#include "resources/ResourceIds.h"
#include "resources/WindowTexts.h"

namespace tessary {
namespace {

QString FromTerminated(intptr_t lParam) {
    const auto* text = reinterpret_cast<const char16_t*>(lParam);
    return text != nullptr ? ToQString(text) : QString();
}

// A control's rectangle in pixels from dialog units of the template's font.
QRect PixelRect(const res::DialogControl& control, int baseX, int baseY) {
    return QRect(control.x * baseX / 4, control.y * baseY / 8, control.cx * baseX / 4,
                 control.cy * baseY / 8);
}

}  // namespace

CProgressDlg::CProgressDlg(QWidget* initiator) : QDialog(initiator) {
    Build();
}

CProgressDlg::~CProgressDlg() {
    if (m_timer != 0) {
        killTimer(m_timer);
    }
}

void CProgressDlg::Build() {
    const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kIddProgress);
    const QFont font = TemplateFont(ToQString(dialog->fontFace), dialog->pointSize);
    setFont(font);
    const QFontMetrics metrics(font);
    const int baseX = std::max(1, metrics.averageCharWidth());
    const int baseY = std::max(1, metrics.height());
    // No close box: the Close item of the system menu is disabled.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    setFixedSize(dialog->cx * baseX / 4, dialog->cy * baseY / 8);
    for (const res::DialogControl& control : dialog->controls) {
        const QRect rect = PixelRect(control, baseX, baseY);
        QWidget* widget = nullptr;
        switch (control.id) {
            case res::kIdcProgGroup:
                widget = m_group = new QGroupBox(this);
                break;
            case res::kIdcProgLblStat:
                widget = m_status = new QLabel(this);
                break;
            case res::kIdcProgBar:
                widget = m_bar = new QProgressBar(this);
                m_bar->setTextVisible(false);
                break;
            case res::kIdcProgLblMsg:
                widget = m_message = new QLabel(this);
                break;
            case res::kIdcProgStop:
                widget = m_stop = new QPushButton(ToQString(control.text), this);
                // Enter does nothing in this dialog, not even on the focused button.
                m_stop->setAutoDefault(false);
                m_stop->setDefault(false);
                connect(m_stop, &QPushButton::clicked, this, &CProgressDlg::Abort);
                break;
            default:
                break;
        }
        if (widget != nullptr) {
            widget->setGeometry(rect);
            widget->setProperty("controlId", control.id);
        }
    }
    m_group->lower();
}

std::u16string CProgressDlg::TitleOrDefault() const {
    return m_title.empty() ? std::u16string(res::kProgressDefaultTitle) : m_title;
}

int CProgressDlg::RunPass(QWidget* initiator, CProgressDlg*& running, std::u16string_view title,
                          std::u16string_view subtitle, uint32_t total, const Control& control) {
    CProgressDlg dialog(initiator);
    running = &dialog;
    const int code = dialog.Run(title, subtitle, total, control);
    running = nullptr;
    return code;
}

int CProgressDlg::Run(std::u16string_view title, std::u16string_view subtitle, uint32_t total,
                      Control control) {
    if (title.empty()) {
        return kProgressRefused;
    }
    m_title.assign(title);
    m_total = total;
    m_divisor = total >= 0x80000000u ? 2 : 1;
    m_control = std::move(control);
    m_abortState = 0;
    m_ending = false;
    m_stop->setEnabled(true);

    setWindowTitle(ToQString(TitleOrDefault() + std::u16string(res::kProgressRunning)));
    m_message->setText(ToQString(subtitle));
    m_status->clear();
    m_bar->setRange(0, static_cast<int>(m_total / m_divisor));
    m_bar->setValue(0);

    const int started = m_control ? m_control(true) : kProgressRefused;
    if (started != 1) {
        return started;
    }
    return exec();
}

void CProgressDlg::EndWith(int code) {
    if (m_timer != 0) {
        killTimer(m_timer);
        m_timer = 0;
    }
    m_ending = true;
    done(code);
}

intptr_t CProgressDlg::OnProgress(intptr_t wParam, intptr_t lParam) {
    switch (wParam) {
        case kProgressStatusText:
            m_status->setText(FromTerminated(lParam));
            return 0;
        case kProgressMessageText:
            m_message->setText(FromTerminated(lParam));
            return 0;
        case kProgressEnded:
        case kProgressStep:
            break;
        default:
            return -1;
    }
    const uint64_t done = std::min<uint64_t>(static_cast<uint64_t>(lParam), m_total);
    // An empty job counts as complete rather than dividing by zero.
    const auto percent = static_cast<unsigned>(m_total != 0 ? done * 100 / m_total : 100);
    const QString caption =
        ToQString(FormatText(res::kProgressPercentFormat, TitleOrDefault(), percent));
    if (windowTitle() != caption) {
        setWindowTitle(caption);
    }
    const QString status =
        ToQString(GroupedDecimal16(done) + std::u16string(res::kProgressBytesSeparator) +
                  GroupedDecimal16(m_total) + std::u16string(res::kProgressBytesSuffix));
    if (m_status->text() != status) {
        m_status->setText(status);
    }
    const int position = static_cast<int>(done / m_divisor);
    if (m_bar->value() != position) {
        m_bar->setValue(position);
    }
    if (wParam != kProgressEnded || m_ending) {
        return 0;
    }
    if (m_abortState == 1) {
        EndWith(kProgressAborted);
        return 0;
    }
    if (m_abortState == -1) {
        Ui().CloseMessage(res::kAbortCaption);
    }
    m_stop->setEnabled(false);
    m_timer = startTimer(res::kProgressCloseDelayMs);
    if (m_timer == 0) {
        EndWith(kProgressDone);
    }
    return 0;
}

void CProgressDlg::Abort() {
    if (m_abortState != 0 || m_ending || !m_stop->isEnabled()) {
        return;
    }
    m_abortState = -1;
    const Answer answer =
        Ui().ShowMessage(TitleOrDefault() + std::u16string(res::kAbortQuestion), res::kAbortCaption,
                         MessageIcon::kQuestion, MessageButtons::kYesNo);
    if (m_ending) {
        return;
    }
    // The job may have ended while the question was open: then the box was closed as No.
    if (answer != Answer::kYes || m_timer != 0) {
        m_abortState = 0;
        return;
    }
    m_abortState = 1;
    m_stop->setEnabled(false);
    if (m_control && m_control(false) == 1) {
        EndWith(kProgressAborted);
    }
}

bool CProgressDlg::event(QEvent* event) {
    if (event->type() == QtAppEvent::TypeOf(kMsgProgress)) {
        const auto* message = static_cast<QtAppEvent*>(event);
        OnProgress(message->WParam(), message->LParam());
        return true;
    }
    return QDialog::event(event);
}

void CProgressDlg::keyPressEvent(QKeyEvent* event) {
    if (!SwallowDialogKeys(event)) {
        QDialog::keyPressEvent(event);
    }
}

void CProgressDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (!m_ending) {
        Abort();
    }
}

void CProgressDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer) {
        QDialog::timerEvent(event);
        return;
    }
    EndWith(m_abortState == 1 ? kProgressAborted : kProgressDone);
}

void CProgressDlg::reject() {}

void CProgressDlg::accept() {}

QString CProgressDlg::StatusText() const {
    return m_status->text();
}

QString CProgressDlg::MessageText() const {
    return m_message->text();
}

int CProgressDlg::BarMaximum() const {
    return m_bar->maximum();
}

int CProgressDlg::BarValue() const {
    return m_bar->value();
}

bool CProgressDlg::StopEnabled() const {
    return m_stop->isEnabled();
}

}  // namespace tessary
