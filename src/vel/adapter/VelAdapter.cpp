#include "vel/adapter/VelAdapter.h"

#include <cstdarg>

#include "platform/qxauth/qxAuth.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/string/TagMacAddr.h"

namespace {

using M = AdapterStateMachine;

void logErrorTagged(const Tags& tags, const char* format, ...) __attribute__((format(printf, 2, 3)));
void logErrorTagged(const Tags& tags, const char* format, ...) {
    va_list args;
    va_start(args, format);
    logVMasked(LogConstants::LEVEL_ERROR, "ERR", &tags, format, args);
    va_end(args);
}

}  // namespace

AdapterImpl::AdapterImpl(const Ascii& symbolicName)
    : m_symbolicName(symbolicName),
      m_description(""),
      m_subscribers(ElementVector::create()),
      m_mediaType(AdapterConstants::MEDIA_TYPE_NONE) {}

void AdapterImpl::addSubscriber(AdapterSubscriberInterface* subscriber) {
    m_subscribers.addIfAbsent(subscriber);
}

void AdapterImpl::removeSubscriber(AdapterSubscriberInterface* subscriber) {
    m_subscribers.remove(subscriber);
}

void AdapterImpl::clearReferences() {
    m_subscribers.clear();
    m_portManagerListener = nullptr;
}

VelAdapterImpl::VelAdapterImpl(const Ascii& symbolicName)
    : AdapterImpl(symbolicName), m_stateMachine(symbolicName) {
    readPortAttributes();
}

bool VelAdapterImpl::readPortAttributes() {
    QX_PORT_ATTR record = {};
    int result = qxGetPortAttr(m_symbolicName.text(), &record);
    if (result != QX_OK) {
        // An adapter that is gone answers "not found"; anything else is the library's failure.
        if (result != QX_ERR_NOT_FOUND) NvoError(__FILE__, __LINE__, "qxGetPortAttr", result);
        logError(146, "%s: Unable to use adapter. You must warm boot the device", m_symbolicName.text());
        return false;
    }
    AdapterAttributes attributes(record);
    m_description = attributes.description();
    if ((record.flags & (AdapterConstants::ATTRIBUTE_8023 | AdapterConstants::ATTRIBUTE_WIRELESS)) != 0)
        m_mediaType = attributes.media();
    return true;
}

AdapterAttributesProxy VelAdapterImpl::attributes() {
    QX_PORT_ATTR record = {};
    int result = qxGetPortAttr(m_symbolicName.text(), &record);
    if (result != QX_OK) {
        if (result != QX_ERR_NOT_FOUND) NvoError(__FILE__, __LINE__, "qxGetPortAttr", result);
        return AdapterAttributesProxy();
    }
    return AdapterAttributesProxy(AdapterAttributes(record));
}

Ascii VelAdapterImpl::macAddress() {
    AdapterAttributesProxy attributes = this->attributes();
    return attributes.exists() ? attributes.value().macAddressText() : Ascii("");
}

void VelAdapterImpl::symbolicNameBound() {
    if (readPortAttributes()) {
        logInfo(0, "%s: symbolic name bound", m_symbolicName.text());
        handleEventAndDoStateTransitionAction(M::BOUND);
    } else {
        logInfo(0, "%s: symbolic name probably bound, but actually unbound", m_symbolicName.text());
        handleEventAndDoStateTransitionAction(M::UNBOUND);
    }
}

void VelAdapterImpl::symbolicNameUnbound() {
    logInfo(0, "%s: symbolic name unbound", m_symbolicName.text());
    handleEventAndDoStateTransitionAction(M::UNBOUND);
}

void VelAdapterImpl::handleEventAndDoStateTransitionAction(std::int32_t event, std::int32_t first,
                                                           std::int32_t second) {
    m_stateMachine.handleEvent(event);
    std::int32_t action = m_stateMachine.action();
    logInfo(0, "handleEventAndDoStateTransitionAction action = %s", M::actionName(action));
    performStateTransitionAction(action, first, second);
}

