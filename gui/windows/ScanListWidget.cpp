#include "gui/windows/ScanListWidget.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSortFilterProxyModel>
#include <QStyle>

#include "gui/windows/ScanModel.h"
#include "gui/windows/TextFit.h"

namespace {

// The name column is never narrower than this; a longer name widens it.
constexpr int NAME_COLUMN_WIDTH = 110;

}  // namespace

ScanListWidget::ScanListWidget(QWidget* parent)
    : QTreeView(parent), m_proxy(new QSortFilterProxyModel(this)) {
    qRegisterMetaType<ScanModel*>("ScanModel*");
    setRootIsDecorated(false);
    show();
    connect(this, &QAbstractItemView::activated, this, &ScanListWidget::on_activated);
    connect(this, &QAbstractItemView::clicked, this, &ScanListWidget::on_activated);
    connect(this, &QAbstractItemView::doubleClicked, this, &ScanListWidget::on_doubleClicked);
    m_fitNames.setSingleShot(true);
    m_fitNames.setInterval(0);
    connect(&m_fitNames, &QTimer::timeout, this, &ScanListWidget::fitNameColumn);
}

ScanListWidget::~ScanListWidget() = default;

void ScanListWidget::setScanModel(ScanModel* model) {
    m_model = model;
    m_proxy->setSourceModel(model);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    setModel(m_proxy);
    setWindowTitle(QObject::tr("Scan List"));
    setAlternatingRowColors(false);
    setSortingEnabled(false);
    setColumnWidth(ScanModel::NameColumn, NAME_COLUMN_WIDTH);
    setColumnWidth(ScanModel::SignalColumn, 100);
    setColumnWidth(ScanModel::SecurityColumn, 120);
    setColumnWidth(ScanModel::StatusColumn, 130);
    setIconSize(QSize(200, 20));
    setColumnHidden(ScanModel::SsidColumn, true);
    for (int column = ScanModel::CreatorColumn; column < ScanModel::ColumnCount; ++column)
        setColumnHidden(column, true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(model, &ScanModel::ScanListChanged, this, &ScanListWidget::ScanListChanged);
    // A model change comes as many row and cell changes; the names are measured once after them.
    for (auto changed : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, changed, &m_fitNames, qOverload<>(&QTimer::start));
    connect(model, &QAbstractItemModel::dataChanged, &m_fitNames, qOverload<>(&QTimer::start));
}

void ScanListWidget::fitNameColumn() {
    TextFit::fitColumn(this, ScanModel::NameColumn, NAME_COLUMN_WIDTH);
}

int ScanListWidget::widthForColumns() const {
    return header()->length() + 2 * frameWidth() +
           style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

void ScanListWidget::on_activated(const QModelIndex& index) {
    // Keys reach here with no current row in an empty list: there is nothing to act on.
    if (m_model == nullptr || !index.isValid()) return;
    // The proxy keeps the model's rows, so a view row is a model row.
    const int row = index.row();
    const QModelIndex modelIndex = m_model->index(row, index.column());
    emit MapKeyInfoData(m_model, modelIndex);
    emit MapNetworkData(m_model, modelIndex);
    emit EnableConnectBtn(true);

    const QString name = m_model->text(row, ScanModel::NameColumn);
    const QString ssid = m_model->text(row, ScanModel::SsidColumn);
    const QString creator = m_model->text(row, ScanModel::CreatorColumn);
    const bool configured = m_model->isConfigured(row);
    const bool checked =
        m_model->index(row, ScanModel::NameColumn).data(Qt::CheckStateRole).toInt() == Qt::Checked;

    if (configured) {
        emit EnablePropertiesBtn(true);
        emit EnableDeleteBtn(!creator.contains(QLatin1String("administrator")));
        emit EnableConnectBtn(true);
        emit EnableConnectExBtn(true);
        emit CheckConnectExBtn(checked);
    } else {
        emit EnablePropertiesBtn(false);
        emit EnableDeleteBtn(false);
    }
    // While connected to a wired network a wireless one cannot be connected as well. With no
    // current network there is no wired connection to keep.
    const bool wiredCurrent = m_model->currentRow() >= 0 && m_model->currentRowSsid().isEmpty();
    if (!ssid.isEmpty() && wiredCurrent && configured) emit EnableConnectBtn(false);
    if (ScanModel::isSeparatorText(name)) {
        emit EnablePropertiesBtn(false);
        emit EnableDeleteBtn(false);
        emit EnableConnectBtn(false);
        emit EnableConnectExBtn(false);
    }

    viewport()->update();
    if (m_contextMenuPending) {
        m_contextMenuPending = false;
        emit ShowMenu();
    }
}

void ScanListWidget::on_doubleClicked(const QModelIndex&) {
    emit ProcessConnectDlg(false);
}

void ScanListWidget::ScanListChanged(int row) {
    if (row != -1) return;
    disableRowButtons();
    clearSelection();
}

void ScanListWidget::disableRowButtons() {
    emit EnablePropertiesBtn(false);
    emit EnableConnectBtn(false);
    emit EnableDeleteBtn(false);
}

void ScanListWidget::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    const QModelIndex current = currentIndex();
    const bool currentGoes =
        current.isValid() && current.parent() == parent && current.row() >= start && current.row() <= end;
    // A single-selection view selects the next row in place of a removed current one, without an
    // activation: the buttons and the editor would still speak of the removed network. Nothing
    // stays selected instead, until the user chooses again.
    if (currentGoes) selectionModel()->clear();
    QTreeView::rowsAboutToBeRemoved(parent, start, end);
    if (currentGoes) disableRowButtons();
}

void ScanListWidget::keyPressEvent(QKeyEvent* event) {
    QTreeView::keyPressEvent(event);
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Up:
        case Qt::Key_Down:
            on_activated(currentIndex());
            break;
        case Qt::Key_Return:
            on_activated(currentIndex());
            on_doubleClicked(currentIndex());
            break;
        default:
            break;
    }
}

void ScanListWidget::mousePressEvent(QMouseEvent* event) {
    QTreeView::mousePressEvent(event);
    if (event->buttons() != Qt::RightButton) return;
    emit ClearMenu();
    m_contextMenuPending = true;
    // A right click brings no click signal of the view, so the row is activated here; off the
    // rows there is nothing to fill the menu with.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) {
        on_activated(index);
    } else {
        m_contextMenuPending = false;
    }
}
