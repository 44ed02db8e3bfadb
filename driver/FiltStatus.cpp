// Status indications from the lower adapter: media state kept while asleep, passed up while awake
// and the port is open, and offered to the status filter.
#include "driver/Filt.h"
#include "driver/FiltInterface.h"

void ProtocolStatusHandler(NDIS_HANDLE protocolBindingContext, NDIS_STATUS status, void* buffer,
                           ULONG length) {
    auto* binding = static_cast<FiltBinding*>(protocolBindingContext);
    bool media = status == NDIS_STATUS_MEDIA_CONNECT || status == NDIS_STATUS_MEDIA_DISCONNECT;
    NdisAcquireSpinLock(&binding->Lock);
    NDIS_HANDLE miniport = binding->MiniportHandle;
    if (!miniport || binding->MiniportPower != NdisDeviceStateD0 ||
        binding->LowerPower != NdisDeviceStateD0) {
        if (media) binding->LatestUnindicatedStatus = status;
        NdisReleaseSpinLock(&binding->Lock);
        return;
    }
    if (media) {
        binding->LastIndicatedStatus = status;
        binding->MediaConnected = status == NDIS_STATUS_MEDIA_CONNECT;
    }
    bool portOpen = binding->PortOpen != 0;
    NdisReleaseSpinLock(&binding->Lock);
    if (media) {
        ULONG connected = status == NDIS_STATUS_MEDIA_CONNECT ? 1 : 0;
        FiltSendPrivateIndication(binding, FiltConstants::GROUP_PORT, 0, FiltConstants::FILT_CMD_OK,
                                  &connected, 4);
        if (!portOpen) return;
    }
    NdisMIndicateStatus(miniport, status, buffer, length);
    FiltOfferToStatusFilter(binding, status, buffer, length);
}

void ProtocolStatusCompleteHandler(NDIS_HANDLE protocolBindingContext) {
    auto* binding = static_cast<FiltBinding*>(protocolBindingContext);
    NdisAcquireSpinLock(&binding->Lock);
    NDIS_HANDLE miniport = binding->MiniportHandle;
    bool awake = binding->MiniportPower == NdisDeviceStateD0 && binding->LowerPower == NdisDeviceStateD0;
    NdisReleaseSpinLock(&binding->Lock);
    if (miniport && awake) NdisMIndicateStatusComplete(miniport);
}
