#include "driver/host/PellodurConnection.h"

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "driver/FiltInterface.h"
#include "driver/client/PellodurProtocol.h"
#include "platform/ndis/Kernel.h"

namespace {

using P = PellodurConstants;

}  // namespace

PellodurConnection::PellodurConnection(devicesocket::DeviceConnection connection, uint32_t processId,
                                       devicesocket::PeerCredentials credentials)
    : m_connection(std::move(connection)), m_processId(processId), m_credentials(std::move(credentials)) {}

PellodurConnection::~PellodurConnection() {
    stop();
    if (m_reader.joinable()) m_reader.join();
    m_connection.close();
}

void PellodurConnection::start() {
    m_writer = std::thread([this] { writeLoop(); });
    m_reader = std::thread([this] { readLoop(); });
}

void PellodurConnection::stop() {
    m_connection.shutdown();
}

bool PellodurConnection::finished() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_finished;
}

void PellodurConnection::queueReply(uint32_t id, uint32_t status, size_t information,
                                    const std::vector<uint8_t>& output) {
    // Failures carry no data; successes and warnings carry what the driver wrote.
    size_t dataLength = status < 0xC0000000 ? output.size() : 0;
    std::vector<uint8_t> frame(P::REPLY_HEADER_LENGTH + dataLength);
    FiltPutU32(frame.data(), P::REPLY_LENGTH, uint32_t(frame.size()));
    FiltPutU32(frame.data(), P::REPLY_ID, id);
    FiltPutU32(frame.data(), P::REPLY_STATUS, status);
    FiltPutU32(frame.data(), P::REPLY_INFORMATION, uint32_t(information));
    std::copy(output.begin(), output.begin() + long(dataLength), frame.begin() + P::REPLY_HEADER_LENGTH);
    std::lock_guard<std::mutex> guard(m_mutex);
    m_replies.push_back(std::move(frame));
    m_cv.notify_all();
}

void PellodurConnection::writeLoop() {
    bool broken = false;
    for (;;) {
        std::vector<uint8_t> frame;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cv.wait(lock, [this] { return m_writerStop || !m_replies.empty(); });
            if (m_replies.empty()) return;
            frame = std::move(m_replies.front());
            m_replies.pop_front();
        }
        // After the client is gone replies are dropped, but the queue is still emptied.
        if (!broken) broken = !m_connection.writeFull(frame.data(), frame.size());
    }
}

bool PellodurConnection::serve(uint32_t kind, uint32_t id, uint32_t code, std::vector<uint8_t> input,
                               uint32_t outputLength) {
    auto notify = [this, id](uint32_t status, size_t information, std::vector<uint8_t> output) {
        queueReply(id, status, information, output);
    };
    std::shared_ptr<ndissim::SimIoRequest> request;
    if (kind == P::KIND_DEVICE_CONTROL) {
        // The host has more rights than its callers: a file the driver opens for this request is
        // opened as the caller may, and one the caller may not open is refused as access denied.
        auto refused = std::make_shared<std::atomic<bool>>(false);
        CallerFileAccess asCaller([this, refused](const std::string& path) {
            int fd = m_credentials.openForWriting(path);
            if (fd == -EACCES) *refused = true;
            return fd;
        });
        auto answer = [this, id, refused](uint32_t status, size_t information, std::vector<uint8_t> output) {
            queueReply(id, *refused ? uint32_t(STATUS_ACCESS_DENIED) : status, information, output);
        };
        request = m_file->deviceControl(code, input.data(), uint32_t(input.size()), outputLength, answer);
    } else if (kind == P::KIND_READ) {
        request = m_file->read(outputLength, notify);
    } else if (kind == P::KIND_CANCEL) {
        std::shared_ptr<ndissim::SimIoRequest> target;
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            auto it = m_requests.find(id);
            if (it != m_requests.end()) target = it->second;
        }
        if (target) target->cancel();
        return true;
    } else {
        return false;
    }
    std::lock_guard<std::mutex> guard(m_mutex);
    std::erase_if(m_requests, [](const auto& entry) { return entry.second->done(); });
    if (!request->done()) m_requests[id] = request;
    return true;
}

void PellodurConnection::readLoop() {
    NTSTATUS status = STATUS_UNSUCCESSFUL;
    m_file = ndissim::SimDeviceFile::open(m_processId, &status);
    queueReply(P::OPEN_ID, status, 0, {});

    while (m_file) {
        uint8_t header[P::REQUEST_HEADER_LENGTH];
        if (!m_connection.readFull(header, sizeof(header))) break;
        uint32_t length = FiltGetU32(header, P::REQUEST_LENGTH);
        uint32_t inputLength = FiltGetU32(header, P::REQUEST_INPUT_LENGTH);
        uint32_t outputLength = FiltGetU32(header, P::REQUEST_OUTPUT_LENGTH);
        // A frame that does not add up, or asks for more than any request may, ends the client.
        if (inputLength > P::MAX_BUFFER_LENGTH || outputLength > P::MAX_BUFFER_LENGTH ||
            length != P::REQUEST_HEADER_LENGTH + inputLength)
            break;
        std::vector<uint8_t> input(inputLength);
        if (!m_connection.readFull(input.data(), input.size())) break;
        if (!serve(FiltGetU32(header, P::REQUEST_KIND), FiltGetU32(header, P::REQUEST_ID),
                   FiltGetU32(header, P::REQUEST_CODE), std::move(input), outputLength))
            break;
    }

    // The hang-up: cleanup cancels this handle's reads, close releases what it owned, and every
    // request has finished before the writer is told to stop.
    if (m_file) m_file->close();
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_requests.clear();
        m_writerStop = true;
        m_cv.notify_all();
    }
    m_writer.join();
    m_connection.shutdown();
    m_file.reset();
    std::lock_guard<std::mutex> guard(m_mutex);
    m_finished = true;
}
