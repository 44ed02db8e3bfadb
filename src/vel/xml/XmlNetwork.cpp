#include "vel/xml/XmlNetwork.h"

XmlNetwork XmlNetwork::create() {
    return XmlNetwork(new XmlNetworkImpl);
}

bool XmlNetwork::isWireless() const {
    return impl()->m_media == XmlAuthenticationConstants::MEDIA_WIRELESS;
}

bool XmlNetwork::isOpen() const {
    return !isWireless() || (impl()->m_association == XmlNetworkImpl::ASSOCIATION_OPEN &&
                             impl()->m_encryption == XmlNetworkImpl::ENCRYPTION_NONE);
}
