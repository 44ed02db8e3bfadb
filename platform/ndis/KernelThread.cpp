#include <atomic>
#include <chrono>
#include <mutex>
#include <new>
#include <thread>

#include "platform/ndis/Kernel.h"

namespace {

// A thread object is referenced by its handle and by every ObReferenceObjectByHandle; the last
// reference frees it, after joining the thread.
struct ThreadObject {
    std::thread thread;
    std::atomic<int> references{1};
    std::mutex joinMutex;

    void join() {
        std::lock_guard<std::mutex> guard(joinMutex);
        if (!thread.joinable()) return;
        // The thread letting go of its own object cannot wait for itself: it ends detached.
        if (thread.get_id() == std::this_thread::get_id()) {
            thread.detach();
        } else {
            thread.join();
        }
    }
};

void Release(ThreadObject* object) {
    if (--object->references != 0) return;
    object->join();
    delete object;
}

std::atomic<ULONG> g_nextProcessor{0};

}  // namespace

void KeQuerySystemTime(LARGE_INTEGER* time) {
    using namespace std::chrono;
    // 11,644,473,600 seconds lie between 1601 and 1970.
    int64_t since1970 = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
    time->QuadPart = since1970 + int64_t(11644473600) * 10000000;
}

ULONG KeGetCurrentProcessorNumber() {
    thread_local ULONG number = g_nextProcessor++ % MAXIMUM_PROCESSORS;
    return number;
}

NTSTATUS PsCreateSystemThread(NDIS_HANDLE* threadHandle, PKSTART_ROUTINE startRoutine, void* startContext) {
    *threadHandle = nullptr;
    auto* object = new (std::nothrow) ThreadObject;
    if (!object) return STATUS_INSUFFICIENT_RESOURCES;
    try {
        object->thread = std::thread(startRoutine, startContext);
    } catch (...) {
        delete object;
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    *threadHandle = object;
    return STATUS_SUCCESS;
}

NTSTATUS ObReferenceObjectByHandle(NDIS_HANDLE handle, void** object) {
    if (!handle) return STATUS_INVALID_HANDLE;
    ++static_cast<ThreadObject*>(handle)->references;
    *object = handle;
    return STATUS_SUCCESS;
}

void ObDereferenceObject(void* object) {
    Release(static_cast<ThreadObject*>(object));
}

NTSTATUS KeWaitForSingleObject(void* object) {
    static_cast<ThreadObject*>(object)->join();
    return STATUS_SUCCESS;
}

void PsTerminateSystemThread(NTSTATUS) {}

NTSTATUS ZwCloseThreadHandle(NDIS_HANDLE handle) {
    if (!handle) return STATUS_INVALID_HANDLE;
    Release(static_cast<ThreadObject*>(handle));
    return STATUS_SUCCESS;
}
