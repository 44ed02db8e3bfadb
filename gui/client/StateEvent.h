#pragma once

#include <QMetaType>
#include <QString>

// The last networkStateEvent of the service, as the tray and the status window show it. The
// network state reader fills the texts; the VPN flag comes from the vpnStateEvent.
struct StateEvent {
    QString groupName;
    QString networkName;
    QString signalStrengthInDbm;
    QString innerEapMethod;
    QString outerEapMethod;
    QString channel;
    QString nadMacAddress;
    QString adapterName;
    QString adapterMacAddress;
    QString speedInMbps;
    QString ipAddress;
    QString displayStatus;
    QString networkConnectionFailureInfo;
    QString associationAndEncryptionModeList;
    QString serverVerifiedName;
    // Why the user's certificate was not sent: "wrongPin", "cardBlocked", "noCertificate" or empty.
    QString credentialFailure;
    // "true", "connecting" or "false".
    QString vpnFlag = QStringLiteral("false");

    // Empties every text but the VPN flag, which belongs to the VPN's own events.
    void clear();
    void setVpnFlag(const QString& vpnState);
};

Q_DECLARE_METATYPE(StateEvent)
