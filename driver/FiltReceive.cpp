// Frames coming up: received packets and lookahead receives, passed to the upper protocols while
// the port is open, diverted to user mode when their EtherType is listed.
#include <cstring>

#include "driver/Filt.h"
#include "driver/FiltInterface.h"

namespace {

constexpr ULONG MAX_DIVERTED_LENGTH = 0xFFFF - FiltConstants::CMD_DATA - 3;

// The virtual miniport's handle when it exists and is in D0, else null.
NDIS_HANDLE AwakeMiniport(FiltBinding* binding) {
    NdisDprAcquireSpinLock(&binding->Lock);
    NDIS_HANDLE miniport = binding->MiniportPower == NdisDeviceStateD0 ? binding->MiniportHandle : nullptr;
    NdisDprReleaseSpinLock(&binding->Lock);
    return miniport;
}

// A receive-pool packet over the received packet's buffers, the received packet kept in it.
NDIS_PACKET* Wrap(FiltBinding* binding, NDIS_PACKET* received) {
    NDIS_STATUS status;
    NDIS_PACKET* own = nullptr;
    NdisAllocatePacket(&status, &own, binding->ReceivePool);
    if (status != NDIS_STATUS_SUCCESS) return nullptr;
    std::memcpy(own->MiniportReserved, &received, sizeof(received));
    NDIS_PACKET_FIRST_NDIS_BUFFER(own) = NDIS_PACKET_FIRST_NDIS_BUFFER(received);
    NDIS_PACKET_LAST_NDIS_BUFFER(own) = NDIS_PACKET_LAST_NDIS_BUFFER(received);
    for (ULONG i = 0; i < MaxPerPacketInfo; ++i)
        NDIS_PER_PACKET_INFO_FROM_PACKET(own, NDIS_PER_PACKET_INFO(i)) =
            NDIS_PER_PACKET_INFO_FROM_PACKET(received, NDIS_PER_PACKET_INFO(i));
    NDIS_SET_ORIGINAL_PACKET(
        own, NDIS_GET_ORIGINAL_PACKET(received) ? NDIS_GET_ORIGINAL_PACKET(received) : received);
    NdisSetPacketFlags(own, NdisGetPacketFlags(received));
    NDIS_SET_PACKET_HEADER_SIZE(own, NDIS_GET_PACKET_HEADER_SIZE(received));
    NDIS_SET_PACKET_STATUS(own, NDIS_GET_PACKET_STATUS(received));
    return own;
}

NDIS_PACKET* WrappedOf(NDIS_PACKET* own) {
    NDIS_PACKET* received = nullptr;
    std::memcpy(&received, own->MiniportReserved, sizeof(received));
    return received;
}

void FreeWrapper(NDIS_PACKET* packet) {
    NDIS_PACKET_FIRST_NDIS_BUFFER(packet) = nullptr;
    NDIS_PACKET_LAST_NDIS_BUFFER(packet) = nullptr;
    NdisFreePacket(packet);
}

void FinishFrameTransfer(FiltBinding* binding, NDIS_PACKET* packet, NDIS_STATUS status, ULONG transferred) {
    FiltPacketReserved reserved = *FiltReservedOf(packet);
    if (status == NDIS_STATUS_SUCCESS) {
        // Header and lookahead precede what the transfer brought.
        ULONG length = reserved.Prefix + transferred;
        if (length > reserved.FrameLength) length = reserved.FrameLength;
        if (FiltCaptureActive(binding)) FiltCaptureFrame(binding, reserved.Frame, length);
        FiltSendDivertedFrame(binding, reserved.Frame, length);
    }
    NDIS_BUFFER* buffer = nullptr;
    NdisUnchainBufferAtFront(packet, &buffer);
    if (buffer) NdisFreeBuffer(buffer);
    FiltFree(reserved.Frame, reserved.FrameLength);
    NdisFreePacket(packet);
}

// Diverts a frame seen by lookahead: the whole of it, fetched from the adapter if need be.
void AssembleDiverted(FiltBinding* binding, NDIS_HANDLE macReceiveContext, const void* header,
                      ULONG headerSize, const void* lookahead, ULONG lookaheadSize, ULONG packetSize) {
    ULONG total = headerSize + packetSize;
    if (lookaheadSize > packetSize) lookaheadSize = packetSize;
    auto* frame = static_cast<UCHAR*>(FiltAllocate(total));
    if (!frame) return;
    NdisMoveMemory(frame, header, headerSize);
    NdisMoveMemory(frame + headerSize, lookahead, lookaheadSize);
    if (lookaheadSize == packetSize) {
        if (FiltCaptureActive(binding)) FiltCaptureFrame(binding, frame, total);
        FiltSendDivertedFrame(binding, frame, total);
        FiltFree(frame, total);
        return;
    }
    NDIS_STATUS status;
    NDIS_PACKET* packet = nullptr;
    NDIS_BUFFER* buffer = nullptr;
    NdisAllocatePacket(&status, &packet, binding->ReceivePool);
    if (status == NDIS_STATUS_SUCCESS)
        NdisAllocateBuffer(&status, &buffer, binding->BufferPool, frame + headerSize + lookaheadSize,
                           packetSize - lookaheadSize);
    if (status != NDIS_STATUS_SUCCESS) {
        if (packet) NdisFreePacket(packet);
        FiltFree(frame, total);
        return;
    }
    FiltPacketReserved* reserved = FiltReservedOf(packet);
    reserved->Kind = FILT_KIND_FRAME;
    reserved->Buffer = buffer;
    reserved->Frame = frame;
    reserved->FrameLength = total;
    reserved->Prefix = headerSize + lookaheadSize;
    NdisChainBufferAtFront(packet, buffer);
    ULONG transferred = 0;
    NdisTransferData(&status, binding->LowerHandle, macReceiveContext, lookaheadSize,
                     packetSize - lookaheadSize, packet, &transferred);
    if (status != NDIS_STATUS_PENDING)
        ProtocolTransferDataCompleteHandler(binding, packet, status, transferred);
}

}  // namespace

