#pragma once

#include <QPersistentModelIndex>
#include <QStandardItemModel>
#include <QString>

#include "gui/client/MergeItemList.h"
#include "gui/client/SignalStrength.h"
#include "gui/client/StateEvent.h"

// The rows of "Available Connections": the active group's configured networks, a separator row,
// then the scanned networks no configured one claimed. Shown by the main window's list, the tray's
// network menu and the status window; GUI thread only.
class ScanModel : public QStandardItemModel {
    Q_OBJECT

public:
    enum Column {
        NameColumn = 0,
        SsidColumn = 1,
        SignalColumn = 2,
        SecurityColumn = 3,
        StatusColumn = 4,
        CreatorColumn = 5,
        ConfiguredCopyColumn = 6,
        ModesColumn = 7,
        ConfiguredColumn = 8,
        AutoConnectVpnColumn = 9,
        ConnectionEntryColumn = 10,
        EapMethodColumn = 11,
        CredentialTypeColumn = 12,
        RunScriptColumn = 13,
        ColumnCount = 14
    };

    explicit ScanModel(QObject* parent = nullptr);

    // Checks the manual network's row, or no row in automatic mode.
    void setAutoMode(bool automatic, const QString& networkName);
    // Applies a network state event of the active group to the status column.
    void updateStatus(const StateEvent& event);

    // The resets; each forgets the current network and emits ScanListChanged(-1).
    void removeScanRows();
    void clearAll();
    // No wireless or radio off: the scanned wireless rows go, wired rows stay as they are.
    void clearScanResults();
    void emitListReset();

    // Row of the network named by the last state event that named a row; -1 before that and after
    // a reset.
    int currentRow() const;
    QString currentRowName() const;
    QString currentRowSsid() const;
    QString currentRowCreator() const;
    QString currentRowConnectionEntry() const;

    const QString& currentName() const { return m_currentName; }
    const QString& statusText() const { return m_statusText; }
    const QString& signalDbm() const { return m_signalDbm; }
    const QString& channel() const { return m_channel; }
    const QString& manualNetworkName() const { return m_manualNetworkName; }

    // A text holding the dashes that mark the row between configured and scanned networks.
    static bool isSeparatorText(const QString& text);
    bool isSeparatorRow(int row) const;
    bool isConfigured(int row) const;
    // The stored value of a cell as text (what the model keeps, not what it displays).
    QString text(int row, int column) const;

    // The row before which a new item goes, or -1 for after the last row.
    int findInsertPosition(const MergeItem& item) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void ScanListChanged(int row);

public slots:
    // Applies a new merged list as row changes; the caller's list is left as it was.
    void UpdateScanModel(MergeItemList* list);

private:
    void mergeConfiguredRows(const MergeItemList& list);
    void removeStaleRows(MergeItemList& list);
    void insertNewRows(const MergeItemList& list);
    void insertItemRow(int row, const MergeItem& item);
    void setCell(int row, int column, const QVariant& value, int role = Qt::EditRole);
    void removeRowsWhere(bool (ScanModel::*drop)(int row) const);
    bool isScannedRow(int row) const;
    bool isScannedWirelessRow(int row) const;
    void forgetCurrent();

    QString m_currentName;
    QString m_statusText;
    QString m_signalDbm;
    QString m_channel;
    QString m_manualNetworkName;
    QPersistentModelIndex m_currentRow;
    SignalStrength m_rater;
};
