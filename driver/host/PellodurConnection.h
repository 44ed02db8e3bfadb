// One client of the control device socket: its open handle on the device, the requests it has
// in flight and the replies waiting to be written back.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "driver/host/PeerCredentials.h"
#include "platform/ndis/SimDeviceFile.h"

class PellodurConnection {
public:
    PellodurConnection(int fd, uint32_t processId, PeerCredentials credentials);
    ~PellodurConnection();

    void start();
    // Hangs up from the host's side; the connection then winds down as on the client's hang-up.
    void stop();
    bool finished() const;

private:
    void readLoop();
    void writeLoop();
    bool serve(uint32_t kind, uint32_t id, uint32_t code, std::vector<uint8_t> input, uint32_t outputLength);
    void queueReply(uint32_t id, uint32_t status, size_t information, const std::vector<uint8_t>& output);
    // A capture file is opened by the host; it must be one the caller could open itself.
    bool captureAllowed(uint32_t outputLength, const std::vector<uint8_t>& input) const;

    int fd_;
    uint32_t processId_;
    PeerCredentials credentials_;
    std::unique_ptr<ndissim::SimDeviceFile> file_;
    std::thread reader_;
    std::thread writer_;

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::vector<uint8_t>> replies_;
    bool writerStop_ = false;
    bool finished_ = false;
    std::map<uint32_t, std::shared_ptr<ndissim::SimIoRequest>> requests_;
};
