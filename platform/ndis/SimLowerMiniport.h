// The simulated lower adapter: a miniport below the filter driver whose answers, failures and
// timing a test scripts.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ndis/NdisPacket.h"
#include "platform/ndis/NdisTypes.h"

namespace ndissim {

// A frame that reached the adapter from the protocol above it.
struct SimSentFrame {
    std::vector<uint8_t> bytes;
    ULONG flags = 0;
};

// How a received frame is laid out in the packet the adapter indicates.
struct SimReceiveOptions {
    ULONG firstBufferLength = 0;  // 0: one buffer; else the frame splits after this many bytes
    bool resources = false;       // indicated with NDIS_STATUS_RESOURCES: the packet comes back at once
    bool unmappable = false;      // the last buffer cannot be mapped
    void (*onMapLast)(void* context) = nullptr;  // runs whenever the last buffer is mapped
    void* onMapContext = nullptr;
};

// What a lookahead indication hands the protocol as its receive context.
struct SimReceiveContext {
    std::vector<uint8_t> frame;
    ULONG headerSize = 14;
    NDIS_PACKET* packet = nullptr;
};

struct SimRequestRecord {
    NDIS_REQUEST_TYPE type;
    NDIS_OID oid;
    std::vector<uint8_t> data;  // what a set carried
};

// What the adapter keeps for a test to inspect: the last RECORD_LIMIT frames, requests and cancels,
// so that a host that runs for long does not grow with its traffic; the counts are of everything.
class SimLowerMiniport {
public:
    static constexpr size_t RECORD_LIMIT = 256;

    SimLowerMiniport(std::u16string deviceName, std::u16string instanceName, NDIS_MEDIUM medium);
    ~SimLowerMiniport();

    const std::u16string& deviceName() const { return deviceName_; }
    const std::u16string& instanceName() const { return instanceName_; }
    NDIS_MEDIUM medium() const { return medium_; }

    // A query of the OID answers these bytes; a set of it replaces them.
    void setAnswer(NDIS_OID oid, std::vector<uint8_t> bytes);
    void setAnswerU32(NDIS_OID oid, uint32_t value);
    // Every request for the OID fails with the status.
    void failOid(NDIS_OID oid, NDIS_STATUS status);
    // While set, requests pend until completePendingRequests().
    void setPendRequests(bool pend);
    void setPendingIoCount(ULONG count);
    void setOpenStatus(NDIS_STATUS status);

    // The last requests (at most RECORD_LIMIT); the count is of every request for the OID.
    std::vector<SimRequestRecord> requests() const;
    size_t requestCount(NDIS_OID oid) const;
    std::vector<uint8_t> answer(NDIS_OID oid) const;
    size_t pendingRequestCount() const;

    // Finishes the pending requests and reports them to the protocol above; returns how many.
    size_t completePendingRequests();

    // The last cancel ids that reached the adapter (at most RECORD_LIMIT), in order.
    std::vector<void*> cancelledSends() const;

    // ---- frames ----
    // Sends answer this status; NDIS_STATUS_PENDING keeps them until completePendingSends().
    void setSendStatus(NDIS_STATUS status);
    // The last frames sent (at most RECORD_LIMIT), and how many were sent in all.
    std::vector<SimSentFrame> sentFrames() const;
    size_t sentFrameCount() const;
    // Waits until `count` frames were sent in all.
    bool waitSentFrames(size_t count, std::chrono::milliseconds deadline) const;
    size_t completePendingSends(NDIS_STATUS status);
    // Indicates a received packet to the protocol above; returns what its handler answered.
    int receivePacket(const std::vector<uint8_t>& frame, SimReceiveOptions options = {});
    // Indicates the frame by lookahead (header of 14 bytes, `lookahead` bytes after it), with or
    // without a packet behind it, then receive-complete; returns the handler's status.
    NDIS_STATUS receiveLookahead(const std::vector<uint8_t>& frame, ULONG lookahead, bool withPacket = false);
    // While set, data transfers pend until completePendingTransfers().
    void setPendTransfers(bool pend);
    size_t completePendingTransfers();
    // Received packets the protocol kept and has not returned.
    size_t heldPackets() const;

    // Called by the stand-in's NDIS.
    NDIS_STATUS send(NDIS_HANDLE protocolBindingContext, NDIS_PACKET* packet);
    void packetReturned(NDIS_PACKET* packet);
    NDIS_STATUS transfer(NDIS_HANDLE protocolBindingContext, SimReceiveContext* context, ULONG offset,
                         ULONG length, NDIS_PACKET* packet, ULONG* transferred);
    void cancelSends(void* cancelId);
    NDIS_STATUS handleRequest(NDIS_HANDLE protocolBindingContext, NDIS_REQUEST* request);
    NDIS_STATUS openStatus() const;
    ULONG pendingIoCount() const;

private:
    NDIS_STATUS serve(NDIS_REQUEST* request);
    NDIS_PACKET* buildPacket(const std::vector<uint8_t>& frame, const SimReceiveOptions& options);
    void freePacket(NDIS_PACKET* packet);

    struct PendingSend {
        NDIS_HANDLE context;
        NDIS_PACKET* packet;
    };
    struct PendingTransfer {
        NDIS_HANDLE context;
        NDIS_PACKET* packet;
        std::vector<uint8_t> data;
    };

    struct Pending {
        NDIS_HANDLE context;
        NDIS_REQUEST* request;
    };
    std::u16string deviceName_;
    std::u16string instanceName_;
    NDIS_MEDIUM medium_;
    mutable std::mutex mutex_;
    std::map<NDIS_OID, std::vector<uint8_t>> answers_;
    std::map<NDIS_OID, NDIS_STATUS> failures_;
    template <class T>
    static void keep(std::deque<T>& records, T record) {
        records.push_back(std::move(record));
        if (records.size() > RECORD_LIMIT) records.pop_front();
    }

    std::deque<SimRequestRecord> requests_;
    std::map<NDIS_OID, size_t> requestCounts_;
    std::vector<Pending> pending_;
    std::deque<void*> cancelled_;
    bool pend_ = false;
    ULONG pendingIo_ = 0;
    NDIS_STATUS openStatus_ = NDIS_STATUS_SUCCESS;

    mutable std::condition_variable framesCv_;
    std::deque<SimSentFrame> sent_;
    size_t sentCount_ = 0;
    std::vector<PendingSend> pendingSends_;
    NDIS_STATUS sendStatus_ = NDIS_STATUS_SUCCESS;
    bool pendTransfers_ = false;
    std::vector<PendingTransfer> pendingTransfers_;
    NDIS_HANDLE receivePool_ = nullptr;
    size_t held_ = 0;
};

}  // namespace ndissim
