#pragma once
// The call list as a Qt table model: one row per call, the columns of CallListTexts. The display
// role gives the texts; the sort role gives numbers for indices, times and durations, so that
// sorting by a header click orders them by value.
#include <QAbstractTableModel>
#include <vector>

#include "calls/CallInfo.h"

namespace tessary::calls {

class QtCallTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kSortRole = Qt::UserRole;
    // The SETUP's record index of a row.
    static constexpr int kSetupIndexRole = Qt::UserRole + 1;

    explicit QtCallTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // A new list (`baseTime` and `dateMode` for the time texts).
    void SetCalls(std::vector<CallInfo> calls, int64_t baseTime, unsigned dateMode);
    // The time texts in another date format.
    void SetDateMode(unsigned dateMode);
    const std::vector<CallInfo>& Calls() const { return m_calls; }
    unsigned DateMode() const { return m_dateMode; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString TimeText(int64_t ms) const;
    QVariant Display(const CallInfo& call, int column) const;
    QVariant SortValue(const CallInfo& call, int column) const;

    std::vector<CallInfo> m_calls;
    int64_t m_baseTime = 0;
    unsigned m_dateMode = 0;
};

}  // namespace tessary::calls
