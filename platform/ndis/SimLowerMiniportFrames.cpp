// The simulated adapter's frames: what the protocol above sends, and receives it indicates.
#include <cstring>

#include "platform/ndis/Ndis.h"
#include "platform/ndis/NdisEnvironment.h"
#include "platform/ndis/SimLowerMiniport.h"

namespace ndissim {

namespace {

std::vector<uint8_t> FrameOf(NDIS_PACKET* packet) {
    std::vector<uint8_t> bytes;
    for (NDIS_BUFFER* b = packet->Head; b; b = b->Next) {
        auto* data = static_cast<const uint8_t*>(b->VirtualAddress);
        if (data) bytes.insert(bytes.end(), data, data + b->Length);
    }
    return bytes;
}

// Copies `data` into the packet's buffers in chain order; returns the bytes copied.
ULONG CopyIntoPacket(NDIS_PACKET* packet, const uint8_t* data, ULONG length) {
    ULONG copied = 0;
    for (NDIS_BUFFER* b = packet->Head; b && copied < length; b = b->Next) {
        ULONG n = std::min(b->Length, length - copied);
        std::memcpy(b->VirtualAddress, data + copied, n);
        copied += n;
    }
    return copied;
}

}  // namespace

SimLowerMiniport::~SimLowerMiniport() {
    if (receivePool_) NdisFreePacketPool(receivePool_);
}

void SimLowerMiniport::setSendStatus(NDIS_STATUS status) {
    std::lock_guard<std::mutex> guard(mutex_);
    sendStatus_ = status;
}

std::vector<SimSentFrame> SimLowerMiniport::sentFrames() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return std::vector<SimSentFrame>(sent_.begin(), sent_.end());
}

size_t SimLowerMiniport::sentFrameCount() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return sentCount_;
}

bool SimLowerMiniport::waitSentFrames(size_t count, std::chrono::milliseconds deadline) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return framesCv_.wait_for(lock, deadline, [&] { return sentCount_ >= count; });
}

NDIS_STATUS SimLowerMiniport::send(NDIS_HANDLE protocolBindingContext, NDIS_PACKET* packet) {
    std::lock_guard<std::mutex> guard(mutex_);
    keep(sent_, SimSentFrame{FrameOf(packet), NdisGetPacketFlags(packet)});
    ++sentCount_;
    framesCv_.notify_all();
    if (sendStatus_ == NDIS_STATUS_PENDING)
        pendingSends_.push_back(PendingSend{protocolBindingContext, packet});
    return sendStatus_;
}

size_t SimLowerMiniport::completePendingSends(NDIS_STATUS status) {
    std::vector<PendingSend> done;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        done.swap(pendingSends_);
    }
    auto complete = NdisEnvironment::instance().protocolCharacteristics().SendCompleteHandler;
    for (const auto& send : done) complete(send.context, send.packet, status);
    return done.size();
}

NDIS_PACKET* SimLowerMiniport::buildPacket(const std::vector<uint8_t>& frame,
                                           const SimReceiveOptions& options) {
    NDIS_STATUS status;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (!receivePool_) {
            receivePool_ = AllocateSimulatorPacketPool(64, 4096, 16);
            if (!receivePool_) return nullptr;
        }
    }
    NDIS_PACKET* packet = nullptr;
    NdisAllocatePacket(&status, &packet, receivePool_);
    if (status != NDIS_STATUS_SUCCESS) return nullptr;
    auto* copy = new uint8_t[frame.size() ? frame.size() : 1];
    if (!frame.empty()) std::memcpy(copy, frame.data(), frame.size());
    std::memcpy(packet->MiniportReserved, &copy, sizeof(copy));
    ULONG first = options.firstBufferLength && options.firstBufferLength < frame.size()
                      ? options.firstBufferLength
                      : ULONG(frame.size());
    ULONG pieces[2] = {first, ULONG(frame.size()) - first};
    ULONG at = 0;
    for (ULONG length : pieces) {
        if (length == 0 && at > 0) break;
        NDIS_BUFFER* buffer = nullptr;
        NdisAllocateBuffer(&status, &buffer, nullptr, copy + at, length);
        NdisChainBufferAtBack(packet, buffer);
        at += length;
    }
    packet->Tail->Unmappable = options.unmappable;
    packet->Tail->OnMap = options.onMapLast;
    packet->Tail->OnMapContext = options.onMapContext;
    NDIS_SET_PACKET_STATUS(packet, options.resources ? NDIS_STATUS_RESOURCES : NDIS_STATUS_SUCCESS);
    NDIS_SET_PACKET_HEADER_SIZE(packet, 14);
    packet->Owner = this;
    return packet;
}