bool FiltEtherTypeListed(FiltBinding* binding, const UCHAR* firstBytes, ULONG firstLength) {
    if (!firstBytes || firstLength < 14) return false;
    USHORT value;
    std::memcpy(&value, firstBytes + 12, sizeof(value));
    bool listed = false;
    NdisDprAcquireSpinLock(&binding->Lock);
    for (ULONG i = 0; i < binding->EtherTypeCount && i < FiltConstants::MAX_ETHER_TYPES && !listed; ++i)
        listed = binding->EtherTypes[i] == value;
    NdisDprReleaseSpinLock(&binding->Lock);
    return listed;
}

bool FiltPacketEtherTypeListed(FiltBinding* binding, NDIS_PACKET* packet) {
    NDIS_BUFFER* first = nullptr;
    NdisQueryPacket(packet, nullptr, nullptr, &first, nullptr);
    if (!first) return false;
    void* data = nullptr;
    ULONG length = 0;
    NdisQueryBufferSafe(first, &data, &length, NormalPagePriority);
    return FiltEtherTypeListed(binding, static_cast<const UCHAR*>(data), length);
}

void FiltSendDivertedFrame(FiltBinding* binding, const UCHAR* frame, ULONG length) {
    if (length > MAX_DIVERTED_LENGTH) return;
    FiltSendPrivateIndication(binding, FiltConstants::GROUP_FRAMES, 1, FiltConstants::FILT_CMD_OK, frame,
                              USHORT(length));
}

