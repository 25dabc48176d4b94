#include "settings/COptBlockPage.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "platform/QtText.h"
#include "resources/ResourceIds.h"
#include "settings/COptionDlg.h"

namespace tessary {
namespace {

constexpr QRgb kNoteColor = qRgb(255, 0, 0);

QString EditText(const QWidget* control) {
    const auto* edit = qobject_cast<const QLineEdit*>(control);
    return edit != nullptr ? edit->text() : QString();
}

void SetEditText(QWidget* control, const std::u16string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(ToQString(text));
        edit->setEnabled(true);
    }
}

}  // namespace

bool COptBlockPage::Create() {
    if (!CTabPage::Create()) {
        return false;
    }
    if (QWidget* note = Control(res::kIdcBlockWrapNote)) {
        QPalette palette = note->palette();
        palette.setColor(QPalette::WindowText, QColor(kNoteColor));
        note->setPalette(palette);
    }
    for (int block = 0; block < kBlockCount; ++block) {
        if (qobject_cast<QLineEdit*>(Control(res::kIdcBlockTitleFirst + block)) == nullptr ||
            qobject_cast<QLineEdit*>(Control(res::kIdcBlockIndentFirst + block)) == nullptr) {
            return false;
        }
    }
    return qobject_cast<QLineEdit*>(Control(res::kIdcBlockWrap)) != nullptr &&
           qobject_cast<QLineEdit*>(Control(res::kIdcBlockMargin)) != nullptr &&
           qobject_cast<QCheckBox*>(Control(res::kIdcBlockTitlesOneRow)) != nullptr;
}

bool COptBlockPage::Load() {
    const BlockValues values = Dialog().Model().LoadBlocks();
    for (int block = 0; block < kBlockCount; ++block) {
        SetEditText(Control(res::kIdcBlockTitleFirst + block), values.titles[block]);
        SetEditText(Control(res::kIdcBlockIndentFirst + block), values.indents[block]);
    }
    SetEditText(Control(res::kIdcBlockWrap), values.wrapWidth);
    SetEditText(Control(res::kIdcBlockMargin), values.margin);
    auto* oneRow = qobject_cast<QCheckBox*>(Control(res::kIdcBlockTitlesOneRow));
    if (oneRow == nullptr) {
        return false;
    }
    oneRow->setChecked(values.titlesOneRow);
    return true;
}

BlockValues COptBlockPage::Values() const {
    BlockValues values;
    for (int block = 0; block < kBlockCount; ++block) {
        values.titles[block] = FromQString(EditText(Control(res::kIdcBlockTitleFirst + block)));
        values.indents[block] = FromQString(EditText(Control(res::kIdcBlockIndentFirst + block)));
    }
    values.wrapWidth = FromQString(EditText(Control(res::kIdcBlockWrap)));
    values.margin = FromQString(EditText(Control(res::kIdcBlockMargin)));
    const auto* oneRow = qobject_cast<const QCheckBox*>(Control(res::kIdcBlockTitlesOneRow));
    values.titlesOneRow = oneRow != nullptr && oneRow->isChecked();
    return values;
}

int COptBlockPage::Store() {
    return Dialog().Model().StoreBlocks(Values());
}

}  // namespace tessary
