#include "gui/app/CPclient.h"

#include <QMutexLocker>

#include "gui/app/ResponseClassifier.h"
#include "gui/client/CEButtons.h"
#include "gui/client/ClientLog.h"
#include "gui/client/IpcRequestTransport.h"
#include "gui/client/SoapRequest.h"
#include "gui/windows/NetworkStateReader.h"
#include "gui/windows/VpnConnection.h"
#include "gui/windows/ZornLocation.h"
#include "platform/qtsoap/QtSoapMessage.h"
#include "vel/exception/BaseException.h"
#include "vel/exception/CanceledException.h"
#include "vel/exception/NoConnectionException.h"
#include "vel/exception/NvoException.h"
#include "vel/ipc/IpcReceiveBuffer.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

namespace {

QtSoapElement methodOf(const QByteArray& message) {
    QtSoapMessage soap;
    return soap.setContent(message) ? soap.method() : QtSoapElement();
}

QString textOf(const QtSoapElement& method, const char* name) {
    return method[QLatin1String(name)].text();
}

}  // namespace

CPclient::CPclient(QObject* parent)
    : QThread(parent),
      m_vpn(std::make_unique<VpnConnection>()),
      m_location(std::make_unique<ZornLocation>()) {
    try {
        m_ipc = IpcManager::createNamedPipeClient(ConnApiConstants::PIPE_NAME);
    } catch (const NvoException&) {
        // The connect loop makes the end again on each attempt until one exists.
        qCInfo(lcGuiClient, "NvoException.");
    }
    if (!m_ipc.isNull()) publishTransport();
    // The policy's own signals reach the controller through the client's, unchanged.
    connect(&m_policy, &AdminPolicy::NoWireless, this, &CPclient::NoWireless);
    connect(&m_policy, &AdminPolicy::VpnEnabledSignal, this, &CPclient::VpnEnabledSignal);
    connect(&m_policy, &AdminPolicy::RunScriptEnabledSignal, this, &CPclient::RunScriptEnabledSignal);
}

CPclient::~CPclient() {
    m_running = false;
    if (isRunning()) {
        cancel();
        wait();
    }
    // Only this client's transport is withdrawn; a newer client's stays published.
    if (m_transport && RequestTransport::current() == m_transport) RequestTransport::withdraw();
}

void CPclient::publishTransport() {
    m_transport = std::make_shared<IpcRequestTransport>(m_ipc);
    RequestTransport::publish(m_transport);
}

bool CPclient::connectToService() {
    for (;;) {
        if (m_canceled.load()) return false;
        try {
            if (m_ipc.isNull()) {
                m_ipc = IpcManager::createNamedPipeClient(ConnApiConstants::PIPE_NAME);
                publishTransport();
            }
            if (m_ipc.connect()) {
                qCInfo(lcGuiClient, "Connected to Service.");
                emit ClientConnecting();
                return true;
            }
            qCInfo(lcGuiClient, "Connection to Service Failed.");
        } catch (const CanceledException&) {
            // A cancelled end never connects: the loop ends instead of retrying for ever.
            qCInfo(lcGuiClient, "CanceledException.");
            return false;
        } catch (const NoConnectionException&) {
            qCInfo(lcGuiClient, "NoConnectionException.");
        } catch (const NvoException&) {
            qCInfo(lcGuiClient, "NvoException.");
        }
        QMutexLocker lock(&m_waitMutex);
        if (m_canceled.load()) return false;
        m_cancelWait.wait(&m_waitMutex, CONNECT_RETRY_MS);
    }
}

void CPclient::startReceiving() {
    connect(this, &CPclient::SignalProcessData, this, &CPclient::ProcessData, Qt::UniqueConnection);
    start(QThread::InheritPriority);
    setPriority(QThread::NormalPriority);
    getGroupsRequest();
}

void CPclient::cancel() {
    {
        QMutexLocker lock(&m_waitMutex);
        m_canceled = true;
        m_cancelWait.wakeAll();
    }
    if (m_ipc.isNull()) return;
    try {
        m_ipc.cancel();
    } catch (const NvoException&) {
        qCInfo(lcGuiClient, "NvoException.");
    }
}

