#pragma once
// A device's control channel as a Unix domain stream socket: one connection is one open handle.
// Transfers move whole buffers or take the connection as broken; nothing raises SIGPIPE.
#include <cstddef>
#include <cstdint>
#include <string>

namespace devicesocket {

class DeviceConnection {
public:
    DeviceConnection() = default;
    ~DeviceConnection();
    DeviceConnection(const DeviceConnection&) = delete;
    DeviceConnection& operator=(const DeviceConnection&) = delete;
    DeviceConnection(DeviceConnection&& other) noexcept;
    DeviceConnection& operator=(DeviceConnection&& other) noexcept;

    // 0, or the errno of the failed connect (ENAMETOOLONG when the path does not fit).
    int connect(const std::string& path);
    // Two connected ends, as a host and its caller see them; false when none can be made.
    static bool pair(DeviceConnection& first, DeviceConnection& second);
    bool isOpen() const { return m_fd >= 0; }

    bool readFull(std::uint8_t* buffer, std::size_t length);
    bool writeFull(const std::uint8_t* buffer, std::size_t length);
    // Ends the sending side; the other end reads the end of the stream.
    void shutdownWrite();
    // Ends both sides: a read blocked on the connection returns.
    void shutdown();
    void close();

private:
    friend class DeviceListener;
    explicit DeviceConnection(int fd) : m_fd(fd) {}

    int m_fd = -1;
};

// Who connected, as the system reports it.
struct Peer {
    std::uint32_t processId = 0;
    std::uint32_t userId = 0;
    std::uint32_t groupId = 0;
};

class DeviceListener {
public:
    DeviceListener() = default;
    ~DeviceListener();
    DeviceListener(const DeviceListener&) = delete;
    DeviceListener& operator=(const DeviceListener&) = delete;

    // Serves the path (its folder made, a stale socket replaced) with the given mode; false with
    // the reason in error.
    bool listen(const std::string& path, unsigned mode, std::string* error);
    // Blocks until a caller connects (true) or stop() is called (false).
    bool accept(DeviceConnection& connection, Peer& peer);
    // Wakes accept for good; any thread.
    void stop();
    // Closes and removes the socket file.
    void close();

private:
    std::string m_path;
    int m_fd = -1;
    int m_wake[2] = {-1, -1};
};

}  // namespace devicesocket
