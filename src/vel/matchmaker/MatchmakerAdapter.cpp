#include "vel/matchmaker/MatchmakerAdapter.h"

#include "vel/adapter/AdapterConstants.h"

MatchmakerAdapter MatchmakerAdapter::create(const VelAdapter& adapter) {
    MatchmakerAdapter created;
    static_cast<Reference&>(created) = Reference(new MatchmakerAdapterImpl(adapter), Reference::TAKE_OVER);
    return created;
}

bool MatchmakerAdapter::isAvailable() const {
    return isManaged() && !getIsMatched() &&
           (adapter().mediaType() != AdapterConstants::MEDIA_TYPE_8023 ||
            linkStatus() == MatchmakerAdapterImpl::LINK_UP);
}

MatchmakerAdapterProxy MatchmakerAdapterList::find(const VelAdapter& adapter) const {
    MatchmakerAdapterProxy proxy;
    for (const MatchmakerAdapter& entry : entries()) {
        if (entry.adapter() == adapter) {
            proxy.setMatchmakerAdapter(entry);
            break;
        }
    }
    return proxy;
}
