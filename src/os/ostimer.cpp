// The one process-wide timer thread: 5 ticks a second, every timer's callback on every tick.
//
// Group membership and the thread's start and stop are decided in one hold of the timer lock, so a
// create racing the last destroy either joins the old thread's groups or starts a fresh thread,
// and never appends to a group that is being freed.
#include <pthread.h>
#include <sched.h>

#include "os/osinternal.h"
#include "platform/win/ThreadId.h"
#include "platform/win/Tick.h"

namespace ostrum {

struct TimerGroup;

}  // namespace ostrum

struct OsTimer {
    OsTimer* next;
    OsTimer** backLink;
    OsTimerCallback callback;
    void* userData;
    ostrum::TimerGroup* group;
    OsContext* context;
    bool trace;
    OsTraceCallback traceCallback;
    char contextName[ostrum::NAME_SIZE];
};

namespace ostrum {

struct TimerGroup {
    TimerGroup* next;
    TimerGroup** backLink;
    OsContext* context;
    OsTimer* head;
    OsTimer** tail;
};

struct TimerRecord {
    OsMutex* lock;
    OsThread* thread;
    OsThreadId threadId;  // of the thread that owns the callback loop; 0 when none
    bool running;
    TimerGroup* head;
    TimerGroup** tail;
    win::EventHandle wake;  // cuts a tick's wait short when the thread is asked to stop
};

namespace {

constexpr uint32_t TICK_MS = 1000u / OS_TIMER_HZ;
constexpr int32_t RESYNC_LATE_MS = -199;

bool ownsLoop(TimerRecord* record, OsThreadId self) {
    return record->running && record->threadId == self;
}

void raisePriority() {
    // Best effort: without the privilege the thread keeps the default policy.
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO);
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

void timerLoop(void* argument) {
    auto* record = static_cast<TimerRecord*>(argument);
    OsThreadId self = win::currentThreadId();
    raisePriority();
    uint32_t next = win::tickCount();
    for (;;) {
        mutexLockRaw(record->lock);
        bool mine = ownsLoop(record, self);
        mutexUnlockRaw(record->lock);
        if (!mine) return;

        uint32_t now = win::tickCount();
        auto d = static_cast<int32_t>(next - now);
        if (d > 0) {
            win::waitForEvent(record->wake, static_cast<uint32_t>(d));
            continue;  // re-check the stop request and the time left
        }
        if (d < RESYNC_LATE_MS) next = now;

        mutexLockRaw(record->lock);
        if (ownsLoop(record, self)) {
            for (TimerGroup* group = record->head; group != nullptr; group = group->next) {
                for (OsTimer* timer = group->head; timer != nullptr; timer = timer->next) {
                    timer->callback(timer->userData);
                }
            }
        }
        mutexUnlockRaw(record->lock);
        next += TICK_MS;
    }
}

// Under the timer lock: hands the running thread to the caller to join after the lock is released.
OsThread* detachThread(TimerRecord* record) {
    OsThread* thread = record->thread;
    record->thread = nullptr;
    record->threadId = 0;
    record->running = false;
    return thread;
}

int joinDetached(TimerRecord* record, OsThread* thread) {
    if (thread == nullptr) return OS_OK;
    win::setEvent(record->wake);
    int r = _osThreadJoin(SRC_TIMER, __LINE__, &thread);
    return thread != nullptr ? OS_ERR_FAILED : r;
}

void unlinkTimer(OsTimer* timer) {
    TimerGroup* group = timer->group;
    *timer->backLink = timer->next;
    if (timer->next != nullptr) {
        timer->next->backLink = timer->backLink;
    } else {
        group->tail = timer->backLink;
    }
    timer->next = nullptr;
    timer->backLink = nullptr;
}

void unlinkGroup(TimerRecord* record, TimerGroup* group) {
    *group->backLink = group->next;
    if (group->next != nullptr) {
        group->next->backLink = group->backLink;
    } else {
        record->tail = group->backLink;
    }
}

bool isLinked(TimerRecord* record, OsTimer* timer) {
    for (TimerGroup* group = record->head; group != nullptr; group = group->next) {
        for (OsTimer* t = group->head; t != nullptr; t = t->next) {
            if (t == timer) return true;
        }
    }
    return false;
}

int timerRecordExit(OsExitRecord*) {
    TimerRecord* record = g_os.timer;
    if (record == nullptr) return OS_OK;
    mutexLockRaw(record->lock);
    OsThread* thread = detachThread(record);
    mutexUnlockRaw(record->lock);
    int result = joinDetached(record, thread);
    int r = _osMutexDestroy(SRC_TIMER, __LINE__, &record->lock);
    if (result == OS_OK) result = r;
    if (!win::closeEvent(record->wake) && result == OS_OK) result = OS_ERR_FAILED;
    g_os.timer = nullptr;
    void* memory = record;
    r = _osMemPoolFree(SRC_TIMER, __LINE__, &memory);
    return result != OS_OK ? result : r;
}

int freeTimer(OsTimer* timer) {
    void* memory = timer;
    return _osMemPoolFree(SRC_TIMER, __LINE__, &memory);
}

// Takes the timer out of its group and, when it was the last one, the thread out of the record.
// `removed` tells whether the timer left the lists; joins outside the lock.
int removeTimer(TimerRecord* record, OsTimer* timer, bool checkLinked, bool* removed) {
    *removed = false;
    OsThreadId self = win::currentThreadId();
    mutexLockRaw(record->lock);
    if (record->thread == nullptr || record->threadId == self) {
        // From inside a callback the timer stays linked: the loop is walking the list.
        mutexUnlockRaw(record->lock);
        return OS_ERR_FAILED;
    }
    if (checkLinked && !isLinked(record, timer)) {
        mutexUnlockRaw(record->lock);
        return OS_ERR_NOT_FOUND;
    }
    TimerGroup* group = timer->group;
    unlinkTimer(timer);
    *removed = true;
    int result = OS_OK;
    if (group->head == nullptr) {
        unlinkGroup(record, group);
        void* memory = group;
        result = _osMemPoolFree(SRC_TIMER, __LINE__, &memory);
    }
    OsThread* thread = record->head == nullptr ? detachThread(record) : nullptr;
    mutexUnlockRaw(record->lock);
    int r = joinDetached(record, thread);
    return result != OS_OK ? result : r;
}

}  // namespace

int createTimerRecord() {
    void* memory = nullptr;
    int r = memAlloc(SRC_TIMER, __LINE__, &memory, sizeof(TimerRecord), &g_os.context.defaultPool, true);
    if (r != OS_OK) return r;
    auto* record = static_cast<TimerRecord*>(memory);
    record->tail = &record->head;
    r = _osMutexCreate(SRC_TIMER, __LINE__, &record->lock, &g_os.context);
    if (r == OS_OK) {
        record->wake = win::createAutoResetEvent();
        if (record->wake == nullptr) r = OS_ERR_FAILED;
    }
    if (r == OS_OK) {
        g_os.timer = record;
        g_os.timerExit.function = timerRecordExit;
        g_os.timerExit.link = nullptr;
        r = _osContextAddExitFunc(SRC_TIMER, __LINE__, &g_os.timerExit, &g_os.context);
        if (r == OS_OK) return OS_OK;
        g_os.timer = nullptr;
    }
    if (record->wake != nullptr) win::closeEvent(record->wake);
    _osMutexDestroy(SRC_TIMER, __LINE__, &record->lock);
    _osMemPoolFree(SRC_TIMER, __LINE__, &memory);
    return r;
}

}  // namespace ostrum

