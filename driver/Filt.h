// Entry points and internal operations of the filter driver.
#pragma once

#include "driver/FiltGlobals.h"

// ---- entry and unload ----
NTSTATUS DriverEntry(DRIVER_OBJECT* driverObject, void* registryPath);
void FiltUnload(DRIVER_OBJECT* driverObject);
void FiltProtocolUnload();

// ---- protocol edge ----
void ProtocolBindAdapterHandler(NDIS_STATUS* status, NDIS_HANDLE bindContext, NDIS_STRING* deviceName,
                                void* systemSpecific1, void* systemSpecific2);
void ProtocolUnbindAdapterHandler(NDIS_STATUS* status, NDIS_HANDLE protocolBindingContext,
                                  NDIS_HANDLE unbindContext);
void ProtocolOpenAdapterCompleteHandler(NDIS_HANDLE protocolBindingContext, NDIS_STATUS status,
                                        NDIS_STATUS openErrorStatus);
void ProtocolCloseAdapterCompleteHandler(NDIS_HANDLE protocolBindingContext, NDIS_STATUS status);
void ProtocolResetCompleteHandler(NDIS_HANDLE protocolBindingContext, NDIS_STATUS status);
void ProtocolRequestCompleteHandler(NDIS_HANDLE protocolBindingContext, NDIS_REQUEST* request,
                                    NDIS_STATUS status);
void ProtocolStatusHandler(NDIS_HANDLE protocolBindingContext, NDIS_STATUS status, void* buffer,
                           ULONG length);
void ProtocolStatusCompleteHandler(NDIS_HANDLE protocolBindingContext);
NDIS_STATUS ProtocolPnPEventHandler(NDIS_HANDLE protocolBindingContext, NET_PNP_EVENT* netPnPEvent);

// Closes the lower binding, waiting for its completion.
void FiltCloseLowerBinding(FiltBinding* binding);
// Sleeps until the lower adapter and the driver have no I/O in flight on the binding.
void FiltWaitForPendingIo(FiltBinding* binding);

// ---- virtual miniport ----
NDIS_STATUS MiniportInitializeHandler(NDIS_STATUS* openErrorStatus, ULONG* selectedMediumIndex,
                                      NDIS_MEDIUM* mediumArray, ULONG mediumArraySize,
                                      NDIS_HANDLE miniportAdapterHandle,
                                      NDIS_HANDLE wrapperConfigurationContext);
NDIS_STATUS MiniportQueryInformationHandler(NDIS_HANDLE context, NDIS_OID oid, void* buffer, ULONG length,
                                            ULONG* bytesWritten, ULONG* bytesNeeded);
NDIS_STATUS MiniportSetInformationHandler(NDIS_HANDLE context, NDIS_OID oid, void* buffer, ULONG length,
                                          ULONG* bytesRead, ULONG* bytesNeeded);
void MiniportHaltHandler(NDIS_HANDLE context);
void MiniportCancelSendPacketsHandler(NDIS_HANDLE context, void* cancelId);
void MiniportPnPEventNotifyHandler(NDIS_HANDLE context, ULONG pnpEvent, void* buffer, ULONG length);
void MiniportAdapterShutdownHandler(NDIS_HANDLE context);

// Merges of the two sides' packet filters and multicast lists.
NDIS_STATUS FiltMergeMulticast(const void* callerList, ULONG callerLength, const FiltFilterState& other,
                               FiltMergeBlock* merged);
// Sets the miniport's power state from an upper protocol's OID_PNP_SET_POWER.
NDIS_STATUS FiltSetMiniportPower(FiltBinding* binding, const void* buffer, ULONG length, ULONG* bytesRead,
                                 ULONG* bytesNeeded);

// ---- requests to the lower adapter ----
// The upper protocols' shared request; returns PENDING when it completes later.
NDIS_STATUS FiltSharedRequest(FiltBinding* binding, NDIS_REQUEST_TYPE type, NDIS_OID oid, void* buffer,
                              ULONG length, ULONG* bytesWritten, ULONG* bytesNeeded);
// Finishes a shared request: post-processing, caller's counts, then completion upward if
// `indicate` (a request that had pended).
NDIS_STATUS FiltFinishSharedRequest(FiltBinding* binding, NDIS_STATUS status, bool indicate);
// Sends a request the lower binding queued while asleep, or fails it.
void FiltFlushQueuedRequest(FiltBinding* binding, bool fail);
// A request waited for; bytesWritten receives the written or read count.
NDIS_STATUS FiltSyncRequest(FiltBinding* binding, NDIS_REQUEST_TYPE type, NDIS_OID oid, void* buffer,
                            ULONG length, ULONG* bytesWritten, ULONG* bytesNeeded);
void FiltSyncRequestComplete(NDIS_REQUEST* request, NDIS_STATUS status);

// Builds the merged GUID list and chooses the binding's private OID and status.
NDIS_STATUS FiltChoosePrivateGuid(FiltBinding* binding);

// ---- media and port ----
// Indicates a media status upward (with status-complete) and offers it to the status filter.
void FiltIndicateMediaUpward(FiltBinding* binding, NDIS_STATUS status);
void FiltSetPortFlag(FiltBinding* binding, ULONG open);
void FiltSetOwner(FiltBinding* binding, ULONG ownerPid);

// ---- frames ----
// Sends a frame from user mode with its tag; returns the private command's result byte.
UCHAR FiltSendRawFrame(FiltBinding* binding, ULONG tag, const UCHAR* frame, ULONG length);

