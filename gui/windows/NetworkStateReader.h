#pragma once

#include <QByteArray>
#include <QString>

#include "gui/client/StateEvent.h"

// Reads the service's networkStateEvent into `event` and turns the network state into the status
// text the user sees. False, with `event` as it was, when the message does not parse.
bool readNetworkStateEvent(const QByteArray& message, StateEvent& event);

// The status text of a network state as sent; `vpnFlag` tells a connected VPN from a connecting one.
QString networkDisplayStatus(const QString& networkState, const QString& vpnFlag);

// Colons between the pairs of a MAC address sent as hexadecimal digits ("0a1b2c3d4e5f").
QString formatMacAddress(const QString& digits);
