#include "service/EngineHolder.h"

#include <array>

#include "service/LogonServiceStatus.h"
#include "vel/adapter/VelAdapterConnection.h"
#include "vel/cm/NvoManager.h"
#include "vel/configuration/ConfigurationMatchmaker.h"
#include "vel/ipcmsghandlers/LocationRequestNumbers.h"
#include "vel/matchmaker/Matchmaker.h"
#include "vel/multithread/EventQueue.h"
#include "vel/network/NetworkMatchmaker.h"

namespace {
using H = EngineHolder;
using Row = EngineHolderRow;
constexpr int NONE = Row::NONE;
}  // namespace

// One row per member, in the order of creation (the VPN and the network state machines first, so
// that every VPN manager and network the configurations make runs them); the release places run
// from the last member created to the first. The authentication library starts once every member exists; it
// stops after the adapter list has let its adapters go and before the power subscribers are emptied. The
// smart-card list gives its certificates' handles back before the library stops. The layers below
// reach the matchmaker (and the other parts above them) only once everything is subscribed, and
// lose them before anything stops.
// clang-format off
constexpr auto ENGINE_HOLDER_ROWS = std::to_array<Row>({
    // member                  create                         start (place, step)                     stop (place, step)                 release (place, step)
    {"VPN state machines",     &H::installVpnMachines,        NONE, nullptr,                          NONE, nullptr,                     90,  &H::removeVpnMachines},
    {"network state machines", &H::installNetworkMachines,    NONE, nullptr,                          NONE, nullptr,                     95,  &H::removeNetworkMachines},
    {"matchmaker",             &H::createMatchmaker,          13,   &H::subscribeMatchmaker,          30,  &H::clearMatchmaker,          86,  &H::releaseMatchmaker},
    {"smart-card list",        &H::createSmartCardList,       NONE, nullptr,                          45,  &H::clearSmartCardList,       84,  &H::releaseSmartCardList},
    {"adapter list",           &H::createAdapterList,         NONE, nullptr,                          40,  &H::clearAdapterList,         80,  &H::releaseAdapterList},
    {"active configuration",   &H::createActiveConfiguration, NONE, nullptr,                          20,  &H::stopActiveConfiguration,  70,  &H::releaseActiveConfiguration},
    {"single-sign-on context", &H::createSsoContext,          NONE, nullptr,                          NONE, nullptr,                     67,  &H::releaseSsoContext},
    {"logon state machine",    &H::createLogonStateMachine,   15,   &H::subscribeLogonStateMachine,   15,  &H::clearLogonStateMachine,   64,  &H::releaseLogonStateMachine},
    {"client communication",   &H::createClientCommunication, 20,   &H::subscribeClientCommunication, 10,  &H::clearClientCommunication, 60,  &H::releaseClientCommunication},
    {"VPN client",             &H::createVpnClient,           NONE, nullptr,                          60,  &H::clearVpnClient,           30,  &H::releaseVpnClient},
    {"soft token",             &H::createSoftToken,           NONE, nullptr,                          70,  &H::clearSoftToken,           20,  &H::releaseSoftToken},
    {"power events",           &H::createPower,               NONE, nullptr,                          80,  &H::clearPower,               10,  &H::releasePower},
    {"authentication library", nullptr,                       10,   &H::startLibrary,                 50,  &H::stopLibrary,              NONE, nullptr},
    {"credential requests",    &H::installCredentialRequests, NONE, nullptr,                          NONE, nullptr,                     93,  &H::removeCredentialRequests},
    {"engine registrations",   nullptr,                       90,   &H::registerEngineParts,          5,   &H::unregisterEngineParts,    NONE, nullptr},
});
// clang-format on
using Table = CompositionTable<H>;
static_assert(Table::placesUnique(ENGINE_HOLDER_ROWS));

std::span<const EngineHolderRow> engineHolderRows() {
    return ENGINE_HOLDER_ROWS;
}

