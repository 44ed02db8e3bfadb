// Packets, buffer descriptors and their pools as the stand-in's NDIS offers them, with the accessors
// that NDIS 5.1 gives as macros.
#pragma once

#include "platform/ndis/NdisTypes.h"

// A descriptor of one piece of a frame. A descriptor whose pages cannot be mapped answers a null
// address to NdisQueryBufferSafe.
struct NDIS_BUFFER {
    NDIS_BUFFER* Next = nullptr;
    void* VirtualAddress = nullptr;
    ULONG Length = 0;
    bool Unmappable = false;
    void* Pool = nullptr;
    // Runs each time the descriptor is mapped: lets a test hold a reader in the middle of a frame.
    void (*OnMap)(void* context) = nullptr;
    void* OnMapContext = nullptr;
};

enum NDIS_PER_PACKET_INFO : uint32_t {
    TcpIpChecksumPacketInfo = 0,
    IpSecPacketInfo,
    TcpLargeSendPacketInfo,
    ClassificationHandlePacketInfo,
    NdisReserved,
    ScatterGatherListPacketInfo,
    Ieee8021QInfo,
    OriginalPacketInfo,
    PacketCancelId,
    MaxPerPacketInfo,
};

struct NDIS_PACKET_OOB_DATA {
    NDIS_STATUS Status = NDIS_STATUS_SUCCESS;
    ULONG HeaderSize = 0;
    void* MediaSpecificInformation = nullptr;
    ULONG SizeMediaSpecificInfo = 0;
};

// The slot an intermediate driver may use in a packet it passes on unchanged.
struct NDIS_PACKET_STACK {
    void* IMReserved[2] = {};
};

constexpr ULONG NDIS_FLAGS_DONT_LOOPBACK = 0x00000080;
constexpr ULONG NDIS_PACKET_MINIPORT_RESERVED_LENGTH = 16;

struct NDIS_PACKET {
    NDIS_BUFFER* Head = nullptr;
    NDIS_BUFFER* Tail = nullptr;
    ULONG Flags = 0;
    void* Pool = nullptr;
    // Who gets the packet back when an upper edge returns it (the stand-in's lower adapter).
    void* Owner = nullptr;
    NDIS_PACKET_OOB_DATA Oob;
    void* PerPacketInfo[MaxPerPacketInfo] = {};
    alignas(8) UCHAR MiniportReserved[NDIS_PACKET_MINIPORT_RESERVED_LENGTH] = {};
    NDIS_PACKET_STACK Stack;
    bool StackOffered = false;  // whether NDIS has a stack slot left for the next driver
    ULONG ProtocolReservedLength = 0;
    UCHAR* ProtocolReserved = nullptr;  // the pool's reserved length, 8-byte aligned
};

// ---- pools ----------------------------------------------------------------------------------------

// A pool hands out `number` packets and then up to `overflow` more on demand.
void NdisAllocatePacketPoolEx(NDIS_STATUS* status, NDIS_HANDLE* poolHandle, ULONG number, ULONG overflow,
                              ULONG protocolReservedLength);
void NdisFreePacketPool(NDIS_HANDLE poolHandle);
namespace ndissim {
// A pool of the stand-in's own simulated adapters and protocols: failures a test injects into
// packet allocation are meant for the driver and pass it by.
NDIS_HANDLE AllocateSimulatorPacketPool(ULONG number, ULONG overflow, ULONG protocolReservedLength);
}  // namespace ndissim
void NdisAllocatePacket(NDIS_STATUS* status, NDIS_PACKET** packet, NDIS_HANDLE poolHandle);
void NdisFreePacket(NDIS_PACKET* packet);
NDIS_HANDLE NdisGetPoolFromPacket(const NDIS_PACKET* packet);
// Packets not yet returned to the pool.
ULONG NdisPacketPoolUsage(NDIS_HANDLE poolHandle);

void NdisAllocateBufferPool(NDIS_STATUS* status, NDIS_HANDLE* poolHandle, ULONG number);
void NdisFreeBufferPool(NDIS_HANDLE poolHandle);
void NdisAllocateBuffer(NDIS_STATUS* status, NDIS_BUFFER** buffer, NDIS_HANDLE poolHandle,
                        void* virtualAddress, ULONG length);
