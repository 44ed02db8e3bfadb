// The simulated upper protocol: stands where TCP/IP would sit above a virtual miniport, issues
// queries and sets to it, and records what the miniport indicates upward.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/ndis/NdisPacket.h"
#include "platform/ndis/NdisTypes.h"

namespace ndissim {

struct SimRequestResult {
    NDIS_STATUS status = NDIS_STATUS_PENDING;
    std::vector<uint8_t> data;  // the buffer after the request
    ULONG bytesWritten = 0;     // or read, for a set
    ULONG bytesNeeded = 0;
};

struct SimIndication {
    NDIS_STATUS status;
    std::vector<uint8_t> buffer;
};

// A frame the miniport indicated upward: from a packet, or header and lookahead (plus what a
// data transfer brought when the lookahead was short).
struct SimReceivedFrame {
    std::vector<uint8_t> bytes;
    bool byLookahead = false;
    ULONG headerSize = 0;
};

class SimUpperProtocol {
public:
    explicit SimUpperProtocol(NDIS_HANDLE miniportContext);
    ~SimUpperProtocol();

    // Issues a request; a pending one is waited for up to the deadline (status stays PENDING if
    // it did not finish in time).
    SimRequestResult query(NDIS_OID oid, ULONG capacity,
                           std::chrono::milliseconds deadline = std::chrono::seconds(5));
    SimRequestResult set(NDIS_OID oid, std::vector<uint8_t> data,
                         std::chrono::milliseconds deadline = std::chrono::seconds(5));
    SimRequestResult setU32(NDIS_OID oid, uint32_t value,
                            std::chrono::milliseconds deadline = std::chrono::seconds(5));
    // Starts a request and returns at once; waitRequest() collects it.
    NDIS_STATUS startQuery(NDIS_OID oid, ULONG capacity);
    SimRequestResult waitRequest(std::chrono::milliseconds deadline);

    // Asks the miniport to cancel the sends carrying this id.
    void cancelSends(void* cancelId);

    std::vector<SimIndication> indications() const;
    size_t statusCompleteCount() const;
    std::vector<NET_PNP_EVENT_CODE> pnpEvents() const;

    // ---- frames ----
    // Sends the frame through the miniport; its completion status lands in sendResults().
    void send(const std::vector<uint8_t>& frame);
    std::vector<NDIS_STATUS> sendResults() const;
    bool waitSendResults(size_t count, std::chrono::milliseconds deadline) const;
    std::vector<SimReceivedFrame> received() const;
    size_t receiveCompleteCount() const;
    // While held, received packets stay with this protocol until returnReceivedPackets(true).
    void holdReceivedPackets(bool hold);
    // Returns the packets taken from indications; `all` also returns held ones.
    size_t returnReceivedPackets(bool all);

    // Called by the stand-in's NDIS.
    void sendComplete(NDIS_PACKET* packet, NDIS_STATUS status);
    void receivePacket(NDIS_PACKET* packet);
    void receiveLookahead(NDIS_HANDLE receiveContext, const void* header, ULONG headerSize,
                          const void* lookahead, ULONG lookaheadSize, ULONG packetSize);
    void receiveComplete();
    void transferComplete(NDIS_PACKET* packet, NDIS_STATUS status, ULONG bytesTransferred);
    void requestComplete(NDIS_STATUS status);
    void indicateStatus(NDIS_STATUS status, const void* buffer, ULONG length);
    void indicateStatusComplete();
    void notifyPnP(NET_PNP_EVENT_CODE event);

private:
    NDIS_STATUS start(bool set, NDIS_OID oid, std::vector<uint8_t> buffer);

    NDIS_HANDLE context_;
    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    std::vector<uint8_t> buffer_;
    ULONG bytesWritten_ = 0;
    ULONG bytesNeeded_ = 0;
    NDIS_STATUS status_ = NDIS_STATUS_SUCCESS;
    bool done_ = true;
    std::vector<SimIndication> indications_;
    size_t statusCompletes_ = 0;
    std::vector<NET_PNP_EVENT_CODE> pnpEvents_;

    NDIS_HANDLE pool_ = nullptr;
    std::vector<NDIS_STATUS> sendResults_;
    std::vector<SimReceivedFrame> received_;
    std::vector<NDIS_PACKET*> taken_;
    bool hold_ = false;
    size_t receiveCompletes_ = 0;
};

}  // namespace ndissim
