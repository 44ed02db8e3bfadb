#pragma once
// The service's pipe end in process: the engine's event queue, the event-queue forwarder, the
// connection server on a real socket, and an echo subscriber on the engine thread; plus the client
// of PipeClient.h.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ostrum.h"
#include "tests/vel/connection/PipeClient.h"
#include "vel/connection/ConnectionConstants.h"
#include "vel/connection/ConnectionServer.h"
#include "vel/connection/DatagramForwarder.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/EventQueueLoopInitializer.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

// Echoes every datagram to the connection it came from and keeps what it was told, per
// connection, in order. Runs only on the engine thread.
class EchoSubscriberImpl : public ReferenceImpl, public DatagramSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS

    struct Record {
        std::vector<int> states;
        std::vector<std::string> datagrams;
    };

    void connectionStateChanged(const Connection& connection, int state) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        noteThread();
        Record& r = m_records[connection.impl()];
        if (r.states.empty() && r.datagrams.empty()) m_order.push_back(connection.impl());
        r.states.push_back(state);
        if (state == ConnectionConstants::CONNECTED) m_connections[connection.impl()] = connection;
        if (state == ConnectionConstants::DISCONNECTED) m_finished.push_back(connection);
        m_changed.notify_all();
    }

    void datagramReceived(const Connection& connection, const Datagram& datagram) override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            noteThread();
            Record& r = m_records[connection.impl()];
            if (r.states.empty() && r.datagrams.empty()) m_order.push_back(connection.impl());
            if (keep) r.datagrams.emplace_back(datagram.text(), static_cast<size_t>(datagram.length()));
            ++m_datagramCount;
        }
        if (echo) connection.send(datagram);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_changed.notify_all();
    }

    // Waits until the predicate over the records holds; false at the deadline.
    bool waitUntil(const std::function<bool(EchoSubscriberImpl&)>& predicate,
                   std::chrono::seconds deadline = std::chrono::seconds(20)) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, deadline, [&] { return predicate(*this); });
    }

    // Connections in the order they were first heard of (under the lock: inside waitUntil only).
    std::vector<Record> records() const {
        std::vector<Record> out;
        for (ConnectionImpl* c : m_order) out.push_back(m_records.at(c));
        return out;
    }
    Record recordsOf(ConnectionImpl* c) const {
        auto it = m_records.find(c);
        return it == m_records.end() ? Record() : it->second;
    }
    int count(int state) const {
        int n = 0;
        for (const auto& entry : m_records)
            for (int s : entry.second.states) n += s == state;
        return n;
    }
    int datagramCount() const { return m_datagramCount; }

    std::vector<Record> snapshot() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return records();
    }
    std::vector<OsThreadId> threads() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_threads;
    }
    // Every connection the subscriber was told of, in no particular order.
    std::vector<Connection> connections() {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<Connection> out;
        for (const auto& entry : m_connections) out.push_back(entry.second);
        return out;
    }
    // Connections that have gone, as the subscriber was given them.
    std::vector<Connection> finished() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_finished;
    }
    void dropConnections() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_connections.clear();
        m_finished.clear();
    }

    bool echo = true;
    // Whether the datagrams themselves are kept (a long measurement keeps only their count).
    bool keep = true;

private:
    void noteThread() {
        OsThreadId id = 0;
        osThreadSelf(&id);
        if (m_threads.empty() || m_threads.back() != id) m_threads.push_back(id);
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<ConnectionImpl*, Record> m_records;
    std::vector<ConnectionImpl*> m_order;
    std::map<ConnectionImpl*, Connection> m_connections;
    std::vector<Connection> m_finished;
    std::vector<OsThreadId> m_threads;
    int m_datagramCount = 0;
};

// Brings the pipe end up in the service's start-up order and down in its shut-down order.
class PipeService {
public:
    PipeService() {
        m_initializer = new DummyEventQueueLoopInitializerImpl;
        m_queue = EventQueue::Create(m_initializer);
        m_forwarder.createEventQueueForwarder();
        m_server.create(ConnApiConstants::PIPE_NAME, ConnectionConstants::PIPE_INSTANCES, m_forwarder);
        subscriber = new EchoSubscriberImpl;
        m_forwarder.addSubscriber(subscriber);
        m_running = m_server.start();
    }
    ~PipeService() {
        stop();
        subscriber->dropConnections();
        subscriber->release();
        m_initializer->release();
    }

    bool running() const { return m_running; }
    // Removes the subscriber, stops the queue, then cancels the server.
    void stop() {
        if (m_stopped) return;
        m_stopped = true;
        m_forwarder.removeSubscriber(subscriber);
        m_queue.stop();
        m_server.cancel();
    }
    ConnectionServer& server() { return m_server; }
    DatagramForwarder& forwarder() { return m_forwarder; }
    EventQueue& queue() { return m_queue; }

    EchoSubscriberImpl* subscriber = nullptr;

private:
    DummyEventQueueLoopInitializerImpl* m_initializer = nullptr;
    EventQueue m_queue;
    DatagramForwarder m_forwarder;
    ConnectionServer m_server;
    bool m_running = false;
    bool m_stopped = false;
};
