#include "vel/logon/LogonStateMachine.h"

#include <iterator>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/certificate/SmartCardList.h"
#include "vel/configuration/ActiveConfiguration.h"
#include "vel/configuration/ConnectionSettings.h"
#include "vel/exception/FileIOException.h"
#include "vel/ipcmsghandlers/LogonEvent.h"
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"
#include "vel/network/NetworkConstants.h"
#include "vel/reference/HandleOf.h"
#include "vel/reference/Singleton.h"

std::atomic<LogonStateMachineImpl*> LogonStateMachineImpl::Singleton{nullptr};

namespace {

using L = LogonConstants;
using M = LogonStateMachineImpl;
using Row = LogonStateMachineImpl::Row;
constexpr auto BEFORE = LogonStateMachineImpl::SetState::BEFORE_ACTION;
constexpr std::int32_t STAY = 0;

constexpr Row row(std::int32_t state, std::int32_t input, M::Action action, std::int32_t next) {
    return {state, input, action, next, BEFORE};
}

// Single-sign-on requests: (state, request code).
constexpr Row SSO_TABLE[] = {
    row(L::BEFORE_LOGON_NO_USER, L::SSO_USER_ATTEMPTING_LOGON, &M::prelogonStarted,
        L::BEFORE_LOGON_PRELOGON_RUNNING),
    row(L::BEFORE_LOGON_NO_USER, L::SSO_USER_SESSION_STARTED, &M::userAction, L::BEFORE_LOGON_USER_SESSION),
    row(L::BEFORE_LOGON_NO_USER, L::SSO_USER_SESSION_ENDED, &M::nothing, STAY),
    row(L::BEFORE_LOGON_USER_SESSION, L::SSO_USER_ATTEMPTING_LOGON, &M::nothing, STAY),
    row(L::BEFORE_LOGON_USER_SESSION, L::SSO_USER_SESSION_STARTED, &M::nothing, STAY),
    row(L::BEFORE_LOGON_USER_SESSION, L::SSO_USER_SESSION_ENDED, &M::userLogoff, L::BEFORE_LOGON_NO_USER),
    // A second attempt while the first waits is answered with what the first one asked.
    row(L::BEFORE_LOGON_PRELOGON_RUNNING, L::SSO_USER_ATTEMPTING_LOGON, &M::sendPreLogonDonePrevious, STAY),
    row(L::BEFORE_LOGON_PRELOGON_RUNNING, L::SSO_USER_SESSION_STARTED, &M::nothing, STAY),
    row(L::BEFORE_LOGON_PRELOGON_RUNNING, L::SSO_USER_SESSION_ENDED, &M::userLogoffAndSendPreLogonDone,
        L::BEFORE_LOGON_NO_USER),
    // Nothing is connected before logon: the logon need not wait.
    row(L::AFTER_LOGON_NO_USER, L::SSO_USER_ATTEMPTING_LOGON, &M::sendPreLogonDoneCurrent, STAY),
    row(L::AFTER_LOGON_NO_USER, L::SSO_USER_SESSION_STARTED, &M::userAction, L::AFTER_LOGON_USER_SESSION),
    row(L::AFTER_LOGON_NO_USER, L::SSO_USER_SESSION_ENDED, &M::nothing, STAY),
    row(L::AFTER_LOGON_USER_SESSION, L::SSO_USER_ATTEMPTING_LOGON, &M::nothing, STAY),
    row(L::AFTER_LOGON_USER_SESSION, L::SSO_USER_SESSION_STARTED, &M::nothing, STAY),
    row(L::AFTER_LOGON_USER_SESSION, L::SSO_USER_SESSION_ENDED, &M::userLogoff, L::AFTER_LOGON_NO_USER),
};

// The configuration's new top state; only CONNECTED moves anything.
constexpr Row CONFIGURATION_EVENT_TABLE[] = {
    row(L::BEFORE_LOGON_NO_USER, Configuration::CONNECTED, &M::reportMachineConnected, STAY),
    row(L::BEFORE_LOGON_USER_SESSION, Configuration::CONNECTED, &M::nothing, STAY),
    row(L::BEFORE_LOGON_PRELOGON_RUNNING, Configuration::CONNECTED, &M::prelogonCompleted,
        L::BEFORE_LOGON_USER_SESSION),
    row(L::AFTER_LOGON_NO_USER, Configuration::CONNECTED, &M::reportMachineConnected, STAY),
    row(L::AFTER_LOGON_USER_SESSION, Configuration::CONNECTED, &M::nothing, STAY),
};

// The behaviour at logon of the configuration now in force.
constexpr Row BEHAVIOR_TABLE[] = {
    row(L::BEFORE_LOGON_NO_USER, ConnectionSettings::AFTER_USER_LOGON, &M::nothing, L::AFTER_LOGON_NO_USER),
    row(L::BEFORE_LOGON_USER_SESSION, ConnectionSettings::AFTER_USER_LOGON, &M::nothing,
        L::AFTER_LOGON_USER_SESSION),
    // A logon waiting for a machine connection that will not come is let go.
    row(L::BEFORE_LOGON_PRELOGON_RUNNING, ConnectionSettings::AFTER_USER_LOGON, &M::sendPreLogonDoneCurrent,
        L::AFTER_LOGON_NO_USER),
    row(L::AFTER_LOGON_NO_USER, ConnectionSettings::BEFORE_USER_LOGON, &M::nothing, L::BEFORE_LOGON_NO_USER),
    row(L::AFTER_LOGON_USER_SESSION, ConnectionSettings::BEFORE_USER_LOGON, &M::nothing,
        L::BEFORE_LOGON_USER_SESSION),
};

bool known(std::int32_t state) {
    return state >= L::BEFORE_LOGON_NO_USER && state <= L::AFTER_LOGON_USER_SESSION;
}

// Every network of the configuration in force hears the request; none without one.
void tellNetworks(const Configuration& configuration, std::int32_t request) {
    if (configuration.isNull()) return;
    for (const Reference& element : configuration.allNetworks().snapshot())
        handleOf<Network>(element.m).handleSsoRequest(request);
}

}  // namespace

