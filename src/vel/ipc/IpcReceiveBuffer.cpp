#include "vel/ipc/IpcReceiveBuffer.h"

#include <cstring>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LumMemory.h"
#include "vel/exception/NoConnectionException.h"
#include "vel/ipc/IpcManager.h"

IpcReceiveBuffer::IpcReceiveBuffer() : m_state(READY), m_buffer(m_inline), m_readPosition(m_inline) {}

IpcReceiveBuffer::~IpcReceiveBuffer() {
    m_state = DESTROYED;
    if (m_buffer != m_inline) lumFree(__FILE__, __LINE__, &m_buffer);
}

IpcReceiveBuffer::HeaderParse IpcReceiveBuffer::parseHeader() {
    // The line feed is taken only with one more byte behind it, so a header needs two bytes.
    if (usable() < IpcConstants::MIN_HEADER_LENGTH) return HEADER_INCOMPLETE;
    const std::uint8_t* lastFilled = m_buffer + m_length - 1;
    const std::uint8_t* p = m_readPosition;
    SafeInteger length(0);
    for (;;) {
        std::uint8_t c = *p;
        int index = static_cast<int>(p - m_readPosition);
        if (c == '\n') break;
        SafeInteger digit = SafeInteger::fromDigit(static_cast<char>(c));
        if (digit.valid()) {
            length = length * SafeInteger(10) + digit;
        } else if (index >= m_headerScanned) {
            logDebug("Invalid charcter 0x%02x in IPC message header", c);
        }
        if (index + 1 > m_headerScanned) m_headerScanned = index + 1;
        // More digits only make a length larger, and skipped bytes leave it as it is.
        if (!length.inRange(0, IpcConstants::MAX_MESSAGE_LENGTH)) return HEADER_NEVER;
        if (index + 2 > IpcConstants::MAX_HEADER_LENGTH) return HEADER_NEVER;
        ++p;
        if (p == lastFilled) return HEADER_INCOMPLETE;
    }
    SafeInteger headerLength(m_readPosition, p + 1);
    // A line feed at the start ends every later scan at the same place.
    if (!(headerLength >= SafeInteger(IpcConstants::MIN_HEADER_LENGTH))) return HEADER_NEVER;
    m_headerLength = headerLength;
    m_messageLength = length;
    m_totalLength = headerLength + length;
    return m_totalLength.valid() ? HEADER_ACCEPTED : HEADER_NEVER;
}

void IpcReceiveBuffer::grow(int size) {
    if (size <= m_capacity) return;
    std::uint8_t* block = nullptr;
    lumAlloc(__FILE__, __LINE__, &block, size);
    int count = usable();
    std::memcpy(block, m_readPosition, static_cast<size_t>(count));
    if (m_buffer != m_inline) lumFree(__FILE__, __LINE__, &m_buffer);
    m_buffer = block;
    m_readPosition = block;
    m_length = count;
    m_capacity = size;
}

void IpcReceiveBuffer::compact() {
    if (consumed() == 0) return;
    int count = usable();
    std::memmove(m_buffer, m_readPosition, static_cast<size_t>(count));
    m_readPosition = m_buffer;
    m_length = count;
}

Datagram IpcReceiveBuffer::receive(const IpcManager& ipc) {
    if (!LUM_ASSERT(m_state == READY)) NoConnectionException::raise();
    m_totalLength = SafeInteger();
    for (;;) {
        if (m_totalLength.invalid() && usable() > 0) {
            HeaderParse parse = parseHeader();
            if (parse == HEADER_NEVER) {
                logError(0, "IPC message header can never be accepted, closing the connection");
                NoConnectionException::raise();
            }
            if (parse == HEADER_ACCEPTED) grow(m_totalLength.value());
        }
        if (m_totalLength.valid() && m_totalLength <= SafeInteger(usable())) break;
        compact();
        int fill = m_capacity - m_length;
        if (!LUM_ASSERT(fill > 0)) NoConnectionException::raise();
        int count = 0;
        ipc.receive(m_buffer + m_length, fill, &count);
        if (!LUM_ASSERT(0 < count && count <= fill)) NoConnectionException::raise();
        m_length += count;
    }
    m_messageStart = m_readPosition + m_headerLength.value();
    int messageLength = m_messageLength.value();
    m_readPosition = m_messageStart + messageLength;
    m_headerScanned = 0;
    return Datagram(m_messageStart, messageLength);
}
