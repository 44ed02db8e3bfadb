#include "vel/os/MutexLock.h"

#include "runtime/lum/Assert.h"

MutexLock::MutexLock(RuntimeMutex* pMutex) {
    if (LUM_ASSERT(pMutex)) pMutex->lock(&m_pLock);
}

MutexLock::~MutexLock() {
    if (m_pLock) m_pLock->unlock(&m_pLock);
}

MutexRegionLock::MutexRegionLock(RuntimeMutex* pMutex) : m_pMutex(pMutex) {
    if (LUM_ASSERT(pMutex)) pMutex->lock(&m_pLock);
}

MutexRegionLock::~MutexRegionLock() {
    if (m_pLock) m_pLock->unlock(&m_pLock);
}

void MutexRegionLock::unlock() {
    if (!LUM_ASSERT(m_pLock)) return;
    m_pLock->unlock(&m_pLock);
}

void MutexRegionLock::lock() {
    if (!LUM_ASSERT_TEXT(m_pLock == nullptr, "m_pLock == null") || !m_pMutex) return;
    m_pMutex->lock(&m_pLock);
}
