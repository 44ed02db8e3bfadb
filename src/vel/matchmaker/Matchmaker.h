#pragma once
// The matchmaker: which adapter serves which configured network. It keeps, per media type, the
// adapters the adapter list reported and the networks the configuration handed over, and pairs at
// most one adapter with one network at a time: a free adapter of the highest-priority media type
// (wired before wireless) that has both a usable adapter and an available network. A match on a
// lower-priority type gives way, through the configuration, when a higher-priority type becomes
// usable. It also carries the service-wide switches "client enabled" and "radio on", the media
// types the user-control policy allows, and the repair of the wireless adapters. Matching always
// runs in an event of its own after the change that called for it. Engine event-queue thread.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "vel/adapter/AdapterConstants.h"
#include "vel/adapter/AdapterNotices.h"
#include "vel/adapter/AdapterSubscriber.h"
#include "vel/adapter/VelAdapter.h"
#include "vel/configuration/ActiveConfigurationSubscriberInterface.h"
#include "vel/configuration/ConfigurationMatchmaker.h"
#include "vel/matchmaker/MatchmakerAdapter.h"
#include "vel/matchmaker/MatchmakerNetwork.h"
#include "vel/multithread/MessageEvent.h"
#include "vel/network/Network.h"
#include "vel/network/NetworkMatchmaker.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/symbolicname/AdapterListSubscriber.h"

class MatchmakerImpl : public ReferenceImpl,
                       public AdapterListSubscriberInterface,
                       public AdapterSubscriberInterface,
                       public ActiveConfigurationSubscriberInterface,
                       public AdapterMatchmakerInterface,
                       public ConfigurationMatchmakerInterface,
                       public NetworkMatchmakerInterface {
public:
    // postingFlag 1 (the service): scheduling posts the matching event, and notices about adapters
    // it does not know are broken invariants. 0: scheduling only marks that matching is needed
    // (the caller runs makeMatches), and such notices are only logged.
    explicit MatchmakerImpl(std::int32_t postingFlag);
    ~MatchmakerImpl() override;

    void addRef() override { ReferenceImpl::addRef(); }
    void release() override { ReferenceImpl::release(); }
    void release2() override { ReferenceImpl::release2(); }
    // Shut-down: lets every adapter and network entry go and leaves every adapter's subscribers.
    void clearReferences() override;

    // A started network joins its media type's networks to match; a stopped one leaves them.
    void insertNetwork(const Network& network) override;
    void removeNetwork(const Network& network) override;
    // The configuration selects the network: it is tried next for its media type.
    void addNetwork(const Network& network) override;
    // The network lets its adapter go: it is free again, and the network is tried first again after
    // unmatchAndRetry.
    void unmatch(const VelAdapter& adapter, const Network& network) override;
    void unmatchAndRetry(const VelAdapter& adapter, const Network& network) override;
    void addMediaTypeSupport(std::int32_t mediaType) override;
    void removeMediaTypeSupport(std::int32_t mediaType) override;
    void turnOffRadio();
    void turnOnRadio();
    void disableClient();
    void enableClient();
    void releaseAdapters();
    void resetAdapters();
    // Every adapter of the three lists, media type 0 first.
    std::vector<VelAdapter> adapters();
    // The adapter matched with the network; empty when the network holds none.
    VelAdapter adapterOf(const Network& network);
    bool isClientEnabled() override { return m_clientEnabled; }
    bool isRadioOn() const { return m_radioOn; }

    void scheduleMakeMatches();
    void makeMatches();
    // The reconsideration a pass asked for runs; the next pass may ask again.
    void reconsiderationRan() { m_reconsiderPending = false; }

    // The adapter list tells of a new adapter.
    void newAdapter(const VelAdapter& adapter) override;
    // The adapters tell of their states and notices.
    void eapStatus(const VelAdapter&, std::int32_t) override {}
    void adapterStateChanged(const VelAdapter& adapter, std::int32_t state, std::int32_t reason) override;
    void adapterBound(const VelAdapter& adapter) override;
    void adapterManaged(const VelAdapter& adapter) override;
    void adapterUnbound(const VelAdapter& adapter) override;
    // Another configuration in force may validate the WPA handshake otherwise.
    void activeConfigurationChanged() override;
    void userConfigurationChanged() override {}

    static std::atomic<MatchmakerImpl*> Singleton;

private:
    static constexpr int COUNT = AdapterConstants::MEDIA_TYPE_COUNT;

    // The per-type pass: pairs free adapters with available networks of the type while no match
    // exists.
    void makeMatches(std::int32_t mediaType);
    void match(const MatchmakerNetwork& network, const MatchmakerAdapter& adapter);
    // False, after logging, when an entry point got a media type outside the lists.
    static bool validMediaType(std::int32_t mediaType, const char* assertion);
    // The adapter's entry; an empty proxy, logged and (when posting) asserted, when it is unknown.
    MatchmakerAdapterProxy findNoticed(const VelAdapter& adapter, const char* line, const char* assertion);
    void setMediaTypeSupport(std::int32_t mediaType, bool supported);
    // Lets the adapter go unmanaged; the matchmaker no longer counts it as managed.
    void unmanage(const MatchmakerAdapter& adapter, std::int32_t reactivate);
    // Each adapter of every supported list.
    void forEachSupportedAdapter(const std::function<void(const MatchmakerAdapter&)>& each);
    // 2 when the configuration in force validates the WPA handshake, else 1.
    static std::int32_t rsnSetting();
    static bool isWireless(const MatchmakerAdapter& adapter);

    std::array<MatchmakerNetworkList, COUNT> m_networkLists;
    std::array<MatchmakerAdapterList, COUNT> m_adapterLists;
    std::int32_t m_matchCount = 0;
    std::int32_t m_postingFlag;
    bool m_needsMatching = true;
    // A pass or a reconsideration already waits on the engine's queue.
    bool m_passPending = false;
    bool m_reconsiderPending = false;
    bool m_clientEnabled = true;
    bool m_radioOn = true;
};

