// ostrum's queue and mutex next to the same operations on std::mutex and std::deque, in one run;
// checked allocations as the run-time configures its context, by leak-tracking level, by the
// number of blocks already live, and from one or four threads at once beside the host's malloc.
// Run with --benchmark_repetitions=7 --benchmark_enable_random_interleaving=true for medians of
// interleaved rounds. With four threads the real time is per operation of all threads together:
// one thread's operation takes four times that.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ostrum.h"

namespace {

constexpr int CAPACITY = 64;

// A context for the length of one benchmark.
class Context {
public:
    Context() {
        OsContextConfig config{};
        _osContextCreate(__FILE__, __LINE__, &context_, "bench", &config);
    }
    ~Context() { _osContextDestroy(__FILE__, __LINE__, &context_); }
    OsContext* get() const { return context_; }

private:
    OsContext* context_ = nullptr;
};

// The bounded queue a program would write without ostrum.
class StdQueue {
public:
    void send(uintptr_t value) {
        std::unique_lock<std::mutex> lock(mutex_);
        notFull_.wait(lock, [this] { return items_.size() < CAPACITY; });
        items_.push_back(value);
        notEmpty_.notify_one();
    }
    uintptr_t receive() {
        std::unique_lock<std::mutex> lock(mutex_);
        notEmpty_.wait(lock, [this] { return !items_.empty(); });
        uintptr_t value = items_.front();
        items_.pop_front();
        notFull_.notify_one();
        return value;
    }

private:
    std::mutex mutex_;
    std::condition_variable notFull_;
    std::condition_variable notEmpty_;
    std::deque<uintptr_t> items_;
};

constexpr uintptr_t STOP = ~uintptr_t{0};

int ignoreLeakLine(const char*, const char*) {
    return 0;
}
void noDestructor(void*) {}

// A context configured as the run-time's: memory handles validated, leak tracking as given.
class CheckedContext {
public:
    explicit CheckedContext(uintptr_t leakTracking) {
        OsContextConfig config{};
        config.leakCallback = ignoreLeakLine;
        config.leakTracking = leakTracking;
        config.handleValidation = osDbgTraceType_memPool;
        _osContextCreate(__FILE__, __LINE__, &context_, "bench", &config);
    }
    ~CheckedContext() { _osContextDestroy(__FILE__, __LINE__, &context_); }
    OsContext* get() const { return context_; }

private:
    OsContext* context_ = nullptr;
};

// One reference-counted allocation and its release; the argument is the leak-tracking word
// (0 none, 1 the run-time's default, 3 with call stacks).
void BM_RefAllocRelease(benchmark::State& state) {
    CheckedContext context(static_cast<uintptr_t>(state.range(0)));
    OsRefPool* pool = nullptr;
    if (_osRefPoolCreate(__FILE__, __LINE__, &pool, "bench", noDestructor, context.get()) != OS_OK) {
        state.SkipWithError("no pool");
        return;
    }
    for (auto _ : state) {
        void* p = nullptr;
        _osRefPoolAlloc(__FILE__, __LINE__, &p, 64, pool);
        _osRefPoolUnref(__FILE__, __LINE__, &p);
    }
    _osRefPoolDestroy(__FILE__, __LINE__, &pool);
}
BENCHMARK(BM_RefAllocRelease)->ArgName("tracking")->Arg(0)->Arg(1)->Arg(3);

// An allocation and its free while the given number of other blocks are live in the pool.
void BM_FreeWithLiveBlocks(benchmark::State& state) {
    CheckedContext context(1);
    OsMemPool* pool = nullptr;
    if (_osMemPoolCreate(__FILE__, __LINE__, &pool, "bench", context.get()) != OS_OK) {
        state.SkipWithError("no pool");
        return;
    }
    std::vector<void*> live(static_cast<size_t>(state.range(0)), nullptr);
    for (void*& p : live) _osMemPoolAlloc(__FILE__, __LINE__, &p, 32, pool);
    for (auto _ : state) {
        void* p = nullptr;
        _osMemPoolAlloc(__FILE__, __LINE__, &p, 64, pool);
        if (_osMemPoolFree(__FILE__, __LINE__, &p) != OS_OK) state.SkipWithError("free refused");
    }
    for (void*& p : live) _osMemPoolFree(__FILE__, __LINE__, &p);
    _osMemPoolDestroy(__FILE__, __LINE__, &pool);
}
BENCHMARK(BM_FreeWithLiveBlocks)->ArgName("live")->Arg(0)->Arg(20000);

// One tracked allocation and its free per iteration in every thread, all threads on one pool of
// one context, as the run-time's threads share its pool.
std::unique_ptr<CheckedContext> SharedContext;
OsMemPool* SharedPool = nullptr;

void BM_TrackedAllocFree(benchmark::State& state) {
    if (state.thread_index() == 0) {
        SharedContext = std::make_unique<CheckedContext>(1);
        _osMemPoolCreate(__FILE__, __LINE__, &SharedPool, "bench", SharedContext->get());
    }
    for (auto _ : state) {
        void* p = nullptr;
        _osMemPoolAlloc(__FILE__, __LINE__, &p, 64, SharedPool);
        benchmark::DoNotOptimize(p);
        if (_osMemPoolFree(__FILE__, __LINE__, &p) != OS_OK) state.SkipWithError("free refused");
    }
    if (state.thread_index() == 0) {
        _osMemPoolDestroy(__FILE__, __LINE__, &SharedPool);
        SharedContext.reset();
    }
}
BENCHMARK(BM_TrackedAllocFree)->Threads(1)->Threads(4)->UseRealTime();

void BM_MallocFree(benchmark::State& state) {
    for (auto _ : state) {
        void* p = std::malloc(64);
        benchmark::DoNotOptimize(p);
        std::free(p);
    }
}
BENCHMARK(BM_MallocFree)->Threads(1)->Threads(4)->UseRealTime();

void BM_OsMsgQSendReceive(benchmark::State& state) {
    Context context;
    OsMsgQ* queue = nullptr;
    if (_osMsgQCreate(__FILE__, __LINE__, &queue, CAPACITY, sizeof(uintptr_t), context.get()) != OS_OK) {
        state.SkipWithError("queue create failed");
        return;
    }
    std::thread receiver([queue] {
        for (;;) {
            uintptr_t value = 0;
            OsMsgQPiece piece{&value, sizeof value};
            int pieces = 1;
            if (_osMsgQRecvV(__FILE__, __LINE__, queue, &piece, &pieces, 1) != OS_OK || value == STOP) return;
        }
    });
    uintptr_t value = 1;
    OsMsgQPiece piece{&value, sizeof value};
    for (auto _ : state) {
        _osMsgQSendV(__FILE__, __LINE__, queue, &piece, 1, 1);
    }
    value = STOP;
    _osMsgQSendV(__FILE__, __LINE__, queue, &piece, 1, 1);
    receiver.join();
    _osMsgQDestroy(__FILE__, __LINE__, &queue);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OsMsgQSendReceive)->UseRealTime();

void BM_StdDequeSendReceive(benchmark::State& state) {
    StdQueue queue;
    std::thread receiver([&queue] {
        while (queue.receive() != STOP) {
        }
    });
    for (auto _ : state) {
        queue.send(1);
    }
    queue.send(STOP);
    receiver.join();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StdDequeSendReceive)->UseRealTime();

void BM_OsMutexLockUnlock(benchmark::State& state) {
    Context context;
    OsMutex* mutex = nullptr;
    if (_osMutexCreate(__FILE__, __LINE__, &mutex, context.get()) != OS_OK) {
        state.SkipWithError("mutex create failed");
        return;
    }
    for (auto _ : state) {
        _osMutexLock(__FILE__, __LINE__, mutex);
        _osMutexUnlock(__FILE__, __LINE__, mutex);
    }
    _osMutexDestroy(__FILE__, __LINE__, &mutex);
}
BENCHMARK(BM_OsMutexLockUnlock);

void BM_StdMutexLockUnlock(benchmark::State& state) {
    std::mutex mutex;
    for (auto _ : state) {
        mutex.lock();
        mutex.unlock();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StdMutexLockUnlock);

}  // namespace

BENCHMARK_MAIN();
