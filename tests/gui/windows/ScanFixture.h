#pragma once

#include <QList>
#include <QStringList>

#include "gui/client/MergeItemList.h"
#include "gui/client/StateEvent.h"
#include "gui/windows/ScanModel.h"
#include "tests/gui/support/QtPrinters.h"

namespace tamsel::test {

inline NetworkItem configured(const QString& name, const QString& ssid, const QString& mode,
                              const QString& creator = QStringLiteral("user")) {
    NetworkItem n;
    n.networkName = name;
    n.ssid = ssid;
    n.associationAndEncryptionMode = mode;
    n.networkCreator = creator;
    return n;
}

inline ScanEntry scanned(const QString& ssid, const QStringList& modes, int level,
                         const QString& channel = QStringLiteral("6")) {
    return ScanEntry(ssid, QStringLiteral("00:11:22:33:44:55"), modes, QStringLiteral("A"), channel, level);
}

// What the service client hands the model: the active group's networks merged with the scan.
inline MergeItemList merged(const QList<NetworkItem>& networks, const QList<ScanEntry>& entries) {
    NetworkItemList group(QStringLiteral("Office"));
    for (const NetworkItem& n : networks) group.append(n);
    ScanResultList scan;
    for (const ScanEntry& e : entries) scan.append(e);
    MergeItemList list;
    list.merge(scan, group);
    return list;
}

inline void update(ScanModel& model, MergeItemList list) {
    model.UpdateScanModel(&list);
}

// One line per row as the list shows it: "name|Llevel|security|status", configured rows marked "*"
// and a checked row "[x]".
inline QStringList rows(const ScanModel& model) {
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QString name = model.index(row, ScanModel::NameColumn).data().toString();
        const bool checked =
            model.index(row, ScanModel::NameColumn).data(Qt::CheckStateRole).toInt() == Qt::Checked;
        out << QStringLiteral("%1%2%3|L%4|%5|%6")
                   .arg(name, model.isConfigured(row) ? "*" : "", checked ? "[x]" : "")
                   .arg(model.index(row, ScanModel::SignalColumn).data(Qt::UserRole).toInt())
                   .arg(model.index(row, ScanModel::SecurityColumn).data().toString(),
                        model.index(row, ScanModel::StatusColumn).data().toString());
    }
    return out;
}

inline StateEvent stateEvent(const QString& network, const QString& status, const QString& dbm = QString(),
                             const QString& channel = QString()) {
    StateEvent event;
    event.groupName = QStringLiteral("Office");
    event.networkName = network;
    event.displayStatus = status;
    event.signalStrengthInDbm = dbm;
    event.channel = channel;
    return event;
}

}  // namespace tamsel::test
