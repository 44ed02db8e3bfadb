#include "vel/port/PortEvents.h"

#include "platform/qxauth/qxAuth.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterStateMachine.h"
#include "vel/multithread/EventQueue.h"
#include "vel/port/PortManager.h"
#include "vel/port/PortStateMachine.h"
#include "vel/string/TagMacAddr.h"

void postEvent(const MessageEvent& event) {
    EventQueue queue = EventQueue::Instance();
    if (LUM_ASSERT(!queue.isNull())) queue.post(event);
}

void PortUpStatusEventImpl::run() {
    logDebug("PortUpStatusEventImpl::processEvent()");
    PortManagerImpl* portManager = manager();
    if (portManager->isWired()) {
        // A wired link may have gone again since the notice: only a link still up is passed on.
        std::int32_t linkState = 0;
        if (portManager->getLinkState(&linkState) != QX_OK) {
            logDebug("Error in getting link state information");
            return;
        }
        if (linkState == 0) {
            logDebug("Ignoring port up status notification, as link state changed");
            return;
        }
        logDebug("Sending port up status after querying link state");
    }
    portManager->portManagerListener().linkUpStatusEvent(m_value);
}

void PortDownStatusEventImpl::run() {
    manager()->portManagerListener().linkDownStatusEvent();
}

void PortStateChangeEvent::run() {
    if (!manager()->takesPortState(m_state)) {
        logInfo(0, "%s: port state %d and status %d of an ended session ignored", manager()->name(), m_state,
                m_status);
        return;
    }
    std::int32_t adapterEvent = 0;
    std::int32_t value = 0;
    PortStateMachine::adapterEventOf(m_state, m_status, &adapterEvent, &value);
    if (adapterEvent == AdapterStateMachine::AUTH_SUCCESS)
        logInfo(1270, "%s - Received STATE_AUTHENTICATED", manager()->name());
    manager()->portManagerListener().stateEvent(adapterEvent, value);
}

void PortLocationNoticeEventImpl::run() {
    logDebug("PortLocationNoticeEventImpl::processEvent()");
    manager()->portManagerListener().locationNoticeEvent(m_response);
}

void PortLocationErrorEventImpl::run() {
    logDebug("PortLocationErrorEventImpl::processEvent()");
    manager()->portManagerListener().locationErrorEvent(m_requestNumber, m_errorCode);
}

void EapStatusEvent::run() {
    PortManagerImpl* portManager = manager();
    if (!portManager->takesEapStatus()) {
        logInfo(0, "%s: Eap status %d of an ended session ignored", portManager->name(), m_status);
        return;
    }
    if (m_status == EAP_STATUS_INVALID_PAC) {
        portManager->portManagerListener().event(1);
    } else if (m_status == EAP_STATUS_CLEARTEXT_FAILURE) {
        portManager->portManagerListener().event(2);
    } else {
        VelAdapter adapter = portManager->adapter();
        TagMacAddr mac(adapter.impl()->macAddress(), 0);
        Tags tags(mac);
        logInfoTagged(tags, 1271, "%s Eap status %s.", portManager->name(), qxEapStatusString(m_status));
    }
}

MessageEvent MessageEventFactory::CreatePortUpStatusEvent(PortManagerImpl* portManager, std::int32_t linkMode,
                                                          std::int32_t value) {
    logDebug("MessageEventFactory::CreatePortUpStatusEvent()");
    return MessageEvent(new PortUpStatusEventImpl(portManager, linkMode, value));
}

MessageEvent MessageEventFactory::CreatePortDownStatusEvent(PortManagerImpl* portManager) {
    return MessageEvent(new PortDownStatusEventImpl(portManager));
}

MessageEvent MessageEventFactory::CreatePortStateChangeEvent(PortManagerImpl* portManager, std::int32_t state,
                                                             std::int32_t status) {
    return MessageEvent(new PortStateChangeEvent(portManager, state, status));
}

MessageEvent MessageEventFactory::CreateLocationNoticeEvent(PortManagerImpl* portManager,
                                                            const LocationResponse& response) {
    logDebug("MessageEventFactory::CreateLocationNoticeEvent()");
    return MessageEvent(new PortLocationNoticeEventImpl(portManager, response));
}

MessageEvent MessageEventFactory::CreateLocationErrorEvent(PortManagerImpl* portManager,
                                                           std::int32_t requestNumber,
                                                           std::int32_t errorCode) {
    logDebug("MessageEventFactory::CreateLocationErrorEvent()");
    return MessageEvent(new PortLocationErrorEventImpl(portManager, requestNumber, errorCode));
}

MessageEvent MessageEventFactory::CreateEapStatusEvent(PortManagerImpl* portManager, std::int32_t status) {
    return MessageEvent(new EapStatusEvent(portManager, status));
}
