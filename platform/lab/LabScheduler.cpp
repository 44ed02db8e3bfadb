#include "platform/lab/LabScheduler.h"

#include <cstdio>
#include <exception>

namespace lab {

Scheduler::~Scheduler() {
    stop();
}

void Scheduler::start(bool manual) {
    stop();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_manual = manual;
    m_start = std::chrono::steady_clock::now();
    m_virtualNow = 0;
    if (manual) {
        m_labThread = std::thread::id();
        return;
    }
    uint64_t generation = m_generation;
    m_thread = std::thread([this, generation] { run(generation); });
    m_labThread = m_thread.get_id();
}

void Scheduler::stop() {
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_generation;
        m_queue.clear();
        thread = std::move(m_thread);
    }
    m_wake.notify_all();
    if (thread.joinable()) {
        // An action that stops the lab cannot wait for itself: its thread ends when it returns.
        if (thread.get_id() == std::this_thread::get_id()) {
            thread.detach();
        } else {
            thread.join();
        }
    }
}

int64_t Scheduler::now() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_manual) return m_virtualNow;
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start)
        .count();
}

void Scheduler::schedule(int64_t delayMs, Action action) {
    int64_t due = now() + (delayMs > 0 ? delayMs : 0);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.emplace(std::make_pair(due, m_sequence++), std::move(action));
    }
    m_wake.notify_all();
}

bool Scheduler::takeDue(int64_t until, int64_t* due, Action* action) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_queue.empty() || m_queue.begin()->first.first > until) return false;
    auto first = m_queue.begin();
    *due = first->first.first;
    *action = std::move(first->second);
    m_queue.erase(first);
    return true;
}

void Scheduler::perform(const Action& action) {
    try {
        action();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lab: an action failed: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "lab: an action failed\n");
    }
}

void Scheduler::pump() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_labThread = std::this_thread::get_id();
    }
    int64_t due = 0;
    Action action;
    while (takeDue(now(), &due, &action)) perform(action);
}

void Scheduler::advance(int64_t ms) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_labThread = std::this_thread::get_id();
    }
    int64_t target = now() + (ms > 0 ? ms : 0);
    int64_t due = 0;
    Action action;
    while (takeDue(target, &due, &action)) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (due > m_virtualNow) m_virtualNow = due;
        }
        perform(action);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_virtualNow = target;
}

bool Scheduler::onLabThread() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_labThread == std::this_thread::get_id();
}

size_t Scheduler::pending() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.size();
}

void Scheduler::run(uint64_t generation) {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_generation == generation) {
        if (m_queue.empty()) {
            m_wake.wait(lock);
            continue;
        }
        auto first = m_queue.begin();
        auto dueAt = m_start + std::chrono::milliseconds(first->first.first);
        if (std::chrono::steady_clock::now() < dueAt) {
            m_wake.wait_until(lock, dueAt);
            continue;
        }
        Action action = std::move(first->second);
        m_queue.erase(first);
        lock.unlock();
        perform(action);
        lock.lock();
    }
}

}  // namespace lab
