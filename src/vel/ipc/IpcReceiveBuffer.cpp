#include "vel/ipc/IpcReceiveBuffer.h"

#include <cstring>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LumMemory.h"
#include "vel/exception/NoConnectionException.h"
#include "vel/ipc/IpcManager.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

IpcReceiveBuffer::IpcReceiveBuffer() : m_state(READY), m_buffer(m_inline), m_readPosition(m_inline) {}

IpcReceiveBuffer::~IpcReceiveBuffer() {
    tellSkipped(true);
    m_state = DESTROYED;
    if (m_buffer != m_inline) lumFree(__FILE__, __LINE__, &m_buffer);
}

void IpcReceiveBuffer::skipped(void* context, std::uint8_t first, int count) {
    auto* buffer = static_cast<IpcReceiveBuffer*>(context);
    if (buffer->m_skippedRuns.occur())
        logDebug("Invalid charcter 0x%02x in IPC message header (%d skipped)", first, count);
}

void IpcReceiveBuffer::tellSkipped(bool end) {
    const LogFold::Told told = m_skippedRuns.take(end);
    if (told.count > 0) {
        logDebug("Invalid charcters in IPC message headers: %d more runs skipped in %lld s", told.count,
                 told.seconds);
    }
}

IpcReceiveBuffer::HeaderParse IpcReceiveBuffer::parseHeader() {
    ConnApiFrame::HeaderReading reading =
        ConnApiFrame::readHeader(m_readPosition, usable(), m_headerScanned, &skipped, this);
    m_headerScanned = reading.scanned;
    tellSkipped(false);
    if (reading.status == ConnApiFrame::HeaderStatus::INCOMPLETE) return HEADER_INCOMPLETE;
    if (reading.status == ConnApiFrame::HeaderStatus::NEVER) return HEADER_NEVER;
    // Both are bounded by the protocol, so their sum is too.
    m_headerLength = SafeInteger(reading.headerLength);
    m_messageLength = SafeInteger(reading.messageLength);
    m_totalLength = SafeInteger(reading.headerLength + reading.messageLength);
    bool valid = m_headerLength.valid() && m_messageLength.valid() && m_totalLength.valid();
    return valid ? HEADER_ACCEPTED : HEADER_NEVER;
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