void CPclient::run() {
    IpcReceiveBuffer buffer;
    while (m_running.load()) {
        try {
            const Datagram datagram = buffer.receive(m_ipc);
            QMutexLocker lock(&m_mutex);
            m_queue.append(QByteArray(datagram.text(), datagram.length()));
            emit SignalProcessData();
        } catch (const CanceledException&) {
            qCInfo(lcGuiClient, "Client Thread Received CanceledException.");
            break;
        } catch (const NoConnectionException&) {
            qCInfo(lcGuiClient, "Client Thread Received NoConnectionException.");
            break;
        } catch (const NvoException&) {
            qCInfo(lcGuiClient, "Client Thread Received NvoException.");
            break;
        } catch (const BaseException&) {
            break;
        }
    }
    emit ClientDisconnected();
}

int CPclient::queuedCount() {
    QMutexLocker lock(&m_mutex);
    return static_cast<int>(m_queue.size());
}

void CPclient::sendRepair() {
    RequestTransport::sendLogged(
        QByteArray::fromStdString(ConnApiFrame::frame(std::string(1, ConnApiConstants::REPAIR_REQUEST))));
}

void CPclient::getScanListRequest() {
    SoapRequest::send(QStringLiteral("getScanListRequest"));
}

void CPclient::ScanlistRequest() {
    getScanListRequest();
}

void CPclient::getGroupsRequest() {
    SoapRequest::send(QStringLiteral("getGroupsRequest"));
}

void CPclient::getActiveGroupRequest() {
    SoapRequest::send(QStringLiteral("getActiveGroupRequest"));
}

void CPclient::getNetworksInGroupRequest(const QString& groupName) {
    SoapRequest::send(QStringLiteral("getNetworksInGroupRequest"),
                      {{QLatin1String(ConnApiElements::GROUP_NAME), groupName}});
}

void CPclient::GetLastStatusRequest() {
    SoapRequest::send(QStringLiteral("resendLastNetworkStateEventRequest"));
}

void CPclient::GetLastVpnStatusRequest() {
    SoapRequest::send(QStringLiteral("resendLastVpnStateEventRequest"));
}

void CPclient::ssoUserSessionActionsRequest() {
    SoapRequest::send(QStringLiteral("ssoUserSessionActionsRequest"),
                      {{QStringLiteral("userTokenHandle"), QStringLiteral("0")},
                       {QStringLiteral("userLogonProcessId"), QStringLiteral("0")}});
}

void CPclient::ShowLocation() {
    m_location->showWindow();
}

void CPclient::clearLists() {
    m_mergedList.clear();
    m_stateEvent.clear();
    m_scanList.clear();
    m_networks = NetworkItemList();
    m_groups.clear();
    emit UpdateMergeList(&m_mergedList);
    emit AddNetworksToGroup(m_groups, ResponseType::RemoveGroupResponse);
}

void CPclient::rebuildMergedList() {
    const GroupItem* active = m_groups.activeGroup();
    if (active == nullptr) return;
    m_mergedList.merge(m_scanList, active->networks());
    if (!m_mergedList.isEmpty()) emit UpdateMergeList(&m_mergedList);
}

void CPclient::ProcessData() {
    QByteArray message;
    {
        QMutexLocker lock(&m_mutex);
        if (m_queue.isEmpty()) return;
        message = m_queue.takeFirst();
    }
    const ResponseType type = ResponseClassifier::classifyResponse(message);
    if (ClientLog::verboseDumps()) qCInfo(lcGuiClient, "\n%s", message.constData());
    handle(type, message);
}

