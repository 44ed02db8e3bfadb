#pragma once

struct OsMutex;

// The run-time's recursive mutex over an ostrum mutex created through travik. Locking records the
// mutex in a caller's holder so that unlocking can check it is the one that was locked.
class RuntimeMutex {
public:
    RuntimeMutex() = default;
    RuntimeMutex(const RuntimeMutex&) = delete;
    RuntimeMutex& operator=(const RuntimeMutex&) = delete;
    ~RuntimeMutex();

    // Throws NvoException ("osMutexOpen") when the mutex cannot be created.
    void open();
    // A failure here is fatal.
    void close();
    bool isOpen() const { return m_mutex != nullptr; }

    // holder must be empty (else NvoException, nothing locked); it receives this mutex. A failed
    // lock is fatal.
    void lock(RuntimeMutex** holder);
    // holder must hold this mutex; it is cleared.
    void unlock(RuntimeMutex** holder);

private:
    OsMutex* m_mutex = nullptr;
};

// Holds a RuntimeMutex for its scope.
class RuntimeMutexLock {
public:
    explicit RuntimeMutexLock(RuntimeMutex& mutex) { mutex.lock(&m_holder); }
    RuntimeMutexLock(const RuntimeMutexLock&) = delete;
    RuntimeMutexLock& operator=(const RuntimeMutexLock&) = delete;
    ~RuntimeMutexLock() {
        if (m_holder != nullptr) m_holder->unlock(&m_holder);
    }

private:
    RuntimeMutex* m_holder = nullptr;
};

// The one process-wide lock of every reference count and element list, created by LumMain.
extern RuntimeMutex* ReferenceMutex;

// ReferenceMutex, which must exist: engine objects live only while the run-time is ready, and a
// count touched outside it ends the process with a clear message instead of a stray access.
RuntimeMutex& referenceMutex();
