#include "calls/QtCallTableModel.h"

#include "calls/CallListTexts.h"
#include "logfile/LogTime.h"
#include "platform/QtText.h"

namespace tessary::calls {

void QtCallTableModel::SetCalls(std::vector<CallInfo> calls, int64_t baseTime, unsigned dateMode) {
    beginResetModel();
    m_calls = std::move(calls);
    m_baseTime = baseTime;
    m_dateMode = dateMode;
    endResetModel();
}

void QtCallTableModel::SetDateMode(unsigned dateMode) {
    if (dateMode == m_dateMode) {
        return;
    }
    m_dateMode = dateMode;
    if (!m_calls.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
    }
}

int QtCallTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_calls.size());
}

int QtCallTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString QtCallTableModel::TimeText(int64_t ms) const {
    if (ms == kNoTime) {
        return {};
    }
    char16_t buffer[kRecordTimeMaxChars + 1];
    const int length = FormatRecordTime(m_baseTime, ms, m_dateMode, buffer);
    return ToQString(std::u16string_view(buffer, length > 0 ? length : 0)).trimmed();
}

QVariant QtCallTableModel::Display(const CallInfo& call, int column) const {
    switch (column) {
        case kColumnIndex:
            return QString::number(call.setupIndex);
        case kColumnId:
            return QStringLiteral("%1").arg(call.setupId, 7, 10, QLatin1Char('0'));
        case kColumnStart:
            return TimeText(call.setupMs);
        case kColumnLine:
            return call.line == 0 ? QString() : QString::number(call.line);
        case kColumnCallRef: {
            QString text = ToQString(CallRefText(call));
            if (call.broadcast) {
                text += QStringLiteral("(一斉)");
            }
            return text;
        }
        case kColumnCalling:
            return call.callingSub.empty() ? ToQString(call.calling)
                                           : ToQString(call.calling) + QStringLiteral(" サブ=") +
                                                 ToQString(call.callingSub);
        case kColumnCalled:
            return call.calledSub.empty() ? ToQString(call.called)
                                          : ToQString(call.called) + QStringLiteral(" サブ=") +
                                                ToQString(call.calledSub);
        case kColumnBearer:
            return ToQString(call.bearer);
        case kColumnSetupChannel:
            return ToQString(call.setupChannel);
        case kColumnChannel:
            return ToQString(call.channel);
        case kColumnAlerting:
            return TimeText(call.alertingMs);
        case kColumnConnect:
            return TimeText(call.connectMs);
        case kColumnClearing:
            return TimeText(call.clearingMs);
        case kColumnDuration: {
            const int64_t ms = call.DurationMs();
            if (ms < 0) {
                return QString();
            }
            const DurationParts parts = SplitDuration(ms);
            const uint64_t hours = parts.days * 24 + parts.hours;
            return QStringLiteral("%1:%2:%3.%4")
                .arg(hours)
                .arg(parts.minutes, 2, 10, QLatin1Char('0'))
                .arg(parts.seconds, 2, 10, QLatin1Char('0'))
                .arg(parts.milliseconds, 3, 10, QLatin1Char('0'));
        }
        case kColumnResult:
            return ToQString(ResultText(call.result));
        case kColumnCause:
            return call.cause < 0 ? QString() : ToQString(call.causeText);
        case kColumnCauseFrom:
            return call.cause < 0 ? QString() : ToQString(SideText(call.causeFrom));
        case kColumnMessages:
            return QString::number(call.records.size());
        default:
            return {};
    }
}

QVariant QtCallTableModel::SortValue(const CallInfo& call, int column) const {
    // Calls without a value sort before every value.
    auto time = [](int64_t ms) {
        return QVariant(static_cast<qlonglong>(ms == kNoTime ? -1 : ms));
    };
    switch (column) {
        case kColumnIndex:
            return static_cast<qlonglong>(call.setupIndex);
        case kColumnId:
            return static_cast<qlonglong>(call.setupId);
        case kColumnStart:
            return time(call.setupMs);
        case kColumnLine:
            return static_cast<int>(call.line);
        case kColumnCallRef:
            return static_cast<qlonglong>(call.callRef) + (call.incoming ? (1LL << 32) : 0);
        case kColumnAlerting:
            return time(call.alertingMs);
        case kColumnConnect:
            return time(call.connectMs);
        case kColumnClearing:
            return time(call.clearingMs);
        case kColumnDuration:
            return static_cast<qlonglong>(call.DurationMs());
        case kColumnResult:
            return static_cast<int>(call.result);
        case kColumnCause:
            return call.cause;
        case kColumnMessages:
            return static_cast<qlonglong>(call.records.size());
        default:
            return Display(call, column);
    }
}

QVariant QtCallTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount()) {
        return {};
    }
    const CallInfo& call = m_calls[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return Display(call, index.column());
        case kSortRole:
            return SortValue(call, index.column());
        case kSetupIndexRole:
            return static_cast<qlonglong>(call.setupIndex);
        case Qt::TextAlignmentRole:
            if (index.column() == kColumnIndex || index.column() == kColumnDuration ||
                index.column() == kColumnMessages) {
                return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
            }
            return {};
        default:
            return {};
    }
}

QVariant QtCallTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= kColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return ToQString(kColumnTitles[section]);
}

}  // namespace tessary::calls
