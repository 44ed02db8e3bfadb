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
