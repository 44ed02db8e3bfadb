#include "platform/ndis/Kernel.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/ndis/PoolTracker.h"

NDIS_STATUS NdisAllocateMemoryWithTag(void** address, ULONG length, ULONG tag) {
    *address = ndissim::PoolTracker::instance().allocate(length, tag);
    return *address ? NDIS_STATUS_SUCCESS : NDIS_STATUS_RESOURCES;
}

void NdisFreeMemory(void* address, ULONG length, ULONG /*flags*/) {
    ndissim::PoolTracker::instance().free(address, length);
}

void NdisZeroMemory(void* address, ULONG length) {
    std::memset(address, 0, length);
}

void NdisMoveMemory(void* dest, const void* src, ULONG length) {
    if (length) std::memmove(dest, src, length);
}

void NdisAllocateSpinLock(NDIS_SPIN_LOCK*) {}
void NdisFreeSpinLock(NDIS_SPIN_LOCK*) {}
void NdisAcquireSpinLock(NDIS_SPIN_LOCK* lock) {
    lock->Mutex.lock();
}
void NdisReleaseSpinLock(NDIS_SPIN_LOCK* lock) {
    lock->Mutex.unlock();
}
void NdisDprAcquireSpinLock(NDIS_SPIN_LOCK* lock) {
    lock->Mutex.lock();
}
void NdisDprReleaseSpinLock(NDIS_SPIN_LOCK* lock) {
    lock->Mutex.unlock();
}

void NdisInitializeEvent(NDIS_EVENT* event) {
    std::lock_guard<std::mutex> guard(event->Mutex);
    event->Signalled = false;
}

void NdisSetEvent(NDIS_EVENT* event) {
    std::lock_guard<std::mutex> guard(event->Mutex);
    event->Signalled = true;
    event->Cv.notify_all();
}

void NdisResetEvent(NDIS_EVENT* event) {
    std::lock_guard<std::mutex> guard(event->Mutex);
    event->Signalled = false;
}

bool NdisWaitEvent(NDIS_EVENT* event, ULONG msToWait) {
    std::unique_lock<std::mutex> lock(event->Mutex);
    if (msToWait == 0) {
        event->Cv.wait(lock, [event] { return event->Signalled; });
        return true;
    }
    return event->Cv.wait_for(lock, std::chrono::milliseconds(msToWait),
                              [event] { return event->Signalled; });
}

void NdisMSleep(ULONG microseconds) {
    std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}

int32_t NdisInterlockedIncrement(std::atomic<int32_t>* value) {
    return ++*value;
}
int32_t NdisInterlockedDecrement(std::atomic<int32_t>* value) {
    return --*value;
}

void IoCompleteRequest(IRP* irp, int /*priorityBoost*/) {
    // The issuer may free the packet from its completion, so nothing touches it afterwards.
    if (irp->Completion) irp->Completion(irp);
}

bool IoCancelIrp(IRP* irp) {
    irp->Cancel = true;
    PDRIVER_CANCEL routine = irp->CancelRoutine.exchange(nullptr);
    if (!routine) return false;
    routine(irp);
    return true;
}

PDRIVER_CANCEL IoSetCancelRoutine(IRP* irp, PDRIVER_CANCEL routine) {
    return irp->CancelRoutine.exchange(routine);
}

ULONG IoGetRequestorProcessId(IRP* irp) {
    return irp->RequestorProcessId;
}

namespace {

void CsqCancelRoutine(IRP* irp) {
    auto* csq = static_cast<IO_CSQ*>(irp->CsqContext);
    csq->Acquire(csq);
    csq->Remove(csq, irp);
    csq->Release(csq);
    csq->CompleteCanceled(csq, irp);
}

}  // namespace

void IoCsqInitialize(IO_CSQ* csq, PIO_CSQ_INSERT_IRP insert, PIO_CSQ_REMOVE_IRP remove,
                     PIO_CSQ_PEEK_NEXT_IRP peekNext, PIO_CSQ_ACQUIRE_LOCK acquire,
                     PIO_CSQ_RELEASE_LOCK release, PIO_CSQ_COMPLETE_CANCELED_IRP completeCanceled) {
    csq->Insert = insert;
    csq->Remove = remove;
    csq->PeekNext = peekNext;
    csq->Acquire = acquire;
    csq->Release = release;
    csq->CompleteCanceled = completeCanceled;
}

void IoCsqInsertIrp(IO_CSQ* csq, IRP* irp, void* queueContext) {
    irp->CsqContext = csq;
    irp->QueueContext = queueContext;
    csq->Acquire(csq);
    csq->Insert(csq, irp);
    IoSetCancelRoutine(irp, CsqCancelRoutine);
    if (irp->Cancel && IoSetCancelRoutine(irp, nullptr) != nullptr) {
        // Cancelled before the routine was in place: nobody else will complete it.
        csq->Remove(csq, irp);
        csq->Release(csq);
        csq->CompleteCanceled(csq, irp);
        return;
    }
    csq->Release(csq);
}

IRP* IoCsqRemoveNextIrp(IO_CSQ* csq, void* peekContext) {
    csq->Acquire(csq);
    IRP* irp = csq->PeekNext(csq, nullptr, peekContext);
    while (irp) {
        if (IoSetCancelRoutine(irp, nullptr) != nullptr) {
            csq->Remove(csq, irp);
            break;
        }
        // Its cancel routine is running and will take it out of the queue.
        irp = csq->PeekNext(csq, irp, peekContext);
    }
    csq->Release(csq);
    return irp;
}

NTSTATUS IoCallDriver(DEVICE_OBJECT* device, IRP* irp) {
    PDRIVER_DISPATCH routine = device->MajorFunction[irp->MajorFunction];
    if (!routine) {
        irp->IoStatus.Status = STATUS_INVALID_PARAMETER;
        irp->IoStatus.Information = 0;
        IoCompleteRequest(irp, 0);
        return STATUS_INVALID_PARAMETER;
    }
    return routine(device, irp);
}
