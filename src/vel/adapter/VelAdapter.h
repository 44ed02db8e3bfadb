#pragma once
// The engine's object for one network adapter, made by the adapter list from the symbolic name the
// authentication library reports and kept for the life of the service. It runs the adapter state
// machine, performs its actions and tells its subscribers (the network that holds it, the
// matchmaker) every state change. Engine event-queue thread.
#include <cstdint>
#include <vector>

#include "vel/adapter/AdapterAttributes.h"
#include "vel/adapter/AdapterStateMachine.h"
#include "vel/adapter/AdapterSubscriber.h"
#include "vel/adapter/PortManagerListener.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

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
    // part of the adapter and lives as long as it.
    void setPortManagerListener(PortManagerListenerInterface* listener) { m_portManagerListener = listener; }
    PortManagerListener portManagerListener() const { return PortManagerListener(m_portManagerListener); }

protected:
    Ascii m_symbolicName;
    Ascii m_description;
    // AdapterSubscriberInterface elements.
    ElementVector m_subscribers;
    std::int32_t m_mediaType;
    PortManagerListenerInterface* m_portManagerListener = nullptr;
};

class VelAdapterImpl : public AdapterImpl {
public:
    // "Unbound", with the port attributes read once.
    explicit VelAdapterImpl(const Ascii& symbolicName);

    // A new copy of the port attributes; empty when the library has none for the name.
    AdapterAttributesProxy attributes();
    // The MAC address as twelve digits; empty without attributes.
    Ascii macAddress();
    std::int32_t state() const { return m_stateMachine.state(); }

    // The adapter list's notices.
    void symbolicNameBound();
    void symbolicNameUnbound();

    // Feeds the event to the state machine and performs the action it gives.
    void handleEventAndDoStateTransitionAction(std::int32_t event, std::int32_t first = 0,
                                               std::int32_t second = 0);

private:
    // True when the library knows the name; keeps the description and the media.
    bool readPortAttributes();
    void performStateTransitionAction(std::int32_t action, std::int32_t first, std::int32_t second);
    // Every subscriber of a copy of the list hears the new state.
    void publish(std::int32_t reason);
    // A connection that needs no authentication counts as authenticated at once.
    void authenticationNotRequiredCheck();

    void unmanageAction();
    void boundAction();
    void unboundAction();
    void manageAction();
    void disconnectAction();
    void linkDownAction();
    void linkUpAction();
    void authNotRequiredAction();
    void authRequestAction();
    void authSuccessAction();
    void authFailAction(std::int32_t reason);

    AdapterStateMachine m_stateMachine;
    // Of the current connection: 1 when no authentication is required; 0 at start and after a
    // disconnect.
    std::int32_t m_authenticationType = 0;
    std::int32_t m_lastLinkAction = AdapterStateMachine::NO_ACTION;
    bool m_restartDhcp = false;
    // 0 idle, 1 disabling the operating system's wireless configuration, 2 disabled.
    std::int32_t m_wzcState = 0;
};

class VelAdapter : public Reference {
public:
    static VelAdapter create(const Ascii& symbolicName);

    VelAdapter() = default;
    // Adds a reference.
    explicit VelAdapter(VelAdapterImpl* p) : Reference(static_cast<ReferenceImpl*>(p)) {}

    std::int32_t mediaType() const { return impl()->mediaType(); }
    Ascii symbolicName() const { return impl()->symbolicName(); }
    Ascii description() const { return impl()->description(); }
    std::int32_t state() const { return impl()->state(); }
    AdapterAttributesProxy attributes() const { return impl()->attributes(); }
    void addSubscriber(AdapterSubscriberInterface* subscriber) const { impl()->addSubscriber(subscriber); }
    void removeSubscriber(AdapterSubscriberInterface* subscriber) const {
        impl()->removeSubscriber(subscriber);
    }
    std::vector<Reference> subscribers() const { return impl()->subscribers(); }
    void setPortManagerListener(PortManagerListenerInterface* listener) const {
        impl()->setPortManagerListener(listener);
    }
    PortManagerListener portManagerListener() const { return impl()->portManagerListener(); }
    void symbolicNameBound() const { impl()->symbolicNameBound(); }
    void symbolicNameUnbound() const { impl()->symbolicNameUnbound(); }

    VelAdapterImpl* impl() const { return static_cast<VelAdapterImpl*>(static_cast<ReferenceImpl*>(m)); }
};
