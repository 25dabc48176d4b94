#include "mainwnd/QtMainContext.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include "calls/CCallListDlg.h"
#include "display/CPaneWnd.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CSummaryDlg.h"
#include "mainwnd/QtMainMenus.h"
#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "resources/ResourceIds.h"
#include "resources/Version.h"
#include "resources/WindowTexts.h"
#include "settings/CAboutDlg.h"
#include "settings/COptionDlg.h"
#include "tools/CDiffTimeDlg.h"
#include "tools/CDivideDlg.h"
#include "tools/CPropertyDlg.h"

namespace tessary {

QtMainContext::QtMainContext(CMainDlg& window) : QtPaneContext(window), m_window(window) {}

SearchCondition* QtMainContext::Conditions() {
    return m_window.m_conditions;
}

PathString QtMainContext::LoadedPath() const {
    return m_window.LoadedPath();
}

int32_t QtMainContext::Open(const PathString& path, int lineChoice) {
    return m_window.Open(path, lineChoice);
}

int32_t QtMainContext::Reconvert() {
    return m_window.Reconvert(kLineAsk);
}

void QtMainContext::ShowHeaderOnly(const PathString& path) {
    if (m_window.m_headerViewer) {
        m_window.m_headerViewer(path);
        return;
    }
    CPropertyDlg dialog(&m_window, path);
    dialog.DoModal();
}

void QtMainContext::CloseWindow() {
    m_window.close();
}

bool QtMainContext::RefillRecentMenu() {
    return m_window.m_menus->RefillRecent(m_window.m_settings.recentFiles);
}

bool QtMainContext::RefillSearchList() {
    return m_window.RefillSearchList();
}

void QtMainContext::SelectFirstSearchItem() {
    if (m_window.m_search != nullptr && m_window.m_search->count() > 0) {
        m_window.m_search->setCurrentIndex(0);
    }
}

bool QtMainContext::SetPaneFont(int tenths) {
    return m_window.SetPaneFontPoint(tenths);
}

int QtMainContext::ShowAggregation(AggregationKind kind, std::u16string_view text,
                                   const RelatedCallStart* start) {
    // The aggregation pass rewrites record texts that the call list may still be reading.
    if (calls::CCallListDlg* list = m_window.CallList()) {
        list->WaitForList();
    }
    CSummaryDlg window(m_window, kind, text, start);
    const int code = window.DoModal();
    // The main window's panes draw from the main slot again.
    RedrawPanes();
    return code;
}

void QtMainContext::ShowProperty() {
    CPropertyDlg dialog(&m_window, Converter(), Frame() != nullptr ? &Table() : nullptr);
    dialog.DoModal();
}

void QtMainContext::ShowDivide() {
    const CTessaryCan* converter = Converter();
    CDivideDlg dialog(&m_window, m_window.m_settings,
                      converter != nullptr ? LoadedPath() : PathString(),
                      converter != nullptr ? converter->StartCorrection() : 0);
    dialog.exec();
}

void QtMainContext::ShowAbout() {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    CAboutDlg dialog(&m_window, program, res::ParseFileVersion(res::ProgramVersion().fileVersion));
    dialog.exec();
}

std::optional<int> QtMainContext::ShowOptions() {
    OptionModel model(m_window.m_settings, m_window.m_conditions);
    COptionDlg dialog(&m_window, model);
    if (dialog.DoModal() != static_cast<int>(Answer::kOk)) {
        return std::nullopt;
    }
    return dialog.ResultFlags();
}

void QtMainContext::ResetOptions() {
    OptionModel(m_window.m_settings, m_window.m_conditions).ResetAll();
}

bool QtMainContext::RedisplayTitles() {
    CPaneFrame* frame = Frame();
    DisplayLine* titleLine = frame != nullptr ? frame->Line(0) : nullptr;
    if (titleLine == nullptr) {
        return false;
    }
    // The title record's text as a conversion would write it.
    std::u16string text;
    BlockTitles(m_window.m_settings.para, text);
    if (text.size() < kTitleRecordWidth) {
        text.append(kTitleRecordWidth - text.size(), u' ');
    }
    return frame->ReplaceLineText(Converter(), titleLine, text.data(), text.size()) == 0;
}

int QtMainContext::ShowDiffTime(const MessageRecord* line) {
    CDiffTimeDlg dialog(&m_window, Converter(), line);
    return dialog.DoModal();
}

}  // namespace tessary
