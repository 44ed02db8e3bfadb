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

#include "platform/devicesocket/DeviceSocket.h"
#include "platform/devicesocket/PeerCredentials.h"
#include "platform/ndis/SimDeviceFile.h"

class PellodurConnection {
public:
    PellodurConnection(devicesocket::DeviceConnection connection, uint32_t processId,
                       devicesocket::PeerCredentials credentials);
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

    devicesocket::DeviceConnection m_connection;
    uint32_t m_processId;
    devicesocket::PeerCredentials m_credentials;
    std::unique_ptr<ndissim::SimDeviceFile> m_file;
    std::thread m_reader;
    std::thread m_writer;

    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::vector<uint8_t>> m_replies;
    bool m_writerStop = false;
    bool m_finished = false;
    std::map<uint32_t, std::shared_ptr<ndissim::SimIoRequest>> m_requests;
};
