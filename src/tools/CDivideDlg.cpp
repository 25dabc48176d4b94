#include "tools/CDivideDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "display/QtAppEvent.h"
#include "logfile/Status.h"
#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "platform/Utf.h"
#include "resources/DialogTables.h"
#include "resources/QtDialogControls.h"
#include "resources/ResourceIds.h"
#include "tools/CProgressDlg.h"
#include "tools/DivideMessages.h"

namespace tessary {
namespace {

namespace dt = dividetext;

constexpr int kMsgReaderNotify = static_cast<int>(kWmApp) + 1;

PathString TrimmedPath(const QLineEdit* edit) {
    return Utf8(TrimBlanks(FromQString(edit->text())));
}

// Trailing separators go, but a root folder stays one: an empty text would name no folder.
PathString WithoutTrailingSeparator(PathString path) {
    while (path.size() > 1 && IsPathSeparator(path.back())) {
        path.pop_back();
    }
    return path;
}

}  // namespace

CDivideDlg::CDivideDlg(QWidget* parent, SettingsRecord& settings, PathString displayedPath,
                       int64_t correction)
    : QDialog(parent),
      m_settings(settings),
      m_displayedPath(std::move(displayedPath)),
      m_displayedCorrection(correction) {
    Build();
    if (m_source != nullptr && m_folder != nullptr) {
        m_source->setText(ToQString(settings.divideInpPath));
        m_folder->setText(ToQString(settings.divideOutDir));
    }
}

CDivideDlg::~CDivideDlg() {
    StoreSettings();
}

QWidget* CDivideDlg::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

QString CDivideDlg::StatusText() const {
    return m_status != nullptr ? m_status->text() : QString();
}

void CDivideDlg::Build() {
    const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kIddDivide);
    if (dialog == nullptr) {
        return;
    }
    const QFont font = ApplyTemplateFrame(this, *dialog);
    setFont(font);
    m_controls = CreateTemplateControls(this, *dialog, font, font).byId;
    setFixedSize(size());

    m_source = qobject_cast<QLineEdit*>(Control(res::kIdcDivideSource));
    m_folder = qobject_cast<QLineEdit*>(Control(res::kIdcDivideFolder));
    m_status = qobject_cast<QLabel*>(Control(res::kIdcDivideLblStat));
    const auto connectButton = [this](int id, void (CDivideDlg::*handler)()) {
        if (auto* button = qobject_cast<QPushButton*>(Control(id))) {
            connect(button, &QPushButton::clicked, this, handler);
        }
    };
    connectButton(res::kIdcDivideTakeDisplayed, &CDivideDlg::TakeDisplayed);
    connectButton(res::kIdcDivideTakeFolder, &CDivideDlg::TakeSourceFolder);
    connectButton(res::kIdcDivideBrowseSource, &CDivideDlg::BrowseSource);
    connectButton(res::kIdcDivideBrowseFolder, &CDivideDlg::BrowseFolder);
    connectButton(res::kIdcDivideRun, &CDivideDlg::RunDivide);
    if (auto* close = qobject_cast<QPushButton*>(Control(res::kIdcDivideClose))) {
        connect(close, &QPushButton::clicked, this, &QDialog::reject);
    }
    if (QWidget* take = Control(res::kIdcDivideTakeDisplayed)) {
        SetControlTip(take, ToQString(dt::kTipTakeDisplayed));
        take->setEnabled(!m_displayedPath.empty());
    }
    if (QWidget* take = Control(res::kIdcDivideTakeFolder)) {
        SetControlTip(take, ToQString(dt::kTipTakeFolder));
    }
}

void CDivideDlg::TakeDisplayed() {
    if (m_source == nullptr || m_displayedPath.empty()) {
        return;
    }
    m_source->setText(QString::fromStdString(m_displayedPath));
    if (m_displayedCorrection == 0) {
        return;
    }
    // The times the main window shows are the ones to divide by: the source is fixed with them.
    m_correction = m_displayedCorrection;
    m_source->setReadOnly(true);
    for (const int id : {res::kIdcDivideTakeDisplayed, res::kIdcDivideBrowseSource}) {
        if (QWidget* button = Control(id)) {
            button->setEnabled(false);
        }
    }
    m_status->setText(ToQString(dt::kCorrectionApplied));
}

