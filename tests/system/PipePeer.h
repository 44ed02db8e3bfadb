#pragma once
// A tray program or logon client on the service's pipe that both talks and listens: it sends
// messages as the logon client writes them, and keeps what the service sends it. Needs lab_logon.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/lab/LabLogonClient.h"
#include "tests/support/TestText.h"
#include "tests/system/PipeRecorder.h"
#include "tests/vel/connection/PipeClient.h"

class PipePeer {
public:
    explicit PipePeer(PipeClient& client) : m_client(client), m_recorder(client) {}

    void send(int command, int sequenceNumber, const lab::MessageChildren& children = {}) {
        m_client.send(lab::LogonClient::envelope(command, sequenceNumber, children));
    }
    // The messages of that name so far.
    std::vector<PipeMessageBody> heard(const std::string& name) { return m_recorder.named(name); }
    // The count-th message of that name, once it came.
    std::optional<PipeMessageBody> await(const std::string& name, size_t count = 1) {
        if (!tamsel::test::waitFor([&] { return m_recorder.count(name) >= count; })) return std::nullopt;
        return m_recorder.named(name)[count - 1];
    }
    // A request's reply, by its number.
    std::optional<PipeMessageBody> reply(const std::string& name, int sequenceNumber) {
        std::optional<PipeMessageBody> found;
        tamsel::test::waitFor([&] {
            for (const PipeMessageBody& body : m_recorder.named(name))
                if (body.child("sequenceNumber") == std::to_string(sequenceNumber)) found = body;
            return found.has_value();
        });
        return found;
    }
    // Waits until the connection ended.
    void join() { m_recorder.join(); }

private:
    PipeClient& m_client;
    PipeRecorder m_recorder;
};
