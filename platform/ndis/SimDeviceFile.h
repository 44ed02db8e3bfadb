// One open handle on a device of the stand-in, as a user-mode program's file handle would be:
// create at open, buffered reads and device controls, cleanup and close at the end.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/ndis/Kernel.h"

namespace ndissim {

class SimIoRequest {
public:
    // Runs before waiters are released, with the completion's status, information and output.
    using Notify = std::function<void(NTSTATUS status, size_t information, std::vector<uint8_t> output)>;

    SimIoRequest(UCHAR major, FILE_OBJECT* file, ULONG pid, ULONG code, const void* input, ULONG inputLength,
                 ULONG outputLength, Notify notify);

    // True once completed; false when the deadline passed first.
    bool wait(std::chrono::milliseconds deadline);
    bool done() const;
    void cancel();

    NTSTATUS status() const;
    size_t information() const;
    // The output bytes, `information` long (clamped to the buffer).
    std::vector<uint8_t> output() const;

    IRP* irp() { return &irp_; }

private:
    void complete();

    IRP irp_;
    // A read's buffer is left as the heap gives it, as a kernel leaves it: the driver writes what
    // it returns. A control request's is cleared beyond its input.
    std::unique_ptr<uint8_t[]> buffer_;
    size_t bufferSize_;
    Notify notify_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
};

class SimDeviceFile {
public:
    // Sends the create; a failed create leaves `status` and returns null.
    static std::unique_ptr<SimDeviceFile> open(ULONG processId, NTSTATUS* status);
    ~SimDeviceFile();

    // Starts a request; the notification (optional) runs when it completes, on whatever thread
    // completes it.
    std::shared_ptr<SimIoRequest> deviceControl(ULONG code, const void* input, ULONG inputLength,
                                                ULONG outputLength, SimIoRequest::Notify notify = {});
    std::shared_ptr<SimIoRequest> read(ULONG length, SimIoRequest::Notify notify = {});
    // Device control waited for with a generous deadline, for requests that never pend.
    NTSTATUS deviceControlSync(ULONG code, const void* input, ULONG inputLength, std::vector<uint8_t>* output,
                               ULONG outputLength);

    // Cleanup (cancelling this handle's pending reads), close, then waits for every request.
    NTSTATUS close();
    ULONG processId() const { return processId_; }

private:
    SimDeviceFile(ULONG processId) : processId_(processId) {}
    std::shared_ptr<SimIoRequest> start(std::shared_ptr<SimIoRequest> request);

    ULONG processId_;
    // Kept from the open: a handle stays usable after its device is deregistered, as in the kernel.
    DEVICE_OBJECT* device_ = nullptr;
    FILE_OBJECT file_;
    bool closed_ = false;
    std::mutex mutex_;
    std::vector<std::shared_ptr<SimIoRequest>> inFlight_;
};

}  // namespace ndissim
