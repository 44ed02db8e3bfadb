#include "vel/matchmaker/Matchmaker.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/configuration/ActiveConfiguration.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/BaseException.h"
#include "vel/matchmaker/MatchmakerEvents.h"
#include "vel/matchmaker/NicBounce.h"
#include "vel/multithread/EventQueue.h"
#include "vel/reference/Singleton.h"

std::atomic<MatchmakerImpl*> MatchmakerImpl::Singleton{nullptr};

namespace {

using C = AdapterConstants;
using M = AdapterStateMachine;
using L = MatchmakerAdapterImpl;

// What an adapter state says of the link: down while unbound, unmanaged, without link or still
// associating; up once the adapter has its link and from association on.
std::int32_t linkStatusOf(std::int32_t state) {
    switch (state) {
        case M::STATE_UNBOUND:
        case M::STATE_UNMANAGED:
        case M::STATE_DISCONNECTED_LINK_DOWN:
        case M::STATE_ASSOCIATING:
            return L::LINK_DOWN;
        case M::STATE_DISCONNECTED_LINK_UP:
        case M::STATE_ASSOCIATED:
        case M::STATE_AUTHENTICATING:
        case M::STATE_AUTHENTICATED:
        case M::STATE_NO_IP:
        case M::STATE_CONNECTED:
        case M::STATE_AUTH_FAILED:
        case M::STATE_COUNTERMEASURES:
            return L::LINK_UP;
        default:
            return L::LINK_UNKNOWN;
    }
}

}  // namespace

MatchmakerImpl::MatchmakerImpl(std::int32_t postingFlag) : m_postingFlag(postingFlag) {}

MatchmakerImpl::~MatchmakerImpl() {
    try {
        clearReferences();
    } catch (const BaseException& e) {
        logError(0, "Internal error %d, contact software manufacturer", 162);
        logError(0, "Failed to release all resources used by the Matchmaker when destroying it.");
        e.report();
    }
    forgetSingleton(Singleton, this);
}

void MatchmakerImpl::clearReferences() {
    for (MatchmakerAdapterList& list : m_adapterLists) {
        for (const MatchmakerAdapter& entry : list.entries())
            entry.adapter().removeSubscriber(static_cast<AdapterSubscriberInterface*>(this));
        list.clear();
    }
    for (MatchmakerNetworkList& list : m_networkLists) list.clear();
}

bool MatchmakerImpl::validMediaType(std::int32_t mediaType, const char* assertion) {
    return LUM_ASSERT_TEXT(mediaType >= 0 && mediaType < COUNT, assertion);
}

bool MatchmakerImpl::isWireless(const MatchmakerAdapter& adapter) {
    return adapter.adapter().mediaType() == C::MEDIA_TYPE_80211;
}

void MatchmakerImpl::forEachSupportedAdapter(const std::function<void(const MatchmakerAdapter&)>& each) {
    for (MatchmakerAdapterList& list : m_adapterLists) {
        if (!list.m_supported) continue;
        // A copy: what an adapter does when told may come back here.
        std::vector<MatchmakerAdapter> entries = list.entries();
        for (const MatchmakerAdapter& entry : entries) each(entry);
    }
}

void MatchmakerImpl::scheduleMakeMatches() {
    // One pass makes every match that is due, so a change made while one waits needs no other: a
    // thousand networks starting at once must not post a thousand passes onto the engine's queue.
    if (m_postingFlag == 1 && !m_passPending) {
        m_passPending = true;
        EventQueue::Instance().post(MessageEvent(new MakeMatchesEventImpl));
    }
    m_needsMatching = true;
}

