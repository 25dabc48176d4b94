#include "settings/COptionDlg.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QToolTip>
#include <algorithm>

#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "resources/QtDialogControls.h"
#include "resources/QtFonts.h"
#include "resources/ResourceIds.h"
#include "settings/COptBlockPage.h"
#include "settings/COptColorPage.h"
#include "settings/COptMarkPage.h"
#include "settings/CTabPage.h"
#include "settings/OptionTexts.h"

namespace tessary {
namespace {

constexpr int kTooltipWidthChars = 80;

// The pages in tab order.
struct PageRow {
    int templateId;
    std::u16string_view label;
};
constexpr PageRow kPageRows[] = {
    {res::kIddOptMark, u"強調表示"},
    {res::kIddOptColor, u"文字色"},
    {res::kIddOptBlock, u"ブロック情報"},
};

constexpr int kEndOk = static_cast<int>(Answer::kOk);
constexpr int kEndCancel = static_cast<int>(Answer::kCancel);
constexpr int kEndFailed = -1;

}  // namespace

COptionDlg::COptionDlg(QWidget* owner, OptionModel& model) : QDialog(owner), m_model(model) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
}

COptionDlg::~COptionDlg() = default;

QWidget* COptionDlg::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

bool COptionDlg::Initialize(std::u16string* failure) {
    if (m_initialized) {
        return true;
    }
    const auto fail = [failure](std::u16string_view message) {
        if (failure != nullptr) {
            *failure = message;
        }
        return false;
    };
    const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kIddOption);
    if (dialog == nullptr || !CreateFonts()) {
        return fail(res::kOptionFontFailed);
    }
    setWindowTitle(ToQString(dialog->caption));
    const TemplateControls created =
        CreateTemplateControls(this, *dialog, m_dialogFont, m_fixedFont);
    m_controls = created.byId;
    setFixedSize(size());
    // Tips stay up as long as a tip may and wrap at 80 characters of the tip font.
    if (kTooltipWidthChars * QFontMetrics(QToolTip::font()).averageCharWidth() <= 0) {
        return fail(res::kOptionTooltipFailed);
    }
    m_tabs = qobject_cast<QTabWidget*>(Control(res::kIdcOptionTab));
    if (m_tabs == nullptr || !CreatePages()) {
        return fail(res::kOptionPageFailed);
    }
    if (!LoadPages()) {
        return fail(res::kOptionLoadFailed);
    }
    const auto connectButton = [this](int id, void (COptionDlg::*handler)()) {
        if (auto* button = qobject_cast<QPushButton*>(Control(id))) {
            connect(button, &QPushButton::clicked, this, handler);
        }
    };
    connectButton(res::kIdcOptionApply, &COptionDlg::OnApply);
    connectButton(res::kIdcOptionCancel, &COptionDlg::OnCancel);
    connectButton(res::kIdcOptionReset, &COptionDlg::OnResetAll);
    connect(m_tabs, &QTabWidget::currentChanged, this, &COptionDlg::OnTabChanged);
    m_initialized = true;
    return true;
}

int COptionDlg::DoModal() {
    std::u16string failure;
    if (!Initialize(&failure)) {
        Ui().Warn(failure, FromQString(windowTitle()));
        return kEndFailed;
    }
    return exec();
}

bool COptionDlg::CreateFonts() {
    const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kIddOption);
    m_dialogFont = TemplateFont(ToQString(dialog->fontFace), dialog->pointSize);
    setFont(m_dialogFont);
    // The fixed-pitch font takes the dialog font's measured size.
    const int tenths = QFontMetrics(m_dialogFont).height() * 720 / std::max(1, logicalDpiY());
    if (tenths <= 0) {
        return false;
    }
    m_boldFont = m_dialogFont;
    m_boldFont.setWeight(QFont::Bold);
    m_fixedFont = tessary::FixedFont(tenths);
    return QFontMetrics(m_fixedFont).height() > 0;
}

bool COptionDlg::CreatePages() {
    m_markPage = new COptMarkPage(*this, kPageRows[0].templateId, m_tabs);
    m_colorPage = new COptColorPage(*this, kPageRows[1].templateId, m_tabs);
    m_blockPage = new COptBlockPage(*this, kPageRows[2].templateId, m_tabs);
    m_pages[0] = m_markPage;
    m_pages[1] = m_colorPage;
    m_pages[2] = m_blockPage;
    for (int i = 0; i < 3; ++i) {
        if (!m_pages[i]->Create()) {
            return false;
        }
        m_tabs->addTab(m_pages[i], ToQString(kPageRows[i].label));
        m_pages[i]->setEnabled(i == m_currentTab);
    }
    m_tabs->setCurrentIndex(m_currentTab);
    return true;
}

bool COptionDlg::LoadPages() {
    return m_markPage->Load() && m_colorPage->Load() && m_blockPage->Load();
}

void COptionDlg::SelectTab(int index) {
    if (index != m_tabs->currentIndex()) {
        m_tabs->setCurrentIndex(index);  // OnTabChanged follows
    }
}

void COptionDlg::OnTabChanged(int index) {
    if (index < 0 || index >= 3) {
        return;
    }
    m_pages[m_currentTab]->setEnabled(false);
    m_pages[index]->setEnabled(true);
    m_currentTab = index;
}

void COptionDlg::SetEndButtonsEnabled(bool enabled) {
    for (int id : {res::kIdcOptionApply, res::kIdcOptionCancel}) {
        if (QWidget* button = Control(id)) {
            button->setEnabled(enabled);
        }
    }
}

void COptionDlg::OnApply() {
    // Rules are stored one by one: those that compiled stay stored even when another failed.
    const std::vector<int> failed = m_markPage->Store(m_model.MarginOf(m_blockPage->Values()));
    if (!failed.empty()) {
        SelectTab(0);
        Ui().Warn(MarkFailureText(failed), res::kOptionApplyCaption);
        return;
    }
    m_colorPage->Store();
    m_resultFlags |= m_blockPage->Store();
    done(kEndOk);
}

void COptionDlg::OnCancel() {
    done(kEndCancel);
}

void COptionDlg::OnResetAll() {
    if (Ui().Ask(res::kOptionResetQuestion, res::kOptionResetCaption) != Answer::kYes) {
        return;
    }
    m_resultFlags = kOptionResetAll;
    done(kEndOk);
}

void COptionDlg::keyPressEvent(QKeyEvent* event) {
    if (IsDialogEndKey(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void COptionDlg::closeEvent(QCloseEvent* event) {
    event->accept();
    done(kEndCancel);
}

void COptionDlg::reject() {}

}  // namespace tessary