void FiltDivertPacket(FiltBinding* binding, NDIS_PACKET* packet) {
    ULONG total = 0;
    NDIS_BUFFER* buffer = nullptr;
    NdisQueryPacket(packet, nullptr, nullptr, &buffer, &total);
    if (total > MAX_DIVERTED_LENGTH) return;
    // The frame's buffers go straight into the record; only a chain of more buffers than a record
    // gathers is copied together first.
    FiltPiece pieces[FILT_MAX_PIECES - 2];
    ULONG count = 0;
    ULONG gathered = 0;
    NDIS_BUFFER* walk = buffer;
    for (; walk && count < FILT_MAX_PIECES - 2; NdisGetNextBuffer(walk, &walk)) {
        void* data = nullptr;
        ULONG length = 0;
        NdisQueryBufferSafe(walk, &data, &length, NormalPagePriority);
        if (!data || gathered + length > total) return;
        pieces[count++] = FiltPiece{data, length};
        gathered += length;
    }
    if (!walk) {
        FiltSendPrivateIndicationPieces(binding, FiltConstants::GROUP_FRAMES, 1, FiltConstants::FILT_CMD_OK,
                                        pieces, count, USHORT(gathered));
        return;
    }
    auto* copy = static_cast<UCHAR*>(FiltAllocate(total ? total : 1));
    if (!copy) return;
    ULONG copied = 0;
    for (; buffer; NdisGetNextBuffer(buffer, &buffer)) {
        void* data = nullptr;
        ULONG length = 0;
        NdisQueryBufferSafe(buffer, &data, &length, NormalPagePriority);
        if (!data || copied + length > total) {
            FiltFree(copy, total ? total : 1);
            return;
        }
        std::memcpy(copy + copied, data, length);
        copied += length;
    }
    FiltSendDivertedFrame(binding, copy, copied);
    FiltFree(copy, total ? total : 1);
}

int ProtocolReceivePacketHandler(NDIS_HANDLE protocolBindingContext, NDIS_PACKET* packet) {
    auto* binding = static_cast<FiltBinding*>(protocolBindingContext);
    NDIS_HANDLE miniport = AwakeMiniport(binding);
    if (!miniport) return 0;
    if (FiltCaptureActive(binding)) FiltCapturePacket(binding, packet);
    if (FiltPacketEtherTypeListed(binding, packet)) {
        FiltDivertPacket(binding, packet);
        return 0;
    }
    if (!binding->PortOpen) return 0;

    BOOLEAN remaining = false;
    if (NdisIMGetCurrentPacketStack(packet, &remaining)) {
        NDIS_STATUS status = NDIS_GET_PACKET_STATUS(packet);
        NdisMIndicateReceivePacket(miniport, &packet, 1);
        return status == NDIS_STATUS_RESOURCES ? 0 : 1;
    }
    NDIS_PACKET* own = Wrap(binding, packet);
    if (!own) return 0;
    // Read before the indication: once indicated, the packet may come back at any moment.
    NDIS_STATUS status = NDIS_GET_PACKET_STATUS(own);
    NdisMIndicateReceivePacket(miniport, &own, 1);
    if (status == NDIS_STATUS_RESOURCES) {
        FreeWrapper(own);
        return 0;
    }
    return 1;
}

void MiniportReturnPacketHandler(NDIS_HANDLE context, NDIS_PACKET* packet) {
    auto* binding = static_cast<FiltBinding*>(context);
    if (NdisGetPoolFromPacket(packet) == binding->ReceivePool) {
        NDIS_PACKET* received = WrappedOf(packet);
        FreeWrapper(packet);
        NdisReturnPackets(&received, 1);
    } else {
        NdisReturnPackets(&packet, 1);
    }
}

NDIS_STATUS ProtocolReceiveHandler(NDIS_HANDLE protocolBindingContext, NDIS_HANDLE macReceiveContext,
                                   void* headerBuffer, ULONG headerBufferSize, void* lookaheadBuffer,
                                   ULONG lookaheadBufferSize, ULONG packetSize) {
    auto* binding = static_cast<FiltBinding*>(protocolBindingContext);
    NDIS_HANDLE miniport = AwakeMiniport(binding);
    if (!miniport) return NDIS_STATUS_FAILURE;

    if (NDIS_PACKET* packet = NdisGetReceivedPacket(binding->LowerHandle, macReceiveContext)) {
        if (FiltCaptureActive(binding)) FiltCapturePacket(binding, packet);
        if (FiltPacketEtherTypeListed(binding, packet)) {
            FiltDivertPacket(binding, packet);
            return NDIS_STATUS_NOT_ACCEPTED;
        }
        if (!binding->PortOpen) return NDIS_STATUS_NOT_ACCEPTED;
        if (NDIS_PACKET* own = Wrap(binding, packet)) {
            NDIS_SET_PACKET_STATUS(own, NDIS_STATUS_RESOURCES);
            NDIS_SET_PACKET_HEADER_SIZE(own, headerBufferSize);
            NdisMIndicateReceivePacket(miniport, &own, 1);
            FreeWrapper(own);
            return NDIS_STATUS_SUCCESS;
        }
    }

    if (FiltEtherTypeListed(binding, static_cast<const UCHAR*>(headerBuffer), headerBufferSize)) {
        AssembleDiverted(binding, macReceiveContext, headerBuffer, headerBufferSize, lookaheadBuffer,
                         lookaheadBufferSize, packetSize);
        return NDIS_STATUS_NOT_ACCEPTED;
    }
    if (!binding->PortOpen) return NDIS_STATUS_NOT_ACCEPTED;
    binding->ReceiveIndicated[KeGetCurrentProcessorNumber()] = true;
    NdisMEthIndicateReceive(miniport, macReceiveContext, headerBuffer, headerBufferSize, lookaheadBuffer,
                            lookaheadBufferSize, packetSize);
    return NDIS_STATUS_SUCCESS;
}

