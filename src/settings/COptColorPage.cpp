#include "settings/COptColorPage.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "resources/QtFonts.h"
#include "resources/ResourceIds.h"
#include "settings/COptionDlg.h"
#include "settings/OptionTexts.h"

namespace tessary {
namespace {

QColor ColorOf(uint32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

constexpr int kBaseRadioCount = kLastBaseClass - kFirstBaseClass + 1;

}  // namespace

QListWidget* COptColorPage::List() const {
    return qobject_cast<QListWidget*>(Control(res::kIdcColorList));
}

int COptColorPage::Selected() const {
    QListWidget* list = List();
    return list != nullptr && list->currentItem() != nullptr && list->currentItem()->isSelected()
               ? list->currentRow()
               : -1;
}

bool COptColorPage::Create() {
    if (!CTabPage::Create()) {
        return false;
    }
    QListWidget* list = List();
    auto* sample = qobject_cast<QLabel*>(Control(res::kIdcColorSample));
    if (list == nullptr || sample == nullptr) {
        return false;
    }
    list->setFont(tessary::FixedFont(res::kColorListPointTenths));
    for (const ColorItemInfo& item : kColorItems) {
        list->addItem(ToQString(item.name));
    }
    connect(list, &QListWidget::itemSelectionChanged, this, &COptColorPage::UpdateControls);
    sample->setFont(Dialog().FixedFont());
    sample->setAlignment(Qt::AlignCenter);
    sample->setAutoFillBackground(true);

    const auto onClick = [this](int id, auto handler) {
        auto* button = qobject_cast<QAbstractButton*>(Control(id));
        if (button != nullptr) {
            connect(button, &QAbstractButton::clicked, this, handler);
        }
        return button != nullptr;
    };
    bool complete = onClick(res::kIdcColorText, [this] { OnChoose(true); }) &&
                    onClick(res::kIdcColorBack, [this] { OnChoose(false); }) &&
                    onClick(res::kIdcColorNormalText, [this] { OnTakeNormal(true); }) &&
                    onClick(res::kIdcColorNormalBack, [this] { OnTakeNormal(false); }) &&
                    onClick(res::kIdcColorDefaults, [this] { OnDefaults(); }) &&
                    onClick(res::kIdcColorKeepText, [this] { OnKeep(true); }) &&
                    onClick(res::kIdcColorKeepBack, [this] { OnKeep(false); });
    // The radio buttons name the base items of classes 1-4 in list order.
    for (int i = 0; i < kBaseRadioCount && complete; ++i) {
        const int colorClass = kFirstBaseClass + i;
        complete = onClick(res::kIdcColorBaseFirst + i, [this, colorClass] { OnBase(colorClass); });
        if (auto* radio = qobject_cast<QRadioButton*>(Control(res::kIdcColorBaseFirst + i))) {
            radio->setText(ToQString(kColorItems[colorClass].name));
        }
    }
    return complete;
}

bool COptColorPage::Load() {
    Dialog().Model().LoadColors(m_colors);
    const int base = m_colors.BaseClass() - kFirstBaseClass;
    if (auto* radio = qobject_cast<QRadioButton*>(Control(res::kIdcColorBaseFirst + base))) {
        radio->setChecked(true);
    }
    QListWidget* list = List();
    if (list == nullptr || list->count() == 0) {
        return false;
    }
    list->setCurrentRow(0);
    UpdateControls();
    return true;
}

void COptColorPage::Store() {
    Dialog().Model().StoreColors(m_colors);
}

void COptColorPage::UpdateControls() {
    const ColorItemState state = m_colors.StateOf(Selected());
    const auto enable = [this](int id, bool enabled) {
        if (QWidget* control = Control(id)) {
            control->setEnabled(enabled);
        }
    };
    for (int id : {res::kIdcColorText, res::kIdcColorBack, res::kIdcColorDefaults}) {
        enable(id, state.selected);
    }
    enable(res::kIdcColorNormalText, state.takeNormal);
    enable(res::kIdcColorNormalBack, state.takeNormal);
    enable(res::kIdcColorKeepText, state.keepAllowed);
    enable(res::kIdcColorKeepBack, state.keepAllowed);
    if (auto* keep = qobject_cast<QCheckBox*>(Control(res::kIdcColorKeepText))) {
        keep->setChecked(state.keepText);
    }
    if (auto* keep = qobject_cast<QCheckBox*>(Control(res::kIdcColorKeepBack))) {
        keep->setChecked(state.keepBack);
    }
    for (int i = 0; i < kBaseRadioCount; ++i) {
        enable(res::kIdcColorBaseFirst + i, state.baseChoice);
    }
    UpdateSample();
}

void COptColorPage::UpdateSample() {
    auto* sample = qobject_cast<QLabel*>(Control(res::kIdcColorSample));
    if (sample == nullptr) {
        return;
    }
    const ColorPair colors = m_colors.SampleColors(Selected());
    QPalette palette = sample->palette();
    palette.setColor(QPalette::WindowText, ColorOf(colors.text));
    palette.setColor(QPalette::Window, ColorOf(colors.back));
    sample->setPalette(palette);
    sample->update();
}

int COptColorPage::RequireSelected() {
    const int item = Selected();
    if (item < 0) {
        Ui().Warn(res::kColorNoSelection, res::kColorCaption);
    }
    return item;
}

void COptColorPage::OnChoose(bool text) {
    const int item = RequireSelected();
    if (item < 0) {
        return;
    }
    const ColorPair& present = m_colors.Colors(item);
    uint32_t color = text ? present.text : present.back;
    std::u16string title(kColorItems[item].name);
    title += text ? res::kColorTextTitle : res::kColorBackTitle;
    Dialog().SetEndButtonsEnabled(false);
    const bool chosen = Ui().AskColor(title, color);
    Dialog().SetEndButtonsEnabled(true);
    if (!chosen) {
        return;
    }
    if (text) {
        m_colors.SetText(item, color);
    } else {
        m_colors.SetBack(item, color);
    }
    UpdateControls();
}

void COptColorPage::OnTakeNormal(bool text) {
    const int item = RequireSelected();
    if (item < 0) {
        return;
    }
    if (text) {
        m_colors.TakeNormalText(item);
    } else {
        m_colors.TakeNormalBack(item);
    }
    UpdateControls();
}

void COptColorPage::OnDefaults() {
    if (RequireSelected() < 0 ||
        Ui().Ask(res::kColorResetQuestion, res::kColorCaption) != Answer::kYes) {
        return;
    }
    m_colors.ResetAll();
    UpdateControls();
}

void COptColorPage::OnKeep(bool text) {
    const int item = Selected();
    if (item < 0) {
        return;
    }
    if (text) {
        m_colors.KeepText(item);
    } else {
        m_colors.KeepBack(item);
    }
    UpdateControls();
}

void COptColorPage::OnBase(int colorClass) {
    m_colors.SetBaseClass(colorClass);
    UpdateSample();
}

}  // namespace tessary