LogonStateMachineImpl::~LogonStateMachineImpl() {
    forgetSingleton(Singleton, this);
}

void LogonStateMachineImpl::clearReferences() {
    m_serviceStatus.reset();
}

void LogonStateMachineImpl::setServiceStatus(ServiceStatusInterface* status) {
    m_serviceStatus = Reference(status, Reference::NULLABLE);
}

Configuration LogonStateMachineImpl::activeConfiguration() {
    if (ActiveConfigurationImpl::Singleton.load() == nullptr) return {};
    ActiveConfiguration active = ActiveConfiguration::Instance();
    if (active.isNull() || !active.exists()) return {};
    return active.configuration();
}

void LogonStateMachineImpl::runRow(const Row* rows, std::size_t count, std::int32_t input) {
    for (std::size_t i = 0; i < count; ++i) {
        const Row& r = rows[i];
        if (r.state != m_state || r.input != input) continue;
        if (r.setState == SetState::BEFORE_ACTION && r.next != STAY) m_state = r.next;
        (this->*r.action)();
        if (r.setState == SetState::AFTER_ACTION && r.next != STAY) m_state = r.next;
        return;
    }
}

void LogonStateMachineImpl::handleSsoRequest(std::int32_t code) {
    if (code == L::SSO_USER_ATTEMPTING_LOGON) logInfo(582, "User is attempting to logon.");
    if (code == L::SSO_USER_SESSION_STARTED) logInfo(583, "User session has started.");
    if (!LUM_ASSERT_TEXT(known(m_state), "handleSsoRequest unknown state")) return;
    runRow(SSO_TABLE, std::size(SSO_TABLE), code);
    keepSessionReference();
}

void LogonStateMachineImpl::keepSessionReference() {
    if (m_userSessionActionA == m_keptReference) return;
    if (activeConfiguration().isNull()) return;
    m_keptReference = m_userSessionActionA;
    try {
        ActiveConfiguration::Instance().writeInternalConfiguration();
    } catch (const FileIOException& e) {
        e.report();
    }
}

void LogonStateMachineImpl::sendPreLogonDoneIfWaiting() {
    if (m_state == L::BEFORE_LOGON_PRELOGON_RUNNING) sendPreLogonDone(m_prelogonActions);
}

void LogonStateMachineImpl::configurationEvent(std::int32_t state) {
    if (!LUM_ASSERT_TEXT(known(m_state), "configurationEvent unknown state")) return;
    runRow(CONFIGURATION_EVENT_TABLE, std::size(CONFIGURATION_EVENT_TABLE), state);
}

void LogonStateMachineImpl::connectionBehaviorChanged() {
    Configuration configuration = activeConfiguration();
    if (configuration.isNull()) {
        logInfo(0, "ActiveConfiguration does not exist");
        return;
    }
    if (!LUM_ASSERT_TEXT(known(m_state), "configurationChanged unknown state")) return;
    runRow(BEHAVIOR_TABLE, std::size(BEHAVIOR_TABLE), configuration.connectionSettings().behaviorAtLogon());
}

void LogonStateMachineImpl::activeConfigurationChanged() {
    Configuration configuration = activeConfiguration();
    LUM_ASSERT_TEXT(!configuration.isNull(), "ActiveConfiguration::Instance().exists()");
    connectionBehaviorChanged();
    if (!configuration.isNull()) configuration.subscribe(this);
}

void LogonStateMachineImpl::setPrelogonActions(std::int32_t value) {
    m_previousPrelogonActions = m_prelogonActions;
    m_prelogonActions = value;
}

