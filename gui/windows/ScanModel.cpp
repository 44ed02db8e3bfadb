#include "gui/windows/ScanModel.h"

#include <QFont>
#include <QIcon>

#include "gui/client/ClientLog.h"
#include "gui/client/SecurityTables.h"
#include "gui/windows/AutoModeFlag.h"
#include "gui/windows/SecurityLabels.h"
#include "gui/windows/WindowResources.h"

namespace {

const QString SEPARATOR_MARK = QStringLiteral("------");
const QString SEARCHING_FOR_ADAPTER = QStringLiteral("Searching for adapter");

QString signalIconPath(int level, bool wired) {
    switch (level) {
        case 1:
            return QStringLiteral(":/Icons/Resources/VeryLow.png");
        case 2:
            return QStringLiteral(":/Icons/Resources/Low.png");
        case 3:
            return QStringLiteral(":/Icons/Resources/Good.png");
        case 4:
            return QStringLiteral(":/Icons/Resources/VeryGood.png");
        case 0:
            return wired ? QStringLiteral(":/Icons/Resources/Wired.png")
                         : QStringLiteral(":/Icons/Resources/Empty.png");
        case 5:
            return wired ? QStringLiteral(":/Icons/Resources/Wired.png")
                         : QStringLiteral(":/Icons/Resources/Excellent.png");
        default:
            return QString();
    }
}

}  // namespace

ScanModel::ScanModel(QObject* parent) : QStandardItemModel(0, ColumnCount, parent) {
    initWindowResources();
    setHeaderData(NameColumn, Qt::Horizontal, QObject::tr("Connection"));
    setHeaderData(SsidColumn, Qt::Horizontal, QObject::tr("SSID"));
    setHeaderData(SignalColumn, Qt::Horizontal, QObject::tr("Signal"));
    setHeaderData(SecurityColumn, Qt::Horizontal, QObject::tr("Security"));
    setHeaderData(StatusColumn, Qt::Horizontal, QObject::tr("Status"));
}

bool ScanModel::isSeparatorText(const QString& text) {
    return text.contains(SEPARATOR_MARK);
}

bool ScanModel::isSeparatorRow(int row) const {
    return isSeparatorText(text(row, NameColumn)) || isSeparatorText(text(row, SsidColumn));
}

bool ScanModel::isConfigured(int row) const {
    return QStandardItemModel::data(index(row, ConfiguredColumn), Qt::EditRole).toBool();
}

bool ScanModel::isScannedRow(int row) const {
    return !isConfigured(row);
}

bool ScanModel::isScannedWirelessRow(int row) const {
    return !isConfigured(row) && !text(row, SsidColumn).isEmpty();
}

QString ScanModel::text(int row, int column) const {
    return QStandardItemModel::data(index(row, column), Qt::EditRole).toString();
}

void ScanModel::setCell(int row, int column, const QVariant& value, int role) {
    QStandardItemModel::setData(index(row, column), value, role);
}

int ScanModel::currentRow() const {
    return m_currentRow.isValid() ? m_currentRow.row() : -1;
}

QString ScanModel::currentRowName() const {
    return currentRow() < 0 ? QString() : text(currentRow(), NameColumn);
}

QString ScanModel::currentRowSsid() const {
    return currentRow() < 0 ? QString() : text(currentRow(), SsidColumn);
}

QString ScanModel::currentRowCreator() const {
    return currentRow() < 0 ? QString() : text(currentRow(), CreatorColumn);
}

QString ScanModel::currentRowConnectionEntry() const {
    return currentRow() < 0 ? QString() : text(currentRow(), ConnectionEntryColumn);
}

void ScanModel::UpdateScanModel(MergeItemList* list) {
    if (list == nullptr || list->isEmpty()) return;
    // Rows found again are taken out of this copy; what remains is new.
    MergeItemList remaining = *list;
    mergeConfiguredRows(remaining);
    removeStaleRows(remaining);
    insertNewRows(remaining);
}

