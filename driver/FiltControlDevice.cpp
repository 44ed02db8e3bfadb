// The control device: registration, dispatch, create, close, cleanup and reads of event records.
#include <cstring>

#include "driver/Filt.h"
#include "driver/FiltInterface.h"
#include "driver/FiltOpener.h"

namespace {

char16_t DEVICE_NAME[] = u"\\Device\\Pellodur";
char16_t LINK_NAME[] = u"\\DosDevices\\Pellodur";

NDIS_STRING Name(char16_t* text, size_t bytesWithNull) {
    NDIS_STRING s;
    s.Buffer = text;
    s.Length = USHORT(bytesWithNull - 2);
    s.MaximumLength = USHORT(bytesWithNull);
    return s;
}

void CsqInsert(IO_CSQ*, IRP* irp) {
    InsertTailList(&g_Filt.PendingReads, &irp->ListEntry.Entry);
}
void CsqRemove(IO_CSQ*, IRP* irp) {
    RemoveEntryList(&irp->ListEntry.Entry);
}
void CsqAcquire(IO_CSQ*) {
    NdisAcquireSpinLock(&g_Filt.PendingReadLock);
}
void CsqRelease(IO_CSQ*) {
    NdisReleaseSpinLock(&g_Filt.PendingReadLock);
}

IRP* CsqPeekNext(IO_CSQ*, IRP* irp, void* opener) {
    LIST_ENTRY* entry = irp ? irp->ListEntry.Entry.Flink : g_Filt.PendingReads.Flink;
    for (; entry != &g_Filt.PendingReads; entry = entry->Flink) {
        IRP* candidate = reinterpret_cast<IRP_LIST_ENTRY*>(entry)->Irp;
        if (!opener || candidate->QueueContext == opener) return candidate;
    }
    return nullptr;
}

void CsqCompleteCanceled(IO_CSQ*, IRP* irp) {
    irp->IoStatus.Status = STATUS_CANCELLED;
    irp->IoStatus.Information = 0;
    IoCompleteRequest(irp, 0);
}

void CompletePendingReads(FiltOpener* opener) {
    while (IRP* irp = IoCsqRemoveNextIrp(&g_Filt.PendingReadQueue, opener)) CsqCompleteCanceled(nullptr, irp);
}

NTSTATUS ControlCreate(IRP* irp) {
    ULONG pid = IoGetRequestorProcessId(irp);
    FiltOpener* opener = FiltAllocateOpener(pid);
    if (!opener) return STATUS_INSUFFICIENT_RESOURCES;

    // The binding-list lock is held from the insertion on, so that a binding finishing its
    // initialisation meanwhile is announced to this opener once: either here or by itself.
    NdisAcquireSpinLock(&g_Filt.BindingLock);
    NdisAcquireSpinLock(&g_Filt.OpenerLock);
    bool duplicate = false;
    for (LIST_ENTRY* entry = g_Filt.Openers.Flink; entry != &g_Filt.Openers && !duplicate;
         entry = entry->Flink)
        duplicate = CONTAINING_RECORD(entry, FiltOpener, Link)->ProcessId == pid;
    if (!duplicate) InsertTailList(&g_Filt.Openers, &opener->Link);
    NdisReleaseSpinLock(&g_Filt.OpenerLock);
    if (duplicate) {
        NdisReleaseSpinLock(&g_Filt.BindingLock);
        FiltReleaseOpener(opener);
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    for (LIST_ENTRY* entry = g_Filt.Bindings.Flink; entry != &g_Filt.Bindings; entry = entry->Flink) {
        auto* binding = CONTAINING_RECORD(entry, FiltBinding, Link);
        if (binding->Initialised) FiltSendAdapterArrival(binding, pid);
    }
    FiltSendListEnd(pid);
    NdisReleaseSpinLock(&g_Filt.BindingLock);
    irp->FileObject->FsContext = opener;
    return STATUS_SUCCESS;
}

NTSTATUS ControlClose(IRP* irp) {
    auto* wanted = static_cast<FiltOpener*>(irp->FileObject->FsContext);
    bool found = false;
    NdisAcquireSpinLock(&g_Filt.OpenerLock);
    for (LIST_ENTRY* entry = g_Filt.Openers.Flink; entry != &g_Filt.Openers && wanted; entry = entry->Flink) {
        if (CONTAINING_RECORD(entry, FiltOpener, Link) == wanted) {
            RemoveEntryList(entry);
            found = true;
            break;
        }
    }
    NdisReleaseSpinLock(&g_Filt.OpenerLock);
    if (!found) return STATUS_INVALID_HANDLE;
    ULONG pid = wanted->ProcessId;
    irp->FileObject->FsContext = nullptr;
    FiltReleaseOpener(wanted);

    NdisAcquireSpinLock(&g_Filt.BindingLock);
    for (LIST_ENTRY* entry = g_Filt.Bindings.Flink; entry != &g_Filt.Bindings; entry = entry->Flink) {
        auto* binding = CONTAINING_RECORD(entry, FiltBinding, Link);
        if (binding->OwnerPid == pid) FiltSetOwner(binding, 0);
    }
    NdisReleaseSpinLock(&g_Filt.BindingLock);
    return STATUS_SUCCESS;
}

NTSTATUS ControlCleanup(IRP* irp) {
    auto* opener = static_cast<FiltOpener*>(irp->FileObject->FsContext);
    if (opener) CompletePendingReads(opener);
    return STATUS_SUCCESS;
}

NTSTATUS ControlRead(IRP* irp) {
    FiltOpener* opener = FiltFindOpener(irp->FileObject);
    if (!opener) return STATUS_INVALID_HANDLE;
    if (!irp->SystemBuffer || irp->ReadLength == 0) {
        FiltReleaseOpener(opener);
        return STATUS_INVALID_PARAMETER;
    }
    auto* buffer = static_cast<UCHAR*>(irp->SystemBuffer);
    ULONG copied = 0;
    NTSTATUS status;
    // Deliveries hold the opener-list lock: holding it here keeps a record from arriving between
    // finding the queue empty and queuing the read.
    NdisAcquireSpinLock(&g_Filt.OpenerLock);
    NdisAcquireSpinLock(&opener->QueueLock);
    bool empty = IsListEmpty(&opener->Queue);
    while (!IsListEmpty(&opener->Queue)) {
        auto* record = CONTAINING_RECORD(opener->Queue.Flink, FiltQueuedRecord, Link);
        if (record->Length > irp->ReadLength - copied) break;
        std::memcpy(buffer + copied, record->Data, record->Length);
        copied += record->Length;
        RemoveEntryList(&record->Link);
        --opener->QueueCount;
        FiltFree(record, ULONG(offsetof(FiltQueuedRecord, Data)) + record->Length);
    }
    NdisReleaseSpinLock(&opener->QueueLock);
    if (copied > 0) {
        irp->IoStatus.Information = copied;
        status = STATUS_SUCCESS;
    } else if (empty) {
        IoCsqInsertIrp(&g_Filt.PendingReadQueue, irp, opener);
        status = STATUS_PENDING;
    } else {
        status = STATUS_BUFFER_TOO_SMALL;
    }
    NdisReleaseSpinLock(&g_Filt.OpenerLock);
    FiltReleaseOpener(opener);
    return status;
}

NTSTATUS ControlDeviceIoControl(IRP* irp) {
    FiltOpener* opener = FiltFindOpener(irp->FileObject);
    if (!opener) return STATUS_INVALID_HANDLE;
    ULONG pid = opener->ProcessId;
    NTSTATUS status;
    switch (irp->IoControlCode) {
        case FiltConstants::IOCTL_FILT_GET_VERSION:
            status = FiltIoctlVersion(irp);
            break;
        case FiltConstants::IOCTL_FILT_OID_REQUEST:
            status = FiltIoctlOidRequest(irp, pid);
            break;
        case FiltConstants::IOCTL_FILT_REBIND:
            status = FiltIoctlRebind(irp);
            break;
        case FiltConstants::IOCTL_FILT_SET_STATUS_FILTER:
            status = FiltIoctlSetStatusFilter(irp, pid);
            break;
        case FiltConstants::IOCTL_FILT_CAPTURE_FILE:
            status = FiltIoctlCaptureFile(irp);
            break;
        default:
            status = STATUS_NOT_SUPPORTED;
            break;
    }
    FiltReleaseOpener(opener);
    return status;
}

}  // namespace

void FiltInitializeControlState() {
    NdisAllocateSpinLock(&g_Filt.OpenerLock);
    InitializeListHead(&g_Filt.Openers);
    NdisAllocateSpinLock(&g_Filt.PendingReadLock);
    InitializeListHead(&g_Filt.PendingReads);
    IoCsqInitialize(&g_Filt.PendingReadQueue, CsqInsert, CsqRemove, CsqPeekNext, CsqAcquire, CsqRelease,
                    CsqCompleteCanceled);
}

NDIS_STATUS ControlDeviceRegister() {
    PDRIVER_DISPATCH functions[IRP_MJ_MAXIMUM_FUNCTION + 1] = {};
    functions[IRP_MJ_CREATE] = ControlDispatch;
    functions[IRP_MJ_CLOSE] = ControlDispatch;
    functions[IRP_MJ_READ] = ControlDispatch;
    functions[IRP_MJ_DEVICE_CONTROL] = ControlDispatch;
    functions[IRP_MJ_CLEANUP] = ControlDispatch;
    NDIS_STRING device = Name(DEVICE_NAME, sizeof(DEVICE_NAME));
    NDIS_STRING link = Name(LINK_NAME, sizeof(LINK_NAME));
    NDIS_STATUS status = NdisMRegisterDevice(g_Filt.Wrapper, &device, &link, functions, &g_Filt.ControlDevice,
                                             &g_Filt.ControlDeviceHandle);
    if (status != NDIS_STATUS_SUCCESS) {
        g_Filt.ControlDevice = nullptr;
        g_Filt.ControlDeviceHandle = nullptr;
        return status;
    }
    g_Filt.ControlDevice->Flags |= DO_BUFFERED_IO;
    return NDIS_STATUS_SUCCESS;
}

void ControlDeviceDeregister() {
    if (g_Filt.ControlDeviceHandle) {
        NdisMDeregisterDevice(g_Filt.ControlDeviceHandle);
        g_Filt.ControlDeviceHandle = nullptr;
        g_Filt.ControlDevice = nullptr;
    }
    FiltCancelAllPendingReads();
}

void FiltCancelAllPendingReads() {
    CompletePendingReads(nullptr);
}

NTSTATUS ControlDispatch(DEVICE_OBJECT*, IRP* irp) {
    NTSTATUS status = STATUS_SUCCESS;
    irp->IoStatus.Information = 0;
    switch (irp->MajorFunction) {
        case IRP_MJ_CREATE:
            status = ControlCreate(irp);
            break;
        case IRP_MJ_CLOSE:
            status = ControlClose(irp);
            break;
        case IRP_MJ_READ:
            status = ControlRead(irp);
            break;
        case IRP_MJ_DEVICE_CONTROL:
            status = ControlDeviceIoControl(irp);
            break;
        case IRP_MJ_CLEANUP:
            status = ControlCleanup(irp);
            break;
        default:
            break;
    }
    if (status == STATUS_PENDING) return status;
    if (status != STATUS_SUCCESS && status != STATUS_BUFFER_OVERFLOW) irp->IoStatus.Information = 0;
    irp->IoStatus.Status = status;
    IoCompleteRequest(irp, 0);
    return status;
}
