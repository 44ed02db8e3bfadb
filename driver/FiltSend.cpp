// Frames going down: the upper protocols' sends, raw frames from user mode and their completions.
#include "driver/Filt.h"
#include "driver/FiltInterface.h"

namespace {

NDIS_HANDLE MiniportOf(FiltBinding* binding) {
    NdisDprAcquireSpinLock(&binding->Lock);
    NDIS_HANDLE miniport = binding->MiniportHandle;
    NdisDprReleaseSpinLock(&binding->Lock);
    return miniport;
}

// Counts a send when the lower binding is awake; false (nothing counted) when it sleeps.
bool CountSendIfAwake(FiltBinding* binding) {
    NdisDprAcquireSpinLock(&binding->Lock);
    bool awake = binding->LowerPower == NdisDeviceStateD0;
    if (awake) ++binding->OutstandingSends;
    NdisDprReleaseSpinLock(&binding->Lock);
    return awake;
}

void UncountSend(FiltBinding* binding) {
    NdisDprAcquireSpinLock(&binding->Lock);
    --binding->OutstandingSends;
    NdisDprReleaseSpinLock(&binding->Lock);
}

// Lets go of a send-pool packet whose buffers belong to someone else.
void FreeWrapper(NDIS_PACKET* packet) {
    NDIS_PACKET_FIRST_NDIS_BUFFER(packet) = nullptr;
    NDIS_PACKET_LAST_NDIS_BUFFER(packet) = nullptr;
    NdisFreePacket(packet);
}

NDIS_STATUS SendOne(FiltBinding* binding, NDIS_PACKET* packet) {
    NdisDprAcquireSpinLock(&binding->Lock);
    bool miniportAwake = binding->MiniportPower == NdisDeviceStateD0;
    NdisDprReleaseSpinLock(&binding->Lock);
    if (!miniportAwake) return NDIS_STATUS_FAILURE;
    if (FiltCaptureActive(binding)) FiltCapturePacket(binding, packet);
    if (!binding->PortOpen) return NDIS_STATUS_NOT_ACCEPTED;
    if (FiltPacketEtherTypeListed(binding, packet)) return NDIS_STATUS_NOT_ACCEPTED;

    BOOLEAN remaining = false;
    if (NdisIMGetCurrentPacketStack(packet, &remaining)) {
        // The packet itself goes down; its completion comes back to the send-complete handler.
        if (!CountSendIfAwake(binding)) return NDIS_STATUS_FAILURE;
        NDIS_STATUS status;
        NdisSend(&status, binding->LowerHandle, packet);
        if (status == NDIS_STATUS_PENDING) return status;
        UncountSend(binding);
        return status;
    }

    if (!CountSendIfAwake(binding)) return NDIS_STATUS_FAILURE;
    NDIS_STATUS status;
    NDIS_PACKET* own = nullptr;
    NdisAllocatePacket(&status, &own, binding->SendPool);
    if (status != NDIS_STATUS_SUCCESS) {
        UncountSend(binding);
        return status;
    }
    FiltPacketReserved* reserved = FiltReservedOf(own);
    reserved->Kind = FILT_KIND_WRAPPED;
    reserved->Original = packet;
    NDIS_PACKET_FIRST_NDIS_BUFFER(own) = NDIS_PACKET_FIRST_NDIS_BUFFER(packet);
    NDIS_PACKET_LAST_NDIS_BUFFER(own) = NDIS_PACKET_LAST_NDIS_BUFFER(packet);
    NdisSetPacketFlags(own, NdisGetPacketFlags(packet));
    *NDIS_OOB_DATA_FROM_PACKET(own) = *NDIS_OOB_DATA_FROM_PACKET(packet);
    NdisIMCopySendPerPacketInfo(own, packet);
    NdisSend(&status, binding->LowerHandle, own);
    if (status == NDIS_STATUS_PENDING) return status;
    NdisIMCopySendCompletePerPacketInfo(packet, own);
    FreeWrapper(own);
    UncountSend(binding);
    return status;
}

}  // namespace