void MatchmakerImpl::makeMatches() {
    m_passPending = false;
    logInfo(0, "starting makeMatches...");
    if (!m_needsMatching) {
        logInfo(0, "matchmaking not needed");
        return;
    }
    m_needsMatching = false;
    // A disabled client has let its adapters go: nothing may be attached until it is enabled,
    // which schedules again.
    if (!m_clientEnabled) return;
    if (m_matchCount < 1) {
        for (std::int32_t type = 0; type < COUNT && m_matchCount < 1; ++type) makeMatches(type);
        return;
    }
    int budget = 1;
    for (std::int32_t type = 0; type < COUNT && budget > 0; ++type) {
        int matched = m_adapterLists[type].matchedCount();
        if (m_adapterLists[type].hasAvailableAdapter() && m_networkLists[type].hasAvailable() &&
            matched < budget) {
            for (std::int32_t later = type; later < COUNT; ++later) m_networkLists[later].rewindToMatched();
            logInfo(0, "Higher priority adapter available");
            if (!m_reconsiderPending) {
                m_reconsiderPending = true;
                EventQueue::Instance().post(MessageEvent(new HigherPriorityAdapterAvailableEventImpl));
            }
            return;
        }
        logInfo(0,
                "makeMatches() made no matches for media type = %d because the maximum number of matches has "
                "already been made.",
                type);
        budget -= matched;
    }
}

void MatchmakerImpl::makeMatches(std::int32_t mediaType) {
    if (!validMediaType(mediaType, "mediaType < AdapterConstants::MEDIA_TYPE_COUNT")) return;
    MatchmakerAdapterList& adapters = m_adapterLists[mediaType];
    MatchmakerNetworkList& networks = m_networkLists[mediaType];
    if (!adapters.hasAvailableAdapter())
        logInfo(0, "makeMatches(mediaType = %d) failed because there are no available adapters.", mediaType);
    if (!networks.hasAvailable())
        logInfo(0, "makeMatches(mediaType = %d) failed because there are no available networks.", mediaType);
    while (adapters.hasAvailableAdapter() && networks.hasAvailable() && m_matchCount == 0) {
        MatchmakerAdapter adapter;
        MatchmakerNetwork network;
        adapters.takeNextAvailable(adapter);
        networks.takeNextAvailable(network);
        match(network, adapter);
    }
}

void MatchmakerImpl::match(const MatchmakerNetwork& network, const MatchmakerAdapter& adapter) {
    VelAdapter velAdapter = adapter.adapter();
    Network matched = network.network();
    logInfo(0, "matching adapter %s and network %s ...", velAdapter.symbolicName().text(),
            matched.name().text());
    adapter.setIsMatched(true);
    network.setIsMatched(true);
    ++m_matchCount;
    // The one connection runs alone: the other media types' ports close.
    for (std::int32_t type = 0; type < COUNT; ++type) {
        if (type == velAdapter.mediaType() || !m_adapterLists[type].m_supported) continue;
        std::vector<MatchmakerAdapter> entries = m_adapterLists[type].entries();
        for (const MatchmakerAdapter& other : entries) other.adapter().closePort();
    }
    matched.attachAdapter(velAdapter);
}

void MatchmakerImpl::unmatch(const VelAdapter& adapter, const Network& network) {
    logInfo(0, "unmatching adapter %s and network %s...", adapter.symbolicName().text(),
            network.name().text());
    bool adapterFound = false;
    bool networkFound = false;
    std::int32_t adapterType = adapter.mediaType();
    if (validMediaType(adapterType, "adapter.mediaType() < AdapterConstants::MEDIA_TYPE_COUNT")) {
        MatchmakerAdapterProxy proxy = m_adapterLists[adapterType].find(adapter);
        if (proxy.exists()) {
            adapterFound = true;
            LUM_ASSERT_TEXT(proxy.matchmakerAdapter().getIsMatched(),
                            "matchmakerAdapterProxy.matchmakerAdapter().getIsMatched() == true");
            proxy.matchmakerAdapter().setIsMatched(false);
        }
    }
    std::int32_t networkType = network.getMediaType();
    if (validMediaType(networkType, "network.getMediaType() < AdapterConstants::MEDIA_TYPE_COUNT")) {
        MatchmakerNetworkProxy proxy = m_networkLists[networkType].find(network);
        if (proxy.exists()) {
            networkFound = true;
            LUM_ASSERT_TEXT(proxy.matchmakerNetwork().getIsMatched(),
                            "matchmakerNetworkProxy.matchmakerNetwork().getIsMatched() == true");
            proxy.matchmakerNetwork().setIsMatched(false);
        }
    }
    if (adapterFound && networkFound) {
        logInfo(0, "unmatched adapter %s and network %s successfully.", adapter.symbolicName().text(),
                network.name().text());
        --m_matchCount;
    }
    if (!adapterFound) {
        logInfo(0, "unmatching unknown adapter. adapter name = %s", adapter.symbolicName().text());
        LUM_ASSERT_TEXT(false, "unmatching unknown adapter");
    }
    if (!networkFound) {
        logInfo(0, "unmatching unknown network. network name = %s", network.name().text());
        LUM_ASSERT_TEXT(false, "unmatching unknown network.");
    }
    scheduleMakeMatches();
}