using namespace ostrum;

extern "C" {

OSTRUM_API int _osTimerCreate(const char* file, int line, OsTimer** timer, OsTimerCallback callback,
                              void* userData, OsContext* context) {
    if (timer == nullptr || *timer != nullptr || callback == nullptr || context == nullptr)
        return OS_ERR_ARGUMENT;
    if (validates(osDbgTraceType_timer) && !isLiveContext(context)) return OS_ERR_NOT_FOUND;
    TimerRecord* record = g_os.timer;
    if (record == nullptr) return OS_ERR_FAILED;

    void* memory = nullptr;
    int r = memAlloc(SRC_TIMER, __LINE__, &memory, sizeof(OsTimer), &context->defaultPool, true);
    if (r != OS_OK) return r;
    auto* created = static_cast<OsTimer*>(memory);
    created->callback = callback;
    created->userData = userData;
    created->context = context;
    created->trace = (context->config.traceKinds & osDbgTraceType_timer) != 0;
    created->traceCallback = context->config.traceCallback;
    copyName(created->contextName, context->name);

    OsThreadId self = win::currentThreadId();
    mutexLockRaw(record->lock);
    if (record->thread != nullptr && record->threadId == self) {
        r = OS_ERR_FAILED;  // a callback creating a timer
    }
    if (r == OS_OK && record->head == nullptr) {
        record->running = true;
        r = _osThreadExec(SRC_TIMER, __LINE__, &record->thread, timerLoop, record, &g_os.context);
        if (r == OS_OK) r = osThreadId(record->thread, &record->threadId);
        if (r != OS_OK) record->running = false;
    }
    TimerGroup* group = nullptr;
    if (r == OS_OK) {
        for (group = record->head; group != nullptr && group->context != context; group = group->next) {
        }
        if (group == nullptr) {
            void* groupMemory = nullptr;
            r = memAlloc(SRC_TIMER, __LINE__, &groupMemory, sizeof(TimerGroup), &context->defaultPool, true);
            if (r == OS_OK) {
                group = static_cast<TimerGroup*>(groupMemory);
                group->context = context;
                group->tail = &group->head;
                group->backLink = record->tail;
                *record->tail = group;
                record->tail = &group->next;
            }
        }
    }
    if (r == OS_OK) {
        created->group = group;
        created->backLink = group->tail;
        *group->tail = created;
        group->tail = &created->next;
    }
    OsThread* idle =
        (r != OS_OK && record->head == nullptr && record->thread != nullptr) ? detachThread(record) : nullptr;
    mutexUnlockRaw(record->lock);
    if (r != OS_OK) {
        joinDetached(record, idle);
        freeTimer(created);
        return r;
    }

    if (created->trace) {
        r = dispatchTrace(created->traceCallback, file, line, created->contextName, created,
                          osDbgTraceType_timer, osDbgTraceOp_create, OS_OK);
        if (r != OS_OK) {
            bool removed = false;
            removeTimer(record, created, false, &removed);
            if (removed) freeTimer(created);
            return r;
        }
    }
    *timer = created;
    return OS_OK;
}

OSTRUM_API int _osTimerDestroy(const char* file, int line, OsTimer** timer) {
    if (timer == nullptr) return OS_ERR_ARGUMENT;
    OsTimer* t = *timer;
    if (t == nullptr) return OS_OK;
    if (validates(osDbgTraceType_timer) && !isLiveObject(t)) return OS_ERR_NOT_FOUND;
    *timer = nullptr;
    TimerRecord* record = g_os.timer;
    if (record == nullptr) return OS_ERR_FAILED;
    bool removed = false;
    int result = removeTimer(record, t, validates(osDbgTraceType_timer), &removed);
    if (!removed) return result;  // the timer stays linked and intact
    if (t->trace) {
        int r = dispatchTrace(t->traceCallback, file, line, t->contextName, t, osDbgTraceType_timer,
                              osDbgTraceOp_destroy, result);
        if (result == OS_OK) result = r;
    }
    int r = freeTimer(t);
    return result != OS_OK ? result : r;
}

OSTRUM_API int osTimerGetHz(void) {
    return OS_TIMER_HZ;
}
}