std::int32_t LogonStateMachineImpl::getLogonContext() {
    switch (m_state) {
        case L::BEFORE_LOGON_NO_USER:
        case L::AFTER_LOGON_NO_USER:
            return LogonStatusInterface::NO_USER_SESSION;
        case L::BEFORE_LOGON_USER_SESSION:
        case L::BEFORE_LOGON_PRELOGON_RUNNING:
        case L::AFTER_LOGON_USER_SESSION:
            return LogonStatusInterface::USER_SESSION;
        default:
            LUM_ASSERT_TEXT(false, "getLogonContext unknown state");
            return L::NO_LOGON_STATUS;
    }
}

bool LogonStateMachineImpl::isUserLoggedOn() const {
    return m_state == L::BEFORE_LOGON_USER_SESSION || m_state == L::AFTER_LOGON_USER_SESSION;
}

bool LogonStateMachineImpl::userToken(winfile::HANDLE* token, std::uint32_t* processId) {
    if (!isUserLoggedOn() || m_userSessionActionA == 0) return false;
    *token = reinterpret_cast<winfile::HANDLE>(static_cast<std::intptr_t>(m_userSessionActionA));
    *processId = static_cast<std::uint32_t>(m_userSessionActionB);
    return true;
}

void LogonStateMachineImpl::sendPreLogonDone(std::int32_t value) {
    logInfo(581, "Prelogon completed.");
    sendLogonEvent(value, Ascii(LogonEventImpl::PRE_LOGON_DONE)).send();
}

void LogonStateMachineImpl::reportServiceRunning() {
    if (!m_serviceStatus.isNull())
        static_cast<ServiceStatusInterface*>(m_serviceStatus.m)->reportServiceRunning();
}

void LogonStateMachineImpl::clearUserSessionActions() {
    m_userSessionActionA = 0;
    m_userSessionActionB = 0;
}

void LogonStateMachineImpl::prelogonStarted() {
    logInfo(0, "PRELOGON started");
    userAction();
    Configuration configuration = activeConfiguration();
    // The user action may have connected the configuration already, and its event completed the
    // pre-logon phase: the logon client hears of it once.
    if (m_state != L::BEFORE_LOGON_PRELOGON_RUNNING) return;
    if (configuration.isNull() || configuration.connectionStatus() != Configuration::CONNECTED) return;
    m_state = L::BEFORE_LOGON_USER_SESSION;
    prelogonCompleted();
}

void LogonStateMachineImpl::prelogonCompleted() {
    logInfo(0, "PRELOGON completed");
    sendPreLogonDone(m_prelogonActions);
}

void LogonStateMachineImpl::userAction() {
    logInfo(0, "SERVICE_STATUS: emitUserAction");
    reportServiceRunning();
    Configuration configuration = activeConfiguration();
    tellNetworks(configuration, NetworkConstants::SET_USER_CREDS);
    if (!configuration.isNull()) configuration.vpnManager().handleUserLogon();
}

void LogonStateMachineImpl::tellLogoff() {
    Configuration configuration = activeConfiguration();
    if (!configuration.isNull()) {
        bool userConnectionStays = false;
        for (const Reference& element : configuration.allNetworks().snapshot()) {
            Network network = handleOf<Network>(element.m);
            network.forgetCredentialsKeptUntilLogoff();
            userConnectionStays = userConnectionStays || network.getExtendUserConnectionBeyondLogoff();
        }
        // A card the user opened with a PIN does not stay open for whoever logs on next.
        SmartCardList cards = SmartCardList::existing();
        if (!userConnectionStays && !cards.isNull()) cards.closeKeys();
    }
    tellNetworks(configuration, NetworkConstants::SET_MACHINE_CREDS);
    if (!configuration.isNull()) configuration.vpnManager().resetAndDisconnect();
}

void LogonStateMachineImpl::userLogoff() {
    tellLogoff();
    clearUserSessionActions();
}

void LogonStateMachineImpl::userLogoffAndSendPreLogonDone() {
    tellLogoff();
    sendPreLogonDone(m_prelogonActions);
    clearUserSessionActions();
}

void LogonStateMachineImpl::sendPreLogonDonePrevious() {
    sendPreLogonDone(m_previousPrelogonActions);
}

void LogonStateMachineImpl::sendPreLogonDoneCurrent() {
    sendPreLogonDone(m_prelogonActions);
}

void LogonStateMachineImpl::reportMachineConnected() {
    logInfo(0, "SERVICE_STATUS: MachineConnecting -> MachineConnected");
    reportServiceRunning();
}

LogonStateMachine LogonStateMachine::create(ServiceStatusInterface* status) {
    LogonStateMachineImpl* p = createSingleton(LogonStateMachineImpl::Singleton);
    if (p != nullptr) p->setServiceStatus(status);
    return LogonStateMachine(p);
}

LogonStateMachine::LogonStateMachine() : LogonStateMachine(bindSingleton(LogonStateMachineImpl::Singleton)) {}

LogonStateMachine::LogonStateMachine(LogonStateMachineImpl* p) {
    if (p != nullptr) m = static_cast<ReferenceImpl*>(p);
}
