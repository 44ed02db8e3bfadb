#include "gui/client/ScanResultList.h"

#include "gui/client/ClientLog.h"
#include "gui/client/SecurityTables.h"
#include "platform/qtsoap/QtSoapMessage.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

namespace {

// Compares two keywords by their place in `table`: negative, zero or positive. A keyword the table
// does not hold has no place, so the comparison counts as equal.
int compareModes(const QStringList& table, const QString& a, const QString& b) {
    const qsizetype ia = table.indexOf(a);
    const qsizetype ib = table.indexOf(b);
    if (ia < 0 || ib < 0) {
        qCDebug(lcGuiClient, "\nSecurity mode not defined ==\n %s", qUtf8Printable(ia < 0 ? a : b));
        return 0;
    }
    return ia < ib ? -1 : (ia > ib ? 1 : 0);
}

QString rankKey(const ScanEntry& entry) {
    return entry.securityModes().value(0);
}

}  // namespace

void ScanResultList::clearMatchedFlags() {
    for (ScanEntry& e : m_entries) e.setMatched(false);
}

void ScanResultList::insertSecurityMode(QStringList& modes, const QString& mode) {
    const QStringList& order = securityModeOrder();
    if (modes.isEmpty()) {
        modes.append(mode);
        return;
    }
    if (compareModes(order, mode, modes.last()) < 0) {
        modes.append(mode);
        return;
    }
    if (compareModes(order, mode, modes.first()) > 0) {
        modes.prepend(mode);
        return;
    }
    for (qsizetype i = 0; i + 1 < modes.size(); ++i) {
        if (compareModes(order, modes.at(i), mode) > 0 && compareModes(order, mode, modes.at(i + 1)) > 0) {
            modes.insert(i + 1, mode);
            return;
        }
    }
}

void ScanResultList::insertEntry(const ScanEntry& entry) {
    for (ScanEntry& existing : m_entries) {
        if (existing.ssid() == entry.ssid()) {
            if (entry.signalLevel() > existing.signalLevel()) existing.setSignalLevel(entry.signalLevel());
            return;
        }
    }
    if (m_entries.isEmpty()) {
        m_entries.append(entry);
        return;
    }
    const QStringList& rank = securityModeRank();
    const QString key = rankKey(entry);
    if (compareModes(rank, key, rankKey(m_entries.last())) >= 0) {
        m_entries.append(entry);
        return;
    }
    if (compareModes(rank, key, rankKey(m_entries.first())) <= 0) {
        m_entries.prepend(entry);
        return;
    }
    for (qsizetype i = 0; i + 1 < m_entries.size(); ++i) {
        if (compareModes(rank, rankKey(m_entries.at(i)), key) <= 0 &&
            compareModes(rank, key, rankKey(m_entries.at(i + 1))) <= 0) {
            m_entries.insert(i + 1, entry);
            return;
        }
    }
    // Only an unknown mode among the entries can leave no gap; the entry is still listed.
    m_entries.append(entry);
}

int ScanResultList::readScanList(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return 0;
    const QtSoapElement nadList = soap.method()[QLatin1String(ConnApiElements::NAD_LIST)];
    if (!nadList.isArray() || nadList.count() == 0) return 0;

    m_entries.clear();
    for (const QtSoapElement& nad : nadList.items()) {
        const QString channel = nad[QLatin1String(ConnApiElements::CHANNEL)].text();
        // A missing or zero reading rates 0, so such a network shows no bars rather than full ones.
        const int level =
            m_rater.signalLevel(nad[QLatin1String(ConnApiElements::SIGNAL_STRENGTH_IN_DBM)].text(),
                                channel.trimmed().toInt(nullptr, 10));
        QStringList modes;
        const QtSoapElement modeList =
            nad[QLatin1String(ConnApiElements::ASSOCIATION_AND_ENCRYPTION_MODE_LIST)];
        if (modeList.isArray()) {
            for (const QtSoapElement& mode : modeList.items()) insertSecurityMode(modes, mode.text());
        }
        insertEntry(ScanEntry(nad[QLatin1String(ConnApiElements::NAD_SSID)].text(),
                              nad[QLatin1String(ConnApiElements::NAD_BSSID)].text(), modes,
                              QStringLiteral("A"), channel, level));
    }
    return count();
}