void ScanModel::mergeConfiguredRows(const MergeItemList& list) {
    int i = 0;
    int j = 0;
    while (i < rowCount() && j < list.count() && isConfigured(i)) {
        const MergeItem& item = list.at(j);
        if (!item.configured || text(i, NameColumn) != item.name) break;
        setCell(i, AutoConnectVpnColumn, item.autoConnectVpn);
        setCell(i, ConnectionEntryColumn, item.connectionEntry);
        setCell(i, EapMethodColumn, item.eapMethod);
        setCell(i, CredentialTypeColumn, item.credentialType);
        setCell(i, RunScriptColumn, item.runScriptSpec);
        // The current network's level follows its state events, not the scan.
        if (i != currentRow()) setCell(i, SignalColumn, item.signalLevel);
        ++i;
        ++j;
    }
    // Configured rows from the first mismatch on are rebuilt in the list's order.
    while (i < rowCount() && isConfigured(i)) removeRow(i);
    while (j < list.count() && list.at(j).configured) {
        insertItemRow(i, list.at(j));
        ++i;
        ++j;
    }
}

void ScanModel::removeStaleRows(MergeItemList& list) {
    int row = 0;
    while (row < rowCount()) {
        const int found = list.indexOf(text(row, NameColumn), text(row, SsidColumn), isConfigured(row));
        if (found < 0) {
            removeRow(row);
        } else {
            list.removeAt(found);
            ++row;
        }
    }
}

void ScanModel::insertNewRows(const MergeItemList& list) {
    for (int j = 0; j < list.count(); ++j) {
        const int position = findInsertPosition(list.at(j));
        insertItemRow(position < 0 ? rowCount() : position, list.at(j));
    }
}

int ScanModel::findInsertPosition(const MergeItem& item) const {
    // The separator closes the configured rows: the first list of a start may hold only scanned
    // rows, and the separator that comes with the configured rows goes above them.
    if (item.configured || isSeparatorText(item.name)) {
        for (int row = 0; row < rowCount(); ++row) {
            if (isSeparatorRow(row) || !isConfigured(row)) return row;
        }
        return -1;
    }
    const int itemPosition = SecurityLabels::modePosition(item.securityModes.value(0));
    for (int row = 0; row < rowCount(); ++row) {
        if (isConfigured(row) || isSeparatorRow(row)) continue;
        const QString label = data(index(row, SecurityColumn), Qt::DisplayRole).toString();
        const int rowPosition = SecurityLabels::labelPosition(label);
        if (itemPosition < 0 || rowPosition < 0) {
            qCDebug(lcGuiClient, "\nSecurity mode not defined ==\n %s",
                    qUtf8Printable(itemPosition < 0 ? item.securityModes.value(0) : label));
            continue;
        }
        if (rowPosition > itemPosition) return row;
    }
    return -1;
}

