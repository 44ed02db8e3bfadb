#pragma once

#include "vel/reference/ReferenceImpl.h"

struct OsThread;

// A thread of the service: run() on a thread of its own between start() and join(). An exception
// that escapes run() ends the process.
class ThreadImpl : public ReferenceImpl {
public:
    ThreadImpl() = default;
    // A thread must be joined before its object dies.
    ~ThreadImpl() override;

    // Throws NvoException ("slThreadExec").
    void start();
    // Waits for run() to return. Throws NvoException ("osThreadJoin").
    void join();
    bool started() const { return m_thread != nullptr; }

    virtual void run() = 0;

private:
    static void entry(void* context);

    OsThread* m_thread = nullptr;
};
