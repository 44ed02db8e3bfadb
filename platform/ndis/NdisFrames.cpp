// The frame calls of the stand-in's NDIS: down to the simulated adapter, up to the simulated
// protocol above a virtual miniport.
#include "platform/ndis/Ndis.h"
#include "platform/ndis/NdisEnvironment.h"

using ndissim::NdisEnvironment;

namespace {

NdisEnvironment::Open* OpenOf(NDIS_HANDLE handle) {
    auto* open = static_cast<NdisEnvironment::Open*>(handle);
    return open && open->open ? open : nullptr;
}

// The protocol above the virtual miniport; null when there is no miniport (a halted one).
ndissim::SimUpperProtocol* UpperOf(NDIS_HANDLE miniportAdapterHandle) {
    if (!miniportAdapterHandle) return nullptr;
    return static_cast<NdisEnvironment::Instance*>(miniportAdapterHandle)->upper.get();
}

}  // namespace

void NdisSend(NDIS_STATUS* status, NDIS_HANDLE ndisBindingHandle, NDIS_PACKET* packet) {
    auto* open = OpenOf(ndisBindingHandle);
    *status = open ? open->lower->send(open->context, packet) : NDIS_STATUS_FAILURE;
}

void NdisReturnPackets(NDIS_PACKET** packets, ULONG count) {
    for (ULONG i = 0; i < count; ++i)
        static_cast<ndissim::SimLowerMiniport*>(packets[i]->Owner)->packetReturned(packets[i]);
}

NDIS_PACKET* NdisGetReceivedPacket(NDIS_HANDLE, NDIS_HANDLE macReceiveContext) {
    return static_cast<ndissim::SimReceiveContext*>(macReceiveContext)->packet;
}

void NdisTransferData(NDIS_STATUS* status, NDIS_HANDLE ndisBindingHandle, NDIS_HANDLE macReceiveContext,
                      ULONG byteOffset, ULONG bytesToTransfer, NDIS_PACKET* packet, ULONG* bytesTransferred) {
    auto* open = OpenOf(ndisBindingHandle);
    *bytesTransferred = 0;
    *status = open ? open->lower->transfer(open->context,
                                           static_cast<ndissim::SimReceiveContext*>(macReceiveContext),
                                           byteOffset, bytesToTransfer, packet, bytesTransferred)
                   : NDIS_STATUS_FAILURE;
}

void NdisMSendComplete(NDIS_HANDLE miniportAdapterHandle, NDIS_PACKET* packet, NDIS_STATUS status) {
    if (auto* upper = UpperOf(miniportAdapterHandle)) upper->sendComplete(packet, status);
}

void NdisMIndicateReceivePacket(NDIS_HANDLE miniportAdapterHandle, NDIS_PACKET** packets, ULONG count) {
    auto* upper = UpperOf(miniportAdapterHandle);
    for (ULONG i = 0; i < count && upper; ++i) upper->receivePacket(packets[i]);
}

void NdisMEthIndicateReceive(NDIS_HANDLE miniportAdapterHandle, NDIS_HANDLE miniportReceiveContext,
                             void* headerBuffer, ULONG headerBufferSize, void* lookaheadBuffer,
                             ULONG lookaheadBufferSize, ULONG packetSize) {
    if (auto* upper = UpperOf(miniportAdapterHandle))
        upper->receiveLookahead(miniportReceiveContext, headerBuffer, headerBufferSize, lookaheadBuffer,
                                lookaheadBufferSize, packetSize);
}

void NdisMEthIndicateReceiveComplete(NDIS_HANDLE miniportAdapterHandle) {
    if (auto* upper = UpperOf(miniportAdapterHandle)) upper->receiveComplete();
}

void NdisMTransferDataComplete(NDIS_HANDLE miniportAdapterHandle, NDIS_PACKET* packet, NDIS_STATUS status,
                               ULONG bytesTransferred) {
    if (auto* upper = UpperOf(miniportAdapterHandle))
        upper->transferComplete(packet, status, bytesTransferred);
}