void ScanModel::insertItemRow(int row, const MergeItem& item) {
    insertRow(row);
    setCell(row, NameColumn, item.name);
    setCell(row, SsidColumn, item.ssid);
    setCell(row, ConfiguredColumn, item.configured);
    setCell(row, SecurityColumn, item.securityModes.value(0));
    setCell(row, ModesColumn, item.securityModes.join(QLatin1Char(' ')));
    if (!item.name.isEmpty() && item.name == m_currentName) setCell(row, StatusColumn, m_statusText);
    setCell(row, CreatorColumn, item.networkCreator);
    setCell(row, ConfiguredCopyColumn, item.configured);
    if (item.configured) {
        QFont bold(QStringLiteral("Helvetica"));
        bold.setWeight(QFont::Bold);
        for (int column = 0; column < ColumnCount; ++column) setCell(row, column, bold, Qt::FontRole);
        const bool manual = item.name == m_manualNetworkName && !autoModeFlag;
        setCell(row, NameColumn, manual ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    } else {
        setCell(row, SignalColumn, item.signalLevel);
        // The separator has no SSID; its dashes stay in the name column that marks it.
        if (!isSeparatorText(item.name)) setCell(row, NameColumn, item.ssid);
    }
}

void ScanModel::updateStatus(const StateEvent& event) {
    if (currentRow() >= 0) setCell(currentRow(), SignalColumn, 0);
    m_signalDbm.clear();
    m_currentName.clear();
    if (event.displayStatus == SEARCHING_FOR_ADAPTER) m_statusText = event.displayStatus;

    for (int row = 0; row < rowCount(); ++row) {
        if (isSeparatorText(text(row, NameColumn))) break;
        setCell(row, StatusColumn, QString());
        if (text(row, NameColumn) != event.networkName) continue;
        m_currentRow = QPersistentModelIndex(index(row, NameColumn));
        if (event.networkName == m_manualNetworkName && !autoModeFlag)
            setCell(row, NameColumn, Qt::Checked, Qt::CheckStateRole);
        setCell(row, StatusColumn, event.displayStatus);
        m_currentName = event.networkName;
        m_statusText = event.displayStatus;
        m_signalDbm = event.signalStrengthInDbm;
        if (!event.signalStrengthInDbm.isEmpty() && event.signalStrengthInDbm != QLatin1String("0")) {
            setCell(row, SignalColumn,
                    m_rater.signalLevel(event.signalStrengthInDbm, event.channel.toInt(nullptr, 10)));
        }
        m_channel = event.channel;
    }
}

void ScanModel::setAutoMode(bool automatic, const QString& networkName) {
    int found = -1;
    if (!networkName.isEmpty()) {
        for (int row = 0; row < rowCount() && found < 0; ++row) {
            if (text(row, NameColumn) == networkName) found = row;
        }
    }
    for (int row = 0; row < rowCount(); ++row) {
        if (!isConfigured(row)) continue;
        m_manualNetworkName.clear();
        setCell(row, NameColumn, Qt::Unchecked, Qt::CheckStateRole);
    }
    if (!automatic) {
        m_manualNetworkName = networkName;
        if (found >= 0) setCell(found, NameColumn, Qt::Checked, Qt::CheckStateRole);
    }
}

void ScanModel::removeRowsWhere(bool (ScanModel::*drop)(int row) const) {
    int row = 0;
    while (row < rowCount()) {
        if ((this->*drop)(row)) {
            removeRow(row);
            continue;
        }
        ++row;
    }
}

void ScanModel::removeScanRows() {
    removeRowsWhere(&ScanModel::isScannedRow);
    for (int row = 0; row < rowCount(); ++row) {
        setCell(row, StatusColumn, QString());
        setCell(row, SignalColumn, 0);
    }
    forgetCurrent();
}

void ScanModel::clearAll() {
    removeRows(0, rowCount());
    forgetCurrent();
}

void ScanModel::clearScanResults() {
    removeRowsWhere(&ScanModel::isScannedWirelessRow);
    for (int row = 0; row < rowCount(); ++row) {
        if (text(row, SsidColumn).isEmpty()) continue;
        setCell(row, StatusColumn, QString());
        setCell(row, SignalColumn, 0);
    }
    forgetCurrent();
}

void ScanModel::forgetCurrent() {
    m_currentRow = QPersistentModelIndex();
    m_currentName.clear();
    m_statusText.clear();
    m_signalDbm.clear();
    m_channel.clear();
    emitListReset();
}

void ScanModel::emitListReset() {
    emit ScanListChanged(-1);
}

QVariant ScanModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    const QVariant stored = QStandardItemModel::data(index, role);
    switch (role) {
        case Qt::DisplayRole:
            if (index.column() == SecurityColumn) return SecurityLabels::shortLabels(stored.toString());
            if (index.column() == ModesColumn) return SecurityLabels::longLabels(stored.toString());
            if (index.column() == SignalColumn) return QVariant();
            return stored;
        case Qt::DecorationRole:
            if (index.column() == SignalColumn) {
                const QVariant level = QStandardItemModel::data(index, Qt::EditRole);
                const bool wired = text(index.row(), SsidColumn).isEmpty();
                const QString path = signalIconPath(level.toInt(), wired);
                return path.isEmpty() ? level : QVariant(QIcon(path));
            }
            return stored;
        case Qt::TextAlignmentRole:
            if (index.column() == StatusColumn) return QVariant(Qt::AlignLeft);
            return stored;
        case Qt::CheckStateRole:
            if (index.column() == NameColumn) return stored.toInt() == Qt::Checked ? stored : QVariant();
            return stored;
        case Qt::UserRole:
            if (index.column() == SignalColumn) return QStandardItemModel::data(index, Qt::EditRole).toInt();
            return stored;
        default:
            return stored;
    }
}

Qt::ItemFlags ScanModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags result = QStandardItemModel::flags(index);
    if (index.isValid() && isSeparatorRow(index.row())) result &= ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return result;
}
