// The cancel-safe queue: a queued packet is completed exactly once, by whichever of cancel and
// removal gets it first.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/ndis/Kernel.h"

namespace {

NDIS_SPIN_LOCK g_lock;
LIST_ENTRY g_queue;
std::atomic<int> g_cancelled{0};

void Insert(IO_CSQ*, IRP* irp) {
    InsertTailList(&g_queue, &irp->ListEntry.Entry);
}
void Remove(IO_CSQ*, IRP* irp) {
    RemoveEntryList(&irp->ListEntry.Entry);
}
void Acquire(IO_CSQ*) {
    NdisAcquireSpinLock(&g_lock);
}
void Release(IO_CSQ*) {
    NdisReleaseSpinLock(&g_lock);
}
IRP* PeekNext(IO_CSQ*, IRP* irp, void* context) {
    for (LIST_ENTRY* e = irp ? irp->ListEntry.Entry.Flink : g_queue.Flink; e != &g_queue; e = e->Flink) {
        IRP* candidate = reinterpret_cast<IRP_LIST_ENTRY*>(e)->Irp;
        if (!context || candidate->QueueContext == context) return candidate;
    }
    return nullptr;
}
void CompleteCanceled(IO_CSQ*, IRP* irp) {
    ++g_cancelled;
    irp->IoStatus.Status = STATUS_CANCELLED;
    IoCompleteRequest(irp, 0);
}

class CancelSafeQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeListHead(&g_queue);
        g_cancelled = 0;
        IoCsqInitialize(&csq_, Insert, Remove, PeekNext, Acquire, Release, CompleteCanceled);
    }
    IO_CSQ csq_;
};

TEST_F(CancelSafeQueueTest, RemovalByContextAndCancelBeforeQueuing) {
    IRP a, b, early;
    int ownerA = 0, ownerB = 0;
    IoCsqInsertIrp(&csq_, &a, &ownerA);
    IoCsqInsertIrp(&csq_, &b, &ownerB);
    EXPECT_EQ(IoCsqRemoveNextIrp(&csq_, &ownerB), &b);
    EXPECT_EQ(IoCsqRemoveNextIrp(&csq_, &ownerB), nullptr);
    EXPECT_TRUE(IoCancelIrp(&a));
    EXPECT_EQ(a.IoStatus.Status, STATUS_CANCELLED);
    EXPECT_EQ(IoCsqRemoveNextIrp(&csq_, nullptr), nullptr);

    early.Cancel = true;
    IoCsqInsertIrp(&csq_, &early, &ownerA);
    EXPECT_EQ(early.IoStatus.Status, STATUS_CANCELLED);
    EXPECT_TRUE(IsListEmpty(&g_queue));
    EXPECT_EQ(g_cancelled, 2);
}

TEST_F(CancelSafeQueueTest, RacingCancelAndRemovalCompleteEachPacketOnce) {
    constexpr int COUNT = 2000;
    std::vector<IRP> irps(COUNT);
    std::vector<std::atomic<int>> completions(COUNT);
    for (int i = 0; i < COUNT; ++i) {
        irps[i].Completion = [&completions, i](IRP*) { ++completions[i]; };
        IoCsqInsertIrp(&csq_, &irps[i], nullptr);
    }
    std::thread canceller([&] {
        for (int i = COUNT - 1; i >= 0; --i) IoCancelIrp(&irps[i]);
    });
    int removed = 0;
    while (IRP* irp = IoCsqRemoveNextIrp(&csq_, nullptr)) {
        irp->IoStatus.Status = STATUS_SUCCESS;
        IoCompleteRequest(irp, 0);
        ++removed;
    }
    canceller.join();
    while (IRP* irp = IoCsqRemoveNextIrp(&csq_, nullptr)) {
        IoCompleteRequest(irp, 0);
        ++removed;
    }
    EXPECT_EQ(removed + g_cancelled, COUNT);
    for (int i = 0; i < COUNT; ++i) EXPECT_EQ(completions[i], 1) << i;
}

}  // namespace