void MiniportSendPacketsHandler(NDIS_HANDLE context, NDIS_PACKET** packets, ULONG count) {
    auto* binding = static_cast<FiltBinding*>(context);
    NDIS_HANDLE miniport = MiniportOf(binding);
    for (ULONG i = 0; i < count; ++i) {
        NDIS_STATUS status = SendOne(binding, packets[i]);
        if (status != NDIS_STATUS_PENDING) NdisMSendComplete(miniport, packets[i], status);
    }
}

namespace {

// A raw frame's packet, buffer and copy of the frame.
void FreeRawFrame(NDIS_PACKET* packet) {
    FiltPacketReserved reserved = *FiltReservedOf(packet);
    NDIS_BUFFER* buffer = nullptr;
    NdisUnchainBufferAtFront(packet, &buffer);
    if (buffer) NdisFreeBuffer(buffer);
    FiltFree(reserved.Frame, reserved.FrameLength);
    NdisFreePacket(packet);
}

}  // namespace

void ProtocolSendCompleteHandler(NDIS_HANDLE protocolBindingContext, NDIS_PACKET* packet,
                                 NDIS_STATUS status) {
    auto* binding = static_cast<FiltBinding*>(protocolBindingContext);
    NDIS_HANDLE miniport = MiniportOf(binding);
    if (NdisGetPoolFromPacket(packet) != binding->SendPool) {
        NdisMSendComplete(miniport, packet, status);
    } else if (FiltReservedOf(packet)->Kind == FILT_KIND_FRAME) {
        UCHAR tag[4];
        FiltPutU32(tag, 0, FiltReservedOf(packet)->Tag);
        UCHAR result =
            status == NDIS_STATUS_SUCCESS ? FiltConstants::FILT_CMD_OK : FiltConstants::FILT_CMD_FAILED;
        FreeRawFrame(packet);
        FiltSendPrivateIndication(binding, FiltConstants::GROUP_FRAMES, 0, result, tag, sizeof(tag));
    } else {
        NDIS_PACKET* original = FiltReservedOf(packet)->Original;
        NdisIMCopySendCompletePerPacketInfo(original, packet);
        FreeWrapper(packet);
        NdisMSendComplete(miniport, original, status);
    }
    UncountSend(binding);
}

UCHAR FiltSendRawFrame(FiltBinding* binding, ULONG tag, const UCHAR* frame, ULONG length) {
    auto* copy = static_cast<UCHAR*>(FiltAllocate(length));
    if (!copy) return FiltConstants::FILT_CMD_FAILED;
    NdisMoveMemory(copy, frame, length);
    NDIS_STATUS status;
    NDIS_PACKET* packet = nullptr;
    NdisAllocatePacket(&status, &packet, binding->SendPool);
    NDIS_BUFFER* buffer = nullptr;
    if (status == NDIS_STATUS_SUCCESS)
        NdisAllocateBuffer(&status, &buffer, binding->BufferPool, copy, length);
    if (status != NDIS_STATUS_SUCCESS) {
        if (packet) NdisFreePacket(packet);
        FiltFree(copy, length);
        return FiltConstants::FILT_CMD_FAILED;
    }
    FiltPacketReserved* reserved = FiltReservedOf(packet);
    reserved->Kind = FILT_KIND_FRAME;
    reserved->Tag = tag;
    reserved->Buffer = buffer;
    reserved->Frame = copy;
    reserved->FrameLength = length;
    NdisChainBufferAtFront(packet, buffer);
    NdisSetPacketFlags(packet, NDIS_FLAGS_DONT_LOOPBACK);

    NdisAcquireSpinLock(&binding->Lock);
    ++binding->OutstandingSends;
    NdisReleaseSpinLock(&binding->Lock);
    if (FiltCaptureActive(binding)) FiltCaptureFrame(binding, copy, length);
    NdisSend(&status, binding->LowerHandle, packet);
    if (status == NDIS_STATUS_PENDING) return FiltConstants::FILT_CMD_PENDING;
    if (status == NDIS_STATUS_SUCCESS) {
        // Sent at once: the completion indication goes out before the caller hears the result.
        ProtocolSendCompleteHandler(binding, packet, status);
        return FiltConstants::FILT_CMD_OK;
    }
    // Failed at once: the caller hears it in the result, and no completion follows.
    FreeRawFrame(packet);
    UncountSend(binding);
    return FiltConstants::FILT_CMD_FAILED;
}