void CDivideDlg::TakeSourceFolder() {
    if (m_source == nullptr || m_folder == nullptr) {
        return;
    }
    const PathString source = TrimmedPath(m_source);
    size_t end = source.size();
    while (end > 0 && !IsPathSeparator(source[end - 1])) {
        --end;
    }
    // A file in the root keeps the root rather than an empty folder name.
    const PathString folder = end == 0 ? PathString() : source.substr(0, end == 1 ? 1 : end - 1);
    m_folder->setText(QString::fromStdString(folder));
}

void CDivideDlg::BrowseSource() {
    if (m_source == nullptr) {
        return;
    }
    OpenFileRequest request;
    request.title = std::u16string(dt::kBrowseTitle);
    request.filter = std::u16string(dt::kBrowseFilter);
    request.defaultExtension = std::u16string(dt::kBrowseExtension);
    request.folder = TrimmedPath(m_source);
    request.mustExist = true;
    if (!Ui().AskOpenFile(request)) {
        return;
    }
    m_source->setText(QString::fromStdString(request.path));
    m_source->setFocus();
    m_source->selectAll();
}

void CDivideDlg::BrowseFolder() {
    if (m_folder == nullptr) {
        return;
    }
    PathString folder = TrimmedPath(m_folder);
    if (!folder.empty() && !IsPathSeparator(folder.back())) {
        folder.push_back(kPathSeparator);
    }
    if (!Ui().AskFolder({}, folder)) {
        return;
    }
    m_folder->setText(QString::fromStdString(WithoutTrailingSeparator(folder)));
}

void CDivideDlg::RunDivide() {
    if (m_source == nullptr || m_folder == nullptr) {
        return;
    }
    m_status->clear();
    if (!m_run.Prepare(m_source->text().toStdString(), m_folder->text().toStdString(),
                       m_correction)) {
        Ui().Warn(m_run.Outcome().message, m_run.Outcome().caption);
        return;
    }
    QWidget* runButton = Control(res::kIdcDivideRun);
    runButton->setEnabled(false);
    const auto control = [this](bool start) {
        if (!start) {
            m_run.StopPass();
            return 2;
        }
        return m_run.StartPass(this) == kStatusDone ? 1 : 3;
    };
    bool again = true;
    while (again) {
        const int code = CProgressDlg::RunPass(this, m_progress, m_run.PassTitle(),
                                               m_run.PassSubtitle(), m_run.Total(), control);
        again = m_run.EndPass(code == kProgressRefused ? -1 : code);
    }
    const DivideOutcome& outcome = m_run.Finish();
    runButton->setEnabled(true);
    m_status->setText(ToQString(outcome.statusLine));
    if (outcome.failed) {
        Ui().Warn(outcome.message, outcome.caption);
    }
}

void CDivideDlg::PostNotify(uint32_t message, uintptr_t wParam, void* lParam) {
    PostAppMessage(this, static_cast<int>(message), static_cast<intptr_t>(wParam),
                   reinterpret_cast<intptr_t>(lParam));
}

bool CDivideDlg::event(QEvent* event) {
    if (QtAppEvent::IsAppMessage(event) &&
        static_cast<const QtAppEvent*>(event)->Message() == kMsgReaderNotify) {
        OnReaderNotify(static_cast<uintptr_t>(static_cast<const QtAppEvent*>(event)->WParam()));
        return true;
    }
    return QDialog::event(event);
}

void CDivideDlg::OnReaderNotify(uintptr_t wParam) {
    // Only a pass under the running progress dialog has a live reader.
    const CTessaryData* reader = m_run.Reader();
    if (m_progress == nullptr || reader == nullptr) {
        return;
    }
    // The end finishes the output file still open before the count is shown.
    m_run.OnNotify(wParam);
    m_status->setText(ToQString(m_run.StatusText()));
    m_progress->OnProgress(wParam == kNotifyProgress ? kProgressStep : kProgressEnded,
                           static_cast<intptr_t>(reader->CurrentPosition()));
}

void CDivideDlg::keyPressEvent(QKeyEvent* event) {
    if (!SwallowDialogKeys(event)) {
        QDialog::keyPressEvent(event);
    }
}

void CDivideDlg::StoreSettings() {
    if (m_source == nullptr || m_folder == nullptr) {
        return;
    }
    m_settings.divideInpPath = TrimBlanks(FromQString(m_source->text()));
    m_settings.divideOutDir = Utf16(WithoutTrailingSeparator(TrimmedPath(m_folder)));
}

}  // namespace tessary