void MatchmakerImpl::unmatchAndRetry(const VelAdapter& adapter, const Network& network) {
    unmatch(adapter, network);
    std::int32_t type = network.getMediaType();
    if (!validMediaType(type, "network.getMediaType() < AdapterConstants::MEDIA_TYPE_COUNT")) return;
    int position = m_networkLists[type].lastIndexOf(network);
    if (position >= 0) m_networkLists[type].setCursor(position);
}

void MatchmakerImpl::insertNetwork(const Network& network) {
    std::int32_t type = network.getMediaType();
    if (!validMediaType(type, "network.getMediaType() < AdapterConstants::MEDIA_TYPE_COUNT")) return;
    m_networkLists[type].append(MatchmakerNetwork::create(network));
    scheduleMakeMatches();
}

void MatchmakerImpl::removeNetwork(const Network& network) {
    std::int32_t type = network.getMediaType();
    if (!validMediaType(type, "mediaType < AdapterConstants::MEDIA_TYPE_COUNT")) return;
    MatchmakerNetworkList& list = m_networkLists[type];
    int position = -1;
    for (int i = 0; i < list.length(); ++i) {
        if (list.at(i).network() == network) {
            position = i;
            break;
        }
    }
    if (!LUM_ASSERT_TEXT(position >= 0, "proxy.exists()")) return;
    list.removeAt(position);
    if (list.length() == 0 && m_adapterLists[type].m_supported) {
        std::vector<MatchmakerAdapter> entries = m_adapterLists[type].entries();
        for (const MatchmakerAdapter& entry : entries) entry.adapter().closePort();
    }
    scheduleMakeMatches();
}

void MatchmakerImpl::addNetwork(const Network& network) {
    std::int32_t type = network.getMediaType();
    if (!validMediaType(type, "network.getMediaType() < AdapterConstants::MEDIA_TYPE_COUNT")) return;
    for (std::int32_t other = 0; other < COUNT; ++other)
        if (other != type) m_networkLists[other].rewindToMatched();
    int position = m_networkLists[type].lastIndexOf(network);
    if (position >= 0) m_networkLists[type].setCursor(position);
}

void MatchmakerImpl::addMediaTypeSupport(std::int32_t mediaType) {
    logInfo(0, "Adding support for media type %d to matchmaker", mediaType);
    setMediaTypeSupport(mediaType, true);
}

void MatchmakerImpl::removeMediaTypeSupport(std::int32_t mediaType) {
    logInfo(0, "Removing support for media type %d from matchmaker", mediaType);
    setMediaTypeSupport(mediaType, false);
}

void MatchmakerImpl::setMediaTypeSupport(std::int32_t mediaType, bool supported) {
    if (!validMediaType(mediaType, "mediaType < AdapterConstants::MEDIA_TYPE_COUNT")) return;
    MatchmakerAdapterList& list = m_adapterLists[mediaType];
    if (list.m_supported == supported) return;
    std::vector<MatchmakerAdapter> entries = list.entries();
    if (!supported)
        for (const MatchmakerAdapter& entry : entries) unmanage(entry, 1);
    list.m_supported = supported;
    if (supported)
        for (const MatchmakerAdapter& entry : entries) entry.adapter().manage();
}

void MatchmakerImpl::unmanage(const MatchmakerAdapter& adapter, std::int32_t reactivate) {
    // Counting it as managed would match it with a network that then waits for it in vain.
    adapter.setManaged(false);
    adapter.adapter().unmanage(reactivate);
}

