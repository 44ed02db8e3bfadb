#include "runtime/multithread/RuntimeMutex.h"

#include "ostrum.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Fatal.h"
#include "travik.h"
#include "vel/exception/NvoException.h"

RuntimeMutex* ReferenceMutex = nullptr;

RuntimeMutex& referenceMutex() {
    RuntimeMutex* mutex = ReferenceMutex;
    if (!LUM_ASSERT(mutex)) fatalError("ReferenceMutex used outside the run-time's lifetime");
    return *mutex;
}

RuntimeMutex::~RuntimeMutex() {
    if (m_mutex != nullptr) close();
}

void RuntimeMutex::open() {
    int rc = _slMutexCreate(__FILE__, __LINE__, &m_mutex);
    if (rc != OS_OK) throw NvoException(__FILE__, __LINE__, "osMutexOpen", rc);
}

void RuntimeMutex::close() {
    int rc = _osMutexDestroy(__FILE__, __LINE__, &m_mutex);
    if (rc != OS_OK) fatalError("function '%s' => %d{error}", "osMutexClose", rc);
}

void RuntimeMutex::lock(RuntimeMutex** holder) {
    // A holder that is missing or already holds a lock could not be unlocked through: refuse.
    if (!LUM_ASSERT_TEXT(holder && *holder == nullptr, "ppMutex && *ppMutex == null")) {
        throw NvoException(__FILE__, __LINE__, "osMutexLock", OS_ERR_ARGUMENT);
    }
    int rc = _osMutexLock(__FILE__, __LINE__, m_mutex);
    if (rc != OS_OK) fatalError("function '%s' => %d{error}", "osMutexLock", rc);
    *holder = this;
}

void RuntimeMutex::unlock(RuntimeMutex** holder) {
    // Unlocking through a holder of another mutex would release a lock this thread does not own.
    if (!LUM_ASSERT_TEXT(holder && *holder == this, "ppMutex && *ppMutex == this")) return;
    *holder = nullptr;
    int rc = _osMutexUnlock(__FILE__, __LINE__, m_mutex);
    if (rc != OS_OK) fatalError("function '%s' => %d{error}", "osMutexUnlock", rc);
}