class Matchmaker : public Reference {
public:
    // Makes the singleton ("Singleton == null"); the handle holds the creator's reference.
    static Matchmaker create(std::int32_t postingFlag);
    // Binds to the singleton ("Singleton != null"); empty when there is none.
    Matchmaker();

    bool isClientEnabled() const { return impl()->isClientEnabled(); }
    bool isRadioOn() const { return impl()->isRadioOn(); }
    void insertNetwork(const Network& network) const { impl()->insertNetwork(network); }
    void removeNetwork(const Network& network) const { impl()->removeNetwork(network); }
    void addNetwork(const Network& network) const { impl()->addNetwork(network); }
    void unmatch(const VelAdapter& adapter, const Network& network) const {
        impl()->unmatch(adapter, network);
    }
    void unmatchAndRetry(const VelAdapter& adapter, const Network& network) const {
        impl()->unmatchAndRetry(adapter, network);
    }
    void addMediaTypeSupport(std::int32_t mediaType) const { impl()->addMediaTypeSupport(mediaType); }
    void removeMediaTypeSupport(std::int32_t mediaType) const { impl()->removeMediaTypeSupport(mediaType); }
    void adapterBound(const VelAdapter& adapter) const { impl()->adapterBound(adapter); }
    void adapterManaged(const VelAdapter& adapter) const { impl()->adapterManaged(adapter); }
    void adapterUnbound(const VelAdapter& adapter) const { impl()->adapterUnbound(adapter); }
    void turnOffRadio() const { impl()->turnOffRadio(); }
    void turnOnRadio() const { impl()->turnOnRadio(); }
    void disableClient() const { impl()->disableClient(); }
    void enableClient() const { impl()->enableClient(); }
    void releaseAdapters() const { impl()->releaseAdapters(); }
    void resetAdapters() const { impl()->resetAdapters(); }
    std::vector<VelAdapter> adapters() const { return impl()->adapters(); }
    VelAdapter adapterOf(const Network& network) const { return impl()->adapterOf(network); }
    void makeMatches() const { impl()->makeMatches(); }
    void clearReferences() const { impl()->clearReferences(); }

    MatchmakerImpl* impl() const { return static_cast<MatchmakerImpl*>(static_cast<ReferenceImpl*>(m)); }

private:
    // Takes over the reference p carries; null leaves the handle empty.
    explicit Matchmaker(MatchmakerImpl* p);
};
