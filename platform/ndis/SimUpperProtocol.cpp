#include "platform/ndis/SimUpperProtocol.h"

#include "platform/ndis/NdisEnvironment.h"

namespace ndissim {

SimUpperProtocol::SimUpperProtocol(NDIS_HANDLE miniportContext) : context_(miniportContext) {}

NDIS_STATUS SimUpperProtocol::start(bool set, NDIS_OID oid, std::vector<uint8_t> buffer) {
    const auto& chars = NdisEnvironment::instance().miniportCharacteristics();
    {
        std::lock_guard<std::mutex> guard(mutex_);
        buffer_ = std::move(buffer);
        bytesWritten_ = bytesNeeded_ = 0;
        done_ = false;
    }
    // NDIS hands a miniport one request at a time; the buffer stays put until it completes.
    NDIS_STATUS status =
        set ? chars.SetInformationHandler(context_, oid, buffer_.data(), ULONG(buffer_.size()),
                                          &bytesWritten_, &bytesNeeded_)
            : chars.QueryInformationHandler(context_, oid, buffer_.data(), ULONG(buffer_.size()),
                                            &bytesWritten_, &bytesNeeded_);
    if (status != NDIS_STATUS_PENDING) requestComplete(status);
    return status;
}

NDIS_STATUS SimUpperProtocol::startQuery(NDIS_OID oid, ULONG capacity) {
    return start(false, oid, std::vector<uint8_t>(capacity));
}

SimRequestResult SimUpperProtocol::waitRequest(std::chrono::milliseconds deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    SimRequestResult result;
    if (!cv_.wait_for(lock, deadline, [this] { return done_; })) return result;
    result.status = status_;
    result.data = buffer_;
    result.bytesWritten = bytesWritten_;
    result.bytesNeeded = bytesNeeded_;
    return result;
}

SimRequestResult SimUpperProtocol::query(NDIS_OID oid, ULONG capacity, std::chrono::milliseconds deadline) {
    start(false, oid, std::vector<uint8_t>(capacity));
    return waitRequest(deadline);
}

SimRequestResult SimUpperProtocol::set(NDIS_OID oid, std::vector<uint8_t> data,
                                       std::chrono::milliseconds deadline) {
    start(true, oid, std::move(data));
    return waitRequest(deadline);
}

SimRequestResult SimUpperProtocol::setU32(NDIS_OID oid, uint32_t value, std::chrono::milliseconds deadline) {
    std::vector<uint8_t> bytes(4);
    for (int i = 0; i < 4; ++i) bytes[i] = uint8_t(value >> (8 * i));
    return set(oid, std::move(bytes), deadline);
}

void SimUpperProtocol::cancelSends(void* cancelId) {
    NdisEnvironment::instance().miniportCharacteristics().CancelSendPacketsHandler(context_, cancelId);
}

void SimUpperProtocol::requestComplete(NDIS_STATUS status) {
    std::lock_guard<std::mutex> guard(mutex_);
    status_ = status;
    done_ = true;
    cv_.notify_all();
}

void SimUpperProtocol::indicateStatus(NDIS_STATUS status, const void* buffer, ULONG length) {
    std::lock_guard<std::mutex> guard(mutex_);
    auto* bytes = static_cast<const uint8_t*>(buffer);
    indications_.push_back(
        SimIndication{status, bytes ? std::vector<uint8_t>(bytes, bytes + length) : std::vector<uint8_t>{}});
}

void SimUpperProtocol::indicateStatusComplete() {
    std::lock_guard<std::mutex> guard(mutex_);
    ++statusCompletes_;
}

void SimUpperProtocol::notifyPnP(NET_PNP_EVENT_CODE event) {
    std::lock_guard<std::mutex> guard(mutex_);
    pnpEvents_.push_back(event);
}

std::vector<SimIndication> SimUpperProtocol::indications() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return indications_;
}

size_t SimUpperProtocol::statusCompleteCount() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return statusCompletes_;
}

std::vector<NET_PNP_EVENT_CODE> SimUpperProtocol::pnpEvents() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return pnpEvents_;
}

}  // namespace ndissim
