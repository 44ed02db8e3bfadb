#pragma once
// Connections that record what the service sends them, a network and engine parts the tests
// steer, and a reader for the messages sent.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/LogCapture.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/communication/ClientCommunication.h"
#include "vel/connection/ConnectionConstants.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/multithread/QuitSignal.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

namespace tamsel::test {

// A client's connection without a pipe: what the service queues on it is kept, in order.
class RecordingConnectionImpl : public ConnectionImpl {
public:
    RecordingConnectionImpl() : ConnectionImpl(DatagramForwarder(), IpcManager()) {}

    bool isFinished() override { return m_gone; }
    void leave() { m_gone = true; }
    // Takes what was sent so far.
    std::vector<std::string> take() { return std::exchange(m_sent, {}); }

protected:
    Datagram takeOutgoing() override { return Datagram(); }
    bool appendOutgoing(const Datagram& datagram) override {
        m_sent.emplace_back(datagram.text(), static_cast<size_t>(datagram.length()));
        return true;
    }
    void dropOutgoing() override { m_sent.clear(); }
    void joinThreads() override {}

private:
    std::vector<std::string> m_sent;
    bool m_gone = false;
};

inline Connection recordingConnection() {
    return Connection(new RecordingConnectionImpl, Reference::TAKE_OVER);
}

inline RecordingConnectionImpl& recorder(const Connection& connection) {
    return *static_cast<RecordingConnectionImpl*>(connection.impl());
}

// A network whose name, media and details the test sets.
class FakeNetworkImpl : public ReferenceImpl, public ConnApiNetworkInterface {
public:
    REFERENCE_IMPL_FORWARDS

    FakeNetworkImpl(const char* name, std::int32_t mediaType) : m_name(name), m_mediaType(mediaType) {}

    Ascii networkName() override { return m_name; }
    std::int32_t mediaType() override { return m_mediaType; }
    NetworkDetails details() override { return m_details; }

    Ascii m_name;
    std::int32_t m_mediaType;
    NetworkDetails m_details;
};

inline ConnApiNetwork fakeNetwork(const char* name, std::int32_t mediaType = 0,
                                  FakeNetworkImpl** impl = nullptr) {
    auto* p = new FakeNetworkImpl(name, mediaType);
    ConnApiNetwork network(static_cast<ConnApiNetworkInterface*>(p));
    p->release();
    if (impl != nullptr) *impl = p;
    return network;
}

// Every engine part the connection API asks, installed while it lives.
class FakeEngine : public ConnApiConfigurationInterface,
                   public ConnApiMatchmakerInterface,
                   public ConnApiLogonInterface,
                   public ConnApiVpnInterface {
public:
    FakeEngine() {
        ConnApiSeam<ConnApiConfigurationInterface>::install(this);
        ConnApiSeam<ConnApiMatchmakerInterface>::install(this);
        ConnApiSeam<ConnApiLogonInterface>::install(this);
        ConnApiSeam<ConnApiVpnInterface>::install(this);
    }
    ~FakeEngine() {
        ConnApiSeam<ConnApiConfigurationInterface>::install(nullptr);
        ConnApiSeam<ConnApiMatchmakerInterface>::install(nullptr);
        ConnApiSeam<ConnApiLogonInterface>::install(nullptr);
        ConnApiSeam<ConnApiVpnInterface>::install(nullptr);
    }

    bool exists() override { return configured; }
    bool activeGroupName(Ascii& name) override {
        if (activeGroup.empty()) return false;
        name = activeGroup.c_str();
        return true;
    }
    Configuration configuration() override { return activeConfiguration; }
    void writeUserConfiguration() override {
        ++userFileWrites;
        if (writeUser) writeUser();
    }
    void writeInternalConfiguration() override { ++internalFileWrites; }
    bool isRadioOn() override { return radioOn; }
    void resetAdapters() override { ++adapterResets; }
    void turnOffRadio() override { radioOn = false; }
    void turnOnRadio() override { radioOn = true; }
    void disableClient() override { clientEnabled = false; }
    void enableClient() override {
        clientEnabled = true;
        radioOn = true;
    }
    bool isClientEnabled() override { return clientEnabled; }
    std::vector<ConnApiAdapter> adapters() override { return heldAdapters; }
    ConnApiAdapter adapterOf(const Network&) override { return locationAdapter; }
    std::int32_t currentLogonAttemptId() override { return logonAttemptId; }
    std::int32_t getLogonStatus() override { return logonStatus; }
    void beginSsoCredentialRequest(const ConnApiNetwork& network) override {
        ssoRequests.emplace_back(network.networkName().text());
    }
    std::int32_t lastVpnState() override { return vpnState; }
    AsciiVector vpnProfiles() override { return profiles; }
    ConnApiNetworkProxy ssoCredentialNetwork() override { return ssoNetwork; }
    void setSsoCredentialRequestPending() override { ssoCalls.push_back("pending"); }
    void endSsoCredentialRequest() override { ssoCalls.push_back("end"); }
    void setPrelogonActions(std::int32_t logonAttemptId) override {
        ssoCalls.push_back("prelogon " + std::to_string(logonAttemptId));
    }
    void setUserSessionActions(std::int32_t userTokenHandle, std::int32_t userLogonProcessId) override {
        ssoCalls.push_back("session " + std::to_string(userTokenHandle) + "/" +
                           std::to_string(userLogonProcessId));
    }
    void handleSsoRequest(std::int32_t request) override {
        ssoCalls.push_back("sso " + std::to_string(request));
    }

    bool configured = true;
    std::string activeGroup = "Office";
    Configuration activeConfiguration;
    int userFileWrites = 0;
    int internalFileWrites = 0;
    // Writes the user's file when set; may raise as the real writer does.
    std::function<void()> writeUser;
    bool radioOn = true;
    bool clientEnabled = true;
    std::vector<ConnApiAdapter> heldAdapters;
    int adapterResets = 0;
    std::int32_t logonAttemptId = 9;
    std::int32_t logonStatus = 0;
    std::vector<std::string> ssoRequests;
    std::int32_t vpnState = 2;
    AsciiVector profiles;
    // The adapter every network holds; none when empty.
    ConnApiAdapter locationAdapter;
    ConnApiNetworkProxy ssoNetwork;
    std::vector<std::string> ssoCalls;
};

// One message the service sent, parsed.
class SentMessage {
public:
    explicit SentMessage(const std::string& text) : m_text(text) {
        m_document.parseMessage(m_text.data(), static_cast<int>(m_text.size()));
        SharedXmlNode body = m_document.rootElement().findChild(ConnApiConstants::BODY_ELEMENT);
        for (SharedXmlNode c = body.firstChild(); c.isNonNull(); c = c.nextSibling()) {
            if (c.isElement()) {
                m_element = c;
                break;
            }
        }
    }