EngineHolder* EngineHolder::build() {
    auto* holder = new EngineHolder;
    Table::create(*holder, ENGINE_HOLDER_ROWS);
    Table::start(*holder, ENGINE_HOLDER_ROWS);
    return holder;
}

void EngineHolder::tearDown() {
    Table::stop(*this, ENGINE_HOLDER_ROWS);
    Table::release(*this, ENGINE_HOLDER_ROWS);
}

void EngineHolder::createAdapterList() {
    m_adapterList = SymbolicNameAdapterList::create();
    VelAdapterConnectionImpl::install();
    AdapterNotices::installLocationEvents(&m_adapterLocationEvents);
}

void EngineHolder::clearAdapterList() {
    AdapterNotices::installLocationEvents(nullptr);
    // No location answer is sent from here on: the numbers of the requests still waiting go too.
    LocationRequestNumbers::clear();
    VelAdapterConnectionImpl::uninstall();
    if (m_adapterList) m_adapterList->clearReferences();
}

void EngineHolder::releaseAdapterList() {
    m_adapterList.reset();
}

void EngineHolder::createActiveConfiguration() {
    // Posts the first read of the files, which runs once the holder is built.
    m_activeConfiguration = ActiveConfiguration::create();
    m_connApiConfiguration.install(*m_activeConfiguration);
}

void EngineHolder::stopActiveConfiguration() {
    m_connApiConfiguration.uninstall();
    if (m_activeConfiguration) m_activeConfiguration->stop();
}

void EngineHolder::releaseActiveConfiguration() {
    m_activeConfiguration.reset();
}

void EngineHolder::createPower() {
    m_power = ServicePower::create();
}

void EngineHolder::clearPower() {
    if (m_power) m_power->clearReferences();
}

void EngineHolder::releasePower() {
    m_power.reset();
}

void EngineHolder::startLibrary() {
    NvoManager().init();
}

void EngineHolder::stopLibrary() {
    NvoManager().exit();
}

void EngineHolder::createClientCommunication() {
    m_clientCommunication = ClientCommunication::create();
}

void EngineHolder::subscribeClientCommunication() {
    // The tray programs hear of a new configuration and of a merged user file.
    if (m_activeConfiguration && !m_clientCommunication.isNull())
        m_activeConfiguration->addSubscriber(m_clientCommunication.impl());
}

void EngineHolder::clearClientCommunication() {
    if (!m_clientCommunication.isNull()) m_clientCommunication.impl()->clearReferences();
}

void EngineHolder::releaseClientCommunication() {
    m_clientCommunication.reset();
}

void EngineHolder::installVpnMachines() {
    m_previousVpnMaker = VpnManagerBehavior::install();
}

void EngineHolder::removeVpnMachines() {
    VpnBehaviorMaker::set(m_previousVpnMaker);
}

void EngineHolder::installNetworkMachines() {
    m_previousNetworkMaker = NetworkMachines::install();
}

void EngineHolder::removeNetworkMachines() {
    NetworkBehaviorMaker::set(m_previousNetworkMaker);
}

void EngineHolder::createVpnClient() {
    m_vpnClient = TamselVpnClient::create(VpnClientConstants::INITIALIZE_API);
    if (m_activeConfiguration) m_vpnEngine.install(*m_activeConfiguration);
    m_vpnLink.install();
}

void EngineHolder::clearVpnClient() {
    // No client event reaches the engine once the client is going.
    m_vpnLink.uninstall();
    m_vpnEngine.uninstall();
    if (!m_vpnClient.isNull()) m_vpnClient.impl()->clearReferences();
}

void EngineHolder::releaseVpnClient() {
    m_vpnClient.reset();
}

void EngineHolder::createSoftToken() {
    m_softToken = ScSofToken2::create();
}

void EngineHolder::clearSoftToken() {
    if (m_softToken) m_softToken->impl()->clearReferences();
}

void EngineHolder::releaseSoftToken() {
    m_softToken.reset();
}

