#include "driver/FiltBinding.h"

#include <new>

#include "driver/Filt.h"

FiltGlobals g_Filt;

void* FiltAllocate(ULONG length) {
    void* block = nullptr;
    if (NdisAllocateMemoryWithTag(&block, length, FILT_TAG) != NDIS_STATUS_SUCCESS) return nullptr;
    NdisZeroMemory(block, length);
    return block;
}

void* FiltAllocateUncleared(ULONG length) {
    void* block = nullptr;
    if (NdisAllocateMemoryWithTag(&block, length, FILT_TAG) != NDIS_STATUS_SUCCESS) return nullptr;
    return block;
}

void FiltFree(void* block, ULONG length) {
    if (block) NdisFreeMemory(block, length, 0);
}

namespace {

constexpr ULONG FILT_POOL_PACKETS = 255;
constexpr ULONG FILT_POOL_OVERFLOW = 65280;
constexpr ULONG FILT_BUFFER_POOL = 16;

ULONG StringBytes(const NDIS_STRING* s) {
    return s && s->Buffer ? s->Length : 0;
}

// Copies the string into `storage` with a terminating null; returns the bytes used.
ULONG CopyString(NDIS_STRING* target, const NDIS_STRING* source, UCHAR* storage) {
    ULONG bytes = StringBytes(source);
    target->Buffer = reinterpret_cast<WCHAR*>(storage);
    target->Length = USHORT(bytes);
    target->MaximumLength = USHORT(bytes + sizeof(WCHAR));
    if (bytes) NdisMoveMemory(storage, source->Buffer, bytes);
    return bytes + sizeof(WCHAR);
}

}  // namespace

FiltBinding* FiltAllocateBinding(const NDIS_STRING* virtualName, const NDIS_STRING* configPath,
                                 const NDIS_STRING* deviceName) {
    ULONG fixed = (sizeof(FiltBinding) + 7) & ~7u;
    ULONG total = fixed + StringBytes(virtualName) + StringBytes(configPath) + StringBytes(deviceName) +
                  3 * sizeof(WCHAR);
    void* block = FiltAllocate(total);
    if (!block) return nullptr;
    auto* binding = new (block) FiltBinding;
    binding->AllocationLength = total;
    UCHAR* strings = static_cast<UCHAR*>(block) + fixed;
    strings += CopyString(&binding->VirtualName, virtualName, strings);
    strings += CopyString(&binding->ConfigPath, configPath, strings);
    CopyString(&binding->DeviceName, deviceName, strings);
    InitializeListHead(&binding->Link);
    NdisAllocateSpinLock(&binding->Lock);
    NdisAllocateSpinLock(&binding->Capture.Lock);
    NdisInitializeEvent(&binding->Capture.WriterEvent);
    NdisInitializeEvent(&binding->Capture.WriterIdle);
    NdisSetEvent(&binding->Capture.WriterIdle);
    NdisInitializeEvent(&binding->OpenCloseEvent);
    NdisInitializeEvent(&binding->InitEvent);

    NDIS_STATUS status;
    NdisAllocatePacketPoolEx(&status, &binding->SendPool, FILT_POOL_PACKETS, FILT_POOL_OVERFLOW,
                             sizeof(FiltPacketReserved));
    if (status == NDIS_STATUS_SUCCESS)
        NdisAllocatePacketPoolEx(&status, &binding->ReceivePool, FILT_POOL_PACKETS, FILT_POOL_OVERFLOW,
                                 sizeof(FiltPacketReserved));
    if (status == NDIS_STATUS_SUCCESS)
        NdisAllocateBufferPool(&status, &binding->BufferPool, FILT_BUFFER_POOL);
    if (status != NDIS_STATUS_SUCCESS) {
        FiltReleaseBinding(binding);
        return nullptr;
    }
    return binding;
}

void FiltReferenceBinding(FiltBinding* binding) {
    NdisInterlockedIncrement(&binding->RefCount);
}

void FiltReleaseBinding(FiltBinding* binding) {
    if (NdisInterlockedDecrement(&binding->RefCount) != 0) return;
    if (binding->InstanceName.Buffer)
        NdisFreeMemory(binding->InstanceName.Buffer, binding->InstanceName.MaximumLength, 0);
    FiltFree(binding->GuidList, binding->GuidListLength);
    if (binding->SendPool) NdisFreePacketPool(binding->SendPool);
    if (binding->ReceivePool) NdisFreePacketPool(binding->ReceivePool);
    if (binding->BufferPool) NdisFreeBufferPool(binding->BufferPool);
    if (binding->Capture.Name.Buffer)
        FiltFree(binding->Capture.Name.Buffer, binding->Capture.Name.MaximumLength);
    ULONG length = binding->AllocationLength;
    binding->~FiltBinding();
    FiltFree(binding, length);
}

FiltBinding* FiltLookupBinding(ULONG adapterId) {
    FiltBinding* found = nullptr;
    NdisAcquireSpinLock(&g_Filt.BindingLock);
    for (LIST_ENTRY* entry = g_Filt.Bindings.Flink; entry != &g_Filt.Bindings; entry = entry->Flink) {
        auto* binding = CONTAINING_RECORD(entry, FiltBinding, Link);
        if (binding->AdapterId == adapterId) {
            FiltReferenceBinding(binding);
            found = binding;
            break;
        }
    }
    NdisReleaseSpinLock(&g_Filt.BindingLock);
    return found;
}

bool FiltBindingUsable(const FiltBinding* binding) {
    return !binding->Unbinding && binding->MiniportPower == NdisDeviceStateD0 && !binding->StandingBy;
}