void NdisFreeBuffer(NDIS_BUFFER* buffer);

// ---- chains and queries ---------------------------------------------------------------------------

void NdisChainBufferAtFront(NDIS_PACKET* packet, NDIS_BUFFER* buffer);
void NdisChainBufferAtBack(NDIS_PACKET* packet, NDIS_BUFFER* buffer);
void NdisUnchainBufferAtFront(NDIS_PACKET* packet, NDIS_BUFFER** buffer);
void NdisQueryPacket(const NDIS_PACKET* packet, ULONG* physicalBufferCount, ULONG* bufferCount,
                     NDIS_BUFFER** firstBuffer, ULONG* totalPacketLength);
// The descriptor's address, or null when its pages cannot be mapped.
void NdisQueryBufferSafe(NDIS_BUFFER* buffer, void** virtualAddress, ULONG* length, ULONG priority);
void NdisGetNextBuffer(NDIS_BUFFER* buffer, NDIS_BUFFER** next);
constexpr ULONG NormalPagePriority = 16;

inline NDIS_BUFFER*& NDIS_PACKET_FIRST_NDIS_BUFFER(NDIS_PACKET* packet) {
    return packet->Head;
}
inline NDIS_BUFFER*& NDIS_PACKET_LAST_NDIS_BUFFER(NDIS_PACKET* packet) {
    return packet->Tail;
}
inline ULONG NdisGetPacketFlags(const NDIS_PACKET* packet) {
    return packet->Flags;
}
inline void NdisSetPacketFlags(NDIS_PACKET* packet, ULONG flags) {
    packet->Flags = flags;
}
inline NDIS_STATUS NDIS_GET_PACKET_STATUS(const NDIS_PACKET* packet) {
    return packet->Oob.Status;
}
inline void NDIS_SET_PACKET_STATUS(NDIS_PACKET* packet, NDIS_STATUS status) {
    packet->Oob.Status = status;
}
inline ULONG NDIS_GET_PACKET_HEADER_SIZE(const NDIS_PACKET* packet) {
    return packet->Oob.HeaderSize;
}
inline void NDIS_SET_PACKET_HEADER_SIZE(NDIS_PACKET* packet, ULONG size) {
    packet->Oob.HeaderSize = size;
}
inline NDIS_PACKET_OOB_DATA* NDIS_OOB_DATA_FROM_PACKET(NDIS_PACKET* packet) {
    return &packet->Oob;
}
inline void*& NDIS_PER_PACKET_INFO_FROM_PACKET(NDIS_PACKET* packet, NDIS_PER_PACKET_INFO kind) {
    return packet->PerPacketInfo[kind];
}
inline NDIS_PACKET* NDIS_GET_ORIGINAL_PACKET(NDIS_PACKET* packet) {
    return static_cast<NDIS_PACKET*>(packet->PerPacketInfo[OriginalPacketInfo]);
}
inline void NDIS_SET_ORIGINAL_PACKET(NDIS_PACKET* packet, NDIS_PACKET* original) {
    packet->PerPacketInfo[OriginalPacketInfo] = original;
}
inline void NDIS_SET_PACKET_MEDIA_SPECIFIC_INFO(NDIS_PACKET* packet, void* info, ULONG size) {
    packet->Oob.MediaSpecificInformation = info;
    packet->Oob.SizeMediaSpecificInfo = size;
}

// Per-packet information an intermediate driver carries between its packet and the one it wraps.
void NdisIMCopySendPerPacketInfo(NDIS_PACKET* destination, NDIS_PACKET* source);
void NdisIMCopySendCompletePerPacketInfo(NDIS_PACKET* destination, NDIS_PACKET* source);
// The packet's stack slot for this driver, or null when NDIS has none to offer.
NDIS_PACKET_STACK* NdisIMGetCurrentPacketStack(NDIS_PACKET* packet, BOOLEAN* stacksRemaining);

// Packets of every pool not yet freed, for tests that prove nothing leaks.
size_t NdisOutstandingPackets();
