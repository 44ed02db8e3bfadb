// The simulated upper protocol's frames: sends through the virtual miniport and what it indicates.
#include <cstring>

#include "platform/ndis/Ndis.h"
#include "platform/ndis/NdisEnvironment.h"
#include "platform/ndis/SimUpperProtocol.h"

namespace ndissim {

namespace {

// What this protocol keeps in its own packets' reserved area.
struct Reserved {
    uint8_t* data;
    size_t index;  // of the received frame a transfer completes
};

Reserved& ReservedOf(NDIS_PACKET* packet) {
    return *reinterpret_cast<Reserved*>(packet->ProtocolReserved);
}

std::vector<uint8_t> FrameOf(NDIS_PACKET* packet) {
    std::vector<uint8_t> bytes;
    for (NDIS_BUFFER* b = packet->Head; b; b = b->Next) {
        void* data = nullptr;
        ULONG length = 0;
        NdisQueryBufferSafe(b, &data, &length, NormalPagePriority);
        if (data)
            bytes.insert(bytes.end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + length);
    }
    return bytes;
}

// A packet of this protocol over a copy of `length` bytes (zeroed when `bytes` is null).
NDIS_PACKET* OwnPacket(NDIS_HANDLE pool, const uint8_t* bytes, size_t length) {
    NDIS_STATUS status;
    NDIS_PACKET* packet = nullptr;
    NdisAllocatePacket(&status, &packet, pool);
    if (status != NDIS_STATUS_SUCCESS) return nullptr;
    auto* copy = new uint8_t[length ? length : 1]();
    if (bytes && length) std::memcpy(copy, bytes, length);
    NDIS_BUFFER* buffer = nullptr;
    NdisAllocateBuffer(&status, &buffer, nullptr, copy, ULONG(length));
    if (status != NDIS_STATUS_SUCCESS) {
        delete[] copy;
        NdisFreePacket(packet);
        return nullptr;
    }
    NdisChainBufferAtBack(packet, buffer);
    ReservedOf(packet).data = copy;
    return packet;
}

void FreeOwnPacket(NDIS_PACKET* packet) {
    NDIS_BUFFER* buffer = nullptr;
    NdisUnchainBufferAtFront(packet, &buffer);
    if (buffer) NdisFreeBuffer(buffer);
    delete[] ReservedOf(packet).data;
    NdisFreePacket(packet);
}

}  // namespace

SimUpperProtocol::~SimUpperProtocol() {
    if (pool_) NdisFreePacketPool(pool_);
}

void SimUpperProtocol::send(const std::vector<uint8_t>& frame) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (!pool_) pool_ = AllocateSimulatorPacketPool(256, 65280, sizeof(Reserved));
    }
    NDIS_PACKET* packet = OwnPacket(pool_, frame.data(), frame.size());
    if (!packet) {
        std::lock_guard<std::mutex> guard(mutex_);
        sendResults_.push_back(NDIS_STATUS_RESOURCES);
        cv_.notify_all();
        return;
    }
    NdisEnvironment::instance().miniportCharacteristics().SendPacketsHandler(context_, &packet, 1);
}

void SimUpperProtocol::sendComplete(NDIS_PACKET* packet, NDIS_STATUS status) {
    FreeOwnPacket(packet);
    std::lock_guard<std::mutex> guard(mutex_);
    sendResults_.push_back(status);
    cv_.notify_all();
}

std::vector<NDIS_STATUS> SimUpperProtocol::sendResults() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return sendResults_;
}

bool SimUpperProtocol::waitSendResults(size_t count, std::chrono::milliseconds deadline) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, deadline, [&] { return sendResults_.size() >= count; });
}

std::vector<SimReceivedFrame> SimUpperProtocol::received() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return received_;
}

size_t SimUpperProtocol::receiveCompleteCount() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return receiveCompletes_;
}

void SimUpperProtocol::holdReceivedPackets(bool hold) {
    std::lock_guard<std::mutex> guard(mutex_);
    hold_ = hold;
}

size_t SimUpperProtocol::returnReceivedPackets(bool all) {
    std::vector<NDIS_PACKET*> packets;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (hold_ && !all) return 0;
        packets.swap(taken_);
    }
    auto handler = NdisEnvironment::instance().miniportCharacteristics().ReturnPacketHandler;
    for (NDIS_PACKET* packet : packets) handler(context_, packet);
    return packets.size();
}

void SimUpperProtocol::receivePacket(NDIS_PACKET* packet) {
    std::lock_guard<std::mutex> guard(mutex_);
    received_.push_back(SimReceivedFrame{FrameOf(packet), false, NDIS_GET_PACKET_HEADER_SIZE(packet)});
    // A packet indicated with NDIS_STATUS_RESOURCES must be copied during the indication.
    if (NDIS_GET_PACKET_STATUS(packet) != NDIS_STATUS_RESOURCES) taken_.push_back(packet);
    cv_.notify_all();
}

void SimUpperProtocol::receiveLookahead(NDIS_HANDLE receiveContext, const void* header, ULONG headerSize,
                                        const void* lookahead, ULONG lookaheadSize, ULONG packetSize) {
    SimReceivedFrame frame{{}, true, headerSize};
    frame.bytes.assign(static_cast<const uint8_t*>(header), static_cast<const uint8_t*>(header) + headerSize);
    frame.bytes.insert(frame.bytes.end(), static_cast<const uint8_t*>(lookahead),
                       static_cast<const uint8_t*>(lookahead) + lookaheadSize);
    size_t index;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        index = received_.size();
        received_.push_back(std::move(frame));
        cv_.notify_all();
        if (lookaheadSize >= packetSize) return;
        if (!pool_) pool_ = AllocateSimulatorPacketPool(256, 65280, sizeof(Reserved));
    }
    // The rest of the frame is fetched, as a protocol does that wants the whole of it.
    NDIS_PACKET* packet = OwnPacket(pool_, nullptr, packetSize - lookaheadSize);
    if (!packet) return;
    ReservedOf(packet).index = index;
    ULONG transferred = 0;
    NDIS_STATUS status = NdisEnvironment::instance().miniportCharacteristics().TransferDataHandler(
        packet, &transferred, context_, receiveContext, lookaheadSize, packetSize - lookaheadSize);
    if (status != NDIS_STATUS_PENDING) transferComplete(packet, status, transferred);
}

void SimUpperProtocol::transferComplete(NDIS_PACKET* packet, NDIS_STATUS status, ULONG bytesTransferred) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        const Reserved& reserved = ReservedOf(packet);
        if (status == NDIS_STATUS_SUCCESS && reserved.index < received_.size()) {
            auto& bytes = received_[reserved.index].bytes;
            bytes.insert(bytes.end(), reserved.data, reserved.data + bytesTransferred);
        }
        cv_.notify_all();
    }
    FreeOwnPacket(packet);
}

void SimUpperProtocol::receiveComplete() {
    std::lock_guard<std::mutex> guard(mutex_);
    ++receiveCompletes_;
}

}  // namespace ndissim
