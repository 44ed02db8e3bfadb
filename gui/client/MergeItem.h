#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

// One row of the merged scan list: a configured network of the active group, the separator, or a
// scanned network that no configured one claimed. Scanned rows leave the configuration fields empty.
struct MergeItem {
    QString name;
    QString ssid;
    QString networkCreator;
    QStringList securityModes;
    QString channel;
    int signalLevel = 0;
    // The first of securityModes.
    QString securityMode;
    bool configured = false;
    bool autoConnectVpn = false;
    QString connectionEntry;
    QString eapMethod;
    QString credentialType;
    QString runScriptSpec;
};

Q_DECLARE_METATYPE(MergeItem)