void MatchmakerImpl::turnOffRadio() {
    forEachSupportedAdapter([](const MatchmakerAdapter& entry) {
        if (isWireless(entry)) entry.adapter().radioOff();
    });
    m_radioOn = false;
}

void MatchmakerImpl::turnOnRadio() {
    forEachSupportedAdapter([](const MatchmakerAdapter& entry) {
        if (isWireless(entry)) entry.adapter().radioOn();
    });
    m_radioOn = true;
}

void MatchmakerImpl::disableClient() {
    m_clientEnabled = false;
    forEachSupportedAdapter([this](const MatchmakerAdapter& entry) { unmanage(entry, 1); });
}

void MatchmakerImpl::enableClient() {
    m_clientEnabled = true;
    m_radioOn = true;
    // Each adapter comes back through its managed notice, which sends the RSN and radio settings.
    forEachSupportedAdapter([](const MatchmakerAdapter& entry) { entry.adapter().manage(); });
    scheduleMakeMatches();
}

void MatchmakerImpl::releaseAdapters() {
    forEachSupportedAdapter([](const MatchmakerAdapter& entry) { entry.adapter().unblockOsWaitForIp(); });
}

void MatchmakerImpl::resetAdapters() {
    const MatchmakerAdapterList& wireless = m_adapterLists[C::MEDIA_TYPE_80211];
    if (!wireless.m_supported) return;
    std::string names;
    for (const MatchmakerAdapter& entry : wireless.entries()) names += entry.adapter().symbolicName().text();
    NicBounce::restartAdapters(names);
}

std::vector<VelAdapter> MatchmakerImpl::adapters() {
    std::vector<VelAdapter> all;
    for (const MatchmakerAdapterList& list : m_adapterLists)
        for (const MatchmakerAdapter& entry : list.entries()) all.push_back(entry.adapter());
    return all;
}

VelAdapter MatchmakerImpl::adapterOf(const Network& network) {
    std::int32_t type = network.getMediaType();
    if (type < 0 || type >= COUNT) return {};
    MatchmakerNetworkProxy proxy = m_networkLists[type].find(network);
    if (!proxy.exists() || !proxy.matchmakerNetwork().getIsMatched()) return {};
    // One match at a time: the matched adapter is the network's.
    for (const MatchmakerAdapterList& list : m_adapterLists)
        for (const MatchmakerAdapter& entry : list.entries())
            if (entry.getIsMatched()) return entry.adapter();
    return {};
}

void MatchmakerImpl::newAdapter(const VelAdapter& adapter) {
    std::int32_t type = adapter.mediaType();
    // An adapter of no media the matchmaker serves stays out of its lists.
    if (!LUM_ASSERT_TEXT(type >= 0 && type < COUNT,
                         "adapter.mediaType() < AdapterConstants::MEDIA_TYPE_COUNT"))
        return;
    logInfo(537, "Adding new adapter to managed list. guid = %s, adapter = %s, media type = %s.",
            adapter.symbolicName().text(), adapter.description().text(), MediaTypeToText(type));
    m_adapterLists[type].append(MatchmakerAdapter::create(adapter));
    adapter.addSubscriber(static_cast<AdapterSubscriberInterface*>(this));
}

MatchmakerAdapterProxy MatchmakerImpl::findNoticed(const VelAdapter& adapter, const char* line,
                                                   const char* assertion) {
    MatchmakerAdapterProxy proxy = m_adapterLists[adapter.mediaType()].find(adapter);
    if (!proxy.exists()) {
        logInfo(0, line, adapter.symbolicName().text());
        if (m_postingFlag == 1) LUM_ASSERT_TEXT(false, assertion);
    }
    return proxy;
}

