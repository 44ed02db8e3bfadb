#include "vel/connapi/NetworkStateBody.h"

#include "runtime/lum/Log.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnApiWriter.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/ConversionException.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

namespace {

constexpr std::int32_t FIRST_INNER_METHOD = 4096;

bool carriesAuthentication(std::int32_t state) {
    return state == NetworkStateRecord::AUTHENTICATING || state == NetworkStateRecord::ACQUIRING_IP_ADDRESS ||
           state == NetworkStateRecord::CONNECTED;
}

void writeMethod(XmlParentNode& message, const char* name, std::int32_t method) {
    const char* text = nullptr;
    try {
        text = NetworkStateBody::eapMethodText(method);
    } catch (const ConversionException&) {
        logDebug("Network state event: EAP method %d has no text, %s left out", method, name);
        return;
    }
    ConnApiWriter::text(message, name, text);
}

void writeFailure(XmlParentNode& message, const NetworkFailureRecord& failure) {
    XmlParentNode info = ConnApiWriter::element(message, ConnApiElements::NETWORK_CONNECTION_FAILURE_INFO);
    ConnApiWriter::text(info, ConnApiElements::REASON, XmlApiFailureReasonToText(failure.reason));
    ConnApiWriter::integer(info, ConnApiElements::ASSOCIATION_TIME_OUT, failure.associationTimeOut);
    if (!(failure.association == 0 && failure.encryption == 1)) {
        ConnApiWriter::text(info, ConnApiElements::ASSOCIATION_AND_ENCRYPTION_MODE,
                            AssociationModeToText(failure.association, failure.encryption));
    }
    ConnApiWriter::text(info, ConnApiElements::EAP_LEVEL, XmlApiEapLevelToText(failure.eapLevel));
    if (failure.lastMessageSent != 0) {
        ConnApiWriter::text(info, ConnApiElements::LAST_8021X_MESSAGE_SENT,
                            XmlApiDiagnosticMessageToText(failure.lastMessageSent));
    }
    if (failure.lastMessageReceived != 0) {
        ConnApiWriter::text(info, ConnApiElements::LAST_8021X_MESSAGE_RECEIVED,
                            XmlApiDiagnosticMessageToText(failure.lastMessageReceived));
    }
}

}  // namespace

const char* NetworkStateBody::eapMethodText(std::int32_t method) {
    return method < FIRST_INNER_METHOD ? EapTypeToText(method) : XmlApiTtlsMethodToText(method);
}

void NetworkStateBody::write(const SoapBodyContext& context, const NetworkStateRecord& record) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::GROUP_NAME, record.groupName);
    ConnApiWriter::text(message, ConnApiElements::NETWORK_NAME, record.networkName);
    ConnApiWriter::text(message, ConnApiElements::NETWORK_STATE,
                        XmlApiNetworkTypeToText(record.networkState));
    ConnApiWriter::hex(message, ConnApiElements::NAD_MAC_ADDRESS, record.nadMacAddress);
    ConnApiWriter::integer(message, ConnApiElements::CHANNEL, record.channel);
    ConnApiWriter::integer(message, ConnApiElements::SIGNAL_STRENGTH_IN_DBM, record.signalStrengthInDbm);
    ConnApiWriter::text(message, ConnApiElements::ADAPTER_NAME, record.adapterName);
    ConnApiWriter::hex(message, ConnApiElements::ADAPTER_MAC_ADDRESS, record.adapterMacAddress);
    ConnApiWriter::textUnlessEmpty(message, ConnApiElements::SERVER_VERIFIED_NAME, record.serverVerifiedName);
    if (record.networkState == NetworkStateRecord::CONNECTED)
        ConnApiWriter::text(message, ConnApiElements::IP_ADDRESS, record.ipAddress);
    if (carriesAuthentication(record.networkState)) {
        ConnApiWriter::integer(message, ConnApiElements::SPEED_IN_MBPS, record.speedInMbps);
        writeMethod(message, ConnApiElements::OUTER_EAP_METHOD, record.outerEapMethod);
        if (record.innerEapMethod != 0)
            writeMethod(message, ConnApiElements::INNER_EAP_METHOD, record.innerEapMethod);
    }
    if (record.failure.reason != 0) writeFailure(message, record.failure);
    if (record.networkState == NetworkStateRecord::AUTHENTICATION_FAILED && record.credentialFailure != 0)
        ConnApiWriter::text(message, ConnApiElements::CREDENTIAL_FAILURE,
                            XmlApiCredentialFailureToText(record.credentialFailure));
}
