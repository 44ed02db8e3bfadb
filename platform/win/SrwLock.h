#pragma once
// A slim reader/writer lock. It needs neither constructor nor destructor (SRWLOCK_INIT), so it
// serves code that runs before static construction and after static destruction.
#include <pthread.h>

namespace win {

struct SRWLOCK {
    pthread_rwlock_t lock;
};
#define SRWLOCK_INIT \
    { PTHREAD_RWLOCK_INITIALIZER }

void AcquireSRWLockShared(SRWLOCK* lock);
void ReleaseSRWLockShared(SRWLOCK* lock);
void AcquireSRWLockExclusive(SRWLOCK* lock);
void ReleaseSRWLockExclusive(SRWLOCK* lock);

}  // namespace win
