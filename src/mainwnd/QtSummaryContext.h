#pragma once
// What the aggregation window's command groups see of it.
#include "mainwnd/QtPaneContext.h"

namespace tessary {

class CSummaryDlg;

class QtSummaryContext : public QtPaneContext {
public:
    explicit QtSummaryContext(CSummaryDlg& window);

    SettingsRecord& Settings() override;
    std::u16string Caption() const override;
    // The window's title heads a range copy.
    std::u16string CopyHeading() const override;
    std::u16string MenuItemText(int id) const override;

private:
    CSummaryDlg& m_window;
};

}  // namespace tessary