void SimLowerMiniport::freePacket(NDIS_PACKET* packet) {
    uint8_t* copy = nullptr;
    std::memcpy(&copy, packet->MiniportReserved, sizeof(copy));
    NDIS_BUFFER* buffer = nullptr;
    for (NdisUnchainBufferAtFront(packet, &buffer); buffer; NdisUnchainBufferAtFront(packet, &buffer))
        NdisFreeBuffer(buffer);
    delete[] copy;
    NdisFreePacket(packet);
}

int SimLowerMiniport::receivePacket(const std::vector<uint8_t>& frame, SimReceiveOptions options) {
    NDIS_HANDLE context = nullptr;
    if (!NdisEnvironment::instance().protocolContext(*this, &context)) return 0;
    NDIS_PACKET* packet = buildPacket(frame, options);
    if (!packet) return 0;
    {
        // Counted before the indication: the packet may come back before the handler returns.
        std::lock_guard<std::mutex> guard(mutex_);
        ++held_;
    }
    int kept = NdisEnvironment::instance().protocolCharacteristics().ReceivePacketHandler(context, packet);
    // Packets the upper protocols took come back once the indication is over, as NDIS returns them.
    NdisEnvironment::instance().returnUpperReceives();
    // A packet indicated with NDIS_STATUS_RESOURCES is the adapter's again whatever the answer.
    if (kept == 0 || options.resources) packetReturned(packet);
    return kept;
}

void SimLowerMiniport::packetReturned(NDIS_PACKET* packet) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        --held_;
    }
    freePacket(packet);
}

size_t SimLowerMiniport::heldPackets() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return held_;
}

NDIS_STATUS SimLowerMiniport::receiveLookahead(const std::vector<uint8_t>& frame, ULONG lookahead,
                                               bool withPacket) {
    NDIS_HANDLE context = nullptr;
    auto& environment = NdisEnvironment::instance();
    if (!environment.protocolContext(*this, &context) || frame.size() < 14) return NDIS_STATUS_FAILURE;
    SimReceiveContext receive;
    receive.frame = frame;
    if (withPacket) receive.packet = buildPacket(frame, {});
    const auto& chars = environment.protocolCharacteristics();
    ULONG packetSize = ULONG(frame.size()) - 14;
    if (lookahead > packetSize) lookahead = packetSize;
    NDIS_STATUS status = chars.ReceiveHandler(context, &receive, receive.frame.data(), 14,
                                              receive.frame.data() + 14, lookahead, packetSize);
    chars.ReceiveCompleteHandler(context);
    environment.returnUpperReceives();
    if (receive.packet) freePacket(receive.packet);
    return status;
}

void SimLowerMiniport::setPendTransfers(bool pend) {
    std::lock_guard<std::mutex> guard(mutex_);
    pendTransfers_ = pend;
}

NDIS_STATUS SimLowerMiniport::transfer(NDIS_HANDLE protocolBindingContext, SimReceiveContext* context,
                                       ULONG offset, ULONG length, NDIS_PACKET* packet, ULONG* transferred) {
    *transferred = 0;
    size_t start = context->headerSize + offset;
    if (start > context->frame.size()) return NDIS_STATUS_FAILURE;
    length = ULONG(std::min<size_t>(length, context->frame.size() - start));
    std::vector<uint8_t> data(context->frame.begin() + long(start),
                              context->frame.begin() + long(start + length));
    std::lock_guard<std::mutex> guard(mutex_);
    if (pendTransfers_) {
        pendingTransfers_.push_back(PendingTransfer{protocolBindingContext, packet, std::move(data)});
        return NDIS_STATUS_PENDING;
    }
    *transferred = CopyIntoPacket(packet, data.data(), ULONG(data.size()));
    return NDIS_STATUS_SUCCESS;
}

size_t SimLowerMiniport::completePendingTransfers() {
    std::vector<PendingTransfer> done;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        done.swap(pendingTransfers_);
    }
    auto complete = NdisEnvironment::instance().protocolCharacteristics().TransferDataCompleteHandler;
    for (auto& transfer : done) {
        ULONG copied = CopyIntoPacket(transfer.packet, transfer.data.data(), ULONG(transfer.data.size()));
        complete(transfer.context, transfer.packet, NDIS_STATUS_SUCCESS, copied);
    }
    return done.size();
}

}  // namespace ndissim
