#include "gui/app/ResponseClassifier.h"

#include "platform/qtsoap/QtSoapMessage.h"

const QStringList& ResponseClassifier::responseTypeNames() {
    // The order is the codes' order: the index of a name is its ResponseType.
    static const QStringList names = {
        QStringLiteral("faultcode"),
        QStringLiteral("getGroupsResponse"),
        QStringLiteral("getActiveGroupResponse"),
        QStringLiteral("setActiveGroupResponse"),
        QStringLiteral("getNetworksInGroupResponse"),
        QStringLiteral("getScanListResponse"),
        QStringLiteral("networkStateEvent"),
        QStringLiteral("getNetworkDetailsResponse"),
        QStringLiteral("addNetworkResponse"),
        QStringLiteral("changeNetworkResponse"),
        QStringLiteral("removeNetworkResponse"),
        QStringLiteral("getUsernameAndPasswordRequest"),
        QStringLiteral("getVpnCredentialsRequest"),
        QStringLiteral("getCertificateRequest"),
        QStringLiteral("getConnectionModeResponse"),
        QStringLiteral("addGroupResponse"),
        QStringLiteral("getSmartCardPinRequest"),
        QStringLiteral("logonEvent"),
        QStringLiteral("removeGroupResponse"),
        QStringLiteral("configurationChangeEvent"),
        QStringLiteral("resendLastNetworkStateEventResponse"),
        QStringLiteral("disconnectVpnResponse"),
        QStringLiteral("disableTamselResponse"),
        QStringLiteral("enableTamselResponse"),
        QStringLiteral("getServiceStateResponse"),
        QStringLiteral("getAdministratorPolicyResponse"),
        QStringLiteral("getVpnCapabilitiesResponse"),
        QStringLiteral("getLocationCapabilitiesResponse"),
        QStringLiteral("locationResponseEvent"),
        QStringLiteral("vpnStateEvent"),
        QStringLiteral("getBannerRequest"),
    };
    return names;
}

ResponseType ResponseClassifier::classifyResponse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return ResponseType::Unknown;
    if (soap.isFault()) return ResponseType::Fault;
    const QString name = soap.method().name();
    // The fault row's name is a child of a fault, never a message element of its own.
    const qsizetype code = responseTypeNames().indexOf(name, 1);
    return code < 1 ? ResponseType::Unknown : static_cast<ResponseType>(code);
}
