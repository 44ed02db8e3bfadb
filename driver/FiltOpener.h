// One process's open of the control device, with its queue of event records.
#pragma once

#include "driver/FiltGlobals.h"

struct FiltOpener {
    LIST_ENTRY Link;
    std::atomic<int32_t> RefCount{1};  // the list's; one more while a request works on it
    ULONG ProcessId = 0;
    NDIS_SPIN_LOCK QueueLock;
    LIST_ENTRY Queue;
    ULONG QueueCount = 0;
    ULONG Sequence = 0;
};

struct FiltQueuedRecord {
    LIST_ENTRY Link;
    ULONG Length;
    UCHAR Data[1];
};

FiltOpener* FiltAllocateOpener(ULONG processId);
void FiltReleaseOpener(FiltOpener* opener);
// The file's opener, referenced, when it is still in the opener list.
FiltOpener* FiltFindOpener(FILE_OBJECT* file);
