#include "settings/CAboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "platform/QtText.h"
#include "resources/DialogTables.h"
#include "resources/QtDialogControls.h"
#include "resources/QtFonts.h"
#include "resources/ResourceIds.h"
#include "resources/Version.h"
#include "settings/AboutText.h"

namespace tessary {
namespace {

constexpr int kIconPixels = 32;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent, const QString& programFileName, uint32_t programVersion)
    : QDialog(parent) {
    Build();
    FillTexts(programFileName, programVersion);
}

QWidget* CAboutDlg::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

void CAboutDlg::Build() {
    const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kIddAbout);
    if (dialog == nullptr) {
        return;
    }
    const QFont font = ApplyTemplateFrame(this, *dialog);
    setFont(font);
    const DialogUnits units(font);
    setFixedSize(units.Size(dialog->cx, dialog->cy));
    for (const res::DialogControl& control : dialog->controls) {
        QWidget* widget = nullptr;
        switch (control.kind) {
            case res::ControlKind::kIcon: {
                auto* icon = new QLabel(this);
                icon->setPixmap(AppIcon().pixmap(kIconPixels, kIconPixels));
                icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                widget = icon;
                break;
            }
            case res::ControlKind::kStatic: {
                auto* label = new QLabel(ToQString(control.text), this);
                // Static texts show '&' as it is.
                label->setTextFormat(Qt::PlainText);
                widget = label;
                break;
            }
            case res::ControlKind::kDefaultButton: {
                auto* button = new QPushButton(ToQString(control.text), this);
                button->setDefault(true);
                connect(button, &QPushButton::clicked, this, &QDialog::accept);
                widget = button;
                break;
            }
            default:
                break;
        }
        if (widget == nullptr) {
            continue;
        }
        PlaceControl(widget, units.Rect(control), control.id, m_controls);
    }
}

void CAboutDlg::FillTexts(const QString& programFileName, uint32_t programVersion) {
    const res::VersionStrings& strings = res::ProgramVersion();
    auto* description = qobject_cast<QLabel*>(Control(res::kIdcAboutDescription));
    if (description != nullptr && !strings.fileDescription.empty()) {
        description->setText(ToQString(strings.fileDescription));
    }
    auto* copyright = qobject_cast<QLabel*>(Control(res::kIdcAboutCopyright));
    if (copyright != nullptr && !strings.legalCopyright.empty()) {
        copyright->setText(ToQString(strings.legalCopyright));
    }
    if (auto* version = qobject_cast<QLabel*>(Control(res::kIdcAboutVersion))) {
        version->setText(ToQString(AboutVersionText(FromQString(programFileName), programVersion)));
        QFont bold = font();
        bold.setWeight(QFont::Bold);
        version->setFont(bold);
    }
}

}  // namespace tessary