    std::string name() const { return m_element.name(); }
    // The child's text; "<none>" without such a child.
    std::string child(const char* name) const { return textOf(m_element.findChild(name)); }
    bool has(const char* name) const { return m_element.findChild(name).isNonNull(); }
    int sequenceNumber() const { return std::stoi(child(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT)); }
    // For a fault: its detail's child.
    std::string detail(const char* name) const {
        return textOf(m_element.findChild(ConnApiConstants::FAULT_DETAIL_ELEMENT).findChild(name));
    }
    const SharedXmlNode& element() const { return m_element; }
    const std::string& text() const { return m_text; }

private:
    static std::string textOf(const SharedXmlNode& node) {
        if (node.isNull()) return "<none>";
        const char* text = node.content();
        return text != nullptr ? text : "";
    }

    std::string m_text;
    XmlDocument m_document;
    SharedXmlNode m_element;
};

inline std::vector<std::string> namesOf(const std::vector<std::string>& messages) {
    std::vector<std::string> names;
    for (const std::string& m : messages) names.push_back(SentMessage(m).name());
    return names;
}

// A run-time, the engine parts and the client communication of a test.
class ConnApiTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        quit = QuitSignal::Create();
    }
    void TearDown() override {
        if (!communication.isNull()) {
            communication.impl()->clearReferences();
            communication.reset();
        }
        quit.reset();
        RuntimeTest::TearDown();
    }

    void start(const HandlerTable& handlers = HandlerTable::service()) {
        communication = ClientCommunication::create(handlers);
    }

    Connection connect() {
        Connection c = recordingConnection();
        communication.impl()->connectionStateChanged(c, ConnectionConstants::CONNECTED);
        return c;
    }
    void receive(const Connection& c, const std::string& payload) {
        communication.impl()->datagramReceived(
            c, Datagram(payload.data(), static_cast<std::int32_t>(payload.size())));
    }

    FakeEngine engine;
    QuitSignal quit;
    ClientCommunication communication;
};

// An envelope as the tray program writes it around the given body elements.
inline std::string trayEnvelope(const std::string& elements) {
    return std::string("<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"") +
           ConnApiConstants::SOAP_ENVELOPE_NAMESPACE_URI + "\" xmlns:tamsel=\"" +
           ConnApiConstants::NAMESPACE_URI + "\"><SOAP-ENV:Body>" + elements +
           "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

// One message element as the tray program writes it.
inline std::string element(const std::string& name, int sequence, const std::string& children = "") {
    return "<tamsel:" + name + "><tamsel:sequenceNumber>" + std::to_string(sequence) +
           "</tamsel:sequenceNumber>" + children + "</tamsel:" + name + ">";
}

}  // namespace tamsel::test
