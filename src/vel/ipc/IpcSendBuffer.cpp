#include "vel/ipc/IpcSendBuffer.h"

#include <cstring>

#include "runtime/lum/Assert.h"
#include "runtime/lum/LumMemory.h"
#include "vel/ipc/IpcManager.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

namespace {

// The frame header of a payload into header (ConnApiFrame::HEADER_CAPACITY bytes); its length, or
// 0 for a payload that cannot be framed.
int headerOf(const std::uint8_t* bytes, int length, char* header) {
    // The receiver takes no more than the protocol's limit, so no more is sent.
    if (!LUM_ASSERT(bytes && 0 < length && length <= ConnApiFrame::MAX_MESSAGE_LENGTH)) return 0;
    int headerLength = ConnApiFrame::writeHeader(length, header);
    return LUM_ASSERT(headerLength > 0) ? headerLength : 0;
}

}  // namespace

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
    char header[ConnApiFrame::HEADER_CAPACITY];
    int headerLength = headerOf(bytes, length, header);
    if (headerLength == 0) return;
    int frameLength = headerLength + length;
    grow(frameLength);
    std::memcpy(m_buffer, header, static_cast<size_t>(headerLength));
    std::memcpy(m_buffer + headerLength, bytes, static_cast<size_t>(length));
    m_frameLength = frameLength;
}

void IpcSendBuffer::send(const IpcManager& ipc) {
    send(ipc, 0);
}

void IpcSendBuffer::send(const IpcManager& ipc, int offset) {
    if (!LUM_ASSERT(m_state == READY && m_frameLength > 0 && 0 <= offset && offset < m_frameLength)) return;
    ipc.send(m_buffer + offset, m_frameLength - offset);
}

int IpcSendBuffer::trySendFrame(const IpcManager& ipc, const Datagram& datagram, int* frameLength) {
    *frameLength = 0;
    int length = datagram.length();
    char header[ConnApiFrame::HEADER_CAPACITY];
    int headerLength = headerOf(datagram.bytes(), length, header);
    if (headerLength == 0) return 0;
    *frameLength = headerLength + length;
    return ipc.trySend(reinterpret_cast<const std::uint8_t*>(header), headerLength, datagram.bytes(), length);
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
