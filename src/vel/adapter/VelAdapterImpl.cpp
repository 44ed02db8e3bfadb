#include "vel/adapter/VelAdapterImpl.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterAttributeLine.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/adapter/AdapterNotices.h"
#include "vel/adapter/WzcEvents.h"
#include "vel/configuration/Settings8021x.h"
#include "vel/dhcp/DhcpConstants.h"
#include "vel/multithread/AltEventQueue.h"
#include "vel/network/ScanList.h"
#include "vel/phyinfo/PhyInfo.h"
#include "vel/port/PortManager.h"
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

std::string bssidText(const std::uint8_t* bssid) {
    char text[20];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", bssid[0], bssid[1], bssid[2], bssid[3],
                  bssid[4], bssid[5]);
    return text;
}

// The library's length, kept within the record.
std::int32_t ssidLength(const QX_ASSOCIATION_INFO& info) {
    return static_cast<std::int32_t>(info.ssidLength <= sizeof info.ssid ? info.ssidLength
                                                                         : sizeof info.ssid);
}

std::string ssidText(const QX_ASSOCIATION_INFO& info) {
    return std::string(reinterpret_cast<const char*>(info.ssid), static_cast<size_t>(ssidLength(info)));
}

}  // namespace

VelAdapter VelAdapter::create(const Ascii& symbolicName) {
    VelAdapter adapter;
    adapter.m = static_cast<ReferenceImpl*>(new VelAdapterImpl(symbolicName));
    return adapter;
}

VelAdapterImpl::VelAdapterImpl(const Ascii& symbolicName)
    : AdapterImpl(symbolicName),
      m_stateMachine(symbolicName),
      m_portNameManager(PortNameManager::create(symbolicName)) {
    // The adapter hears its own port.
    m_portManagerListener = this;
    readPortAttributes();
}

