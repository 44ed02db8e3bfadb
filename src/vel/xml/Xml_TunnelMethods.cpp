#include "vel/xml/Xml_TunnelMethods.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_IdentityPattern.h"
#include "vel/xml/Xml_ServerCertValidationParam.h"

using E = XmlElements;
using M = XmlMessages;
using C = XmlAuthenticationConstants;

void Xml_TunnelMethods::Read(const SharedXmlNode& node, std::int32_t recordKind, XmlMethodSettings& method) {
    if (node.findChild(E::DO_NOT_VALIDATE_SERVER_CERTIFICATE).isNonNull()) {
        method.validateServerCertificate = false;
    } else if (SharedXmlNode validate = node.findChild(E::VALIDATE_SERVER_CERTIFICATE);
               validate.isNonNull()) {
        method.validateServerCertificate = true;
        method.validation = Xml_ServerCertValidationParam::Read(validate);
    } else {
        vel::xmlError(M::TWO_TAGS_REQUIRED, E::DO_NOT_VALIDATE_SERVER_CERTIFICATE,
                      E::VALIDATE_SERVER_CERTIFICATE);
    }
    method.unprotectedIdentity =
        Xml_IdentityPattern::Read(vel::xmlRequiredChild(node, E::UNPROTECTED_IDENTITY_PATTERN));
    if (node.findChild(E::DISABLE_FAST_RECONNECT).isNonNull()) {
        method.fastReconnect = false;
    } else if (SharedXmlNode enable = node.findChild(E::ENABLE_FAST_RECONNECT); enable.isNonNull()) {
        method.fastReconnect = true;
        if (recordKind == C::RECORD_USER) {
            if (enable.findChild(E::ALWAYS_ATTEMPT).isNonNull()) {
                method.disableWhenSmartCard = false;
            } else if (enable.findChild(E::DISABLE_WHEN_SMART_CARD).isNonNull()) {
                method.disableWhenSmartCard = true;
            } else {
                vel::xmlError(M::TWO_TAGS_REQUIRED, E::DISABLE_WHEN_SMART_CARD, E::ALWAYS_ATTEMPT);
            }
        }
    } else {
        vel::xmlError(M::TWO_TAGS_REQUIRED, E::DISABLE_FAST_RECONNECT, E::ENABLE_FAST_RECONNECT);
    }
}

void Xml_TunnelMethods::Write(XmlParentBase& parent, const XmlMethodSettings& method,
                              std::int32_t recordKind) {
    if (method.validateServerCertificate) {
        Xml_ServerCertValidationParam::Write(parent, method.validation, E::VALIDATE_SERVER_CERTIFICATE);
    } else {
        parent.addChild(E::DO_NOT_VALIDATE_SERVER_CERTIFICATE);
    }
    Xml_IdentityPattern::Write(parent, method.unprotectedIdentity, E::UNPROTECTED_IDENTITY_PATTERN);
    if (!method.fastReconnect) {
        parent.addChild(E::DISABLE_FAST_RECONNECT);
        return;
    }
    SharedXmlNode enable = parent.addChild(E::ENABLE_FAST_RECONNECT);
    if (recordKind == C::RECORD_USER) {
        enable.addChild(method.disableWhenSmartCard ? E::DISABLE_WHEN_SMART_CARD : E::ALWAYS_ATTEMPT);
    }
}
