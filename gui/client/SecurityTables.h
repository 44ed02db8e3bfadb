#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One row of the security types offered in the network profile editor.
struct SecurityType {
    QString displayName;
    // The associationAndEncryptionMode written on the wire.
    QString wireValue;
    // Elements that carry the key; in the WEP rows '?' stands for the key size ("40" or "128").
    QString asciiKeyElement;
    QString hexKeyElement;
};

// Built on first use, never changed, shared by every window.
const QList<SecurityType>& securityTypeTable();
// Mode keywords, weakest first: a higher index is a stronger mode.
const QStringList& securityModeOrder();
// The same keywords in the order in which scanned networks are listed.
const QStringList& securityModeRank();
// Short labels; the first six line up with securityModeRank, from the seventh on a label sits one
// place further than the keyword of the same index.
const QStringList& securityModeLabels();
// Index = signal level 0 to 5; the words also name the signal icons.
const QStringList& signalLevelNames();
