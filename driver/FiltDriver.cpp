// Driver entry and unload: the layered miniport, the protocol edge and the control device.
#include "driver/Filt.h"

namespace {

char16_t PROTOCOL_NAME[] = u"Pellodur";

void FiltUnloadThunk(DRIVER_OBJECT* driverObject) {
    FiltUnload(driverObject);
}

NDIS_STATUS RegisterMiniport() {
    NDIS_MINIPORT_CHARACTERISTICS chars;
    chars.MajorNdisVersion = 5;
    chars.MinorNdisVersion = 1;
    chars.InitializeHandler = MiniportInitializeHandler;
    chars.QueryInformationHandler = MiniportQueryInformationHandler;
    chars.SetInformationHandler = MiniportSetInformationHandler;
    chars.HaltHandler = MiniportHaltHandler;
    chars.SendPacketsHandler = MiniportSendPacketsHandler;
    chars.ReturnPacketHandler = MiniportReturnPacketHandler;
    chars.TransferDataHandler = MiniportTransferDataHandler;
    chars.CancelSendPacketsHandler = MiniportCancelSendPacketsHandler;
    chars.PnPEventNotifyHandler = MiniportPnPEventNotifyHandler;
    chars.AdapterShutdownHandler = MiniportAdapterShutdownHandler;
    return NdisIMRegisterLayeredMiniport(g_Filt.Wrapper, &chars, sizeof(chars), &g_Filt.MiniportDriver);
}

NDIS_STATUS RegisterProtocol() {
    NDIS_PROTOCOL_CHARACTERISTICS chars;
    chars.MajorNdisVersion = 5;
    chars.MinorNdisVersion = 1;
    chars.Name.Buffer = PROTOCOL_NAME;
    chars.Name.Length = USHORT(sizeof(PROTOCOL_NAME) - sizeof(char16_t));
    chars.Name.MaximumLength = USHORT(sizeof(PROTOCOL_NAME));
    chars.OpenAdapterCompleteHandler = ProtocolOpenAdapterCompleteHandler;
    chars.CloseAdapterCompleteHandler = ProtocolCloseAdapterCompleteHandler;
    chars.SendCompleteHandler = ProtocolSendCompleteHandler;
    chars.TransferDataCompleteHandler = ProtocolTransferDataCompleteHandler;
    chars.ReceiveHandler = ProtocolReceiveHandler;
    chars.ReceiveCompleteHandler = ProtocolReceiveCompleteHandler;
    chars.ReceivePacketHandler = ProtocolReceivePacketHandler;
    chars.ResetCompleteHandler = ProtocolResetCompleteHandler;
    chars.RequestCompleteHandler = ProtocolRequestCompleteHandler;
    chars.StatusHandler = ProtocolStatusHandler;
    chars.StatusCompleteHandler = ProtocolStatusCompleteHandler;
    chars.BindAdapterHandler = ProtocolBindAdapterHandler;
    chars.UnbindAdapterHandler = ProtocolUnbindAdapterHandler;
    chars.UnloadHandler = FiltProtocolUnload;
    chars.PnPEventHandler = ProtocolPnPEventHandler;
    NDIS_STATUS status = NDIS_STATUS_FAILURE;
    NdisRegisterProtocol(&status, &g_Filt.Protocol, &chars, sizeof(chars));
    if (status != NDIS_STATUS_SUCCESS) g_Filt.Protocol = nullptr;
    return status;
}

}  // namespace

NTSTATUS DriverEntry(DRIVER_OBJECT* driverObject, void* registryPath) {
    NdisAllocateSpinLock(&g_Filt.BindingLock);
    InitializeListHead(&g_Filt.Bindings);
    g_Filt.NextAdapterId = 0;
    g_Filt.NdisVersion = 0;
    FiltInitializeControlState();

    NdisInitializeWrapper(&g_Filt.Wrapper, driverObject, registryPath, nullptr);
    if (!g_Filt.Wrapper) {
        FiltUnload(driverObject);
        return NDIS_STATUS_FAILURE;
    }
    NDIS_STATUS status = RegisterMiniport();
    if (status != NDIS_STATUS_SUCCESS) g_Filt.MiniportDriver = nullptr;
    if (status == NDIS_STATUS_SUCCESS) status = RegisterProtocol();
    if (status == NDIS_STATUS_SUCCESS) status = ControlDeviceRegister();
    if (status != NDIS_STATUS_SUCCESS) {
        FiltUnload(driverObject);
        return status;
    }
    NdisMRegisterUnloadHandler(g_Filt.Wrapper, FiltUnloadThunk);
    NdisIMAssociateMiniport(g_Filt.MiniportDriver, g_Filt.Protocol);
    return STATUS_SUCCESS;
}

void FiltProtocolUnload() {
    ControlDeviceDeregister();
    if (g_Filt.Protocol) {
        NDIS_STATUS status;
        NdisDeregisterProtocol(&status, g_Filt.Protocol);
        g_Filt.Protocol = nullptr;
    }
}

void FiltUnload(DRIVER_OBJECT*) {
    FiltProtocolUnload();
    if (g_Filt.MiniportDriver) {
        NdisIMDeregisterLayeredMiniport(g_Filt.MiniportDriver);
        g_Filt.MiniportDriver = nullptr;
    }
    if (g_Filt.Wrapper) {
        NdisTerminateWrapper(g_Filt.Wrapper, nullptr);
        g_Filt.Wrapper = nullptr;
    }
    // Openers that never closed lose their queues with the driver.
    NdisAcquireSpinLock(&g_Filt.OpenerLock);
    LIST_ENTRY openers;
    InitializeListHead(&openers);
    while (!IsListEmpty(&g_Filt.Openers)) InsertTailList(&openers, RemoveHeadList(&g_Filt.Openers));
    NdisReleaseSpinLock(&g_Filt.OpenerLock);
    FiltDropOpeners(&openers);
    FiltCancelAllPendingReads();
}
