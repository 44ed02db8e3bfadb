#pragma once
// Keeps the callbacks of one source (the library, a port, an EAP instance, a channel) from running
// once it has closed: a callback runs only through deliver(), and close() turns new ones away and
// waits for the one in progress, unless it is called from inside that callback.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace lab {

class CallbackGate {
public:
    void open();
    void close();
    bool isOpen() const;
    // Runs the callback unless the gate is closed; false when it did not run.
    bool deliver(const std::function<void()>& callback);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    bool m_open = false;
    int m_inside = 0;
    std::thread::id m_thread;
};

}  // namespace lab
