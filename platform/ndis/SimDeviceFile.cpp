#include "platform/ndis/SimDeviceFile.h"

#include <algorithm>
#include <cstring>

#include "platform/ndis/NdisEnvironment.h"

namespace ndissim {

SimIoRequest::SimIoRequest(UCHAR major, FILE_OBJECT* file, ULONG pid, ULONG code, const void* input,
                           ULONG inputLength, ULONG outputLength, Notify notify)
    : buffer_(new uint8_t[std::max<size_t>(std::max(inputLength, outputLength), 1)]),
      bufferSize_(std::max(inputLength, outputLength)),
      notify_(std::move(notify)) {
    size_t copied = input && inputLength ? inputLength : 0;
    if (copied) std::memcpy(buffer_.get(), input, copied);
    if (major != IRP_MJ_READ && bufferSize_ > copied)
        std::memset(buffer_.get() + copied, 0, bufferSize_ - copied);
    irp_.MajorFunction = major;
    irp_.FileObject = file;
    irp_.RequestorProcessId = pid;
    irp_.IoControlCode = code;
    irp_.SystemBuffer = bufferSize_ == 0 ? nullptr : buffer_.get();
    irp_.InputBufferLength = inputLength;
    irp_.OutputBufferLength = outputLength;
    irp_.ReadLength = major == IRP_MJ_READ ? outputLength : 0;
    irp_.Completion = [this](IRP*) { complete(); };
}

void SimIoRequest::complete() {
    if (notify_) {
        size_t length = std::min(irp_.IoStatus.Information, bufferSize_);
        notify_(irp_.IoStatus.Status, irp_.IoStatus.Information,
                std::vector<uint8_t>(buffer_.get(), buffer_.get() + length));
    }
    // Once done is visible the issuer may free this request: nothing is touched after.
    std::lock_guard<std::mutex> guard(mutex_);
    done_ = true;
    cv_.notify_all();
}

bool SimIoRequest::wait(std::chrono::milliseconds deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, deadline, [this] { return done_; });
}

bool SimIoRequest::done() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return done_;
}

void SimIoRequest::cancel() {
    IoCancelIrp(&irp_);
}

NTSTATUS SimIoRequest::status() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return done_ ? irp_.IoStatus.Status : STATUS_PENDING;
}

size_t SimIoRequest::information() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return done_ ? irp_.IoStatus.Information : 0;
}

std::vector<uint8_t> SimIoRequest::output() const {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!done_) return {};
    size_t length = std::min(irp_.IoStatus.Information, bufferSize_);
    return std::vector<uint8_t>(buffer_.get(), buffer_.get() + length);
}

std::unique_ptr<SimDeviceFile> SimDeviceFile::open(ULONG processId, NTSTATUS* status) {
    std::unique_ptr<SimDeviceFile> file(new SimDeviceFile(processId));
    DEVICE_OBJECT* device = NdisEnvironment::instance().controlDevice();
    if (!device) {
        *status = STATUS_NO_SUCH_DEVICE;
        return nullptr;
    }
    file->device_ = device;
    SimIoRequest create(IRP_MJ_CREATE, &file->file_, processId, 0, nullptr, 0, 0, {});
    IoCallDriver(device, create.irp());
    create.wait(std::chrono::hours(1));
    *status = create.status();
    if (*status != STATUS_SUCCESS) return nullptr;
    return file;
}

SimDeviceFile::~SimDeviceFile() {
    close();
}

std::shared_ptr<SimIoRequest> SimDeviceFile::start(std::shared_ptr<SimIoRequest> request) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        std::erase_if(inFlight_, [](const auto& r) { return r->done(); });
        inFlight_.push_back(request);
    }
    if (closed_) {
        request->irp()->IoStatus.Status = STATUS_INVALID_HANDLE;
        request->irp()->IoStatus.Information = 0;
        IoCompleteRequest(request->irp(), 0);
        return request;
    }
    IoCallDriver(device_, request->irp());
    return request;
}

std::shared_ptr<SimIoRequest> SimDeviceFile::deviceControl(ULONG code, const void* input, ULONG inputLength,
                                                           ULONG outputLength, SimIoRequest::Notify notify) {
    return start(std::make_shared<SimIoRequest>(IRP_MJ_DEVICE_CONTROL, &file_, processId_, code, input,
                                                inputLength, outputLength, std::move(notify)));
}

std::shared_ptr<SimIoRequest> SimDeviceFile::read(ULONG length, SimIoRequest::Notify notify) {
    return start(std::make_shared<SimIoRequest>(IRP_MJ_READ, &file_, processId_, 0, nullptr, 0, length,
                                                std::move(notify)));
}

NTSTATUS SimDeviceFile::deviceControlSync(ULONG code, const void* input, ULONG inputLength,
                                          std::vector<uint8_t>* output, ULONG outputLength) {
    auto request = deviceControl(code, input, inputLength, outputLength);
    if (!request->wait(std::chrono::seconds(30))) return STATUS_PENDING;
    if (output) *output = request->output();
    return request->status();
}

NTSTATUS SimDeviceFile::close() {
    if (closed_) return STATUS_SUCCESS;
    closed_ = true;
    NTSTATUS status = STATUS_SUCCESS;
    if (DEVICE_OBJECT* device = device_) {
        SimIoRequest cleanup(IRP_MJ_CLEANUP, &file_, processId_, 0, nullptr, 0, 0, {});
        IoCallDriver(device, cleanup.irp());
        cleanup.wait(std::chrono::hours(1));
        SimIoRequest close(IRP_MJ_CLOSE, &file_, processId_, 0, nullptr, 0, 0, {});
        IoCallDriver(device, close.irp());
        close.wait(std::chrono::hours(1));
        status = close.status();
    }
    // Without a device every pending read was cancelled when it went away.
    std::vector<std::shared_ptr<SimIoRequest>> inFlight;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        inFlight.swap(inFlight_);
    }
    for (auto& request : inFlight) request->wait(std::chrono::hours(1));
    return status;
}

}  // namespace ndissim
