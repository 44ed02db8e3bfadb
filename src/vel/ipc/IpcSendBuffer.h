#pragma once
// Builds one frame at a time for the one thread that writes to a pipe end.
#include <cstdint>

#include "vel/datagram/Datagram.h"
#include "vel/ipc/IpcConstants.h"

class IpcManager;

class IpcSendBuffer {
public:
    enum State { READY = 1, DESTROYED = 2 };

    IpcSendBuffer();
    ~IpcSendBuffer();
    IpcSendBuffer(const IpcSendBuffer&) = delete;
    IpcSendBuffer& operator=(const IpcSendBuffer&) = delete;

    // The payload must not be empty.
    void frame(const Datagram& datagram);
    void frame(const std::uint8_t* bytes, int length);
    // Hands the whole frame to the pipe in one call.
    void send(const IpcManager& ipc);
    // Hands the frame from byte `offset` on to the pipe: the bytes before it went out already.
    void send(const IpcManager& ipc, int offset);

    // Writes as much of the datagram's frame as the pipe takes at once, never waiting, straight
    // from the datagram; the number of frame bytes written, and in *frameLength the frame's size
    // (0 when the datagram cannot be framed; nothing is written then).
    static int trySendFrame(const IpcManager& ipc, const Datagram& datagram, int* frameLength);

    const std::uint8_t* frameBytes() const { return m_buffer; }
    int frameLength() const { return m_frameLength; }
    int capacity() const { return m_capacity; }

private:
    void grow(int size);

    State m_state;
    std::uint8_t* m_buffer;
    int m_frameLength = 0;
    int m_capacity = IpcConstants::INLINE_SIZE;
    std::uint8_t m_inline[IpcConstants::INLINE_SIZE];
};
