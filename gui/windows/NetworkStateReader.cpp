#include "gui/windows/NetworkStateReader.h"

#include <QCoreApplication>

#include "platform/qtsoap/QtSoapMessage.h"

namespace {

QString translated(const char* text) {
    return QCoreApplication::translate("StateEvent", text);
}

}  // namespace

QString networkDisplayStatus(const QString& networkState, const QString& vpnFlag) {
    // Each test looks at the text as the tests before it left it.
    QString status = networkState;
    if (status.contains(QLatin1String("acquiringIpAddress")))
        status = translated(QT_TRANSLATE_NOOP("StateEvent", "Acquiring IP address"));
    if (status.contains(QLatin1String("stopped")))
        status = translated(QT_TRANSLATE_NOOP("StateEvent", "Searching for adapter"));
    if (status.contains(QLatin1String("connected"))) {
        if (vpnFlag == QLatin1String("true")) {
            status = translated(QT_TRANSLATE_NOOP("StateEvent", "VPN Connected"));
        } else if (vpnFlag == QLatin1String("connecting")) {
            status = translated(QT_TRANSLATE_NOOP("StateEvent", "VPN Connecting"));
        } else {
            status = translated(QT_TRANSLATE_NOOP("StateEvent", "Connected"));
        }
    }
    if (status.contains(QLatin1String("associating")))
        status = translated(QT_TRANSLATE_NOOP("StateEvent", "Associating"));
    if (status.contains(QLatin1String("authenticating")))
        status = translated(QT_TRANSLATE_NOOP("StateEvent", "Authenticating"));
    if (status.contains(QLatin1String("scanning")))
        status = translated(QT_TRANSLATE_NOOP("StateEvent", "Scanning for a Network"));
    return status;
}

QString formatMacAddress(const QString& digits) {
    QString text = digits;
    if (text.size() < 3) return text;
    for (qsizetype position = 2; position < text.size(); position += 3)
        text.insert(position, QLatin1Char(':'));
    return text;
}

bool readNetworkStateEvent(const QByteArray& message, StateEvent& event) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement body = soap.method();
    event.clear();
    const auto read = [&body](const char* name) { return body[QLatin1String(name)].text(); };
    event.groupName = read("groupName");
    event.networkName = read("networkName");
    const QString networkState = read("networkState");
    event.signalStrengthInDbm = read("signalStrengthInDbm");
    event.innerEapMethod = read("innerEapMethod");
    event.outerEapMethod = read("outerEapMethod");
    event.channel = read("channel");
    event.nadMacAddress = formatMacAddress(read("nadMacAddress"));
    event.adapterMacAddress = formatMacAddress(read("adapterMacAddress"));
    event.adapterName = read("adapterName");
    event.serverVerifiedName = read("serverVerifiedName");
    event.credentialFailure = read("credentialFailure");
    event.speedInMbps = read("speedInMbps");
    event.ipAddress = read("ipAddress");
    event.networkConnectionFailureInfo = read("networkConnectionFailureInfo");
    event.associationAndEncryptionModeList = read("associationAndEncryptionModeList");
    event.displayStatus = networkDisplayStatus(networkState, event.vpnFlag);
    return true;
}
