#include "gui/client/MergeItemList.h"

const QString MergeItemList::SEPARATOR_NAME = QStringLiteral("-------");

namespace {

MergeItem configuredRow(const NetworkItem& network) {
    MergeItem row;
    row.name = network.networkName;
    row.ssid = network.ssid;
    row.networkCreator = network.networkCreator;
    if (!network.associationAndEncryptionMode.isEmpty())
        row.securityModes << network.associationAndEncryptionMode;
    row.securityMode = row.securityModes.value(0);
    row.configured = true;
    row.autoConnectVpn = network.autoConnectVpn;
    row.connectionEntry = network.connectionEntry;
    row.eapMethod = network.eapMethod;
    row.credentialType = network.credentialType;
    row.runScriptSpec = network.runScriptSpec;
    return row;
}

// A scanned mode fits a configured one when the configured keyword contains it, so that "wep" from
// the scan fits "openStaticWep" and "sharedStaticWep".
bool securityFits(const QStringList& configuredModes, const QStringList& scannedModes) {
    for (const QString& configured : configuredModes) {
        for (const QString& scanned : scannedModes) {
            if (configured.contains(scanned, Qt::CaseInsensitive)) return true;
        }
    }
    return false;
}

}  // namespace

void MergeItemList::appendScanned(const ScanEntry& entry) {
    MergeItem row;
    row.ssid = entry.ssid();
    row.securityModes = entry.securityModes();
    row.securityMode = row.securityModes.value(0);
    row.channel = entry.channel();
    row.signalLevel = entry.signalLevel();
    m_items.append(row);
}

void MergeItemList::merge(ScanResultList& scanList, const NetworkItemList& networks) {
    m_items.clear();
    if (networks.count() == 0) {
        for (int i = 0; i < scanList.count(); ++i) appendScanned(scanList.at(i));
        return;
    }

    for (const NetworkItem& network : networks.networks()) m_items.append(configuredRow(network));
    const int configuredCount = static_cast<int>(m_items.size());
    MergeItem separator;
    separator.name = SEPARATOR_NAME;
    m_items.append(separator);

    scanList.clearMatchedFlags();
    for (int r = 0; r < configuredCount; ++r) {
        MergeItem& row = m_items[r];
        row.signalLevel = 0;
        // A network without an SSID (wired) is never on the air, whatever hidden networks the scan
        // reports with an empty SSID.
        if (row.ssid.isEmpty()) continue;
        for (int s = 0; s < scanList.count(); ++s) {
            ScanEntry& entry = scanList.entry(s);
            if (row.ssid != entry.ssid()) continue;
            row.channel = entry.channel();
            if (securityFits(row.securityModes, entry.securityModes())) {
                row.signalLevel = entry.signalLevel();
                entry.setMatched(true);
            }
        }
    }

    for (int s = 0; s < scanList.count(); ++s) {
        if (!scanList.at(s).isMatched()) appendScanned(scanList.at(s));
    }
}

int MergeItemList::indexOf(const QString& name, const QString& ssid, bool configured) const {
    for (int i = 0; i < count(); ++i) {
        const MergeItem& row = m_items.at(i);
        if (configured && row.configured && row.name == name) return i;
        if (!configured && !row.configured && row.ssid == ssid) return i;
        if (row.configured != configured && (row.name == name || row.ssid == ssid || row.ssid == name))
            return -1;
    }
    return -1;
}
