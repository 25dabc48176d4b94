#include "calls/CCallListDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "calls/CallList.h"
#include "calls/CallListTexts.h"
#include "calls/QtCallTableModel.h"
#include "decode/CTessaryCan.h"
#include "decode/CanPara.h"
#include "platform/QtText.h"
#include "resources/QtFonts.h"

namespace tessary::calls {

namespace {

unsigned DateModeOf(const CanPara* para) {
    return para != nullptr ? para->Flag[0] & kFlag0DateFormatMask : 0;
}

}  // namespace

CCallListDlg::CCallListDlg(QWidget* owner, OpenCall openCall)
    : QDialog(owner, Qt::Window), m_openCall(std::move(openCall)) {
    setWindowTitle(ToQString(kCallListCaption));
    setWindowIcon(AppIcon());
    setModal(false);
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    auto* filterRow = new QHBoxLayout;
    auto* filterLabel = new QLabel(ToQString(kFilterLabel), this);
    m_filter = new QLineEdit(this);
    m_filter->setClearButtonEnabled(true);
    filterLabel->setBuddy(m_filter);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    layout->addLayout(filterRow);

    m_model = new QtCallTableModel(this);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(QtCallTableModel::kSortRole);
    m_proxy->setFilterKeyColumn(-1);  // a row passes when any column holds the text
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);

    m_view = new QTableView(this);
    m_view->setModel(m_proxy);
    // The calls come in the order of their SETUPs; they are sorted only once a header is
    // clicked, so a new list costs no sort.
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->setSortingEnabled(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setAlternatingRowColors(true);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->installEventFilter(this);
    layout->addWidget(m_view, 1);

    m_summary = new QLabel(this);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_summary);

    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_proxy->setFilterFixedString(text);
        UpdateSummary();
    });
    connect(m_view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { OpenRow(index); });
    resize(1100, 480);
    UpdateSummary();
}

CCallListDlg::~CCallListDlg() {
    WaitForList();
}

void CCallListDlg::WaitForList() {
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

void CCallListDlg::Follow(const CTessaryCan* converter) {
    WaitForList();
    m_converter = converter;
    m_stale = true;
    if (isVisible()) {
        Rebuild();
    }
}

void CCallListDlg::showEvent(QShowEvent* event) {
    if (m_stale) {
        Rebuild();
    }
    QDialog::showEvent(event);
}

void CCallListDlg::Rebuild() {
    WaitForList();
    m_stale = false;
    const uint64_t generation = ++m_generation;
    const CTessaryCan* converter = m_converter;
    m_para = converter != nullptr ? converter->Para() : nullptr;
    m_model->SetCalls({}, converter != nullptr ? converter->BaseTime() : 0, DateModeOf(m_para));
    if (converter == nullptr) {
        UpdateSummary();
        return;
    }
    m_summary->setText(ToQString(kMakingText));
    m_worker = std::thread([this, converter, generation] {
        std::vector<CallInfo> calls = BuildCallList(*converter);
        // Handed over through the event queue; dropped with the window if it is gone.
        QMetaObject::invokeMethod(
            this,
            [this, generation, list = std::move(calls)]() mutable {
                TakeList(generation, std::move(list));
            },
            Qt::QueuedConnection);
    });
}

void CCallListDlg::TakeList(uint64_t generation, std::vector<CallInfo> calls) {
    if (generation != m_generation || m_converter == nullptr) {
        return;  // made for a state the window has left
    }
    WaitForList();
    m_model->SetCalls(std::move(calls), m_converter->BaseTime(), DateModeOf(m_para));
    // The line column only for the lines of a bulk log.
    const std::vector<CallInfo>& list = m_model->Calls();
    m_view->setColumnHidden(
        kColumnLine,
        std::all_of(list.begin(), list.end(), [](const CallInfo& c) { return c.line == 0; }));
    m_view->resizeColumnsToContents();
    UpdateSummary();
}

void CCallListDlg::UpdateSummary() {
    if (m_para == nullptr) {
        m_summary->setText(ToQString(kNoLogText));
        return;
    }
    QString text = ToQString(SummaryText(m_model->Calls()));
    if (m_proxy->rowCount() != m_model->rowCount()) {
        text += QStringLiteral("  (表示=%1)").arg(m_proxy->rowCount());
    }
    m_summary->setText(text);
}

void CCallListDlg::OpenRow(const QModelIndex& index) {
    if (!index.isValid() || !m_openCall) {
        return;
    }
    const QVariant setup = m_proxy->data(index, QtCallTableModel::kSetupIndexRole);
    m_openCall(static_cast<uint32_t>(setup.toLongLong()));
}

bool CCallListDlg::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        // The date format may have changed in the main window meanwhile.
        m_model->SetDateMode(DateModeOf(m_para));
    }
    return QDialog::event(event);
}

bool CCallListDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            OpenRow(m_view->currentIndex());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CCallListDlg::keyPressEvent(QKeyEvent* event) {
    // Enter opens a call, it never closes the list.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tessary::calls
