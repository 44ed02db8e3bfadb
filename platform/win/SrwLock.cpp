#include "platform/win/SrwLock.h"

namespace win {

void AcquireSRWLockShared(SRWLOCK* lock) {
    pthread_rwlock_rdlock(&lock->lock);
}

void ReleaseSRWLockShared(SRWLOCK* lock) {
    pthread_rwlock_unlock(&lock->lock);
}

void AcquireSRWLockExclusive(SRWLOCK* lock) {
    pthread_rwlock_wrlock(&lock->lock);
}

void ReleaseSRWLockExclusive(SRWLOCK* lock) {
    pthread_rwlock_unlock(&lock->lock);
}

}  // namespace win