void ProtocolReceiveCompleteHandler(NDIS_HANDLE protocolBindingContext) {
    auto* binding = static_cast<FiltBinding*>(protocolBindingContext);
    NDIS_HANDLE miniport = AwakeMiniport(binding);
    ULONG processor = KeGetCurrentProcessorNumber();
    bool ethernet = binding->Medium == NdisMedium802_3 || binding->Medium == NdisMediumWirelessWan;
    if (miniport && binding->ReceiveIndicated[processor] && ethernet)
        NdisMEthIndicateReceiveComplete(miniport);
    binding->ReceiveIndicated[processor] = false;
}

void ProtocolTransferDataCompleteHandler(NDIS_HANDLE protocolBindingContext, NDIS_PACKET* packet,
                                         NDIS_STATUS status, ULONG bytesTransferred) {
    auto* binding = static_cast<FiltBinding*>(protocolBindingContext);
    if (FiltReservedOf(packet)->Kind == FILT_KIND_FRAME) {
        FinishFrameTransfer(binding, packet, status, bytesTransferred);
        return;
    }
    NDIS_PACKET* original = FiltReservedOf(packet)->Original;
    // A transfer the upper protocol started is finished for it even if the miniport has left D0
    // meanwhile; otherwise its packet would never come back.
    NdisDprAcquireSpinLock(&binding->Lock);
    NDIS_HANDLE miniport = binding->MiniportHandle;
    NdisDprReleaseSpinLock(&binding->Lock);
    FreeWrapper(packet);
    if (miniport) NdisMTransferDataComplete(miniport, original, status, bytesTransferred);
}

NDIS_STATUS MiniportTransferDataHandler(NDIS_PACKET* packet, ULONG* bytesTransferred, NDIS_HANDLE context,
                                        NDIS_HANDLE miniportReceiveContext, ULONG byteOffset,
                                        ULONG bytesToTransfer) {
    auto* binding = static_cast<FiltBinding*>(context);
    NdisDprAcquireSpinLock(&binding->Lock);
    bool awake = binding->MiniportPower == NdisDeviceStateD0 && binding->LowerPower == NdisDeviceStateD0;
    NdisDprReleaseSpinLock(&binding->Lock);
    if (!awake) return NDIS_STATUS_FAILURE;
    NDIS_STATUS status;
    NDIS_PACKET* own = nullptr;
    NdisAllocatePacket(&status, &own, binding->SendPool);
    if (status != NDIS_STATUS_SUCCESS) return status;
    FiltPacketReserved* reserved = FiltReservedOf(own);
    reserved->Kind = FILT_KIND_WRAPPED;
    reserved->Original = packet;
    NDIS_PACKET_FIRST_NDIS_BUFFER(own) = NDIS_PACKET_FIRST_NDIS_BUFFER(packet);
    NDIS_PACKET_LAST_NDIS_BUFFER(own) = NDIS_PACKET_LAST_NDIS_BUFFER(packet);
    NdisSetPacketFlags(own, NdisGetPacketFlags(packet));
    NdisTransferData(&status, binding->LowerHandle, miniportReceiveContext, byteOffset, bytesToTransfer, own,
                     bytesTransferred);
    if (status != NDIS_STATUS_PENDING) FreeWrapper(own);
    return status;
}
