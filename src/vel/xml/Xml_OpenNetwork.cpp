#include "vel/xml/Xml_OpenNetwork.h"

#include <iterator>

#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlNetwork.h"
#include "vel/xml/XmlSchema.h"

namespace {

struct ConnectionElement {
    const char* name;
    std::int32_t type;
};

// In the order they are looked up.
const ConnectionElement CONNECTIONS[] = {
    {XmlElements::MACHINE_CONNECTION, XmlNetworkImpl::CONNECTION_MACHINE},
    {XmlElements::USER_CONNECTION, XmlNetworkImpl::CONNECTION_USER},
    {XmlElements::MACHINE_USER_CONNECTION, XmlNetworkImpl::CONNECTION_MACHINE_AND_USER}};

}  // namespace

std::int32_t Xml_OpenNetwork::Read(const SharedXmlNode& node) {
    for (const ConnectionElement& connection : CONNECTIONS) {
        if (node.findChild(connection.name).isNonNull()) return connection.type;
    }
    vel::xmlErrorText(XmlMessages::UNDEFINED_CONNECTION_TYPE);
}

void Xml_OpenNetwork::Write(XmlParentBase& parent, std::int32_t connectionType) {
    SharedXmlNode open = parent.addChild(XmlElements::OPEN_NETWORK);
    for (const ConnectionElement& connection : CONNECTIONS) {
        if (connection.type == connectionType) open.addChild(connection.name);
    }
}
