// The NDIS 5.1 calls an intermediate driver makes, as the user-mode stand-in offers them.
#pragma once

#include "platform/ndis/Kernel.h"
#include "platform/ndis/NdisPacket.h"
#include "platform/ndis/NdisTypes.h"

// ---- characteristics ----------------------------------------------------------------------------

struct NDIS_MINIPORT_CHARACTERISTICS {
    UCHAR MajorNdisVersion = 5;
    UCHAR MinorNdisVersion = 1;
    NDIS_STATUS(*InitializeHandler)
    (NDIS_STATUS* openErrorStatus, ULONG* selectedMediumIndex, NDIS_MEDIUM* mediumArray,
     ULONG mediumArraySize, NDIS_HANDLE miniportAdapterHandle,
     NDIS_HANDLE wrapperConfigurationContext) = nullptr;
    NDIS_STATUS(*QueryInformationHandler)
    (NDIS_HANDLE miniportAdapterContext, NDIS_OID oid, void* buffer, ULONG bufferLength, ULONG* bytesWritten,
     ULONG* bytesNeeded) = nullptr;
    NDIS_STATUS(*SetInformationHandler)
    (NDIS_HANDLE miniportAdapterContext, NDIS_OID oid, void* buffer, ULONG bufferLength, ULONG* bytesRead,
     ULONG* bytesNeeded) = nullptr;
    NDIS_STATUS(*TransferDataHandler)
    (NDIS_PACKET* packet, ULONG* bytesTransferred, NDIS_HANDLE miniportAdapterContext,
     NDIS_HANDLE miniportReceiveContext, ULONG byteOffset, ULONG bytesToTransfer) = nullptr;
    void (*HaltHandler)(NDIS_HANDLE miniportAdapterContext) = nullptr;
    void (*ReturnPacketHandler)(NDIS_HANDLE miniportAdapterContext, NDIS_PACKET* packet) = nullptr;
    void (*SendPacketsHandler)(NDIS_HANDLE miniportAdapterContext, NDIS_PACKET** packets,
                               ULONG count) = nullptr;
    void (*CancelSendPacketsHandler)(NDIS_HANDLE miniportAdapterContext, void* cancelId) = nullptr;
    void (*PnPEventNotifyHandler)(NDIS_HANDLE miniportAdapterContext, ULONG pnpEvent, void* buffer,
                                  ULONG length) = nullptr;
    void (*AdapterShutdownHandler)(NDIS_HANDLE miniportAdapterContext) = nullptr;
};

struct NDIS_PROTOCOL_CHARACTERISTICS {
    UCHAR MajorNdisVersion = 5;
    UCHAR MinorNdisVersion = 1;
    NDIS_STRING Name;
    void (*OpenAdapterCompleteHandler)(NDIS_HANDLE protocolBindingContext, NDIS_STATUS status,
                                       NDIS_STATUS openErrorStatus) = nullptr;
    void (*CloseAdapterCompleteHandler)(NDIS_HANDLE protocolBindingContext, NDIS_STATUS status) = nullptr;
    void (*SendCompleteHandler)(NDIS_HANDLE protocolBindingContext, NDIS_PACKET* packet,
                                NDIS_STATUS status) = nullptr;
    void (*TransferDataCompleteHandler)(NDIS_HANDLE protocolBindingContext, NDIS_PACKET* packet,
                                        NDIS_STATUS status, ULONG bytesTransferred) = nullptr;
    void (*ResetCompleteHandler)(NDIS_HANDLE protocolBindingContext, NDIS_STATUS status) = nullptr;
    void (*RequestCompleteHandler)(NDIS_HANDLE protocolBindingContext, NDIS_REQUEST* request,
                                   NDIS_STATUS status) = nullptr;
    NDIS_STATUS(*ReceiveHandler)
    (NDIS_HANDLE protocolBindingContext, NDIS_HANDLE macReceiveContext, void* headerBuffer,
     ULONG headerBufferSize, void* lookAheadBuffer, ULONG lookAheadBufferSize, ULONG packetSize) = nullptr;
    void (*ReceiveCompleteHandler)(NDIS_HANDLE protocolBindingContext) = nullptr;
    void (*StatusHandler)(NDIS_HANDLE protocolBindingContext, NDIS_STATUS generalStatus, void* statusBuffer,
                          ULONG statusBufferSize) = nullptr;
    void (*StatusCompleteHandler)(NDIS_HANDLE protocolBindingContext) = nullptr;
    void (*BindAdapterHandler)(NDIS_STATUS* status, NDIS_HANDLE bindContext, NDIS_STRING* deviceName,
                               void* systemSpecific1, void* systemSpecific2) = nullptr;
    void (*UnbindAdapterHandler)(NDIS_STATUS* status, NDIS_HANDLE protocolBindingContext,
                                 NDIS_HANDLE unbindContext) = nullptr;
    void (*UnloadHandler)() = nullptr;
    int (*ReceivePacketHandler)(NDIS_HANDLE protocolBindingContext, NDIS_PACKET* packet) = nullptr;
    NDIS_STATUS (*PnPEventHandler)(NDIS_HANDLE protocolBindingContext, NET_PNP_EVENT* netPnPEvent) = nullptr;
};

