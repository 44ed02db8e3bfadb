#pragma once
// The engine's object for one network adapter as the rest of the engine sees it: its name, media
// and subscribers, and the operations the adapter list, the networks, the matchmaker and the
// connection API ask of it. The adapter object itself (VelAdapterImpl, over the port layer) fills
// them in; the port layer below it knows adapters only through this base. Engine event-queue
// thread.
#include <cstdint>
#include <vector>

#include "vel/adapter/AdapterAttributes.h"
#include "vel/adapter/AdapterStateMachine.h"
#include "vel/adapter/AdapterSubscriber.h"
#include "vel/adapter/AssociationInfo.h"
#include "vel/adapter/ConnectionInfo.h"
#include "vel/adapter/PortManagerListener.h"
#include "vel/location/LocationRequest.h"
#include "vel/network/Ssid.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

class PhyInfo;
class Settings8021x;

class AdapterImpl : public ReferenceImpl {
public:
    explicit AdapterImpl(const Ascii& symbolicName);

    const Ascii& symbolicName() const { return m_symbolicName; }
    const Ascii& description() const { return m_description; }
    std::int32_t mediaType() const { return m_mediaType; }

    void addSubscriber(AdapterSubscriberInterface* subscriber);
    void removeSubscriber(AdapterSubscriberInterface* subscriber);
    // A copy of the subscribers, for walking them while they may change.
    std::vector<Reference> subscribers() { return m_subscribers.snapshot(); }
    // Empties the subscriber vector and forgets the port listener.
    void clearReferences() override;

    // Who hears what the adapter's port reports; null for none. Not counted: the listener is a
    // part of the adapter (the adapter object itself) and lives as long as it.
    void setPortManagerListener(PortManagerListenerInterface* listener) { m_portManagerListener = listener; }
    PortManagerListener portManagerListener() const { return PortManagerListener(m_portManagerListener); }

    // Starts a connection: the network's medium, its 802.1X timers and its authentication type
    // (AdapterConstants::AUTHENTICATION_NOT_REQUIRED for a network without 802.1X).
    virtual void connect(const PhyInfo& phyInfo, const Settings8021x& settings,
                         std::int32_t authenticationType) = 0;
    // Hands the medium the port again, without any state change (a forced reassociation).
    virtual void restartConnection(const PhyInfo& phyInfo) = 0;
    virtual void reAuth() = 0;
    virtual void disconnect() = 0;
    // Takes control of the adapter once the operating system's wireless configuration is off.
    virtual void manage() = 0;
    // reactivate 1 hands the adapter back to the operating system's wireless configuration.
    virtual void unmanage(std::int32_t reactivate) = 0;
    // A new copy of the port attributes; empty when the library has none for the name.
    virtual AdapterAttributesProxy attributes() = 0;
    // The MAC address as twelve digits; empty without attributes.
    virtual Ascii macAddress() = 0;
    // The access point (wireless) or the link speed (wired) while associated; empty otherwise.
    virtual AssociationInfoProxy associationInfo() = 0;
    // The IP address; "0.0.0.0" when the adapter has none.
    virtual ConnectionInfoProxy connectionInfo() = 0;
    // The scan entry of the access point a location-capable radio is associated with.
    virtual SsidProxy scanDetails() = 0;
    // True when the library took the location request to the access point.
    virtual bool location(const LocationRequest& request) = 0;
    virtual void rsnProbeIeVerifyEnable(std::int32_t setting) = 0;
    virtual void radioOff() = 0;
    virtual void radioOn() = 0;
    virtual bool isRadioOn() = 0;
    virtual void unblockOsWaitForIp() = 0;
    virtual bool enablePacketCapture() = 0;
    virtual bool disablePacketCapture() = 0;
    virtual void closePort() = 0;
    // The adapter list's notices.
    virtual void symbolicNameBound() = 0;
    virtual void symbolicNameUnbound() = 0;
    virtual std::int32_t state() const = 0;

protected:
    Ascii m_symbolicName;
    Ascii m_description;
    // AdapterSubscriberInterface elements.
    ElementVector m_subscribers;
    std::int32_t m_mediaType;
    PortManagerListenerInterface* m_portManagerListener = nullptr;
};

class VelAdapter : public Reference {
public:
    // A new adapter object ("unbound") for the symbolic name; made with the adapter object itself
    // (library vel_veladapter).
    static VelAdapter create(const Ascii& symbolicName);

    VelAdapter() = default;
    // Adds a reference.
    explicit VelAdapter(AdapterImpl* p) : Reference(static_cast<ReferenceImpl*>(p)) {}

    std::int32_t mediaType() const { return impl()->mediaType(); }
    Ascii symbolicName() const { return impl()->symbolicName(); }
    Ascii description() const { return impl()->description(); }
    std::int32_t state() const { return impl()->state(); }
    void addSubscriber(AdapterSubscriberInterface* subscriber) const { impl()->addSubscriber(subscriber); }
    void removeSubscriber(AdapterSubscriberInterface* subscriber) const {
        impl()->removeSubscriber(subscriber);
    }
    std::vector<Reference> subscribers() const { return impl()->subscribers(); }
    void setPortManagerListener(PortManagerListenerInterface* listener) const {
        impl()->setPortManagerListener(listener);
    }
    PortManagerListener portManagerListener() const { return impl()->portManagerListener(); }

    void connect(const PhyInfo& phyInfo, const Settings8021x& settings,
                 std::int32_t authenticationType) const {
        impl()->connect(phyInfo, settings, authenticationType);
    }
    void restartConnection(const PhyInfo& phyInfo) const { impl()->restartConnection(phyInfo); }
    void reAuth() const { impl()->reAuth(); }
    void disconnect() const { impl()->disconnect(); }
    void manage() const { impl()->manage(); }
    void unmanage(std::int32_t reactivate) const { impl()->unmanage(reactivate); }
    AdapterAttributesProxy attributes() const { return impl()->attributes(); }
    Ascii macAddress() const { return impl()->macAddress(); }
    AssociationInfoProxy associationInfo() const { return impl()->associationInfo(); }
    ConnectionInfoProxy connectionInfo() const { return impl()->connectionInfo(); }
    SsidProxy scanDetails() const { return impl()->scanDetails(); }
    bool location(const LocationRequest& request) const { return impl()->location(request); }
    void rsnProbeIeVerifyEnable(std::int32_t setting) const { impl()->rsnProbeIeVerifyEnable(setting); }
    void radioOff() const { impl()->radioOff(); }
    void radioOn() const { impl()->radioOn(); }
    bool isRadioOn() const { return impl()->isRadioOn(); }
    void unblockOsWaitForIp() const { impl()->unblockOsWaitForIp(); }
    bool enablePacketCapture() const { return impl()->enablePacketCapture(); }
    bool disablePacketCapture() const { return impl()->disablePacketCapture(); }
    void closePort() const { impl()->closePort(); }
    void symbolicNameBound() const { impl()->symbolicNameBound(); }
    void symbolicNameUnbound() const { impl()->symbolicNameUnbound(); }

    AdapterImpl* impl() const { return static_cast<AdapterImpl*>(static_cast<ReferenceImpl*>(m)); }
};
