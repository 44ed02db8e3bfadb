#include "vel/ipc/IpcSendBuffer.h"

#include <cstring>

#include "runtime/lum/Assert.h"
#include "runtime/lum/LumMemory.h"
#include "vel/ipc/IpcManager.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

IpcSendBuffer::IpcSendBuffer() : m_state(READY), m_buffer(m_inline) {}

IpcSendBuffer::~IpcSendBuffer() {
    m_state = DESTROYED;
    if (m_buffer != m_inline) lumFree(__FILE__, __LINE__, &m_buffer);
}

void IpcSendBuffer::frame(const Datagram& datagram) {
    frame(datagram.bytes(), datagram.length());
}

void IpcSendBuffer::frame(const std::uint8_t* bytes, int length) {
    if (!LUM_ASSERT(m_state == READY)) return;
    // A payload that cannot be framed leaves no frame behind: a send after it must not repeat the
    // frame before.
    m_frameLength = 0;
    // The receiver takes no more than the protocol's limit, so no more is sent.
    if (!LUM_ASSERT(bytes && 0 < length && length <= ConnApiFrame::MAX_MESSAGE_LENGTH)) return;
    char header[ConnApiFrame::HEADER_CAPACITY];
    int headerLength = ConnApiFrame::writeHeader(length, header);
    if (!LUM_ASSERT(headerLength > 0)) return;
    int frameLength = headerLength + length;
    grow(frameLength);
    std::memcpy(m_buffer, header, static_cast<size_t>(headerLength));
    std::memcpy(m_buffer + headerLength, bytes, static_cast<size_t>(length));
    m_frameLength = frameLength;
}

void IpcSendBuffer::send(const IpcManager& ipc) {
    if (!LUM_ASSERT(m_state == READY && m_frameLength > 0)) return;
    ipc.send(m_buffer, m_frameLength);
}

void IpcSendBuffer::grow(int size) {
    if (size <= m_capacity) return;
    if (m_buffer == m_inline) {
        std::uint8_t* block = nullptr;
        lumAlloc(__FILE__, __LINE__, &block, size);
        std::memcpy(block, m_inline, static_cast<size_t>(m_frameLength));
        m_buffer = block;
    } else {
        lumRealloc(__FILE__, __LINE__, &m_buffer, size);
    }
    m_capacity = size;
}
