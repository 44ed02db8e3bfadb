#include "vel/communication/ClientCommunication.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "runtime/multithread/RuntimeMutex.h"
#include "vel/certificate/Certificate.h"
#include "vel/certificate/CertificateStore.h"
#include "vel/connection/ConnectionConstants.h"
#include "vel/ipcmsghandlers/ConfigurationChangeEvent.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/ConnApiLog.h"
#include "vel/ipcmsghandlers/GetCertificateRequest.h"
#include "vel/ipcmsghandlers/GetLogonSmartCardPinRequest.h"
#include "vel/ipcmsghandlers/GetLogonUsernamePasswordRequest.h"
#include "vel/ipcmsghandlers/GetSmartCardPinRequest.h"
#include "vel/ipcmsghandlers/GetUsernamePasswordRequest.h"
#include "vel/ipcmsghandlers/LogonChangePasswordEvent.h"
#include "vel/ipcmsghandlers/LogonEvent.h"
#include "vel/ipcmsghandlers/NetworkStateEvent.h"
#include "vel/ipcmsghandlers/NetworkView.h"
#include "vel/ipcmsghandlers/SoapDispatcher.h"
#include "vel/ipcmsghandlers/SoapEnvelope.h"
#include "vel/multithread/QuitSignal.h"
#include "vel/time/Time.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

std::atomic<ClientCommunicationImpl*> ClientCommunicationImpl::Singleton{nullptr};

ClientCommunicationImpl::ClientCommunicationImpl(const HandlerTable& handlers)
    : m_handlers(handlers), m_connections(ElementVector::create()) {}

ClientCommunicationImpl::~ClientCommunicationImpl() {
    LUM_ASSERT_TEXT(this == Singleton, "this == Singleton");
    Singleton = nullptr;
}

void ClientCommunicationImpl::clearReferences() {
    // The networks' last states at shut-down go to no tray program.
    Configuration configuration = ConnApiEngine::configuration();
    if (!configuration.isNull()) configuration.unsubscribe(this);
    m_connections.clear();
    for (auto& [connection, unreadable] : m_unreadable) unreadable.end();
    m_unreadable.clear();
    m_lastNetworkStateEventInfo = LastNetworkState();
    clearCredentialRequest();
}

void ClientCommunicationImpl::connectionStateChanged(const Connection& connection, int state) {
    if (state == ConnectionConstants::CONNECTED) {
        m_connections.add(connection.m);
        m_unreadable.try_emplace(connection.impl(), connection.impl());
        PendingCredentialRequest& pending = m_pendingCredentialRequest;
        if (pending.network.exists() && pending.groupName.exists() && pending.requestText.exists()) {
            logDebug("Retransmit credential request to new connection");
            createAndSendCredentialRequest(pending.network.network(), pending.groupName.value(),
                                           pending.certificates, pending.credentialType,
                                           pending.credentialSource, pending.requestType,
                                           pending.requestText.value());
        }
        for (std::int32_t i = 0; i < m_rememberedRequests.length(); ++i)
            connection.send(m_rememberedRequests.get(i));
    } else if (state == ConnectionConstants::DISCONNECTED) {
        m_connections.remove(connection.m);
        if (auto it = m_unreadable.find(connection.impl()); it != m_unreadable.end()) {
            it->second.end();
            m_unreadable.erase(it);
        }
    } else {
        LUM_ASSERT_TEXT(false, "connectionState");
    }
}

void ClientCommunicationImpl::datagramReceived(const Connection& connection, const Datagram& datagram) {
    // A connection's messages all come between its connected and disconnected news.
    auto found = m_unreadable.find(connection.impl());
    UnreadableMessages unknown(connection.impl());
    UnreadableMessages& unreadable = found != m_unreadable.end() ? found->second : unknown;
    if (unreadable.closed()) return;
    if (datagram.length() == 1 && datagram.bytes()[0] == ConnApiConstants::REPAIR_REQUEST) {
        repair();
        return;
    }
    const bool inFull = unreadable.nextInFull();
    bool readable = false;
    ConnApiLog::guard("datagramReceived", inFull ? ConnApiLog::AS_INTERNAL_ERROR : ConnApiLog::COUNT_ONLY, [&] {
        SoapEnvelope envelope = SoapEnvelope::parse(datagram, inFull);
        if (envelope.kind() == SoapEnvelope::KIND_ENVELOPE) {
            readable = true;
            SoapDispatcher(m_handlers).dispatch(DatagramContext{datagram, envelope, connection});
        } else if (inFull) {
            logError(0, "Invalid datagram format");
        }
    });
    if (readable) {
        unreadable.readable();
    } else if (unreadable.unreadable()) {
        connection.close();
    }
}

