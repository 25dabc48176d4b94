#include "settings/COptMarkPage.h"

#include <QComboBox>
#include <QLineEdit>

#include "platform/QtText.h"
#include "resources/QtDialogControls.h"
#include "resources/ResourceIds.h"
#include "settings/COptionDlg.h"
#include "settings/OptionTexts.h"

namespace tessary {
namespace {

int RowControl(int rule, int first) {
    return first + rule * res::kMarkRowStride;
}

}  // namespace

QComboBox* COptMarkPage::SearchBox(int rule) const {
    return qobject_cast<QComboBox*>(Control(RowControl(rule, res::kIdcMarkSearch)));
}

QString COptMarkPage::Text(int id) const {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) {
        return edit->text();
    }
    return {};
}

bool COptMarkPage::Create() {
    if (!CTabPage::Create()) {
        return false;
    }
    const std::vector<std::u16string> entries = Dialog().Model().SearchEntries();
    for (int rule = 0; rule < kMarkRuleCount; ++rule) {
        QComboBox* box = SearchBox(rule);
        QWidget* mark = Control(RowControl(rule, res::kIdcMarkText));
        QWidget* blocks = Control(RowControl(rule, res::kIdcMarkBlocks));
        if (box == nullptr || mark == nullptr || blocks == nullptr) {
            return false;
        }
        for (const std::u16string& entry : entries) {
            box->addItem(ToQString(entry));
        }
        box->setEditText(QString());
        SetControlTip(box, ToQString(res::kMarkHistoryTip));
        connect(box, &QComboBox::activated, this, [this, box](int index) { OnChosen(box, index); });
        for (QWidget* control : {mark, static_cast<QWidget*>(box), blocks}) {
            control->setEnabled(false);
        }
    }
    return true;
}

bool COptMarkPage::Load() {
    for (int rule = 0; rule < kMarkRuleCount; ++rule) {
        const MarkRow row = Dialog().Model().LoadMarkRow(rule);
        auto* mark = qobject_cast<QLineEdit*>(Control(RowControl(rule, res::kIdcMarkText)));
        auto* blocks = qobject_cast<QLineEdit*>(Control(RowControl(rule, res::kIdcMarkBlocks)));
        QComboBox* box = SearchBox(rule);
        if (mark == nullptr || blocks == nullptr || box == nullptr) {
            return false;
        }
        mark->setText(ToQString(row.mark));
        box->setEditText(ToQString(row.pattern));
        blocks->setText(ToQString(row.blocks));
        for (QWidget* control : {static_cast<QWidget*>(mark), static_cast<QWidget*>(box),
                                 static_cast<QWidget*>(blocks)}) {
            control->setEnabled(true);
        }
    }
    return true;
}

std::vector<int> COptMarkPage::Store(int markWidth) {
    std::array<MarkRow, kMarkRuleCount> rows;
    for (int rule = 0; rule < kMarkRuleCount; ++rule) {
        QComboBox* box = SearchBox(rule);
        rows[rule].mark = FromQString(Text(RowControl(rule, res::kIdcMarkText)));
        rows[rule].pattern = box != nullptr ? FromQString(box->currentText()) : std::u16string();
        rows[rule].blocks = FromQString(Text(RowControl(rule, res::kIdcMarkBlocks)));
    }
    return Dialog().Model().StoreMarkRows(rows, markWidth);
}

// The placeholder is no search text: choosing it leaves the edit field empty.
void COptMarkPage::OnChosen(QComboBox* box, int index) {
    const QString placeholder = ToQString(res::kMarkNoHistory);
    if (box->count() != 1 || index != 0 || box->itemText(0) != placeholder) {
        return;
    }
    box->clear();
    box->addItem(placeholder);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
}

}  // namespace tessary
