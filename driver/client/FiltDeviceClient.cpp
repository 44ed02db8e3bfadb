#include "driver/client/FiltDeviceClient.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "driver/FiltInterface.h"
#include "driver/client/PellodurProtocol.h"
#include "platform/base/Root.h"
#include "platform/base/Win32Error.h"

using namespace base::win32;

namespace {

using P = PellodurConstants;
constexpr uint32_t STATUS_PIPE_BROKEN = 0xC000014B;
constexpr uint32_t STATUS_CANCELLED = 0xC0000120;
constexpr uint32_t OPEN_TIMEOUT_MS = 10000;
constexpr uint32_t CLOSE_TIMEOUT_MS = 10000;

}  // namespace

bool FiltOverlapped::wait(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (timeoutMs == FiltDeviceClient::INFINITE_WAIT) {
        cv_.wait(lock, [this] { return done_; });
        return true;
    }
    return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return done_; });
}

bool FiltOverlapped::done() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return done_;
}

uint32_t FiltOverlapped::ntStatus() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return status_;
}

uint32_t FiltOverlapped::information() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return information_;
}

std::vector<uint8_t> FiltOverlapped::data() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return data_;
}

void FiltOverlapped::finish(uint32_t status, uint32_t information, std::vector<uint8_t> data) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (done_) return;
    status_ = status;
    information_ = information;
    data_ = std::move(data);
    done_ = true;
    cv_.notify_all();
}

FiltDeviceClient::~FiltDeviceClient() {
    close();
}

std::string FiltDeviceClient::defaultSocketPath() {
    return base::clientRoot() + "/" + P::SOCKET_NAME;
}

uint32_t FiltDeviceClient::ntStatusToWin32(uint32_t ntStatus) {
    switch (ntStatus) {
        case 0x00000000:
            return ERROR_SUCCESS;
        case 0x00000103:
            return ERROR_IO_PENDING;
        case 0x80000005:
            return ERROR_MORE_DATA;
        case 0x80000011:
            return ERROR_BUSY;
        case 0x8000001A:
            return ERROR_NO_MORE_ITEMS;
        case 0xC0000008:
            return ERROR_INVALID_HANDLE;
        case 0xC000000D:
            return ERROR_INVALID_PARAMETER;
        case 0xC000000E:
            return ERROR_BAD_UNIT;
        case 0xC0000022:
            return ERROR_ACCESS_DENIED;
        case 0xC0000023:
            return ERROR_INSUFFICIENT_BUFFER;
        case 0xC000009A:
            return ERROR_NO_SYSTEM_RESOURCES;
        case 0xC00000A3:
            return ERROR_NOT_READY;
        case 0xC00000BB:
            return ERROR_NOT_SUPPORTED;
        case 0xC0000120:
            return ERROR_OPERATION_ABORTED;
        case STATUS_PIPE_BROKEN:
            return ERROR_BROKEN_PIPE;
        case 0xC0000206:
            return ERROR_INVALID_USER_BUFFER;
        default:
            return ERROR_GEN_FAILURE;
    }
}

uint32_t FiltDeviceClient::open(const std::string& socketPath) {
    close();
    devicesocket::DeviceConnection connection;
    if (int error = connection.connect(socketPath); error != 0)
        return error == EACCES ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
    auto created = std::make_shared<FiltOverlapped>();
    created->id_ = P::OPEN_ID;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        fd_ = std::move(connection);
        broken_ = false;
        closing_ = false;
        receiverDone_ = false;
        nextId_ = 1;
        pending_[P::OPEN_ID] = created;
    }
    receiver_ = std::thread([this] { receiveLoop(); });
    if (!created->wait(OPEN_TIMEOUT_MS)) {
        close();
        return ERROR_FILE_NOT_FOUND;
    }
    lastNtStatus_ = created->ntStatus();
    if (lastNtStatus_ != 0) {
        close();
        return ntStatusToWin32(lastNtStatus_);
    }
    return ERROR_SUCCESS;
}

bool FiltDeviceClient::isOpen() const {
    return fd_.isOpen() && receiver_.joinable();
}

void FiltDeviceClient::close() {
    if (!fd_.isOpen()) return;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        closing_ = true;
        // The host ends its side only after the driver has cleaned up and closed this handle;
        // the driver refuses a second handle of a process while the first is still open.
        fd_.shutdownWrite();
        if (receiver_.joinable())
            receiverCv_.wait_for(lock, std::chrono::milliseconds(CLOSE_TIMEOUT_MS),
                                 [this] { return receiverDone_; });
    }
    fd_.shutdown();
    if (receiver_.joinable()) receiver_.join();
    fd_.close();
}

void FiltDeviceClient::failAll() {
    std::map<uint32_t, std::shared_ptr<FiltOverlapped>> pending;
    uint32_t status;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        broken_ = true;
        pending.swap(pending_);
        // Closing the handle aborts what it still has running; losing the host breaks it.
        status = closing_ ? STATUS_CANCELLED : STATUS_PIPE_BROKEN;
    }
    for (auto& [id, request] : pending) request->finish(status, 0, {});
}