void ClientCommunicationImpl::repair() {
    ConnApiEngine::resetAdapters();
    QuitSignal::set();
    logInfo(0, "Service will attempt to perform 'repair'.");
}

void ClientCommunicationImpl::sendToAll(const Datagram& datagram) {
    for (const Reference& connection : m_connections.snapshot())
        Connection::fromElement(connection.m).send(datagram);
}

void ClientCommunicationImpl::rememberRequest(const char* name, const Datagram& datagram) {
    const ByteArray key(name);
    m_rememberedRequests.remove(key);
    const int addResult = m_rememberedRequests.add(key, datagram);
    LUM_ASSERT_TEXT(addResult == ElementVector::ADDED, "addResult == ElementVector::ADDED");
}

int ClientCommunicationImpl::forgetRequest(const char* name) {
    return m_rememberedRequests.remove(ByteArray(name));
}

void ClientCommunicationImpl::clearCredentialRequest() {
    m_pendingCredentialRequest = PendingCredentialRequest();
}

void ClientCommunicationImpl::resendLastNetworkStateEvent() {
    LastNetworkState& last = m_lastNetworkStateEventInfo;
    if (!last.network.exists() || !last.groupName.exists()) return;
    sendNetworkStateEvent(last.adapterState, last.network.network(), last.groupName.value());
}

void ClientCommunicationImpl::resendLastVpnStateEvent() {
    sendVpnStateEvent(ConnApiEngine::lastVpnState(), VPN_STATUS_NONE).send();
}

void ClientCommunicationImpl::configurationEvent(std::int32_t) {}

void ClientCommunicationImpl::networkStateChanged(std::int32_t adapterState, const VelAdapter&,
                                                  const Network& network) {
    networkStateChanged(adapterState, NetworkView::of(network));
}

void ClientCommunicationImpl::configurationCredentialRequest(const Network& network,
                                                             const ElementVector& certificates,
                                                             std::int32_t credentialType,
                                                             std::int32_t credentialSource,
                                                             std::int32_t requestType, const Ascii& prompt) {
    // The tray is told of each certificate and its store: without them a card's PIN request would
    // go to the logon component instead, and the certificate list would reach the tray empty.
    std::vector<CertificateRecord> records;
    ElementVector list = certificates;
    if (!list.isNull()) {
        for (const Reference& element : list.snapshot()) {
            Certificate certificate;
            static_cast<Reference&>(certificate) = element;
            CertificateRecord record;
            record.usable = certificate.isUsable();
            record.hash = certificate.hash();
            record.name = certificate.certificateName();
            record.issuedTo = certificate.issuedTo();
            record.issuedBy = certificate.issuedBy();
            record.expiryDate = certificate.expiryDate().toText();
            record.serialNumber = certificate.serialNumber();
            record.storeType = certificate.store().type();
            record.storeName = certificate.store().name();
            records.push_back(record);
        }
    }
    configurationCredentialRequest(NetworkView::of(network), records, credentialType, credentialSource,
                                   requestType, prompt.isNull() ? AsciiProxy() : AsciiProxy(prompt));
}

void ClientCommunicationImpl::changePasswordResult(std::int32_t attemptId, std::int32_t result) {
    logonChangePasswordResult(attemptId, result);
}

void ClientCommunicationImpl::networkStateChanged(std::int32_t adapterState, const ConnApiNetwork& network) {
    if (adapterState == ADAPTER_STATE_CONNECTED) clearCredentialRequest();
    LastNetworkState& last = m_lastNetworkStateEventInfo;
    last.adapterState = adapterState;
    last.network = ConnApiNetworkProxy(network);
    Ascii groupName;
    if (ConnApiEngine::activeGroupName(groupName)) {
        last.groupName = groupName;
    } else {
        last.groupName.clear();
    }
    if (!LUM_ASSERT_TEXT(last.groupName.exists(), "m_lastNetworkStateEventInfo.networkGroupProxy.exists()"))
        return;
    sendNetworkStateEvent(adapterState, network, groupName);
}

void ClientCommunicationImpl::configurationCredentialRequest(
    const ConnApiNetwork& network, const std::vector<CertificateRecord>& certificates,
    std::int32_t credentialType, std::int32_t credentialSource, std::int32_t requestType,
    const AsciiProxy& requestText) {
    logDebug("Entered %s", "ClientCommunicationImpl::configurationCredentialRequest");
    Ascii groupName;
    if (!ConnApiEngine::activeGroupName(groupName)) return;
    clearCredentialRequest();
    PendingCredentialRequest& pending = m_pendingCredentialRequest;
    pending.network = ConnApiNetworkProxy(network);
    pending.groupName = groupName;
    pending.certificates = certificates;
    pending.credentialType = credentialType;
    pending.credentialSource = credentialSource;
    pending.requestType = requestType;
    pending.requestText = requestText;
    Ascii text;
    AsciiProxy given = requestText;
    if (given.exists()) text = given.value();
    createAndSendCredentialRequest(network, groupName, certificates, credentialType, credentialSource,
                                   requestType, text);
}