// ---- registration -------------------------------------------------------------------------------

struct DRIVER_OBJECT;

void NdisInitializeWrapper(NDIS_HANDLE* wrapperHandle, DRIVER_OBJECT* driverObject, void* registryPath,
                           void* reserved);
void NdisTerminateWrapper(NDIS_HANDLE wrapperHandle, void* reserved);
NDIS_STATUS NdisIMRegisterLayeredMiniport(NDIS_HANDLE wrapperHandle, NDIS_MINIPORT_CHARACTERISTICS* chars,
                                          ULONG charsLength, NDIS_HANDLE* driverHandle);
void NdisIMDeregisterLayeredMiniport(NDIS_HANDLE driverHandle);
void NdisRegisterProtocol(NDIS_STATUS* status, NDIS_HANDLE* protocolHandle,
                          NDIS_PROTOCOL_CHARACTERISTICS* chars, ULONG charsLength);
void NdisDeregisterProtocol(NDIS_STATUS* status, NDIS_HANDLE protocolHandle);
void NdisIMAssociateMiniport(NDIS_HANDLE driverHandle, NDIS_HANDLE protocolHandle);
void NdisMRegisterUnloadHandler(NDIS_HANDLE wrapperHandle, void (*unloadHandler)(DRIVER_OBJECT*));
NDIS_STATUS NdisMRegisterDevice(NDIS_HANDLE wrapperHandle, NDIS_STRING* deviceName, NDIS_STRING* symbolicName,
                                PDRIVER_DISPATCH majorFunctions[], DEVICE_OBJECT** deviceObject,
                                NDIS_HANDLE* ndisDeviceHandle);
NDIS_STATUS NdisMDeregisterDevice(NDIS_HANDLE ndisDeviceHandle);

// ---- configuration ------------------------------------------------------------------------------

void NdisOpenProtocolConfiguration(NDIS_STATUS* status, NDIS_HANDLE* configurationHandle,
                                   NDIS_STRING* protocolSection);
void NdisReadConfiguration(NDIS_STATUS* status, NDIS_CONFIGURATION_PARAMETER** parameterValue,
                           NDIS_HANDLE configurationHandle, NDIS_STRING* keyword, NDIS_PARAMETER_TYPE type);
void NdisWriteConfiguration(NDIS_STATUS* status, NDIS_HANDLE configurationHandle, NDIS_STRING* keyword,
                            NDIS_CONFIGURATION_PARAMETER* parameterValue);
void NdisCloseConfiguration(NDIS_HANDLE configurationHandle);

// ---- the lower edge -----------------------------------------------------------------------------

void NdisOpenAdapter(NDIS_STATUS* status, NDIS_STATUS* openErrorStatus, NDIS_HANDLE* ndisBindingHandle,
                     ULONG* selectedMediumIndex, NDIS_MEDIUM* mediumArray, ULONG mediumArraySize,
                     NDIS_HANDLE protocolHandle, NDIS_HANDLE protocolBindingContext, NDIS_STRING* adapterName,
                     ULONG openOptions, void* addressingInformation);