void FiltDeviceClient::receiveLoop() {
    for (;;) {
        uint8_t header[P::REPLY_HEADER_LENGTH];
        if (!fd_.readFull(header, sizeof(header))) break;
        uint32_t length = FiltGetU32(header, P::REPLY_LENGTH);
        if (length < P::REPLY_HEADER_LENGTH || length - P::REPLY_HEADER_LENGTH > P::MAX_BUFFER_LENGTH) break;
        std::vector<uint8_t> data(length - P::REPLY_HEADER_LENGTH);
        if (!fd_.readFull(data.data(), data.size())) break;
        uint32_t id = FiltGetU32(header, P::REPLY_ID);
        std::shared_ptr<FiltOverlapped> request;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            auto it = pending_.find(id);
            if (it != pending_.end()) {
                request = it->second;
                pending_.erase(it);
            }
        }
        if (request)
            request->finish(FiltGetU32(header, P::REPLY_STATUS), FiltGetU32(header, P::REPLY_INFORMATION),
                            std::move(data));
    }
    failAll();
    std::lock_guard<std::mutex> guard(mutex_);
    receiverDone_ = true;
    receiverCv_.notify_all();
}

bool FiltDeviceClient::writeFrame(const std::vector<uint8_t>& frame) {
    std::lock_guard<std::mutex> guard(sendMutex_);
    return fd_.writeFull(frame.data(), frame.size());
}

std::shared_ptr<FiltOverlapped> FiltDeviceClient::send(uint32_t kind, uint32_t code, const void* input,
                                                       uint32_t inputLength, uint32_t outputLength) {
    auto request = std::make_shared<FiltOverlapped>();
    if (!fd_.isOpen() || inputLength > P::MAX_BUFFER_LENGTH || outputLength > P::MAX_BUFFER_LENGTH) {
        request->finish(!fd_.isOpen() ? 0xC0000008 : 0xC000000D, 0, {});
        return request;
    }
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (broken_) {
            request->finish(STATUS_PIPE_BROKEN, 0, {});
            return request;
        }
        request->id_ = nextId_++;
        pending_[request->id_] = request;
    }
    std::vector<uint8_t> frame(P::REQUEST_HEADER_LENGTH + inputLength);
    FiltPutU32(frame.data(), P::REQUEST_LENGTH, uint32_t(frame.size()));
    FiltPutU32(frame.data(), P::REQUEST_KIND, kind);
    FiltPutU32(frame.data(), P::REQUEST_ID, request->id_);
    FiltPutU32(frame.data(), P::REQUEST_CODE, code);
    FiltPutU32(frame.data(), P::REQUEST_INPUT_LENGTH, inputLength);
    FiltPutU32(frame.data(), P::REQUEST_OUTPUT_LENGTH, outputLength);
    if (inputLength) std::memcpy(frame.data() + P::REQUEST_HEADER_LENGTH, input, inputLength);
    if (!writeFrame(frame)) {
        // The receiver fails everything pending when it sees the connection go.
        fd_.shutdown();
    }
    return request;
}

std::shared_ptr<FiltOverlapped> FiltDeviceClient::deviceIoControlAsync(uint32_t code, const void* input,
                                                                       uint32_t inputLength,
                                                                       uint32_t outputLength) {
    return send(PellodurConstants::KIND_DEVICE_CONTROL, code, input, inputLength, outputLength);
}

std::shared_ptr<FiltOverlapped> FiltDeviceClient::readAsync(uint32_t length) {
    return send(PellodurConstants::KIND_READ, 0, nullptr, 0, length);
}

uint32_t FiltDeviceClient::getOverlappedResult(FiltOverlapped& request, void* buffer, uint32_t bufferLength,
                                               uint32_t* bytes, uint32_t waitMs) {
    if (bytes) *bytes = 0;
    if (!request.wait(waitMs)) return ERROR_IO_INCOMPLETE;
    lastNtStatus_ = request.ntStatus();
    uint32_t information = request.information();
    if (bytes) *bytes = information;
    std::vector<uint8_t> data = request.data();
    if (buffer && !data.empty())
        std::memcpy(buffer, data.data(), std::min<size_t>(data.size(), bufferLength));
    // Warnings such as a buffer overflow still deliver their data.
    return ntStatusToWin32(lastNtStatus_);
}

void FiltDeviceClient::cancelIo(FiltOverlapped& request) {
    if (request.done() || !fd_.isOpen()) return;
    std::vector<uint8_t> frame(P::REQUEST_HEADER_LENGTH, 0);
    FiltPutU32(frame.data(), P::REQUEST_LENGTH, uint32_t(frame.size()));
    FiltPutU32(frame.data(), P::REQUEST_KIND, P::KIND_CANCEL);
    FiltPutU32(frame.data(), P::REQUEST_ID, request.id_);
    writeFrame(frame);
}

uint32_t FiltDeviceClient::deviceIoControl(uint32_t code, const void* input, uint32_t inputLength,
                                           void* output, uint32_t outputLength, uint32_t* bytesReturned,
                                           uint32_t timeoutMs) {
    auto request = deviceIoControlAsync(code, input, inputLength, outputLength);
    uint32_t result = getOverlappedResult(*request, output, outputLength, bytesReturned, timeoutMs);
    if (result == ERROR_IO_INCOMPLETE) {
        cancelIo(*request);
        request->wait(INFINITE_WAIT);
        lastNtStatus_ = STATUS_CANCELLED;
        return ERROR_OPERATION_ABORTED;
    }
    return result;
}