void ClientCommunicationImpl::createAndSendCredentialRequest(
    const ConnApiNetwork& network, const Ascii& groupName, const std::vector<CertificateRecord>& certificates,
    std::int32_t credentialType, std::int32_t credentialSource, std::int32_t requestType,
    const Ascii& requestText) {
    logDebug("%s: Active group = %s, credential type = %d",
             "ClientCommunicationImpl::createAndSendCredentialRequest", groupName.text(), credentialType);
    switch (credentialType) {
        case CREDENTIAL_PASSWORD:
            logDebug("ClientCommunicationImpl: received cred request");
            if (credentialSource == SOURCE_USER) {
                logDebug("Sending GetUsernamePasswordRequest");
                SoapOutgoingMessage(
                    new GetUsernamePasswordRequestImpl(network, groupName, requestType, requestText))
                    .send();
            } else if (credentialSource == SOURCE_LOGON && requestType == REQUEST_USERNAME_AND_PASSWORD) {
                SoapOutgoingMessage(new GetLogonUsernamePasswordRequestImpl(network)).send();
            } else if (credentialSource == SOURCE_LOGON && requestType == REQUEST_PASSWORD_CHANGE) {
                sendLogonEvent(ConnApiEngine::currentLogonAttemptId(), LogonEventImpl::PASSWORD_EXPIRED)
                    .send();
            }
            break;
        case CREDENTIAL_CERTIFICATE:
            SoapOutgoingMessage(new GetCertificateRequestImpl(network, groupName, certificates)).send();
            break;
        case CREDENTIAL_SMART_CARD: {
            Ascii smartCardName;
            if (!certificates.empty()) {
                LUM_ASSERT_TEXT(certificates.front().storeType == CertificateRecord::STORE_SMART_CARD,
                                "store.type() == CertificateStore::SmartCard");
                smartCardName = certificates.front().storeName;
            }
            if (smartCardName.length() > 0) {
                SoapOutgoingMessage(new GetSmartCardPinRequestImpl(network, groupName, smartCardName)).send();
            } else {
                SoapOutgoingMessage(new GetLogonSmartCardPinRequestImpl(network)).send();
            }
            break;
        }
        default:
            break;
    }
}

void ClientCommunicationImpl::sendNetworkStateEvent(std::int32_t adapterState, const ConnApiNetwork& network,
                                                    const Ascii& groupName) {
    if (network.mediaType() == ConnApiNetworkInterface::MEDIA_WIRELESS && !ConnApiEngine::isRadioOn()) return;
    SoapOutgoingMessage(new NetworkStateEventImpl(adapterState, network, groupName)).send();
}

void ClientCommunicationImpl::logonChangePasswordResult(std::int32_t attemptId, std::int32_t result) {
    SoapOutgoingMessage(new LogonChangePasswordEventImpl(attemptId, result)).send();
}

void ClientCommunicationImpl::activeConfigurationChanged() {
    LUM_ASSERT_TEXT(ConnApiEngine::configurationExists(), "ActiveConfiguration::Instance().exists()");
    // The tray programs follow the networks of the configuration now in force.
    Configuration configuration = ConnApiEngine::configuration();
    if (!configuration.isNull()) configuration.subscribe(this);
    sendConfigurationChangeEvent();
}

void ClientCommunicationImpl::userConfigurationChanged() {
    sendConfigurationChangeEvent();
}

void ClientCommunicationImpl::sendConfigurationChangeEvent() {
    SoapOutgoingMessage(new ConfigurationChangeEventImpl).send();
}

ClientCommunication ClientCommunication::create(const HandlerTable& handlers) {
    if (!LUM_ASSERT_TEXT(ClientCommunicationImpl::Singleton == nullptr, "Singleton == null"))
        return Instance();
    auto* p = new ClientCommunicationImpl(handlers);
    ClientCommunicationImpl::Singleton = p;
    return ClientCommunication(p);
}

ClientCommunication ClientCommunication::Instance() {
    RuntimeMutexLock lock(referenceMutex());
    ClientCommunicationImpl* p = ClientCommunicationImpl::Singleton;
    if (!LUM_ASSERT_TEXT(p != nullptr && p->addRefUnlessDying(), "Singleton != null"))
        return ClientCommunication();
    return ClientCommunication(p);
}

void ClientCommunication::subscribeToForwarder(const DatagramForwarder& forwarder) const {
    forwarder.addSubscriber(impl());
}

void ClientCommunication::unsubscribeFromForwarder(const DatagramForwarder& forwarder) const {
    forwarder.removeSubscriber(impl());
}
