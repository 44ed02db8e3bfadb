// The client side of the filter driver's control device for programs: open, device control,
// overlapped reads with a wait and a cancel, and close, over the driver host's socket. Results
// are Win32 error codes as the device calls of the original platform give them.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/Win32Error.h"
#include "platform/devicesocket/DeviceSocket.h"

class FiltDeviceClient;

// One read or device control in flight.
class FiltOverlapped {
public:
    // True once the request has finished (or the connection is gone).
    bool wait(uint32_t timeoutMs);
    bool done() const;
    uint32_t ntStatus() const;
    uint32_t information() const;
    std::vector<uint8_t> data() const;

private:
    friend class FiltDeviceClient;
    void finish(uint32_t status, uint32_t information, std::vector<uint8_t> data);

    uint32_t id_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
    uint32_t status_ = 0;
    uint32_t information_ = 0;
    std::vector<uint8_t> data_;
};

class FiltDeviceClient {
public:
    static constexpr uint32_t INFINITE_WAIT = 0xFFFFFFFF;

    FiltDeviceClient() = default;
    ~FiltDeviceClient();
    FiltDeviceClient(const FiltDeviceClient&) = delete;
    FiltDeviceClient& operator=(const FiltDeviceClient&) = delete;

    // "run/Pellodur" below the service's root, as a client finds it.
    static std::string defaultSocketPath();
    static uint32_t ntStatusToWin32(uint32_t ntStatus);

    // Opens the device: 0, ERROR_FILE_NOT_FOUND when no host serves it, or the create's error.
    uint32_t open(const std::string& socketPath = defaultSocketPath());
    bool isOpen() const;
    // Hangs up: the driver cancels this handle's reads and closes it; returns once the host has
    // done so (or after a bounded wait), so that this process can open the device again at once.
    void close();

    // Waits for the answer; 0 or a Win32 error. bytesReturned is the information of the request.
    uint32_t deviceIoControl(uint32_t code, const void* input, uint32_t inputLength, void* output,
                             uint32_t outputLength, uint32_t* bytesReturned,
                             uint32_t timeoutMs = INFINITE_WAIT);
    std::shared_ptr<FiltOverlapped> deviceIoControlAsync(uint32_t code, const void* input,
                                                         uint32_t inputLength, uint32_t outputLength);
    std::shared_ptr<FiltOverlapped> readAsync(uint32_t length);
    // 0 with the bytes copied out; ERROR_IO_INCOMPLETE when it is still running after the wait;
    // else the request's error.
    uint32_t getOverlappedResult(FiltOverlapped& request, void* buffer, uint32_t bufferLength,
                                 uint32_t* bytes, uint32_t waitMs);
    void cancelIo(FiltOverlapped& request);

    // NT status of the last finished request waited for through this object.
    uint32_t lastNtStatus() const { return lastNtStatus_; }

private:
    std::shared_ptr<FiltOverlapped> send(uint32_t kind, uint32_t code, const void* input,
                                         uint32_t inputLength, uint32_t outputLength);
    bool writeFrame(const std::vector<uint8_t>& frame);
    void receiveLoop();
    void failAll();

    devicesocket::DeviceConnection fd_;
    std::thread receiver_;
    std::mutex sendMutex_;
    std::mutex mutex_;
    std::map<uint32_t, std::shared_ptr<FiltOverlapped>> pending_;
    uint32_t nextId_ = 1;
    bool broken_ = false;
    bool closing_ = false;
    bool receiverDone_ = false;
    std::condition_variable receiverCv_;
    uint32_t lastNtStatus_ = 0;
};
