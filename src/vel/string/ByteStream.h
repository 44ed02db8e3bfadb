#pragma once
// Plain writer and reader over caller memory. Every write is checked against the end; a write that
// does not fit is a broken invariant and writes nothing.
#include <cstdint>

#include "vel/reference/SafeInteger.h"

class ByteArray;
class FormatBuffer;

class ByteOutputStream {
public:
    ByteOutputStream(std::uint8_t* buffer, std::int32_t size);

    void write(const void* bytes, std::int32_t length);
    void writeByte(std::uint8_t byte);
    // Four bytes in host order.
    void writeInt32(std::int32_t value);
    // Without its terminator.
    void writeText(const char* text);
    void write(const FormatBuffer& text);
    // The length as four bytes in host order, then the bytes.
    void writeByteArray(const ByteArray& bytes);

    bool full() const { return m_writePointer == m_endPointer; }
    std::int32_t length() const { return static_cast<std::int32_t>(m_writePointer - m_begin); }
    std::int32_t remaining() const { return static_cast<std::int32_t>(m_endPointer - m_writePointer); }

private:
    std::uint8_t* m_begin;
    std::int32_t m_size;
    std::uint8_t* m_writePointer;
    std::uint8_t* m_endPointer;
};

class ByteInputStream {
public:
    ByteInputStream(const std::uint8_t* buffer, std::int32_t length);

    // Four bytes in host order; invalid (and nothing consumed) when fewer remain. A negative value
    // is invalid too, as every safe integer is.
    SafeInteger readInt32();
    // A length read as readInt32 and then that many bytes; false when they are not all there or
    // the length is outside 0 to StringConstants::MAX_LENGTH. Nothing is consumed on failure.
    bool readByteArray(ByteArray& bytes);
    bool atEnd() const { return m_readPointer == m_endPointer; }
    std::int32_t remaining() const { return static_cast<std::int32_t>(m_endPointer - m_readPointer); }

private:
    const std::uint8_t* m_readPointer;
    const std::uint8_t* m_endPointer;
};
