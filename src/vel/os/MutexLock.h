#pragma once
// Scoped holds of a run-time mutex.
#include "runtime/multithread/RuntimeMutex.h"

// Locked for the whole scope.
class MutexLock {
public:
    explicit MutexLock(RuntimeMutex* pMutex);
    ~MutexLock();
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    RuntimeMutex* m_pLock = nullptr;
};

// Locked from construction; can be let go and taken again inside the scope, and is released at
// its end only when held.
class MutexRegionLock {
public:
    explicit MutexRegionLock(RuntimeMutex* pMutex);
    ~MutexRegionLock();
    MutexRegionLock(const MutexRegionLock&) = delete;
    MutexRegionLock& operator=(const MutexRegionLock&) = delete;

    void unlock();
    void lock();
    bool held() const { return m_pLock != nullptr; }

private:
    RuntimeMutex* m_pMutex;
    RuntimeMutex* m_pLock = nullptr;
};
