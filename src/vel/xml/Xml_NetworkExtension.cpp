#include "vel/xml/Xml_NetworkExtension.h"

#include "vel/string/FormatBuffer.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"

using E = XmlElements;

XmlNetworkCommon Xml_NetworkExtension::Read(const SharedXmlNode& node) {
    XmlNetworkCommon common;
    common.displayName = vel::xmlRequiredText(node, E::DISPLAY_NAME);
    common.connectionTimeout = vel::xmlTimeout(node, E::CONNECTION_TIMEOUT);
    common.runScriptAfterConnection = vel::xmlChildText(node, E::RUN_SCRIPT_AFTER_CONNECTION);
    return common;
}

void Xml_NetworkExtension::Write(XmlParentBase& parent, const XmlNetworkCommon& common) {
    parent.addTextChild(E::DISPLAY_NAME, common.displayName.text());
    parent.addTextChild(E::CONNECTION_TIMEOUT, vel::xmlIntText(common.connectionTimeout).text());
    if (common.runScriptAfterConnection.length() > 0) {
        parent.addTextChild(E::RUN_SCRIPT_AFTER_CONNECTION, common.runScriptAfterConnection.text());
    }
}
