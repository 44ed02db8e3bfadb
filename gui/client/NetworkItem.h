#pragma once

#include <QMetaType>
#include <QString>

// One configured network of a group, as getNetworksInGroupResponse lists it.
struct NetworkItem {
    QString networkName;
    QString networkCreator;
    bool isGlobal = false;
    QString ssid;
    QString associationAndEncryptionMode;
    bool autoConnectVpn = false;
    QString connectionEntry;
    QString eapMethod;
    QString credentialType;
    QString runScriptSpec;
};

Q_DECLARE_METATYPE(NetworkItem)
