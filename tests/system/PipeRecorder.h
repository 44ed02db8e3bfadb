#pragma once
// A tray program that only listens: every message the service sends it, kept in order by a thread
// of its own until the connection ends, and read back as the body's element with its children.
#include <cstddef>
#include <map>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/vel/connection/PipeClient.h"
#include "vel/exception/BaseException.h"

// A message's body element and the texts of its children by name.
struct PipeMessageBody {
    std::string name;
    std::map<std::string, std::string> children;

    std::string child(const std::string& key) const {
        auto found = children.find(key);
        return found == children.end() ? std::string() : found->second;
    }
};

inline PipeMessageBody bodyOf(const std::string& message) {
    PipeMessageBody body;
    std::smatch element;
    if (!std::regex_search(message, element, std::regex("<SOAP-ENV:Body>\\s*<([A-Za-z]+)[ >]"))) return body;
    body.name = element[1];
    const std::regex child("<([A-Za-z]+)>([^<]*)</\\1>");
    for (std::sregex_iterator it(message.begin(), message.end(), child), end; it != end; ++it)
        body.children[(*it)[1]] = (*it)[2];
    return body;
}

class PipeRecorder {
public:
    explicit PipeRecorder(PipeClient& client)
        : m_thread([this, &client] {
              try {
                  for (;;) {
                      std::string message = client.receive();
                      std::lock_guard<std::mutex> lock(m_mutex);
                      m_bodies.push_back(bodyOf(message));
                  }
              } catch (const BaseException&) {
              }
          }) {}
    ~PipeRecorder() { join(); }
    PipeRecorder(const PipeRecorder&) = delete;
    PipeRecorder& operator=(const PipeRecorder&) = delete;

    // Once the connection is gone.
    void join() {
        if (m_thread.joinable()) m_thread.join();
    }

    // The messages of that name so far, in order.
    std::vector<PipeMessageBody> named(const std::string& name) {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<PipeMessageBody> found;
        for (const PipeMessageBody& body : m_bodies)
            if (body.name == name) found.push_back(body);
        return found;
    }
    std::size_t count(const std::string& name) { return named(name).size(); }
    // The texts of one child of the messages of that name, in order ("" where a message lacks it).
    std::vector<std::string> children(const std::string& name, const std::string& key) {
        std::vector<std::string> texts;
        for (const PipeMessageBody& body : named(name)) texts.push_back(body.child(key));
        return texts;
    }
    // The network states a tray heard, as its events carry them.
    std::vector<std::string> networkStates() { return children("networkStateEvent", "networkState"); }

private:
    std::mutex m_mutex;
    std::vector<PipeMessageBody> m_bodies;
    std::thread m_thread;
};