void NdisCloseAdapter(NDIS_STATUS* status, NDIS_HANDLE ndisBindingHandle);
// Allocates the name's buffer with the driver's memory calls; the caller frees it.
NDIS_STATUS NdisQueryAdapterInstanceName(NDIS_STRING* adapterInstanceName, NDIS_HANDLE ndisBindingHandle);
void NdisRequest(NDIS_STATUS* status, NDIS_HANDLE ndisBindingHandle, NDIS_REQUEST* request);
NDIS_STATUS NdisQueryPendingIOCount(NDIS_HANDLE ndisBindingHandle, ULONG* ioCount);
void NdisCancelSendPackets(NDIS_HANDLE ndisBindingHandle, void* cancelId);
void NdisReEnumerateProtocolBindings(NDIS_HANDLE protocolHandle);

// ---- the upper edge (the virtual miniport) ------------------------------------------------------

NDIS_STATUS NdisIMInitializeDeviceInstanceEx(NDIS_HANDLE driverHandle, NDIS_STRING* driverInstance,
                                             NDIS_HANDLE deviceContext);
NDIS_STATUS NdisIMCancelInitializeDeviceInstance(NDIS_HANDLE driverHandle, NDIS_STRING* deviceInstance);
NDIS_STATUS NdisIMDeInitializeDeviceInstance(NDIS_HANDLE ndisMiniportHandle);
NDIS_HANDLE NdisIMGetDeviceContext(NDIS_HANDLE miniportAdapterHandle);
void NdisMSetAttributesEx(NDIS_HANDLE miniportAdapterHandle, NDIS_HANDLE miniportAdapterContext,
                          ULONG checkForHangTimeInSeconds, ULONG attributeFlags, ULONG adapterType);
void NdisMQueryInformationComplete(NDIS_HANDLE miniportAdapterHandle, NDIS_STATUS status);
void NdisMSetInformationComplete(NDIS_HANDLE miniportAdapterHandle, NDIS_STATUS status);
void NdisMIndicateStatus(NDIS_HANDLE miniportAdapterHandle, NDIS_STATUS generalStatus, void* statusBuffer,
                         ULONG statusBufferSize);
void NdisMIndicateStatusComplete(NDIS_HANDLE miniportAdapterHandle);
NDIS_STATUS NdisIMNotifyPnPEvent(NDIS_HANDLE miniportHandle, NET_PNP_EVENT* netPnPEvent);

// ---- frames -------------------------------------------------------------------------------------

// Lower edge: sending, returning received packets, lookahead receives and their data transfer.
void NdisSend(NDIS_STATUS* status, NDIS_HANDLE ndisBindingHandle, NDIS_PACKET* packet);
void NdisReturnPackets(NDIS_PACKET** packets, ULONG count);
// The packet behind a lookahead indication, or null when the adapter indicated none.
NDIS_PACKET* NdisGetReceivedPacket(NDIS_HANDLE ndisBindingHandle, NDIS_HANDLE macReceiveContext);
void NdisTransferData(NDIS_STATUS* status, NDIS_HANDLE ndisBindingHandle, NDIS_HANDLE macReceiveContext,
                      ULONG byteOffset, ULONG bytesToTransfer, NDIS_PACKET* packet, ULONG* bytesTransferred);

// Upper edge: completions and receive indications of the virtual miniport.
void NdisMSendComplete(NDIS_HANDLE miniportAdapterHandle, NDIS_PACKET* packet, NDIS_STATUS status);
void NdisMIndicateReceivePacket(NDIS_HANDLE miniportAdapterHandle, NDIS_PACKET** packets, ULONG count);
void NdisMEthIndicateReceive(NDIS_HANDLE miniportAdapterHandle, NDIS_HANDLE miniportReceiveContext,
                             void* headerBuffer, ULONG headerBufferSize, void* lookaheadBuffer,
                             ULONG lookaheadBufferSize, ULONG packetSize);
void NdisMEthIndicateReceiveComplete(NDIS_HANDLE miniportAdapterHandle);
void NdisMTransferDataComplete(NDIS_HANDLE miniportAdapterHandle, NDIS_PACKET* packet, NDIS_STATUS status,
                               ULONG bytesTransferred);
