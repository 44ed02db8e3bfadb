// The simulated lower adapter: a miniport below the filter driver whose answers, failures and
// timing a test scripts.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "NdisTypes.h"

namespace ndissim {

struct SimRequestRecord {
    NDIS_REQUEST_TYPE type;
    NDIS_OID oid;
    std::vector<uint8_t> data;  // what a set carried
};

class SimLowerMiniport {
public:
    SimLowerMiniport(std::u16string deviceName, std::u16string instanceName, NDIS_MEDIUM medium);

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

    std::vector<SimRequestRecord> requests() const;
    size_t requestCount(NDIS_OID oid) const;
    std::vector<uint8_t> answer(NDIS_OID oid) const;
    size_t pendingRequestCount() const;

    // Finishes the pending requests and reports them to the protocol above; returns how many.
    size_t completePendingRequests();

    // Cancel ids that reached the adapter, in order.
    std::vector<void*> cancelledSends() const;

    // Called by the stand-in's NDIS.
    void cancelSends(void* cancelId);
    NDIS_STATUS handleRequest(NDIS_HANDLE protocolBindingContext, NDIS_REQUEST* request);
    NDIS_STATUS openStatus() const;
    ULONG pendingIoCount() const;

private:
    NDIS_STATUS serve(NDIS_REQUEST* request);

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
    std::vector<SimRequestRecord> requests_;
    std::vector<Pending> pending_;
    std::vector<void*> cancelled_;
    bool pend_ = false;
    ULONG pendingIo_ = 0;
    NDIS_STATUS openStatus_ = NDIS_STATUS_SUCCESS;
};

}  // namespace ndissim
