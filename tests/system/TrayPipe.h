#pragma once
// A tray program's end of the real service's pipe that asks as the tray does: requests written by
// the tray program's own request writer, every message the service sends read by its own SOAP
// reader. A thread of its own keeps what arrives, so that events are seen beside the replies.
// Needs the run-time of ServiceClientTest.
#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "gui/client/SoapRequest.h"
#include "platform/qtsoap/QtSoapMessage.h"
#include "tests/support/TestText.h"
#include "tests/vel/connection/PipeClient.h"
#include "vel/exception/BaseException.h"

namespace tamsel::test {

// A message of the service, read as the tray program reads it.
struct TrayMessage {
    explicit TrayMessage(const std::string& bytes) : text(bytes) {
        valid = soap.setContent(QByteArray::fromStdString(bytes));
    }
    // The message element's name: the reply's or the event's, "Fault" for a fault.
    std::string name() const { return soap.method().name().toStdString(); }
    bool isFault() const { return soap.isFault(); }
    int errorCode() const { return isFault() ? soap.faultDetail()["errorCode"].toInt() : 0; }
    int sequenceNumber() const {
        return (isFault() ? soap.faultDetail() : soap.method())["sequenceNumber"].toInt();
    }
    // The text of a child of the message element; empty when there is none.
    std::string child(const QString& name) const { return soap.method()[name].text().toStdString(); }
    bool has(const QString& name) const { return !soap.method()[name].isNull(); }
    // The texts of the items of an array child, or of one child of each item.
    std::vector<std::string> items(const QString& array, const QString& itemChild = QString()) const {
        std::vector<std::string> texts;
        for (const QtSoapElement& item : soap.method()[array].items())
            texts.push_back((itemChild.isEmpty() ? item : item[itemChild]).text().toStdString());
        return texts;
    }

    std::string text;
    QtSoapMessage soap;
    bool valid = false;
};

using TrayChildren = std::vector<std::pair<QString, QString>>;

class TrayPipe {
public:
    // Connects once the service listens; `connected()` tells whether it did.
    TrayPipe() {
        m_connected = waitFor([this] { return m_client.connect(); });
        if (m_connected) m_reader = std::thread([this] { readUntilTheEnd(); });
    }
    ~TrayPipe() {
        if (!m_reader.joinable()) return;
        try {
            m_client.ipc().cancel();
        } catch (const BaseException&) {
        }
        m_reader.join();
    }
    TrayPipe(const TrayPipe&) = delete;
    TrayPipe& operator=(const TrayPipe&) = delete;

    bool connected() const { return m_connected; }

    // The request as the tray program writes it: its children in this order.
    static std::string request(const QString& method, int number, const TrayChildren& children = {}) {
        SoapRequest request(method, QString::number(number));
        for (const auto& [name, value] : children) request.addRequestParam(name, value);
        request.endRequest();
        return request.text().toStdString();
    }

    // Sends the request and waits for its reply or fault; an invalid message when none came in time.
    TrayMessage ask(const QString& method, const TrayChildren& children = {},
                    std::chrono::milliseconds deadline = std::chrono::seconds(30)) {
        const int number = ++m_number;
        std::string reply = method.toStdString();
        if (reply.size() > 7 && reply.compare(reply.size() - 7, 7, "Request") == 0)
            reply.replace(reply.size() - 7, 7, "Response");
        const size_t from = count();
        m_client.send(request(method, number, children));
        size_t at = from;
        if (!waitFor(
                [&] {
                    for (; at < count(); ++at) {
                        TrayMessage message(received(at));
                        if ((message.name() == reply || message.isFault()) &&
                            message.sequenceNumber() == number)
                            return true;
                    }
                    return false;
                },
                deadline))
            return TrayMessage("");
        return TrayMessage(received(at));
    }

    // How many messages have arrived so far; a position to look from.
    size_t count() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received.size();
    }
    std::string received(size_t index) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received.at(index);
    }
    // The messages of that name that arrived at or after `from`.
    std::vector<TrayMessage> messages(const std::string& name, size_t from = 0) {
        std::vector<TrayMessage> found;
        for (size_t i = from; i < count(); ++i) {
            TrayMessage message(received(i));
            if (message.name() == name) found.push_back(std::move(message));
        }
        return found;
    }
    // Waits for a message of that name, at or after `from`, that the condition accepts.
    bool waitForMessage(const std::string& name, size_t from,
                        const std::function<bool(const TrayMessage&)>& accepted,
                        std::chrono::milliseconds deadline = std::chrono::seconds(30)) {
        return waitFor(
            [&] {
                for (; from < count(); ++from) {
                    TrayMessage message(received(from));
                    if (message.name() == name && accepted(message)) return true;
                }
                return false;
            },
            deadline);
    }
    // True once the service has ended the connection.
    bool ended() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_ended;
    }

private:
    void readUntilTheEnd() {
        try {
            for (;;) {
                std::string message = m_client.receive();
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.push_back(std::move(message));
            }
        } catch (const BaseException&) {
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ended = true;
    }

    PipeClient m_client;
    bool m_connected = false;
    int m_number = 0;
    std::mutex m_mutex;
    std::vector<std::string> m_received;
    bool m_ended = false;
    std::thread m_reader;
};

}  // namespace tamsel::test
