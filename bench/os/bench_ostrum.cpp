// ostrum's queue and mutex next to the same operations on std::mutex and std::deque, in one run.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

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
