#include "resources/QtDialogControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <algorithm>

#include "platform/QtText.h"
#include "resources/MenuTables.h"
#include "resources/MenuText.h"
#include "resources/QtFonts.h"
#include "resources/ResourceIds.h"

namespace tessary {
namespace {

constexpr int kTooltipDelayMs = 32767;
// The combo box's edit field is as high as an edit; the template's height includes its list.
constexpr int kComboEditHeight = 13;

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    m_baseX = std::max(1, metrics.averageCharWidth());
    m_baseY = std::max(1, metrics.height());
}

void PlaceControl(QWidget* widget, const QRect& rect, int id, std::map<int, QWidget*>& byId) {
    widget->setGeometry(rect);
    widget->setProperty("controlId", id);
    if (id > 0) {
        byId[id] = widget;
    }
}

QFont ApplyTemplateFrame(QDialog* window, const res::DialogTemplate& dialog) {
    window->setWindowTitle(ToQString(dialog.caption));
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    window->setModal(true);
    return TemplateFont(ToQString(dialog.fontFace), dialog.pointSize);
}

TemplateControls CreateTemplateControls(QWidget* client, const res::DialogTemplate& dialog,
                                        const QFont& dialogFont, const QFont& fixedFont) {
    TemplateControls created;
    const DialogUnits units(dialogFont);
    client->setMinimumSize(units.Size(dialog.cx, dialog.cy));
    client->resize(client->minimumSize());
    for (const res::DialogControl& control : dialog.controls) {
        QRect rect = units.Rect(control);
        QWidget* widget = nullptr;
        switch (control.kind) {
            case res::ControlKind::kGroupBox:
                widget = new QGroupBox(ToQString(control.text), client);
                break;
            case res::ControlKind::kButton:
            case res::ControlKind::kDefaultButton: {
                auto* button = new QPushButton(ToQString(control.text), client);
                button->setAutoDefault(false);
                widget = button;
                break;
            }
            case res::ControlKind::kEdit:
            case res::ControlKind::kReadOnlyEdit: {
                auto* edit = new QLineEdit(client);
                edit->setReadOnly(control.kind == res::ControlKind::kReadOnlyEdit);
                edit->setFont(fixedFont);
                widget = edit;
                break;
            }
            case res::ControlKind::kComboBox:
                created.search = new QComboBox(client);
                created.search->setEditable(true);
                created.search->setInsertPolicy(QComboBox::NoInsert);
                // What is typed is what is searched: no completion from the history list.
                created.search->setCompleter(nullptr);
                created.search->setFont(fixedFont);
                rect.setHeight(units.Size(0, kComboEditHeight).height());
                widget = created.search;
                break;
            case res::ControlKind::kStatic:
                if (control.id == res::kIdcLegend) {
                    created.legend = new QLabel(client);
                    widget = created.legend;
                } else {
                    auto* label = new QLabel(ToQString(control.text), client);
                    label->setTextFormat(Qt::PlainText);
                    widget = label;
                }
                break;
            case res::ControlKind::kCheckBox:
                widget = new QCheckBox(ToQString(control.text), client);
                break;
            case res::ControlKind::kRadioButton:
                widget = new QRadioButton(ToQString(control.text), client);
                break;
            case res::ControlKind::kListBox:
                widget = new QListWidget(client);
                break;
            case res::ControlKind::kTabControl:
                widget = new QTabWidget(client);
                break;
            default:
                break;
        }
        if (widget == nullptr) {
            continue;
        }
        PlaceControl(widget, rect, control.id, created.byId);
        if (control.kind == res::ControlKind::kGroupBox) {
            widget->lower();
        }
    }
    return created;
}

QStatusBar* CreateStatusPanes(QWidget* parent, const QFont& font, int charWidth,
                              QLabel* (&panes)[res::kStatusPaneCount]) {
    auto* bar = new QStatusBar(parent);
    bar->setObjectName(QStringLiteral("statusBar1100"));
    bar->setFont(font);
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < res::kStatusPaneCount; ++i) {
        const res::StatusPane& pane = res::kStatusPanes[i];
        auto* label = new QLabel(bar);
        label->setFont(font);
        SetControlTip(label, ToQString(pane.tooltip));
        if (pane.width == 0) {
            bar->addWidget(label, 1);
        } else {
            label->setFixedWidth(charWidth * (pane.width + 1));
            bar->addPermanentWidget(label);
        }
        panes[i] = label;
    }
    return bar;
}

bool SetMenuTooltips(const std::map<int, QWidget*>& controls,
                     std::span<const res::MenuTooltip> tooltips) {
    for (const res::MenuTooltip& entry : tooltips) {
        const auto control = controls.find(entry.control);
        const std::u16string_view text = res::MenuItemText(entry.menu, entry.command);
        if (control == controls.end() || text.empty()) {
            return false;
        }
        SetControlTip(control->second, ToQString(res::TooltipFromMenuText(text)));
    }
    return true;
}

bool HandleDialogKey(QKeyEvent* event, QWidget* focus, const std::map<int, QWidget*>& controls,
                     const std::function<void(int command)>& execute) {
    const auto control = [&](int id) {
        const auto found = controls.find(id);
        return found != controls.end() ? found->second : nullptr;
    };
    switch (event->key()) {
        case Qt::Key_Escape:
            event->accept();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (focus != nullptr && focus == control(res::kIdcLineNumber)) {
                execute(res::kIdcGoLine);
            } else if (focus != nullptr && focus == control(res::kIdcIndexNumber)) {
                execute(res::kIdcGoIndex);
            } else if (auto* button = qobject_cast<QPushButton*>(focus)) {
                button->click();
            }
            event->accept();
            return true;
        default:
            return false;
    }
}

bool SwallowDialogKeys(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return true;
        default:
            return false;
    }
}

QString StatusPaneText(QLabel* const (&panes)[res::kStatusPaneCount], int pane) {
    return pane >= 0 && pane < res::kStatusPaneCount && panes[pane] != nullptr ? panes[pane]->text()
                                                                               : QString();
}

void SetStatusPaneText(QLabel* const (&panes)[res::kStatusPaneCount], int pane,
                       std::u16string_view text) {
    if (pane < 0 || pane >= res::kStatusPaneCount || panes[pane] == nullptr) {
        return;
    }
    const QString value = ToQString(text);
    if (panes[pane]->text() != value) {
        panes[pane]->setText(value);
    }
}

void SetControlTip(QWidget* control, const QString& text) {
    control->setToolTip(text);
    control->setToolTipDuration(kTooltipDelayMs);
}

}  // namespace tessary
