// The binding record: one per lower adapter, from bind to unbind, with its virtual miniport.
#pragma once

#include <atomic>

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

constexpr ULONG FILT_CAPTURE_SLOTS = 64;
constexpr ULONG FILT_CAPTURE_SLOT_SIZE = 2048;

// Packet capture of a binding: the file, its name and the ring that the frame path fills and the
// writer thread empties.
struct FiltCaptureBlock {
    NDIS_SPIN_LOCK Lock;
    bool Initialised = false;
    bool Active = false;
    bool Starting = false;  // one start at a time
    void* File = nullptr;
    NDIS_STRING Name;  // "\??\" + path, kept after a stop so that it can be queried until then
    ULONG BytesWritten = 0;
    ULONG SizeLimit = 0;

    void* WriterThread = nullptr;  // the referenced thread object
    bool Running = false;
    NDIS_EVENT WriterEvent;
    // Clear while the writer has the file handle in use; a stop waits for it before closing.
    bool Writing = false;
    NDIS_EVENT WriterIdle;

    UCHAR* Ring = nullptr;
    ULONG WriteIndex = 0;
    ULONG ReadIndex = 0;
    ULONG Count = 0;
    // A slot is handed to the writer only once its producer has finished filling it.
    bool Ready[FILT_CAPTURE_SLOTS] = {};
    ULONG Filling = 0;     // slots taken by producers and not yet finished
    ULONG Generation = 0;  // advanced at every start, so a late producer cannot fill a new capture
};

// What the driver keeps in the protocol-reserved area of its send-pool and receive-pool packets.
constexpr ULONG FILT_KIND_FRAME = 1;    // a raw frame or a diverted-frame transfer
constexpr ULONG FILT_KIND_WRAPPED = 2;  // wraps an upper protocol's packet
struct FiltPacketReserved {
    ULONG Kind;
    ULONG Tag;              // a raw frame's tag
    NDIS_PACKET* Original;  // the wrapped upper packet
    NDIS_BUFFER* Buffer;    // the driver's descriptor over Frame
    UCHAR* Frame;           // the driver's copy of the frame
    ULONG FrameLength;
    ULONG Prefix;  // of a diverted-frame transfer: header and lookahead bytes already in Frame
};

inline FiltPacketReserved* FiltReservedOf(NDIS_PACKET* packet) {
    return reinterpret_cast<FiltPacketReserved*>(packet->ProtocolReserved);
}

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
    NDIS_HANDLE SendPool = nullptr;
    NDIS_HANDLE ReceivePool = nullptr;
    NDIS_HANDLE BufferPool = nullptr;
    bool ReceiveIndicated[MAXIMUM_PROCESSORS] = {};
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
    // Read on every frame without the lock, written under it.
    std::atomic<ULONG> PortOpen{1};
    // Both under the lock.
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