void EngineHolder::createSmartCardList() {
    m_smartCardList = SmartCardList::create();
    // The engine manager's card lists reach it on the engine event queue.
    NvoManager manager;
    if (!manager.isNull()) {
        manager.impl()->setSmartCardIdListSink([](const AsciiVector& ids) {
            EventQueue::Instance().post(MessageEvent(new SmartCardIdListEventImpl(ids)));
        });
    }
}

void EngineHolder::clearSmartCardList() {
    NvoManager manager;
    if (!manager.isNull()) manager.impl()->setSmartCardIdListSink(nullptr);
    if (m_smartCardList) m_smartCardList->clearReferences();
}

void EngineHolder::releaseSmartCardList() {
    m_smartCardList.reset();
}

void EngineHolder::createSsoContext() {
    m_ssoContext = ContextForCredentialRequestToSso::create();
}

void EngineHolder::releaseSsoContext() {
    m_ssoContext.reset();
}

void EngineHolder::createLogonStateMachine() {
    auto* status = new LogonServiceStatusImpl;
    m_logonStateMachine = LogonStateMachine::create(status);
    status->release();
    if (m_logonStateMachine->isNull()) return;
    // Networks ask it which phase to start in; the logon client's requests reach it.
    InstalledLogonStatus::install(m_logonStateMachine->asLogonStatus());
    if (m_ssoContext) m_connApiLogon.install(*m_logonStateMachine, *m_ssoContext);
}

void EngineHolder::subscribeLogonStateMachine() {
    if (m_activeConfiguration && m_logonStateMachine && !m_logonStateMachine->isNull())
        m_activeConfiguration->addSubscriber(m_logonStateMachine->asConfigurationSubscriber());
}

void EngineHolder::clearLogonStateMachine() {
    m_connApiLogon.uninstall();
    InstalledLogonStatus::install(nullptr);
    if (m_logonStateMachine && !m_logonStateMachine->isNull()) m_logonStateMachine->impl()->clearReferences();
}

void EngineHolder::releaseLogonStateMachine() {
    m_logonStateMachine.reset();
}

void EngineHolder::installCredentialRequests() {
    // Requests reach the networks as request objects; the tray's answers reach the networks.
    m_previousCredentialRequests = PortCredentialRequestMaker::install();
    m_previousCredentialServices = NetworkCredentialServices::install();
    m_credentialAnswers.install();
}

void EngineHolder::removeCredentialRequests() {
    m_credentialAnswers.uninstall();
    NetworkCredentialServices::restore(m_previousCredentialServices);
    PortCredentialRequestMaker::restore(m_previousCredentialRequests);
}

void EngineHolder::createMatchmaker() {
    m_matchmaker = Matchmaker::create(MATCHMAKER_POSTS);
}

void EngineHolder::subscribeMatchmaker() {
    if (!m_matchmaker || m_matchmaker->isNull()) return;
    MatchmakerImpl* matchmaker = m_matchmaker->impl();
    if (m_adapterList) m_adapterList->addSubscriber(static_cast<AdapterListSubscriberInterface*>(matchmaker));
    if (m_activeConfiguration)
        m_activeConfiguration->addSubscriber(
            static_cast<ActiveConfigurationSubscriberInterface*>(matchmaker));
}

void EngineHolder::clearMatchmaker() {
    if (m_matchmaker && !m_matchmaker->isNull()) m_matchmaker->clearReferences();
}

void EngineHolder::releaseMatchmaker() {
    m_matchmaker.reset();
}

void EngineHolder::registerEngineParts() {
    if (!m_matchmaker || m_matchmaker->isNull()) return;
    MatchmakerImpl* matchmaker = m_matchmaker->impl();
    AdapterNotices::installMatchmaker(matchmaker);
    InstalledConfigurationMatchmaker::install(matchmaker);
    InstalledNetworkMatchmaker::install(matchmaker);
    m_connApiMatchmaker.install(*m_matchmaker);
}

void EngineHolder::unregisterEngineParts() {
    m_connApiMatchmaker.uninstall();
    InstalledNetworkMatchmaker::install(nullptr);
    InstalledConfigurationMatchmaker::install(nullptr);
    AdapterNotices::installMatchmaker(nullptr);
}
