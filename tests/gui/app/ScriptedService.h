#pragma once
// The service's end of the pipe in process, scripted: the connection tests' pipe service on the
// real socket, a subscriber that keeps every message the tray program sends (in arrival order, with the
// connection it came on) and answers from a script in the service's form; and the service's own
// messages pushed to the last connection.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "gui/client/ResponseType.h"
#include "platform/qtsoap/QtSoapMessage.h"
#include "tests/vel/connection/PipeHarness.h"
#include "vel/connection/ConnectionConstants.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

namespace tamsel::test {

// One message the tray program sent, as the service received it.
struct ReceivedMessage {
    int connection = 0;
    QByteArray payload;
    // The message element's local name ("Q" for the repair byte), its number and its children.
    QString method;
    QString sequenceNumber;
    QString child(const QString& name) const {
        QtSoapMessage soap;
        return soap.setContent(payload) ? soap.method()[name].text() : QString();
    }
};

class ScriptedSubscriberImpl : public ReferenceImpl, public DatagramSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS

    // The service's answers to one request (by method name); none by default.
    using Script = std::function<QList<QByteArray>(const ReceivedMessage&)>;

    void connectionStateChanged(const Connection& connection, int state) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (state == ConnectionConstants::CONNECTED) {
            m_last = connection;
            ++m_connections;
        }
    }

    void datagramReceived(const Connection& connection, const Datagram& datagram) override {
        ReceivedMessage message;
        message.payload = QByteArray(datagram.text(), datagram.length());
        QtSoapMessage soap;
        if (soap.setContent(message.payload)) {
            message.method = soap.method().name();
            message.sequenceNumber =
                soap.method()[QLatin1String(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT)].text();
        } else {
            message.method = QString::fromUtf8(message.payload);
        }
        Script script;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            message.connection = m_connections;
            m_received.append(message);
            script = m_script;
        }
        if (!script) return;
        for (const QByteArray& answer : script(message))
            connection.send(Datagram(answer.constData(), answer.size()));
    }

    void setScript(Script script) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_script = std::move(script);
    }
    QList<ReceivedMessage> received() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }
    QStringList methods() {
        QStringList out;
        for (const ReceivedMessage& m : received()) out << m.method;
        return out;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.clear();
    }
    int connections() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_connections;
    }
    // Sends a message of the service's own on the connection that came last.
    bool push(const QByteArray& message) {
        Connection connection;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            connection = m_last;
        }
        if (connection.isNull()) return false;
        connection.send(Datagram(message.constData(), message.size()));
        return true;
    }
    void dropConnections() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_last = Connection();
    }

private:
    std::mutex m_mutex;
    QList<ReceivedMessage> m_received;
    Script m_script;
    Connection m_last;
    int m_connections = 0;
};

// The service's pipe end of the connection tests, with the scripted subscriber in place of the
// echo (which stays quiet); needs the run-time of the test.
class ScriptedService {
public:
    ScriptedService() {
        m_pipe.subscriber->echo = false;
        m_pipe.subscriber->keep = false;
        subscriber = new ScriptedSubscriberImpl;
        m_pipe.forwarder().addSubscriber(subscriber);
    }
    ~ScriptedService() {
        stop();
        subscriber->dropConnections();
        subscriber->release();
    }
    ScriptedService(const ScriptedService&) = delete;
    ScriptedService& operator=(const ScriptedService&) = delete;

    bool running() const { return m_pipe.running(); }
    // The service goes: its clients see the pipe lost.
    void stop() {
        if (m_stopped) return;
        m_stopped = true;
        m_pipe.forwarder().removeSubscriber(subscriber);
        m_pipe.stop();
    }

    ScriptedSubscriberImpl* subscriber = nullptr;

private:
    PipeService m_pipe;
    bool m_stopped = false;
};

}  // namespace tamsel::test
