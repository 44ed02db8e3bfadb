#pragma once
// Cuts frames out of the byte stream of one pipe end. Owned by the one thread that reads.
#include <cstdint>

#include "runtime/lum/LogFold.h"
#include "vel/datagram/Datagram.h"
#include "vel/ipc/IpcConstants.h"
#include "vel/reference/SafeInteger.h"

class IpcManager;

class IpcReceiveBuffer {
public:
    enum State { READY = 1, DESTROYED = 2 };

    IpcReceiveBuffer();
    ~IpcReceiveBuffer();
    IpcReceiveBuffer(const IpcReceiveBuffer&) = delete;
    IpcReceiveBuffer& operator=(const IpcReceiveBuffer&) = delete;

    // The payload of the next complete frame, reading from the pipe as often as needed. The
    // pipe's exceptions pass through. A header that can never be accepted ends the connection as
    // if the peer had gone (NoConnectionException), after an error line.
    Datagram receive(const IpcManager& ipc);

    int capacity() const { return m_capacity; }

private:
    enum HeaderParse { HEADER_INCOMPLETE, HEADER_ACCEPTED, HEADER_NEVER };

    HeaderParse parseHeader();
    static void skipped(void* context, std::uint8_t first, int count);
    // Tells the runs of skipped bytes folded so far, when due or at the `end`.
    void tellSkipped(bool end);
    void grow(int size);
    void compact();
    int consumed() const { return static_cast<int>(m_readPosition - m_buffer); }
    int usable() const { return m_length - consumed(); }

    State m_state;
    std::uint8_t* m_buffer;
    int m_length = 0;
    int m_capacity = IpcConstants::INLINE_SIZE;
    std::uint8_t m_inline[IpcConstants::INLINE_SIZE];
    std::uint8_t* m_readPosition;
    SafeInteger m_headerLength{0};
    SafeInteger m_messageLength{0};
    SafeInteger m_totalLength{0};
    std::uint8_t* m_messageStart = nullptr;
    // Header bytes of the pending frame already scanned, so that a header parsed again after
    // more bytes arrived logs each run of skipped bytes once.
    int m_headerScanned = 0;
    LogFold m_skippedRuns{IpcConstants::SKIPPED_RUNS_IN_FULL,
                          std::chrono::seconds(IpcConstants::SKIPPED_RUNS_INTERVAL_SECONDS)};
};
