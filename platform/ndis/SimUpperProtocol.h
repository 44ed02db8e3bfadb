// The simulated upper protocol: stands where TCP/IP would sit above a virtual miniport, issues
// queries and sets to it, and records what the miniport indicates upward.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "NdisTypes.h"

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

class SimUpperProtocol {
public:
    explicit SimUpperProtocol(NDIS_HANDLE miniportContext);

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

    // Called by the stand-in's NDIS.
    void requestComplete(NDIS_STATUS status);
    void indicateStatus(NDIS_STATUS status, const void* buffer, ULONG length);
    void indicateStatusComplete();
    void notifyPnP(NET_PNP_EVENT_CODE event);

private:
    NDIS_STATUS start(bool set, NDIS_OID oid, std::vector<uint8_t> buffer);

    NDIS_HANDLE context_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<uint8_t> buffer_;
    ULONG bytesWritten_ = 0;
    ULONG bytesNeeded_ = 0;
    NDIS_STATUS status_ = NDIS_STATUS_SUCCESS;
    bool done_ = true;
    std::vector<SimIndication> indications_;
    size_t statusCompletes_ = 0;
    std::vector<NET_PNP_EVENT_CODE> pnpEvents_;
};

}  // namespace ndissim