void MiniportSendPacketsHandler(NDIS_HANDLE context, NDIS_PACKET** packets, ULONG count);
void ProtocolSendCompleteHandler(NDIS_HANDLE protocolBindingContext, NDIS_PACKET* packet, NDIS_STATUS status);
int ProtocolReceivePacketHandler(NDIS_HANDLE protocolBindingContext, NDIS_PACKET* packet);
void MiniportReturnPacketHandler(NDIS_HANDLE context, NDIS_PACKET* packet);
NDIS_STATUS ProtocolReceiveHandler(NDIS_HANDLE protocolBindingContext, NDIS_HANDLE macReceiveContext,
                                   void* headerBuffer, ULONG headerBufferSize, void* lookaheadBuffer,
                                   ULONG lookaheadBufferSize, ULONG packetSize);
void ProtocolReceiveCompleteHandler(NDIS_HANDLE protocolBindingContext);
void ProtocolTransferDataCompleteHandler(NDIS_HANDLE protocolBindingContext, NDIS_PACKET* packet,
                                         NDIS_STATUS status, ULONG bytesTransferred);
NDIS_STATUS MiniportTransferDataHandler(NDIS_PACKET* packet, ULONG* bytesTransferred, NDIS_HANDLE context,
                                        NDIS_HANDLE miniportReceiveContext, ULONG byteOffset,
                                        ULONG bytesToTransfer);

// True when the frame's EtherType (bytes 12 and 13 of its first piece) is in the binding's list.
// The list is read under the binding's lock, which the caller must not hold.
bool FiltEtherTypeListed(FiltBinding* binding, const UCHAR* firstBytes, ULONG firstLength);
bool FiltPacketEtherTypeListed(FiltBinding* binding, NDIS_PACKET* packet);
// Copies the packet and sends it to every opener as a diverted frame; drops it silently when it
// cannot be copied.
void FiltDivertPacket(FiltBinding* binding, NDIS_PACKET* packet);
void FiltSendDivertedFrame(FiltBinding* binding, const UCHAR* frame, ULONG length);

// ---- capture ----
NDIS_STATUS FiltCaptureStart(FiltBinding* binding, const NDIS_STRING* path, ULONG sizeLimit);
void FiltCaptureStop(FiltBinding* binding);
void FiltCaptureTeardown(FiltBinding* binding);
// The frame path's side: cheap checks and copies into the ring, at any level up to dispatch.
bool FiltCaptureActive(FiltBinding* binding);
void FiltCapturePacket(FiltBinding* binding, NDIS_PACKET* packet);
void FiltCaptureFrame(FiltBinding* binding, const UCHAR* frame, ULONG length);
void FiltCaptureWriterThread(void* context);
NDIS_STATUS FiltCaptureCurrentName(FiltBinding* binding, WCHAR* output, ULONG outputBytes, ULONG* nameBytes);

// ---- control device and events ----
NDIS_STATUS ControlDeviceRegister();
void ControlDeviceDeregister();
NTSTATUS ControlDispatch(DEVICE_OBJECT* device, IRP* irp);
void FiltInitializeControlState();
void FiltCancelAllPendingReads();
// Frees openers taken off the list, with their queued records.
void FiltDropOpeners(LIST_ENTRY* openers);

// One piece of a record gathered from several places.
struct FiltPiece {
    const void* data;
    ULONG length;
};
constexpr ULONG FILT_MAX_PIECES = 16;

void FiltQueueEvent(ULONG targetPid, UCHAR* header, ULONG headerLength, const void* part2, ULONG length2,
                    const void* part3, ULONG length3);
// The same with the record's body gathered from up to FILT_MAX_PIECES pieces, written straight
// into a pending read or the queued record.
void FiltQueueEventPieces(ULONG targetPid, UCHAR* header, ULONG headerLength, const FiltPiece* pieces,
                          ULONG count);
void FiltSendListEnd(ULONG targetPid);
void FiltSendAdapterArrival(FiltBinding* binding, ULONG targetPid);
void FiltSendAdapterRemoval(FiltBinding* binding);
void FiltSendStatusEvent(FiltBinding* binding, NDIS_STATUS status, const void* buffer, ULONG length);
void FiltSendPrivateIndication(FiltBinding* binding, USHORT group, UCHAR item, UCHAR result, const void* data,
                               USHORT dataLength);
// The same with the data in pieces (at most FILT_MAX_PIECES - 2) of dataLength bytes in all.
void FiltSendPrivateIndicationPieces(FiltBinding* binding, USHORT group, UCHAR item, UCHAR result,
                                     const FiltPiece* data, ULONG count, USHORT dataLength);
// Sends a type-4 record when the status is in the binding's filter.
void FiltOfferToStatusFilter(FiltBinding* binding, NDIS_STATUS status, const void* buffer, ULONG length);

NTSTATUS FiltIoctlOidRequest(IRP* irp, ULONG callerPid);
NTSTATUS FiltIoctlRebind(IRP* irp);
NTSTATUS FiltIoctlSetStatusFilter(IRP* irp, ULONG callerPid);
NTSTATUS FiltIoctlCaptureFile(IRP* irp);
NTSTATUS FiltIoctlVersion(IRP* irp);

NDIS_STATUS FiltForwardOidRequest(FiltBinding* binding, ULONG callerPid, bool set, NDIS_OID oid, UCHAR* data,
                                  ULONG capacity, ULONG* bytesWritten, ULONG* bytesNeeded);
NDIS_STATUS FiltPrivateQuery(FiltBinding* binding, ULONG callerPid, UCHAR* command, ULONG room);
NDIS_STATUS FiltPrivateSet(FiltBinding* binding, ULONG callerPid, UCHAR* command, ULONG room);

NTSTATUS FiltNdisToNtStatus(NDIS_STATUS status);