void VelAdapterImpl::clearReferences() {
    AdapterImpl::clearReferences();
    if (m_portManager.exists()) releasePortManager(0);
    dropDhcp();
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

bool VelAdapterImpl::associatedState() const {
    std::int32_t state = m_stateMachine.state();
    return state >= M::STATE_ASSOCIATED && state <= M::STATE_AUTH_FAILED;
}

bool VelAdapterImpl::radioAssociation(QX_ASSOCIATION_INFO* info) {
    if (!m_portManager.exists() || !associatedState()) return false;
    if (m_mediaType != AdapterConstants::MEDIA_TYPE_80211) return false;
    *info = {};
    return m_portManager.getAssociationInfo(info) == QX_OK;
}

AssociationInfoProxy VelAdapterImpl::associationInfo() {
    if (!m_portManager.exists() || !associatedState()) return AssociationInfoProxy();
    if (m_mediaType == AdapterConstants::MEDIA_TYPE_80211) {
        QX_ASSOCIATION_INFO info = {};
        if (m_portManager.getAssociationInfo(&info) != QX_OK) return AssociationInfoProxy();
        return AssociationInfoProxy(AssociationInfo(ByteArray(info.ssid, ssidLength(info)),
                                                    ByteArray(info.bssid, sizeof info.bssid), info.channel,
                                                    info.linkSpeed, info.signal));
    }
    std::int32_t linkSpeed = 0;
    if (m_portManager.getLinkSpeed(&linkSpeed) != QX_OK) return AssociationInfoProxy();
    return AssociationInfoProxy(AssociationInfo(ByteArray(), ByteArray(), 0, linkSpeed, 0));
}

ConnectionInfoProxy VelAdapterImpl::connectionInfo() {
    int error = QX_OK;
    Ascii address = DhcpStateMachineImpl::ipAddressOf(m_symbolicName, &error);
    if (error != QX_OK) logInfo(0, "%s unable to get IP address - %d{error}", m_symbolicName.text(), error);
    return ConnectionInfoProxy(ConnectionInfo(address));
}

SsidProxy VelAdapterImpl::scanDetails() {
    SsidProxy found;
    QX_ASSOCIATION_INFO info = {};
    if (!radioAssociation(&info)) return found;
    AdapterAttributesProxy attributes = this->attributes();
    if (!attributes.exists() || !attributes.value().locationCapable()) return found;
    ScanList scanList;
    if (scanList.isNull()) return found;
    return scanList.find(Ascii(reinterpret_cast<const char*>(info.ssid), ssidLength(info)),
                         ByteArray(info.bssid, sizeof info.bssid));
}

bool VelAdapterImpl::location(const LocationRequest& request) {
    if (!m_portManager.exists() || m_mediaType != AdapterConstants::MEDIA_TYPE_80211) return false;
    AdapterAttributesProxy attributes = this->attributes();
    if (!attributes.exists() || !attributes.value().locationCapable()) return false;
    QX_LOCATION_QUERY query = {};
    query.sequence = request.getSequenceNumber();
    query.flags = request.getQueryFlags();
    query.format = request.getLocationFormat();
    query.encoding = request.getLocationEncoding();
    query.resolution = request.getLocationResolution();
    return m_portManager.getLocation(query) == QX_OK;
}

void VelAdapterImpl::rsnProbeIeVerifyEnable(std::int32_t setting) {
    if (m_portManager.exists()) m_portManager.rsnProbeIeVerifyEnable(setting);
}

void VelAdapterImpl::radioOff() {
    if (m_portManager.exists()) m_portManager.radioOff();
}

void VelAdapterImpl::radioOn() {
    if (m_portManager.exists()) m_portManager.radioOn();
}

bool VelAdapterImpl::isRadioOn() {
    return m_portManager.exists() && m_portManager.isRadioOn();
}

void VelAdapterImpl::unblockOsWaitForIp() {
    if (m_portManager.exists() && m_stateMachine.state() != M::STATE_CONNECTED)
        m_portManager.unblockOsWaitForIp();
}

bool VelAdapterImpl::enablePacketCapture() {
    return m_portManager.exists() && m_portManager.get()->enablePacketCapture();
}

bool VelAdapterImpl::disablePacketCapture() {
    return m_portManager.exists() && m_portManager.get()->disablePacketCapture();
}

void VelAdapterImpl::closePort() {
    if (!m_portManager.exists()) {
        logInfo(0, "m_portManagerProxy is empty in VelAdapterImpl::closePort()");
        return;
    }
    m_portManager.closePort();
}

void VelAdapterImpl::connect(const PhyInfo& phyInfo, const Settings8021x& settings,
                             std::int32_t authenticationType) {
    // Only this operation has the connection's arguments, so it performs the two connect actions
    // itself rather than through the action table.
    m_stateMachine.handleEvent(M::CONNECT);
    switch (m_stateMachine.action()) {
        case M::CONNECT_ACTION:
            logInfo(0, "connect CONNECT_ACTION");
            connectAction(phyInfo, settings, authenticationType);
            publish(0);
            break;
        case M::CONNECT_LINK_UP_ACTION:
            logInfo(0, "connect CONNECT_LINK_UP_ACTION");
            connectAction(phyInfo, settings, authenticationType);
            publish(0);
            authenticationNotRequiredCheck();
            break;
        default:
            break;
    }
}

bool VelAdapterImpl::connectionAttributes(QX_PORT_ATTR* record) {
    *record = {};
    int result = qxGetPortAttr(m_symbolicName.text(), record);
    if (result != QX_OK) {
        NvoError(__FILE__, __LINE__, "qxGetPortAttr", result);
        logError(146, "%s: Unable to use adapter. You must warm boot the device", m_symbolicName.text());
        return false;
    }
    AdapterAttributeLine::log(m_symbolicName.text(), *record);
    return true;
}

void VelAdapterImpl::connectAction(const PhyInfo& phyInfo, const Settings8021x& settings,
                                   std::int32_t authenticationType) {
    m_authenticationType = authenticationType;
    m_restartDhcp = true;
    QX_PORT_ATTR record = {};
    connectionAttributes(&record);
    if (!m_dhcpManager.isNull()) m_dhcpManager.stop();
    if (!m_portManager.exists()) {
        logInfo(0, "m_portManagerProxy is empty in VelAdapterImpl::connectAction()");
        return;
    }
    QX_8021X_CFG timers = {};
    if (LUM_ASSERT_TEXT(!settings.isNull(), "settings")) {
        timers.authPeriod = settings.authPeriod();
        timers.heldPeriod = settings.heldPeriod();
        timers.startPeriod = settings.startPeriod();
        timers.maxStart = settings.maxStart();
    }
    m_portManager.set8021xCfg(timers);
    m_portManager.authenticate(phyInfo.pskHandle(), authenticationType);
    phyInfo.startConnection(m_portManager, record);
}

void VelAdapterImpl::restartConnection(const PhyInfo& phyInfo) {
    QX_PORT_ATTR record = {};
    connectionAttributes(&record);
    if (m_portManager.exists()) phyInfo.startConnection(m_portManager, record);
}

void VelAdapterImpl::reAuth() {
    if (!m_portManager.exists()) {
        logInfo(0, "m_portManagerProxy is empty in VelAdapterImpl::reAuth()");
        return;
    }
    m_portManager.auth(m_authenticationType);
    // An open port has no exchange to run again and reports nothing back: the re-authentication
    // passes at once, as the connection's first authentication did, instead of leaving the network
    // waiting for its connection timer.
    authenticationNotRequiredCheck();
}

void VelAdapterImpl::disconnect() {
    handleEventAndDoStateTransitionAction(M::DISCONNECT);
}

void VelAdapterImpl::unmanage(std::int32_t reactivate) {
    handleEventAndDoStateTransitionAction(M::UNMANAGE, 0, reactivate);
}

void VelAdapterImpl::manage() {
    const char* name = m_symbolicName.text();
    logInfo(0, "Entered VelAdapterImpl::manage():%s", name);
    switch (m_wzcState) {
        case WZC_IDLE: {
            AltEventQueue queue = AltEventQueue::Instance();
            if (!LUM_ASSERT(!queue.isNull())) break;
            m_wzcState = WZC_DISABLING;
            logInfo(0, "Disabling WZC for %s in AltEventQueue thread...", name);
            queue.post(MessageEvent(new WzcDisableEventImpl(VelAdapter(this), m_portNameManager)));
            break;
        }
        case WZC_DISABLING:
            logInfo(0, "Ignoring request to manage adapter %s due to WZC disabling in progress.", name);
            break;
        default:
            m_wzcState = WZC_IDLE;
            logInfo(0, "...WZC has been disabled for adapter %s.", name);
            if (m_stateMachine.state() == M::STATE_UNMANAGED) {
                logInfo(0, "Now will continue with state transition.");
                handleEventAndDoStateTransitionAction(M::MANAGE);
            } else {
                logInfo(0, "The adapter %s is not bound anymore, ignoring.", name);
            }
            break;
    }
    logInfo(0, "Left VelAdapterImpl::manage():%s", name);
}

void VelAdapterImpl::wzcDisabled() {
    m_wzcState = WZC_DISABLED;
    manage();
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

void VelAdapterImpl::event(std::int32_t status) {
    VelAdapter self(this);
    for (const Reference& subscriber : m_subscribers.snapshot())
        static_cast<AdapterSubscriberInterface*>(subscriber.m)->eapStatus(self, status);
}

void VelAdapterImpl::stateEvent(std::int32_t adapterEvent, std::int32_t value) {
    handleEventAndDoStateTransitionAction(adapterEvent, value, 0);
}

void VelAdapterImpl::linkUpStatusEvent(std::int32_t) {
    logInfo(0, "VelAdapterImpl::linkUpStatusEvent()");
    handleEventAndDoStateTransitionAction(M::LINK_UP);
}

void VelAdapterImpl::linkDownStatusEvent() {
    handleEventAndDoStateTransitionAction(M::LINK_DOWN);
}

void VelAdapterImpl::unboundStatusEvent() {
    LUM_ASSERT_TEXT(false,
                    "Should not be getting an unbound status event via the "
                    "PortManagerListenerInterface::unboundStatusEvent() method");
}

void VelAdapterImpl::locationNoticeEvent(const LocationResponse& response) {
    logInfo(0, "In VelAdapterImpl::locationNoticeEvent");
    if (AdapterLocationEventsInterface* events = AdapterNotices::locationEvents())
        events->locationResponse(response);
}

void VelAdapterImpl::locationErrorEvent(std::int32_t requestNumber, std::int32_t errorCode) {
    logInfo(0, "In VelAdapterImpl::locationErrorEvent");
    if (AdapterLocationEventsInterface* events = AdapterNotices::locationEvents())
        events->locationError(requestNumber, errorCode);
}

void VelAdapterImpl::handleEventAndDoStateTransitionAction(std::int32_t event, std::int32_t first,
                                                           std::int32_t second) {
    m_stateMachine.handleEvent(event);
    std::int32_t action = m_stateMachine.action();
    logInfo(0, "handleEventAndDoStateTransitionAction action = %s", M::actionName(action));
    performStateTransitionAction(action, first, second);
}

void VelAdapterImpl::performStateTransitionAction(std::int32_t action, std::int32_t first,
                                                  std::int32_t second) {
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
            unmanageAction(second);
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

void VelAdapterImpl::releasePortManager(std::int32_t reactivate) {
    m_portNameManager.release(m_portManager, reactivate);
    m_portManager.clear();
}

void VelAdapterImpl::startDhcp() {
    const char* name = m_symbolicName.text();
    LUM_ASSERT_TEXT(m_portManager.exists(), "m_portManagerProxy.exists()");
    if (!m_dhcpManager.isNull()) {
        logInfo(0, "%s canceling existing DHCP manager and starting over", name);
        m_dhcpManager.stop();
    } else {
        m_dhcpManager = DhcpManager::create(this, m_symbolicName);
    }
    TagMacAddr mac(macAddress(), 82);
    logInfoTagged(Tags(mac), 82, "%s: DHCP: Sending DHCP request", name);
    // The first attempt of a connection gives back the address an earlier one may have left.
    if (m_restartDhcp) {
        m_restartDhcp = false;
        m_dhcpManager.restart();
    } else {
        m_dhcpManager.start();
    }
}

void VelAdapterImpl::dropDhcp() {
    if (m_dhcpManager.isNull()) return;
    DhcpManager manager = m_dhcpManager;
    m_dhcpManager.reset();
    manager.stop();
    manager.impl()->clearReferences();
}

void VelAdapterImpl::dhcpResult(const DhcpManager& manager, std::int32_t result) {
    if (result == DhcpConstants::RESULT_FAILED)
        logError(84, "%s: DHCP: Request failed", m_symbolicName.text());
    if (!LUM_ASSERT_TEXT(result >= DhcpConstants::RESULT_ADDRESS && result <= DhcpConstants::RESULT_NONE,
                         "result"))
        return;
    if (m_dhcpManager.isNull() || manager.m != m_dhcpManager.m) {
        logInfo(0, "%s: DHCP: result %d of an attempt no longer held, ignored", m_symbolicName.text(),
                result);
        return;
    }
    // The attempt is over whatever the state machine makes of it; a new attempt started while
    // the state changes is not this one.
    dropDhcp();
    if (result == DhcpConstants::RESULT_ADDRESS)
        handleEventAndDoStateTransitionAction(M::IP_CONNECTIVITY);
    else if (result == DhcpConstants::RESULT_FAILED)
        handleEventAndDoStateTransitionAction(M::IP_CONNECTIVITY_FAILS);
}

void VelAdapterImpl::unmanageAction(std::int32_t reactivate) {
    LUM_ASSERT_TEXT(m_portManager.exists(), "m_portManagerProxy.exists()");
    publish(0);
    if (m_portManager.exists()) releasePortManager(reactivate);
    dropDhcp();
}

void VelAdapterImpl::boundAction() {
    publish(0);
    if (AdapterMatchmakerInterface* matchmaker = AdapterNotices::matchmaker())
        matchmaker->adapterBound(VelAdapter(this));
}

void VelAdapterImpl::unboundAction() {
    logInfo(7, "Adapter removed: %s", m_symbolicName.text());
    publish(0);
    if (AdapterMatchmakerInterface* matchmaker = AdapterNotices::matchmaker())
        matchmaker->adapterUnbound(VelAdapter(this));
    if (m_portManager.exists()) releasePortManager(0);
    dropDhcp();
}

void VelAdapterImpl::manageAction() {
    if (LUM_ASSERT_TEXT(!m_portManager.exists(), "!m_portManagerProxy.exists()"))
        m_portNameManager.control(m_portManager, VelAdapter(this));
    publish(0);
    if (AdapterMatchmakerInterface* matchmaker = AdapterNotices::matchmaker())
        matchmaker->adapterManaged(VelAdapter(this));
}

void VelAdapterImpl::disconnectAction() {
    m_authenticationType = 0;
    dropDhcp();
    if (m_portManager.exists()) m_portManager.authReset();
    publish(0);
}

void VelAdapterImpl::linkDownAction() {
    publish(0);
    m_lastLinkAction = M::LINK_DOWN_ACTION;
}

void VelAdapterImpl::linkUpAction() {
    QX_ASSOCIATION_INFO info = {};
    if (m_mediaType == AdapterConstants::MEDIA_TYPE_80211 && m_portManager.exists() &&
        m_portManager.getAssociationInfo(&info) == QX_OK) {
        std::string ssid = ssidText(info);
        std::string bssid = bssidText(info.bssid);
        if (m_lastLinkAction == M::LINK_UP_ACTION)
            logInfo(544, "Roaming to ssid = %s bssid = %s.", ssid.c_str(), bssid.c_str());
        else
            logInfo(545, "Associated to ssid = %s bssid = %s.", ssid.c_str(), bssid.c_str());
    }
    publish(0);
    authenticationNotRequiredCheck();
    m_lastLinkAction = M::LINK_UP_ACTION;
}

void VelAdapterImpl::authNotRequiredAction() {
    startDhcp();
    publish(0);
}

void VelAdapterImpl::authRequestAction() {
    publish(0);
    authenticationNotRequiredCheck();
}

void VelAdapterImpl::authSuccessAction() {
    TagMacAddr mac(macAddress(), 76);
    logInfoTagged(Tags(mac), 76, "%s: Authentication Success", m_symbolicName.text());
    startDhcp();
    publish(0);
}

void VelAdapterImpl::authFailAction(std::int32_t reason) {
    TagMacAddr mac(macAddress(), 77);
    logErrorTagged(Tags(mac), "%s: Authentication Failed", m_symbolicName.text());
    publish(reason);
}
