// Requests to the lower adapter: the upper protocols' shared request, which may wait for the
// adapter to wake, and the synchronous requests of the control device.
#include <cstring>
#include <new>

#include "driver/Filt.h"

namespace {

struct FiltSyncRequestBlock {
    NDIS_REQUEST Request;
    NDIS_EVENT Done;
    NDIS_STATUS Status = NDIS_STATUS_SUCCESS;
};

// Post-processing of a completed query: what the upper protocols must not learn as the lower
// adapter reports it.
NDIS_STATUS AdjustQuery(FiltBinding* binding, NDIS_REQUEST* request) {
    ULONG need = 0;
    switch (request->Oid) {
        case OID_GEN_MAC_OPTIONS:
        case OID_802_3_MAXIMUM_LIST_SIZE:
            need = 4;
            break;
        case OID_PNP_CAPABILITIES:
            need = 16;
            break;
        default:
            return NDIS_STATUS_SUCCESS;
    }
    if (request->InformationBufferLength < need) {
        request->BytesNeeded = need;
        request->BytesWritten = 0;
        return NDIS_STATUS_BUFFER_TOO_SHORT;
    }
    auto* data = static_cast<UCHAR*>(request->InformationBuffer);
    ULONG value;
    std::memcpy(&value, data, 4);
    if (request->Oid == OID_GEN_MAC_OPTIONS) {
        // Loopback is looked after by NDIS itself from this version on.
        if (g_Filt.NdisVersion >= 0x00050001) value &= ~NDIS_MAC_OPTION_NO_LOOPBACK;
        std::memcpy(data, &value, 4);
    } else if (request->Oid == OID_802_3_MAXIMUM_LIST_SIZE) {
        if (value > FILT_MAX_MULTICAST) value = FILT_MAX_MULTICAST;
        std::memcpy(data, &value, 4);
    } else {
        // Flags stay; the three wake-up minimums become unspecified.
        std::memset(data + 4, 0, 12);
        NdisAcquireSpinLock(&binding->Lock);
        binding->MiniportPower = NdisDeviceStateD0;
        binding->LowerPower = NdisDeviceStateD0;
        NdisReleaseSpinLock(&binding->Lock);
    }
    return NDIS_STATUS_SUCCESS;
}

}  // namespace

NDIS_STATUS FiltSharedRequest(FiltBinding* binding, NDIS_REQUEST_TYPE type, NDIS_OID oid, void* buffer,
                              ULONG length, ULONG* bytesWritten, ULONG* bytesNeeded) {
    NdisAcquireSpinLock(&binding->Lock);
    if (!FiltBindingUsable(binding)) {
        NdisReleaseSpinLock(&binding->Lock);
        return NDIS_STATUS_DEVICE_FAILED;
    }
    NDIS_REQUEST& request = binding->SharedRequest;
    request = NDIS_REQUEST{};
    request.RequestType = type;
    request.Oid = oid;
    request.InformationBuffer = buffer;
    request.InformationBufferLength = length;
    binding->CallerBytesWritten = bytesWritten;
    binding->CallerBytesNeeded = bytesNeeded;
    if (binding->LowerPower != NdisDeviceStateD0) {
        binding->RequestQueued = true;
        NdisReleaseSpinLock(&binding->Lock);
        return NDIS_STATUS_PENDING;
    }
    binding->RequestOutstanding = true;
    NdisReleaseSpinLock(&binding->Lock);

    NDIS_STATUS status;
    NdisRequest(&status, binding->LowerHandle, &request);
    if (status == NDIS_STATUS_PENDING) return status;
    return FiltFinishSharedRequest(binding, status, false);
}

