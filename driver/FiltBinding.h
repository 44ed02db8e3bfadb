// The binding record: one per lower adapter, from bind to unbind, with its virtual miniport.
#pragma once

#include "platform/ndis/Ndis.h"

constexpr ULONG FILT_TAG = NdisTag('N', 'V', 'O', '1');
constexpr ULONG FILT_MAX_MULTICAST = 32;
constexpr ULONG FILT_ADDRESS_LENGTH = 6;

// Packet filter and multicast list as one side (upper protocols or user mode) asked for them.
struct FiltFilterState {
    ULONG PacketFilter = 0;
    UCHAR Multicast[FILT_MAX_MULTICAST][FILT_ADDRESS_LENGTH] = {};
    ULONG MulticastCount = 0;
};

// What an upper protocol's pending set needs at its completion.
struct FiltMergeBlock {
    void* CallerBuffer = nullptr;
    ULONG CallerLength = 0;
    ULONG MergedFilter = 0;
    UCHAR MergedList[FILT_MAX_MULTICAST][FILT_ADDRESS_LENGTH] = {};
    ULONG MergedCount = 0;
};

// Packet capture of a binding: the file and its name. The frame path feeds it.
struct FiltCaptureBlock {
    NDIS_SPIN_LOCK Lock;
    bool Active = false;
    void* File = nullptr;
    NDIS_STRING Name;  // "\??\" + path, kept after a stop so that it can be queried until then
    ULONG BytesWritten = 0;
    ULONG SizeLimit = 0;
};

struct FiltBinding {
    LIST_ENTRY Link;  // in the binding list while initialised
    NDIS_SPIN_LOCK Lock;
    std::atomic<int32_t> RefCount{1};
    ULONG AllocationLength = 0;

    NDIS_STRING VirtualName;  // "UpperBindings"
    NDIS_STRING ConfigPath;
    NDIS_STRING InstanceName;  // allocated by NDIS
    NDIS_STRING DeviceName;

    NDIS_HANDLE LowerHandle = nullptr;
    NDIS_STATUS OpenCloseStatus = NDIS_STATUS_SUCCESS;
    NDIS_EVENT OpenCloseEvent;
    NDIS_MEDIUM Medium = NdisMedium802_3;

    NDIS_HANDLE MiniportHandle = nullptr;
    bool InitPending = false;
    NDIS_EVENT InitEvent;
    bool Halted = false;
    bool Unbinding = false;

    NDIS_DEVICE_POWER_STATE MiniportPower = NdisDeviceStateD3;
    NDIS_DEVICE_POWER_STATE LowerPower = NdisDeviceStateD0;
    bool StandingBy = false;

    NDIS_STATUS LastIndicatedStatus = NDIS_STATUS_MEDIA_CONNECT;
    NDIS_STATUS LatestUnindicatedStatus = NDIS_STATUS_MEDIA_CONNECT;
    bool Wireless = false;

    ULONG OutstandingSends = 0;
    NDIS_REQUEST SharedRequest;
    bool RequestOutstanding = false;
    bool RequestQueued = false;
    ULONG* CallerBytesWritten = nullptr;
    ULONG* CallerBytesNeeded = nullptr;
    FiltMergeBlock UpperMerge;

    FiltFilterState Upper;
    FiltFilterState User;

    bool Initialised = false;
    ULONG AdapterId = 0;
    ULONG PrivateOid = 0;
    ULONG PrivateStatus = 0;
    UCHAR* GuidList = nullptr;
    ULONG GuidListLength = 0;
    bool LowerServesGuid = false;

    ULONG OwnerPid = 0;
    ULONG MediaConnected = 0;
    ULONG PortOpen = 1;
    USHORT EtherTypes[16] = {};
    ULONG EtherTypeCount = 0;
    ULONG StatusFilter[16] = {};
    ULONG StatusFilterCount = 0;

    FiltCaptureBlock Capture;
};

// Allocates the record with copies of the three strings in the same block; null without memory.
FiltBinding* FiltAllocateBinding(const NDIS_STRING* virtualName, const NDIS_STRING* configPath,
                                 const NDIS_STRING* deviceName);
void FiltReferenceBinding(FiltBinding* binding);
// The last release frees the record and everything it owns.
void FiltReleaseBinding(FiltBinding* binding);
// Under the binding-list lock: the binding with that adapter id, referenced, or null.
FiltBinding* FiltLookupBinding(ULONG adapterId);

// True when the binding can carry requests to the lower adapter; call with its lock held.
bool FiltBindingUsable(const FiltBinding* binding);