void VelAdapterImpl::performStateTransitionAction(std::int32_t action, std::int32_t first, std::int32_t) {
    switch (action) {
        case M::NO_ACTION:
            return;
        case M::ADAPTER_ERROR_ACTION:
        case M::COUNTERMEASURES_STOP_ACTION:
        case M::COUNTERMEASURES_START_ACTION:
        case M::HELD_TIMER_EXPIRED_ACTION:
        case M::IP_CONNECTIVITY_ACTION:
        case M::IP_CONNECTIVITY_FAILS_ACTION:
        case M::DISCONNECT_LINK_CHANGED_ACTION:
            publish(0);
            return;
        case M::UNMANAGE_ACTION:
            unmanageAction();
            return;
        case M::BOUND_ACTION:
            boundAction();
            return;
        case M::UNBOUND_ACTION:
            unboundAction();
            return;
        case M::MANAGE_ACTION:
            manageAction();
            return;
        case M::DISCONNECT_ACTION:
            disconnectAction();
            return;
        case M::CONNECT_ACTION:
            LUM_ASSERT_TEXT(false, "Can't perform connectAction here - it needs arguments");
            return;
        case M::CONNECT_LINK_UP_ACTION:
            LUM_ASSERT_TEXT(false, "Can't perform connectLinkUpAction here - it needs arguments");
            return;
        case M::LINK_DOWN_ACTION:
            linkDownAction();
            return;
        case M::LINK_UP_ACTION:
            linkUpAction();
            return;
        case M::AUTH_NOT_REQUIRED_ACTION:
            authNotRequiredAction();
            return;
        case M::AUTH_REQUEST_ACTION:
            authRequestAction();
            return;
        case M::AUTH_SUCCESS_ACTION:
            authSuccessAction();
            return;
        case M::AUTH_FAIL_ACTION:
            authFailAction(first);
            return;
        default:
            LUM_ASSERT_TEXT(false, "VelAdapterImpl::performStateTransitionAction unknown action");
            return;
    }
}

void VelAdapterImpl::publish(std::int32_t reason) {
    VelAdapter self(this);
    std::int32_t state = m_stateMachine.state();
    for (const Reference& subscriber : m_subscribers.snapshot())
        static_cast<AdapterSubscriberInterface*>(subscriber.m)->adapterStateChanged(self, state, reason);
}

void VelAdapterImpl::authenticationNotRequiredCheck() {
    if (m_authenticationType != AdapterConstants::AUTHENTICATION_NOT_REQUIRED) return;
    TagMacAddr mac(macAddress(), 585);
    logInfoTagged(Tags(mac), 585, "Authentication not required.");
    handleEventAndDoStateTransitionAction(M::AUTH_SUCCESS, 0, 0);
}

void VelAdapterImpl::unmanageAction() {
    publish(0);
}

void VelAdapterImpl::boundAction() {
    publish(0);
}

void VelAdapterImpl::unboundAction() {
    logInfo(7, "Adapter removed: %s", m_symbolicName.text());
    publish(0);
}

void VelAdapterImpl::manageAction() {
    publish(0);
}

void VelAdapterImpl::disconnectAction() {
    m_authenticationType = 0;
    publish(0);
}

void VelAdapterImpl::linkDownAction() {
    publish(0);
    m_lastLinkAction = M::LINK_DOWN_ACTION;
}

void VelAdapterImpl::linkUpAction() {
    publish(0);
    authenticationNotRequiredCheck();
    m_lastLinkAction = M::LINK_UP_ACTION;
}

void VelAdapterImpl::authNotRequiredAction() {
    publish(0);
}

void VelAdapterImpl::authRequestAction() {
    publish(0);
    authenticationNotRequiredCheck();
}

void VelAdapterImpl::authSuccessAction() {
    TagMacAddr mac(macAddress(), 76);
    logInfoTagged(Tags(mac), 76, "%s: Authentication Success", m_symbolicName.text());
    publish(0);
}

void VelAdapterImpl::authFailAction(std::int32_t reason) {
    TagMacAddr mac(macAddress(), 77);
    logErrorTagged(Tags(mac), "%s: Authentication Failed", m_symbolicName.text());
    publish(reason);
}

VelAdapter VelAdapter::create(const Ascii& symbolicName) {
    VelAdapter adapter;
    adapter.m = static_cast<ReferenceImpl*>(new VelAdapterImpl(symbolicName));
    return adapter;
}
