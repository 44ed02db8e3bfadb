#include "platform/ndis/NdisPacket.h"

#include <atomic>
#include <mutex>
#include <new>

#include "platform/ndis/NdisEnvironment.h"

namespace {

struct PacketPool {
    ULONG limit = 0;
    ULONG reservedLength = 0;
    bool simulator = false;
    std::mutex mutex;
    ULONG inUse = 0;
};

struct BufferPool {
    ULONG limit = 0;  // NDIS does not hold a buffer pool to its size; kept for the record
    std::atomic<ULONG> inUse{0};
};

std::atomic<size_t> g_outstandingPackets{0};

ULONG Aligned(ULONG length) {
    return (length + 7) & ~7u;
}

}  // namespace

void NdisAllocatePacketPoolEx(NDIS_STATUS* status, NDIS_HANDLE* poolHandle, ULONG number, ULONG overflow,
                              ULONG protocolReservedLength) {
    auto* pool = new (std::nothrow) PacketPool;
    if (!pool) {
        *status = NDIS_STATUS_RESOURCES;
        *poolHandle = nullptr;
        return;
    }
    pool->limit = number + overflow;
    pool->reservedLength = protocolReservedLength;
    *poolHandle = pool;
    *status = NDIS_STATUS_SUCCESS;
}

NDIS_HANDLE ndissim::AllocateSimulatorPacketPool(ULONG number, ULONG overflow, ULONG protocolReservedLength) {
    NDIS_STATUS status;
    NDIS_HANDLE pool = nullptr;
    NdisAllocatePacketPoolEx(&status, &pool, number, overflow, protocolReservedLength);
    if (pool) static_cast<PacketPool*>(pool)->simulator = true;
    return pool;
}

void NdisFreePacketPool(NDIS_HANDLE poolHandle) {
    delete static_cast<PacketPool*>(poolHandle);
}

void NdisAllocatePacket(NDIS_STATUS* status, NDIS_PACKET** packet, NDIS_HANDLE poolHandle) {
    *packet = nullptr;
    auto* pool = static_cast<PacketPool*>(poolHandle);
    if (NDIS_STATUS failure = ndissim::injectedStatus("NdisAllocatePacket")) {
        *status = failure;
        return;
    }
    {
        std::lock_guard<std::mutex> guard(pool->mutex);
        if (pool->inUse >= pool->limit) {
            *status = NDIS_STATUS_RESOURCES;
            return;
        }
        ++pool->inUse;
    }
    ULONG reserved = Aligned(pool->reservedLength);
    auto* block = new (std::nothrow) UCHAR[Aligned(sizeof(NDIS_PACKET)) + reserved];
    if (!block) {
        std::lock_guard<std::mutex> guard(pool->mutex);
        --pool->inUse;
        *status = NDIS_STATUS_RESOURCES;
        return;
    }
    auto* p = new (block) NDIS_PACKET;
    p->Pool = pool;
    p->ProtocolReservedLength = pool->reservedLength;
    p->ProtocolReserved = block + Aligned(sizeof(NDIS_PACKET));
    for (ULONG i = 0; i < reserved; ++i) p->ProtocolReserved[i] = 0;
    p->StackOffered = ndissim::NdisEnvironment::instance().offersPacketStacks();
    ++g_outstandingPackets;
    *packet = p;
    *status = NDIS_STATUS_SUCCESS;
}

void NdisFreePacket(NDIS_PACKET* packet) {
    auto* pool = static_cast<PacketPool*>(packet->Pool);
    {
        std::lock_guard<std::mutex> guard(pool->mutex);
        --pool->inUse;
    }
    packet->~NDIS_PACKET();
    delete[] reinterpret_cast<UCHAR*>(packet);
    --g_outstandingPackets;
}

NDIS_HANDLE NdisGetPoolFromPacket(const NDIS_PACKET* packet) {
    return packet->Pool;
}

ULONG NdisPacketPoolUsage(NDIS_HANDLE poolHandle) {
    auto* pool = static_cast<PacketPool*>(poolHandle);
    std::lock_guard<std::mutex> guard(pool->mutex);
    return pool->inUse;
}

size_t NdisOutstandingPackets() {
    return g_outstandingPackets;
}

void NdisAllocateBufferPool(NDIS_STATUS* status, NDIS_HANDLE* poolHandle, ULONG number) {
    auto* pool = new (std::nothrow) BufferPool;
    *poolHandle = pool;
    if (pool) pool->limit = number;
    *status = pool ? NDIS_STATUS_SUCCESS : NDIS_STATUS_RESOURCES;
}

