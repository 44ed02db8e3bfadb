#include "vel/xml/Xml_UserControlPolicy.h"

#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"

using E = XmlElements;

UserControlPolicy Xml_UserControlPolicy::Read(const SharedXmlNode& node) {
    UserControlPolicy policy = UserControlPolicy::create();
    SharedXmlNode media = vel::xmlRequiredChild(node, E::ALLOWED_MEDIA);
    policy.setAllowWireless(media.findChild(E::WIFI).isNonNull());
    policy.setAllowWired(media.findChild(E::WIRED).isNonNull());
    policy.setAllowVpn(vel::xmlOptionalBool(node, E::ALLOW_VPN));
    policy.setAllowRunScriptAfterConnect(vel::xmlOptionalBool(node, E::ALLOW_RUN_SCRIPT_AFTER_CONNECT));
    return policy;
}