void CPclient::handle(ResponseType type, const QByteArray& message) {
    switch (type) {
        case ResponseType::Fault:
            onFault(message);
            break;
        case ResponseType::GetGroupsResponse:
            onGroups(message);
            break;
        case ResponseType::GetActiveGroupResponse:
        case ResponseType::SetActiveGroupResponse:
            onActiveGroup(type, message);
            break;
        case ResponseType::GetNetworksInGroupResponse:
            onNetworksInGroup(message);
            break;
        case ResponseType::GetScanListResponse:
            onScanList(message);
            break;
        case ResponseType::NetworkStateEvent:
            onNetworkState(message);
            break;
        case ResponseType::AddNetworkResponse:
        case ResponseType::ChangeNetworkResponse:
            onNetworkAddedOrChanged(message);
            break;
        case ResponseType::RemoveNetworkResponse:
            onNetworkRemoved(message);
            break;
        case ResponseType::GetUsernameAndPasswordRequest:
        case ResponseType::GetVpnCredentialsRequest:
            if (m_credentials.parse(message)) emit UserNameRequest(m_credentials);
            break;
        case ResponseType::GetCertificateRequest:
            if (m_certificate.parse(message)) emit CertRequest(m_certificate);
            break;
        case ResponseType::GetConnectionModeResponse:
            onConnectionMode(message);
            break;
        case ResponseType::AddGroupResponse:
            onGroupAdded(message);
            break;
        case ResponseType::GetSmartCardPinRequest:
            onSmartCardPin(message);
            break;
        case ResponseType::LogonEvent:
            onLogonEvent(message);
            break;
        case ResponseType::RemoveGroupResponse:
            onGroupRemoved(message);
            break;
        case ResponseType::ConfigurationChangeEvent:
            getGroupsRequest();
            SoapRequest::send(QStringLiteral("getConnectionModeRequest"));
            SoapRequest::send(QStringLiteral("getAdministratorPolicyRequest"));
            break;
        case ResponseType::EnableTamselResponse:
            emit EnableClientItems();
            break;
        case ResponseType::GetServiceStateResponse:
            onServiceState(message);
            break;
        case ResponseType::GetAdministratorPolicyResponse:
            if (m_policy.parse(message)) emit AdminPolicies(&m_policy);
            break;
        case ResponseType::GetVpnCapabilitiesResponse:
            m_vpn->readVpnCapabilities(message);
            emit VpnCapabilities(m_vpn.get());
            break;
        case ResponseType::GetLocationCapabilitiesResponse:
            if (m_location->readCapabilities(message)) emit LocationCaps();
            break;
        case ResponseType::LocationResponseEvent:
            m_location->showLocationResponse(message);
            break;
        case ResponseType::VpnStateEvent:
            onVpnState(message);
            break;
        case ResponseType::GetBannerRequest:
            onBanner(message);
            break;
        case ResponseType::GetNetworkDetailsResponse:
        case ResponseType::ResendLastNetworkStateEventResponse:
        case ResponseType::DisconnectVpnResponse:
        case ResponseType::DisableTamselResponse:
            break;
        case ResponseType::Unknown:
            qCInfo(lcGuiClient, "Response Type not defined ==>\n%s", message.constData());
            break;
    }
}

void CPclient::onFault(const QByteArray& message) {
    QtSoapMessage soap;
    soap.setContent(message);
    const QtSoapElement detail = soap.faultDetail();
    emit Fault(textOf(detail, ConnApiConstants::ERROR_CODE_ELEMENT));
    qCInfo(lcGuiClient, "%s", message.constData());
}

void CPclient::onGroups(const QByteArray& message) {
    if (!m_groups.parse(message)) return;
    m_groupCount = m_groups.count();
    if (m_groupCount < 1) return;
    getActiveGroupRequest();
    for (int i = 0; i < m_groups.count(); ++i) getNetworksInGroupRequest(m_groups.at(i).name());
}

void CPclient::requestActiveGroupNetworks() {
    if (const GroupItem* active = m_groups.activeGroup()) getNetworksInGroupRequest(active->name());
}

void CPclient::onActiveGroup(ResponseType type, const QByteArray& message) {
    m_groups.setActiveGroup(message);
    if (const GroupItem* active = m_groups.activeGroup()) {
        emit NotifyActiveGroupChng(active->name());
        emit AddNetworksToGroup(m_groups, type);
    }
    rebuildMergedList();
    requestActiveGroupNetworks();
}

void CPclient::onNetworksInGroup(const QByteArray& message) {
    if (!m_networks.parse(message)) return;
    const GroupItem* group = m_groups.setGroupNetworks(m_networks);
    if (group != nullptr && group->isActive()) {
        m_mergedList.merge(m_scanList, group->networks());
        if (!m_mergedList.isEmpty()) emit UpdateMergeList(&m_mergedList);
    }
    emit AddNetworksToGroup(m_groups, ResponseType::GetNetworksInGroupResponse);
    GetLastStatusRequest();
}