void MatchmakerImpl::adapterStateChanged(const VelAdapter& adapter, std::int32_t state, std::int32_t) {
    if (!validMediaType(adapter.mediaType(), "adapter_media_type < AdapterConstants::MEDIA_TYPE_COUNT"))
        return;
    MatchmakerAdapterProxy proxy = m_adapterLists[adapter.mediaType()].find(adapter);
    if (!proxy.exists()) {
        logInfo(0, "Unknown adapter reporting state change to matchmaker. Adapter name = %s",
                adapter.symbolicName().text());
        LUM_ASSERT_TEXT(false, "Unknown adapter");
        return;
    }
    MatchmakerAdapter entry = proxy.matchmakerAdapter();
    // An unmanaged adapter is not the matchmaker's until it is managed again.
    if (state == M::STATE_UNMANAGED) entry.setManaged(false);
    std::int32_t status = linkStatusOf(state);
    if (status == entry.linkStatus()) return;
    entry.setLinkStatus(status);
    if (adapter.mediaType() == C::MEDIA_TYPE_8023) scheduleMakeMatches();
}

void MatchmakerImpl::adapterManaged(const VelAdapter& adapter) {
    if (!validMediaType(adapter.mediaType(), "adapter_media_type < AdapterConstants::MEDIA_TYPE_COUNT"))
        return;
    MatchmakerAdapterProxy proxy =
        findNoticed(adapter, "matchmaker received managed for unknown adapter. adapter name = %s",
                    "matchmaker received managed for unknown adapter.");
    if (!proxy.exists()) return;
    MatchmakerAdapter entry = proxy.matchmakerAdapter();
    if (!m_clientEnabled || !m_adapterLists[adapter.mediaType()].m_supported || entry.isManaged()) return;
    entry.setManaged(true);
    if (isWireless(entry)) {
        adapter.rsnProbeIeVerifyEnable(rsnSetting());
        if (!m_radioOn) adapter.radioOff();
    }
    scheduleMakeMatches();
}

void MatchmakerImpl::adapterUnbound(const VelAdapter& adapter) {
    if (!validMediaType(adapter.mediaType(), "adapter_media_type < AdapterConstants::MEDIA_TYPE_COUNT"))
        return;
    MatchmakerAdapterProxy proxy =
        findNoticed(adapter, "matchmaker received unbound for unknown adapter. adapter name = %s",
                    "matchmaker received unbound for unknown adapter.");
    if (!proxy.exists()) return;
    MatchmakerAdapter entry = proxy.matchmakerAdapter();
    entry.setManaged(false);
    if (m_adapterLists[adapter.mediaType()].m_supported) adapter.unmanage(0);
    scheduleMakeMatches();
}

void MatchmakerImpl::adapterBound(const VelAdapter& adapter) {
    if (!validMediaType(adapter.mediaType(), "adapter_media_type < AdapterConstants::MEDIA_TYPE_COUNT"))
        return;
    MatchmakerAdapterProxy proxy =
        findNoticed(adapter, "matchmaker received bound for unknown adapter. adapter name = %s",
                    "matchmaker received bound for unknown adapter.");
    if (!proxy.exists()) return;
    if (!m_clientEnabled || !m_adapterLists[adapter.mediaType()].m_supported) return;
    proxy.matchmakerAdapter().setManaged(false);
    adapter.manage();
}

void MatchmakerImpl::activeConfigurationChanged() {
    std::int32_t setting = rsnSetting();
    forEachSupportedAdapter([setting](const MatchmakerAdapter& entry) {
        if (isWireless(entry)) entry.adapter().rsnProbeIeVerifyEnable(setting);
    });
}

std::int32_t MatchmakerImpl::rsnSetting() {
    constexpr std::int32_t VERIFY_ON = 2;
    constexpr std::int32_t VERIFY_OFF = 1;
    if (ActiveConfigurationImpl::Singleton.load() == nullptr) return VERIFY_OFF;
    ActiveConfiguration active;
    if (active.isNull() || !active.exists()) return VERIFY_OFF;
    return active.configuration().connectionSettings().validateWpaHandshake() != 0 ? VERIFY_ON : VERIFY_OFF;
}

Matchmaker Matchmaker::create(std::int32_t postingFlag) {
    return Matchmaker(createSingleton(MatchmakerImpl::Singleton, postingFlag));
}

Matchmaker::Matchmaker() : Matchmaker(bindSingleton(MatchmakerImpl::Singleton)) {}

Matchmaker::Matchmaker(MatchmakerImpl* p) {
    if (p != nullptr) m = static_cast<ReferenceImpl*>(p);
}
