#pragma once
// The call list window: every call of the loaded log in a sortable table with a filter box and
// a summary line. It is not modal and follows the main window's log: the owner hands it the
// converter after every open or reconversion. Double-click or Enter on a call asks the owner to
// open the related-call aggregation of its SETUP. The owner restores and stores its placement.
//
// The list is made on a worker thread, so the viewer stays responsive over a large log. The
// worker reads the converter's records: the owner calls Follow before anything changes them
// (a new file, a reconversion) and WaitForList before a pass rewrites their texts.
#include <QDialog>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "calls/CallInfo.h"

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace tessary {
class CTessaryCan;
struct CanPara;
}  // namespace tessary

namespace tessary::calls {

class QtCallTableModel;

class CCallListDlg : public QDialog {
    Q_OBJECT

public:
    using OpenCall = std::function<void(uint32_t setupIndex)>;

    CCallListDlg(QWidget* owner, OpenCall openCall);
    ~CCallListDlg() override;

    // A new list over the converter's records (nullptr: no log), made at once when the window
    // is shown, else when it is shown next. A list still being made for the previous state is
    // waited for first.
    void Follow(const CTessaryCan* converter);
    // Waits until no worker reads the converter's records.
    void WaitForList();
    // True while a worker makes the list.
    bool IsMaking() const { return m_worker.joinable(); }

    QTableView* View() const { return m_view; }
    QLineEdit* FilterBox() const { return m_filter; }
    QLabel* SummaryLabel() const { return m_summary; }
    QtCallTableModel* Model() const { return m_model; }
    QSortFilterProxyModel* Proxy() const { return m_proxy; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Rebuild();
    // On the user-interface thread, once the worker of `generation` has finished.
    void TakeList(uint64_t generation, std::vector<CallInfo> calls);
    void OpenRow(const QModelIndex& index);
    void UpdateSummary();

    OpenCall m_openCall;
    const CTessaryCan* m_converter = nullptr;
    bool m_stale = true;
    std::thread m_worker;
    uint64_t m_generation = 0;  // of the list being made; a result of an older one is dropped
    const CanPara* m_para = nullptr;
    QLineEdit* m_filter = nullptr;
    QTableView* m_view = nullptr;
    QLabel* m_summary = nullptr;
    QtCallTableModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
};

}  // namespace tessary::calls
