#pragma once

struct OsSignal;

// The run-time's auto-reset signal over an ostrum signal created through travik: one set releases
// one waiter, or the next wait when nobody waits.
class RuntimeSignal {
public:
    RuntimeSignal() = default;
    RuntimeSignal(const RuntimeSignal&) = delete;
    RuntimeSignal& operator=(const RuntimeSignal&) = delete;
    ~RuntimeSignal();

    // Throws NvoException ("slSignalOpen").
    void open();
    // A failure is logged only.
    void close();
    bool isOpen() const { return m_signal != nullptr; }
    // Throw NvoException ("osSignalSet", "osSignalWait").
    void set();
    void wait();

private:
    OsSignal* m_signal = nullptr;
};