NDIS_STATUS FiltFinishSharedRequest(FiltBinding* binding, NDIS_STATUS status, bool indicate) {
    NDIS_REQUEST& request = binding->SharedRequest;
    if (request.RequestType == NdisRequestQueryInformation) {
        if (status == NDIS_STATUS_SUCCESS) status = AdjustQuery(binding, &request);
    } else if (status == NDIS_STATUS_SUCCESS) {
        FiltMergeBlock& merge = binding->UpperMerge;
        if (request.Oid == OID_GEN_CURRENT_PACKET_FILTER) {
            std::memcpy(&binding->Upper.PacketFilter, merge.CallerBuffer, 4);
        } else if (request.Oid == OID_802_3_MULTICAST_LIST) {
            binding->Upper.MulticastCount = merge.CallerLength / FILT_ADDRESS_LENGTH;
            NdisMoveMemory(binding->Upper.Multicast, merge.CallerBuffer, merge.CallerLength);
        }
    }
    if (request.RequestType == NdisRequestSetInformation &&
        (request.Oid == OID_GEN_CURRENT_PACKET_FILTER || request.Oid == OID_802_3_MULTICAST_LIST)) {
        // The adapter read the merged value; the caller is told about its own.
        if (request.BytesWritten > binding->UpperMerge.CallerLength)
            request.BytesWritten = binding->UpperMerge.CallerLength;
    }
    if (binding->CallerBytesWritten) *binding->CallerBytesWritten = request.BytesWritten;
    if (binding->CallerBytesNeeded) *binding->CallerBytesNeeded = request.BytesNeeded;

    NdisAcquireSpinLock(&binding->Lock);
    binding->RequestOutstanding = false;
    NDIS_HANDLE miniport = binding->MiniportHandle;
    NdisReleaseSpinLock(&binding->Lock);

    if (indicate && miniport) {
        if (request.RequestType == NdisRequestQueryInformation)
            NdisMQueryInformationComplete(miniport, status);
        else
            NdisMSetInformationComplete(miniport, status);
    }
    return status;
}

void FiltFlushQueuedRequest(FiltBinding* binding, bool fail) {
    NdisAcquireSpinLock(&binding->Lock);
    if (!binding->RequestQueued) {
        NdisReleaseSpinLock(&binding->Lock);
        return;
    }
    binding->RequestQueued = false;
    if (fail) {
        binding->RequestOutstanding = false;
        NDIS_HANDLE miniport = binding->MiniportHandle;
        NDIS_REQUEST_TYPE type = binding->SharedRequest.RequestType;
        NdisReleaseSpinLock(&binding->Lock);
        if (miniport) {
            if (type == NdisRequestQueryInformation)
                NdisMQueryInformationComplete(miniport, NDIS_STATUS_FAILURE);
            else
                NdisMSetInformationComplete(miniport, NDIS_STATUS_FAILURE);
        }
        return;
    }
    binding->RequestOutstanding = true;
    NdisReleaseSpinLock(&binding->Lock);
    NDIS_STATUS status;
    NdisRequest(&status, binding->LowerHandle, &binding->SharedRequest);
    if (status != NDIS_STATUS_PENDING) FiltFinishSharedRequest(binding, status, true);
}

NDIS_STATUS FiltSyncRequest(FiltBinding* binding, NDIS_REQUEST_TYPE type, NDIS_OID oid, void* buffer,
                            ULONG length, ULONG* bytesWritten, ULONG* bytesNeeded) {
    NdisAcquireSpinLock(&binding->Lock);
    bool usable = FiltBindingUsable(binding) && binding->LowerHandle;
    NdisReleaseSpinLock(&binding->Lock);
    if (!usable) return NDIS_STATUS_DEVICE_FAILED;

    auto* block = static_cast<FiltSyncRequestBlock*>(FiltAllocate(sizeof(FiltSyncRequestBlock)));
    if (!block) return NDIS_STATUS_RESOURCES;
    new (block) FiltSyncRequestBlock;
    block->Request.RequestType = type;
    block->Request.Oid = oid;
    block->Request.InformationBuffer = buffer;
    block->Request.InformationBufferLength = length;
    NdisInitializeEvent(&block->Done);

    NDIS_STATUS status;
    NdisRequest(&status, binding->LowerHandle, &block->Request);
    if (status == NDIS_STATUS_PENDING) {
        NdisWaitEvent(&block->Done, 0);
        status = block->Status;
    }
    if (bytesWritten) *bytesWritten = block->Request.BytesWritten;
    if (bytesNeeded) *bytesNeeded = block->Request.BytesNeeded;
    block->~FiltSyncRequestBlock();
    FiltFree(block, sizeof(FiltSyncRequestBlock));
    return status;
}

void FiltSyncRequestComplete(NDIS_REQUEST* request, NDIS_STATUS status) {
    auto* block = CONTAINING_RECORD(request, FiltSyncRequestBlock, Request);
    block->Status = status;
    NdisSetEvent(&block->Done);
}
