#pragma once
// The service's one point of contact with its clients: it keeps the connected ones, sends the
// service's events and requests to all of them, remembers what a client that connects later must
// still be asked, hands every received envelope to the dispatcher, and turns the configuration's
// news into messages. Engine thread only.
#include <atomic>
#include <cstdint>
#include <map>
#include <vector>

#include "vel/configuration/ActiveConfigurationSubscriberInterface.h"
#include "vel/configuration/ConfigurationSubscriberInterface.h"
#include "vel/connection/Connection.h"
#include "vel/connection/DatagramForwarder.h"
#include "vel/connection/DatagramSubscriber.h"
#include "vel/datagram/Datagram.h"
#include "vel/datagram/NamedDatagramVector.h"
#include "vel/communication/UnreadableMessages.h"
#include "vel/ipcmsghandlers/CertificateRecord.h"
#include "vel/ipcmsghandlers/ConnApiNetwork.h"
#include "vel/ipcmsghandlers/HandlerTable.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

class ClientCommunicationImpl : public ReferenceImpl,
                                public ConfigurationSubscriberInterface,
                                public DatagramSubscriberInterface,
                                public ActiveConfigurationSubscriberInterface {
public:
    // Credential types of a credential request, and the sources of a password.
    static constexpr std::int32_t CREDENTIAL_NONE = 1;
    static constexpr std::int32_t CREDENTIAL_PASSWORD = 2;
    static constexpr std::int32_t CREDENTIAL_CERTIFICATE = 3;
    static constexpr std::int32_t CREDENTIAL_SMART_CARD = 4;
    static constexpr std::int32_t SOURCE_USER = 2;
    static constexpr std::int32_t SOURCE_LOGON = 3;
    static constexpr std::int32_t REQUEST_PASSWORD_CHANGE = 2;
    static constexpr std::int32_t REQUEST_USERNAME_AND_PASSWORD = 5;
    static constexpr std::int32_t ADAPTER_STATE_CONNECTED = 10;
    static constexpr std::int32_t VPN_STATUS_NONE = 0;

    explicit ClientCommunicationImpl(const HandlerTable& handlers);
    ~ClientCommunicationImpl() override;

    void addRef() override { ReferenceImpl::addRef(); }
    void release() override { ReferenceImpl::release(); }
    void release2() override { ReferenceImpl::release2(); }
    // Shut-down: forgets the connections, the last network state and the pending request.
    void clearReferences() override;

    // Connections and the datagrams they receive.
    void connectionStateChanged(const Connection& connection, int state) override;
    void datagramReceived(const Connection& connection, const Datagram& datagram) override;

    // What the service sends.
    void sendToAll(const Datagram& datagram);
    void rememberRequest(const char* name, const Datagram& datagram);
    int forgetRequest(const char* name);
    void clearCredentialRequest();
    void resendLastNetworkStateEvent();
    void resendLastVpnStateEvent();

    // The configuration's news, as its networks report them: each turned into the forms below.
    void configurationEvent(std::int32_t state) override;
    void networkStateChanged(std::int32_t adapterState, const VelAdapter& adapter,
                             const Network& network) override;
    void configurationCredentialRequest(const Network& network, const ElementVector& certificates,
                                        std::int32_t credentialType, std::int32_t credentialSource,
                                        std::int32_t requestType, const Ascii& prompt) override;
    void changePasswordResult(std::int32_t attemptId, std::int32_t result) override;

    void networkStateChanged(std::int32_t adapterState, const ConnApiNetwork& network);
    void configurationCredentialRequest(const ConnApiNetwork& network,
                                        const std::vector<CertificateRecord>& certificates,
                                        std::int32_t credentialType, std::int32_t credentialSource,
                                        std::int32_t requestType, const AsciiProxy& requestText);
    void logonChangePasswordResult(std::int32_t attemptId, std::int32_t result);
    void activeConfigurationChanged() override;
    void userConfigurationChanged() override;

    int connectionCount() { return m_connections.length(); }

    static std::atomic<ClientCommunicationImpl*> Singleton;

private:
    struct LastNetworkState {
        std::int32_t adapterState = 0;
        ConnApiNetworkProxy network;
        AsciiProxy groupName;
    };

    struct PendingCredentialRequest {
        ConnApiNetworkProxy network;
        AsciiProxy groupName;
        std::vector<CertificateRecord> certificates;
        std::int32_t credentialType = CREDENTIAL_NONE;
        std::int32_t credentialSource = 0;
        std::int32_t requestType = 0;
        AsciiProxy requestText;
    };

    void repair();
    void createAndSendCredentialRequest(const ConnApiNetwork& network, const Ascii& groupName,
                                        const std::vector<CertificateRecord>& certificates,
                                        std::int32_t credentialType, std::int32_t credentialSource,
                                        std::int32_t requestType, const Ascii& requestText);
    void sendNetworkStateEvent(std::int32_t adapterState, const ConnApiNetwork& network,
                               const Ascii& groupName);
    void sendConfigurationChangeEvent();

    const HandlerTable& m_handlers;
    ElementVector m_connections;
    LastNetworkState m_lastNetworkStateEventInfo;
    NamedDatagramVectorOf<Datagram> m_rememberedRequests;
    PendingCredentialRequest m_pendingCredentialRequest;
    // Of each connected client.
    std::map<const ConnectionImpl*, UnreadableMessages> m_unreadable;
};

class ClientCommunication : public Reference {
public:
    // Makes the singleton ("Singleton == null") serving the handlers of the table; the service
    // passes its own.
    static ClientCommunication create(const HandlerTable& handlers = HandlerTable::service());
    // The singleton with a reference of the caller's ("Singleton != null").
    static ClientCommunication Instance();

    ClientCommunication() = default;

    // Adds or removes this object's datagram subscriber: after the connection server subscribed,
    // and before the server is cancelled.
    void subscribeToForwarder(const DatagramForwarder& forwarder) const;
    void unsubscribeFromForwarder(const DatagramForwarder& forwarder) const;

    // Queues the datagram on every connection, in the order they connected.
    void sendToAll(const Datagram& datagram) const { impl()->sendToAll(datagram); }
    // Keeps the datagram under the name, in place of one of the same name; each client that
    // connects later gets it until it is forgotten.
    void rememberRequest(const char* name, const Datagram& datagram) const {
        impl()->rememberRequest(name, datagram);
    }
    // 1 when a datagram of the name was forgotten, 0 when none was kept.
    int forgetRequest(const char* name) const { return impl()->forgetRequest(name); }
    // The pending credential request is answered: nobody connecting later is asked again.
    void clearCredentialRequest() const { impl()->clearCredentialRequest(); }
    void resendLastNetworkStateEvent() const { impl()->resendLastNetworkStateEvent(); }
    void resendLastVpnStateEvent() const { impl()->resendLastVpnStateEvent(); }

    ClientCommunicationImpl* impl() const {
        return static_cast<ClientCommunicationImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    explicit ClientCommunication(ClientCommunicationImpl* p) { m = static_cast<ReferenceImpl*>(p); }
};