void CPclient::onScanList(const QByteArray& message) {
    if (m_disabledByUser) return;
    if (m_scanList.readScanList(message) != 0) {
        rebuildMergedList();
        return;
    }
    m_scanList.clear();
    rebuildMergedList();
    emit UpdateMergeList(&m_mergedList);
}

void CPclient::onNetworkState(const QByteArray& message) {
    if (m_disabledByUser) return;
    if (!readNetworkStateEvent(message, m_stateEvent)) return;
    const GroupItem* active = m_groups.activeGroup();
    if (active != nullptr && m_stateEvent.groupName == active->name()) {
        emit StateChange(m_stateEvent);
        rebuildMergedList();
    }
}

void CPclient::onNetworkAddedOrChanged(const QByteArray& message) {
    const QtSoapElement method = methodOf(message);
    const QString groupName = textOf(method, ConnApiElements::GROUP_NAME);
    const QString newGroupName = textOf(method, ConnApiElements::NEW_GROUP_NAME);
    const GroupItem* active = m_groups.activeGroup();
    if (!groupName.isEmpty() && active != nullptr) {
        getNetworksInGroupRequest(groupName);
        if (!newGroupName.isEmpty()) getNetworksInGroupRequest(newGroupName);
    }
    if (newGroupName.isEmpty() || active == nullptr) return;
    if (groupName == active->name()) {
        emit SendChngGroupRequest(groupName);
    } else if (newGroupName == active->name()) {
        emit SendChngGroupRequest(newGroupName);
    }
}

void CPclient::onNetworkRemoved(const QByteArray& message) {
    QString groupName;
    QString networkName;
    if (!m_groups.readGroupAndNetwork(message, groupName, networkName)) return;
    const GroupItem* active = m_groups.activeGroup();
    if (active != nullptr && active->name() == groupName) {
        getNetworksInGroupRequest(groupName);
    } else if (m_groups.removeNetwork(groupName, networkName)) {
        emit AddNetworksToGroup(m_groups, ResponseType::RemoveNetworkResponse);
    }
}

void CPclient::onConnectionMode(const QByteArray& message) {
    if (!m_mode.parse(message)) return;
    emit ConnectMode(m_mode.networkName().isEmpty(), m_mode.networkName());
}

void CPclient::onGroupAdded(const QByteArray& message) {
    if (!m_groups.addGroup(message)) return;
    emit AddNetworksToGroup(m_groups, ResponseType::AddGroupResponse);
    requestActiveGroupNetworks();
}

void CPclient::onSmartCardPin(const QByteArray& message) {
    const QtSoapElement method = methodOf(message);
    emit SmartPinRequest(textOf(method, ConnApiElements::SMART_CARD_NAME),
                         textOf(method, ConnApiElements::GROUP_NAME),
                         textOf(method, ConnApiElements::NETWORK_NAME));
}

void CPclient::onLogonEvent(const QByteArray& message) {
    if (textOf(methodOf(message), ConnApiElements::EVENT_TYPE) == QLatin1String("passwordExpired"))
        emit LogonEvent();
}

void CPclient::onGroupRemoved(const QByteArray& message) {
    if (m_groups.removeGroup(message)) emit AddNetworksToGroup(m_groups, ResponseType::RemoveGroupResponse);
}

void CPclient::onServiceState(const QByteArray& message) {
    const QtSoapElement method = methodOf(message);
    emit ServiceState(method[QLatin1String(ConnApiElements::TAMSEL_ENABLED)].toBool(),
                      method[QLatin1String(ConnApiElements::RADIO_ENABLED)].toBool(),
                      method[QStringLiteral("packetCaptureEnabled")].toBool());
}

void CPclient::onVpnState(const QByteArray& message) {
    const QtSoapElement method = methodOf(message);
    const QString state = textOf(method, ConnApiElements::VPN_STATE);
    const QString status = textOf(method, ConnApiElements::VPN_STATUS);
    m_stateEvent.setVpnFlag(state);
    emit VpnState(state, status);
}

void CPclient::onBanner(const QByteArray& message) {
    emit Banner(textOf(methodOf(message), ConnApiElements::BANNER_PROMPT));
}
