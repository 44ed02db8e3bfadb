// Driver-wide state: the handles NDIS gave, the binding list, the openers of the control device
// and their pending reads.
#pragma once

#include "driver/FiltBinding.h"

struct FiltGlobals {
    NDIS_HANDLE Wrapper = nullptr;
    NDIS_HANDLE MiniportDriver = nullptr;
    NDIS_HANDLE Protocol = nullptr;
    NDIS_HANDLE ControlDeviceHandle = nullptr;
    DEVICE_OBJECT* ControlDevice = nullptr;

    NDIS_SPIN_LOCK BindingLock;
    LIST_ENTRY Bindings;
    ULONG NextAdapterId = 0;
    ULONG NdisVersion = 0;

    NDIS_SPIN_LOCK OpenerLock;
    LIST_ENTRY Openers;

    NDIS_SPIN_LOCK PendingReadLock;
    LIST_ENTRY PendingReads;
    IO_CSQ PendingReadQueue;
};

extern FiltGlobals g_Filt;

// Tagged allocation helpers; every block of the driver comes from here.
void* FiltAllocate(ULONG length);
// For blocks whose every byte is written before use: spares the clearing.
void* FiltAllocateUncleared(ULONG length);
void FiltFree(void* block, ULONG length);
