#include "platform/QtUiService.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

#include "platform/FileFilter.h"
#include "platform/QtText.h"

namespace tessary {
namespace {

UiService* g_service = nullptr;

class ForwardingUi : public UiService {
public:
    Answer ShowMessage(std::u16string_view text, std::u16string_view caption, MessageIcon icon,
                       MessageButtons buttons) override {
        return Ui().ShowMessage(text, caption, icon, buttons);
    }
    bool CloseMessage(std::u16string_view captionPrefix) override {
        return Ui().CloseMessage(captionPrefix);
    }
    bool AskOpenFile(OpenFileRequest& request) override { return Ui().AskOpenFile(request); }
    bool AskFolder(std::u16string_view title, PathString& folder) override {
        return Ui().AskFolder(title, folder);
    }
    bool AskColor(std::u16string_view title, uint32_t& color) override {
        return Ui().AskColor(title, color);
    }
};

QWidget* DialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return QApplication::activeWindow();
}

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kExclamation:
            return QMessageBox::Warning;
        case MessageIcon::kQuestion:
            return QMessageBox::Question;
        case MessageIcon::kInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

struct ButtonText {
    QMessageBox::StandardButton button;
    std::u16string_view text;
    Answer answer;
};
constexpr ButtonText kButtonTexts[] = {
    {QMessageBox::Ok, u"OK", Answer::kOk},
    {QMessageBox::Cancel, u"キャンセル", Answer::kCancel},
    {QMessageBox::Yes, u"はい(&Y)", Answer::kYes},
    {QMessageBox::No, u"いいえ(&N)", Answer::kNo},
};

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::kOkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::kYesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::kYesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        default:
            return QMessageBox::Ok;
    }
}

}  // namespace

Answer QtUiService::ShowMessage(std::u16string_view text, std::u16string_view caption,
                                MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(IconOf(icon), ToQString(caption), ToQString(text), ButtonsOf(buttons),
                    DialogParent());
    for (const ButtonText& entry : kButtonTexts) {
        if (QAbstractButton* button = box.button(entry.button)) {
            button->setText(ToQString(entry.text));
        }
    }
    const int result = box.exec();
    for (const ButtonText& entry : kButtonTexts) {
        if (result == entry.button) {
            return entry.answer;
        }
    }
    return Answer::kCancel;
}

bool QtUiService::CloseMessage(std::u16string_view captionPrefix) {
    const QString prefix = ToQString(captionPrefix);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box == nullptr || !box->isVisible() || !box->windowTitle().startsWith(prefix)) {
            continue;
        }
        box->done(box->button(QMessageBox::No) != nullptr ? QMessageBox::No : QMessageBox::Cancel);
        return true;
    }
    return false;
}

bool QtUiService::AskOpenFile(OpenFileRequest& request) {
    QFileDialog dialog(DialogParent(), ToQString(request.title),
                       QString::fromStdString(request.folder));
    // The check boxes need the widget-based dialog.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, true);
    dialog.setDefaultSuffix(ToQString(request.defaultExtension));
    QStringList filters;
    for (const FileFilter& filter : ParseFileFilter(request.filter)) {
        filters << ToQString(filter.label);
    }
    dialog.setNameFilters(filters);
    std::vector<QCheckBox*> boxes;
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        int row = grid->rowCount();
        for (const FileDialogCheck& check : request.checks) {
            auto* box = new QCheckBox(ToQString(check.text), &dialog);
            box->setChecked(check.checked);
            box->setProperty("controlId", check.id);
            grid->addWidget(box, row++, 0, 1, -1);
            boxes.push_back(box);
        }
    }
    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    for (size_t i = 0; i < boxes.size(); ++i) {
        request.checks[i].checked = boxes[i]->isChecked();
    }
    if (!accepted) {
        return false;
    }
    request.path = QFileInfo(dialog.selectedFiles().front()).filePath().toStdString();
    return true;
}

bool QtUiService::AskFolder(std::u16string_view title, PathString& folder) {
    const QString chosen = QFileDialog::getExistingDirectory(DialogParent(), ToQString(title),
                                                             QString::fromStdString(folder));
    if (chosen.isEmpty()) {
        return false;
    }
    folder = chosen.toStdString();
    return true;
}

bool QtUiService::AskColor(std::u16string_view title, uint32_t& color) {
    const QColor initial(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(initial, DialogParent(), ToQString(title));
    if (!chosen.isValid()) {
        return false;
    }
    color = static_cast<uint32_t>(chosen.red()) | static_cast<uint32_t>(chosen.green()) << 8 |
            static_cast<uint32_t>(chosen.blue()) << 16;
    return true;
}

UiService& Ui() {
    static QtUiService qtService;
    return g_service != nullptr ? *g_service : qtService;
}

UiService* SetUi(UiService* service) {
    UiService* previous = g_service;
    // The forwarder installed would forward to itself.
    g_service = service == &CurrentUi() ? nullptr : service;
    return previous;
}

UiService& CurrentUi() {
    static ForwardingUi forwarding;
    return forwarding;
}

}  // namespace tessary
