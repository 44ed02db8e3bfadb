#include "gui/client/StateEvent.h"

void StateEvent::clear() {
    const QString vpn = vpnFlag;
    *this = StateEvent();
    vpnFlag = vpn;
}

void StateEvent::setVpnFlag(const QString& vpnState) {
    if (vpnState == QLatin1String("connected")) {
        vpnFlag = QStringLiteral("true");
    } else if (vpnState == QLatin1String("connecting")) {
        vpnFlag = QStringLiteral("connecting");
    } else {
        vpnFlag = QStringLiteral("false");
    }
}
