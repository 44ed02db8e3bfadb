#include "vel/ipcmsghandlers/NetworkView.h"

Ascii NetworkViewImpl::networkName() {
    return m_network.name();
}

std::int32_t NetworkViewImpl::mediaType() {
    return m_network.getMediaType();
}

NetworkDetails NetworkViewImpl::details() {
    NetworkDetails details;
    details.flagB = m_network.getFlagB();
    details.outerEapMethod = m_network.getOuterEapMethod();
    details.innerEapMethod = m_network.getInnerEapMethod();
    details.credentialFailure = m_network.getCredentialFailure();
    // What the network's adapter reports right now: a state event sent again shows it as it is then.
    AssociationInfoProxy association = m_network.getAssociationInfo();
    if (association.exists()) {
        const AssociationInfo info = association.value();
        details.association =
            NetworkAssociationDetails{info.bssid(), info.channel(), info.signal(), info.linkSpeed()};
    }
    AdapterAttributesProxy attributes = m_network.getAdapterAttributes();
    if (attributes.exists()) {
        const AdapterAttributes adapter = attributes.value();
        details.adapter = NetworkAdapterDetails{adapter.description(), adapter.macAddress()};
    }
    ConnectionInfoProxy connection = m_network.getConnectionInfo();
    if (connection.exists()) details.ipAddress = connection.value().ipAddress();
    return details;
}

ConnApiNetwork NetworkView::of(const Network& network) {
    auto* view = new NetworkViewImpl(network);
    ConnApiNetwork handle(static_cast<ConnApiNetworkInterface*>(view));
    view->release();
    return handle;
}

Network NetworkView::networkOf(const ConnApiNetwork& network) {
    auto* view = dynamic_cast<NetworkViewImpl*>(network.view());
    return view != nullptr ? view->network() : Network();
}
