#pragma once
// What the aggregation window's command groups see of it.
#include "mainwnd/QtPaneContext.h"

namespace tessary {

class CSummaryDlg;

class QtSummaryContext : public QtPaneContext {
public:
    explicit QtSummaryContext(CSummaryDlg& window) : m_window(window) {}

    SettingsRecord& Settings() override;
    CTessaryCan* Converter() const override;
    std::u16string Caption() const override;
    // The window's title heads a range copy.
    std::u16string CopyHeading() const override;
    void SetStatusText(int pane, std::u16string_view text) override;
    void ShowStatusNow(std::u16string_view text) override;
    int ContextPane() const override;
    int32_t CurrentLine() const override;
    std::u16string MenuItemText(int id) const override;

protected:
    CPaneFrame* Frame() const override;
    QWidget* Control(int id) const override;

private:
    CSummaryDlg& m_window;
};

}  // namespace tessary
