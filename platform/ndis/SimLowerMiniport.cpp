#include "platform/ndis/SimLowerMiniport.h"

#include <cstring>

#include "platform/ndis/NdisEnvironment.h"

namespace ndissim {

SimLowerMiniport::SimLowerMiniport(std::u16string deviceName, std::u16string instanceName, NDIS_MEDIUM medium)
    : deviceName_(std::move(deviceName)), instanceName_(std::move(instanceName)), medium_(medium) {}

void SimLowerMiniport::setAnswer(NDIS_OID oid, std::vector<uint8_t> bytes) {
    std::lock_guard<std::mutex> guard(mutex_);
    answers_[oid] = std::move(bytes);
}

void SimLowerMiniport::setAnswerU32(NDIS_OID oid, uint32_t value) {
    std::vector<uint8_t> bytes(4);
    for (int i = 0; i < 4; ++i) bytes[i] = uint8_t(value >> (8 * i));
    setAnswer(oid, std::move(bytes));
}

void SimLowerMiniport::failOid(NDIS_OID oid, NDIS_STATUS status) {
    std::lock_guard<std::mutex> guard(mutex_);
    failures_[oid] = status;
}

void SimLowerMiniport::setPendRequests(bool pend) {
    std::lock_guard<std::mutex> guard(mutex_);
    pend_ = pend;
}

void SimLowerMiniport::setPendingIoCount(ULONG count) {
    std::lock_guard<std::mutex> guard(mutex_);
    pendingIo_ = count;
}

void SimLowerMiniport::setOpenStatus(NDIS_STATUS status) {
    std::lock_guard<std::mutex> guard(mutex_);
    openStatus_ = status;
}

std::vector<SimRequestRecord> SimLowerMiniport::requests() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return std::vector<SimRequestRecord>(requests_.begin(), requests_.end());
}

size_t SimLowerMiniport::requestCount(NDIS_OID oid) const {
    std::lock_guard<std::mutex> guard(mutex_);
    auto it = requestCounts_.find(oid);
    return it == requestCounts_.end() ? 0 : it->second;
}

std::vector<uint8_t> SimLowerMiniport::answer(NDIS_OID oid) const {
    std::lock_guard<std::mutex> guard(mutex_);
    auto it = answers_.find(oid);
    return it == answers_.end() ? std::vector<uint8_t>{} : it->second;
}

size_t SimLowerMiniport::pendingRequestCount() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return pending_.size();
}

std::vector<void*> SimLowerMiniport::cancelledSends() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return std::vector<void*>(cancelled_.begin(), cancelled_.end());
}

void SimLowerMiniport::cancelSends(void* cancelId) {
    std::lock_guard<std::mutex> guard(mutex_);
    keep(cancelled_, cancelId);
}

NDIS_STATUS SimLowerMiniport::openStatus() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return openStatus_;
}

ULONG SimLowerMiniport::pendingIoCount() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return pendingIo_;
}

NDIS_STATUS SimLowerMiniport::serve(NDIS_REQUEST* request) {
    SimRequestRecord record{request->RequestType, request->Oid, {}};
    if (request->RequestType == NdisRequestSetInformation && request->InformationBuffer) {
        auto* bytes = static_cast<const uint8_t*>(request->InformationBuffer);
        record.data.assign(bytes, bytes + request->InformationBufferLength);
    }
    keep(requests_, record);
    ++requestCounts_[request->Oid];

    auto failure = failures_.find(request->Oid);
    if (failure != failures_.end()) return failure->second;
    if (request->RequestType == NdisRequestSetInformation) {
        answers_[request->Oid] = record.data;
        request->BytesWritten = request->InformationBufferLength;
        return NDIS_STATUS_SUCCESS;
    }
    auto it = answers_.find(request->Oid);
    if (it == answers_.end()) return NDIS_STATUS_NOT_SUPPORTED;
    const auto& bytes = it->second;
    if (request->InformationBufferLength < bytes.size()) {
        request->BytesNeeded = ULONG(bytes.size());
        request->BytesWritten = 0;
        return NDIS_STATUS_BUFFER_TOO_SHORT;
    }
    if (!bytes.empty()) std::memcpy(request->InformationBuffer, bytes.data(), bytes.size());
    request->BytesWritten = ULONG(bytes.size());
    return NDIS_STATUS_SUCCESS;
}

NDIS_STATUS SimLowerMiniport::handleRequest(NDIS_HANDLE protocolBindingContext, NDIS_REQUEST* request) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (pend_) {
        pending_.push_back(Pending{protocolBindingContext, request});
        return NDIS_STATUS_PENDING;
    }
    return serve(request);
}

size_t SimLowerMiniport::completePendingRequests() {
    std::vector<std::pair<Pending, NDIS_STATUS>> done;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        for (const auto& pending : pending_) done.emplace_back(pending, serve(pending.request));
        pending_.clear();
    }
    for (const auto& [pending, status] : done)
        NdisEnvironment::instance().completeRequest(pending.context, pending.request, status);
    return done.size();
}

}  // namespace ndissim
