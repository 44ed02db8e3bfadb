#include "vel/xml/Xml_ConnectionSettings.h"

#include "vel/configuration/ConnectionSettings.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"

using E = XmlElements;

XmlConnectionSettingsRecord Xml_ConnectionSettings::Read(const SharedXmlNode& node) {
    XmlConnectionSettingsRecord settings;
    SharedXmlNode behavior = vel::xmlRequiredChild(node, E::CONNECTION_BEHAVIOR_AT_LOGON);
    if (SharedXmlNode before = behavior.findChild(E::ATTEMPT_CONNECTION_BEFORE_USER_LOGON);
        before.isNonNull()) {
        settings.behaviorAtLogon = ConnectionSettings::BEFORE_USER_LOGON;
        settings.secondsToWaitForConnection = vel::xmlRequiredInt(before, E::SECONDS_TO_WAIT_FOR_CONNECTION);
    } else if (behavior.findChild(E::ATTEMPT_CONNECTION_AFTER_USER_LOGON).isNonNull()) {
        settings.behaviorAtLogon = ConnectionSettings::AFTER_USER_LOGON;
    } else {
        vel::xmlError(XmlMessages::TWO_TAGS_REQUIRED, E::ATTEMPT_CONNECTION_BEFORE_USER_LOGON,
                      E::ATTEMPT_CONNECTION_AFTER_USER_LOGON);
    }
    settings.validateWpaHandshake = vel::xmlRequiredBool(node, E::VALIDATE_WPA_HANDSHAKE);
    settings.defaultConnectionTimeout = vel::xmlOptionalTimeout(node, E::DEFAULT_CONNECTION_TIMEOUT);
    settings.defaultAssociationTimeout = vel::xmlOptionalTimeout(node, E::DEFAULT_ASSOCIATION_TIMEOUT);
    return settings;
}
