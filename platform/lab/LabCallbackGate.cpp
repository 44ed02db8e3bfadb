#include "platform/lab/LabCallbackGate.h"

namespace lab {

void CallbackGate::open() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_open = true;
}

void CallbackGate::close() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_open = false;
    if (m_inside > 0 && m_thread == std::this_thread::get_id()) return;
    m_idle.wait(lock, [this] { return m_inside == 0; });
}

bool CallbackGate::isOpen() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_open;
}

bool CallbackGate::deliver(const std::function<void()>& callback) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_open) return false;
        ++m_inside;
        m_thread = std::this_thread::get_id();
    }
    struct Leave {
        CallbackGate* gate;
        ~Leave() {
            std::lock_guard<std::mutex> lock(gate->m_mutex);
            if (--gate->m_inside == 0) gate->m_idle.notify_all();
        }
    } leave{this};
    callback();
    return true;
}

}  // namespace lab