void NdisFreeBufferPool(NDIS_HANDLE poolHandle) {
    delete static_cast<BufferPool*>(poolHandle);
}

void NdisAllocateBuffer(NDIS_STATUS* status, NDIS_BUFFER** buffer, NDIS_HANDLE poolHandle,
                        void* virtualAddress, ULONG length) {
    *buffer = nullptr;
    // Descriptors without a pool are the simulated adapters' and protocols' own.
    if (NDIS_STATUS failure =
            !poolHandle ? NDIS_STATUS_SUCCESS : ndissim::injectedStatus("NdisAllocateBuffer")) {
        *status = failure;
        return;
    }
    auto* b = new (std::nothrow) NDIS_BUFFER;
    if (!b) {
        *status = NDIS_STATUS_RESOURCES;
        return;
    }
    b->VirtualAddress = virtualAddress;
    b->Length = length;
    b->Pool = poolHandle;
    if (poolHandle) ++static_cast<BufferPool*>(poolHandle)->inUse;
    *buffer = b;
    *status = NDIS_STATUS_SUCCESS;
}

void NdisFreeBuffer(NDIS_BUFFER* buffer) {
    if (buffer->Pool) --static_cast<BufferPool*>(buffer->Pool)->inUse;
    delete buffer;
}

void NdisChainBufferAtFront(NDIS_PACKET* packet, NDIS_BUFFER* buffer) {
    buffer->Next = packet->Head;
    packet->Head = buffer;
    if (!packet->Tail) packet->Tail = buffer;
}

void NdisChainBufferAtBack(NDIS_PACKET* packet, NDIS_BUFFER* buffer) {
    buffer->Next = nullptr;
    if (packet->Tail) {
        packet->Tail->Next = buffer;
    } else {
        packet->Head = buffer;
    }
    packet->Tail = buffer;
}

void NdisUnchainBufferAtFront(NDIS_PACKET* packet, NDIS_BUFFER** buffer) {
    *buffer = packet->Head;
    if (!packet->Head) return;
    packet->Head = packet->Head->Next;
    if (!packet->Head) packet->Tail = nullptr;
    (*buffer)->Next = nullptr;
}

void NdisQueryPacket(const NDIS_PACKET* packet, ULONG* physicalBufferCount, ULONG* bufferCount,
                     NDIS_BUFFER** firstBuffer, ULONG* totalPacketLength) {
    ULONG count = 0, total = 0;
    for (NDIS_BUFFER* b = packet->Head; b; b = b->Next) {
        ++count;
        total += b->Length;
    }
    if (physicalBufferCount) *physicalBufferCount = count;
    if (bufferCount) *bufferCount = count;
    if (firstBuffer) *firstBuffer = packet->Head;
    if (totalPacketLength) *totalPacketLength = total;
}

void NdisQueryBufferSafe(NDIS_BUFFER* buffer, void** virtualAddress, ULONG* length, ULONG) {
    if (buffer->OnMap) buffer->OnMap(buffer->OnMapContext);
    *virtualAddress = buffer->Unmappable ? nullptr : buffer->VirtualAddress;
    if (length) *length = buffer->Length;
}

void NdisGetNextBuffer(NDIS_BUFFER* buffer, NDIS_BUFFER** next) {
    *next = buffer->Next;
}

void NdisIMCopySendPerPacketInfo(NDIS_PACKET* destination, NDIS_PACKET* source) {
    for (ULONG i = 0; i < MaxPerPacketInfo; ++i) destination->PerPacketInfo[i] = source->PerPacketInfo[i];
    // The wrapper answers for the packet it carries when the adapter below looks for the original.
    if (!NDIS_GET_ORIGINAL_PACKET(source)) NDIS_SET_ORIGINAL_PACKET(destination, source);
}

void NdisIMCopySendCompletePerPacketInfo(NDIS_PACKET* destination, NDIS_PACKET* source) {
    destination->PerPacketInfo[TcpIpChecksumPacketInfo] = source->PerPacketInfo[TcpIpChecksumPacketInfo];
    destination->PerPacketInfo[TcpLargeSendPacketInfo] = source->PerPacketInfo[TcpLargeSendPacketInfo];
    destination->PerPacketInfo[IpSecPacketInfo] = source->PerPacketInfo[IpSecPacketInfo];
}

NDIS_PACKET_STACK* NdisIMGetCurrentPacketStack(NDIS_PACKET* packet, BOOLEAN* stacksRemaining) {
    if (stacksRemaining) *stacksRemaining = packet->StackOffered;
    return packet->StackOffered ? &packet->Stack : nullptr;
}
