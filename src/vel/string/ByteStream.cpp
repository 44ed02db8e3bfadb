#include "vel/string/ByteStream.h"

#include <cstring>

#include "runtime/lum/Assert.h"
#include "vel/string/ByteArray.h"
#include "vel/string/FormatBuffer.h"
#include "vel/string/StringConstants.h"

ByteOutputStream::ByteOutputStream(std::uint8_t* buffer, std::int32_t size)
    : m_begin(buffer), m_size(size), m_writePointer(buffer), m_endPointer(buffer) {
    if (LUM_ASSERT(buffer && size >= 0)) m_endPointer = buffer + size;
}

void ByteOutputStream::write(const void* bytes, std::int32_t length) {
    if (!LUM_ASSERT(bytes && length >= 0)) return;
    if (!LUM_ASSERT_TEXT(length <= m_endPointer - m_writePointer, "m_writePointer + length <= m_endPointer"))
        return;
    if (length > 0) std::memcpy(m_writePointer, bytes, static_cast<std::size_t>(length));
    m_writePointer += length;
}

void ByteOutputStream::writeByte(std::uint8_t byte) {
    if (!LUM_ASSERT_TEXT(m_writePointer + 1 <= m_endPointer, "m_writePointer + 1 <= m_endPointer")) return;
    *m_writePointer++ = byte;
}

void ByteOutputStream::writeInt32(std::int32_t value) {
    write(&value, sizeof value);
}

void ByteOutputStream::writeText(const char* text) {
    if (!LUM_ASSERT(text)) return;
    std::size_t length = std::strlen(text);
    if (!LUM_ASSERT(length < static_cast<std::size_t>(StringConstants::MAX_LENGTH))) return;
    write(text, static_cast<std::int32_t>(length));
}

void ByteOutputStream::write(const FormatBuffer& text) {
    write(text.text(), text.length());
}

void ByteOutputStream::writeByteArray(const ByteArray& bytes) {
    if (!LUM_ASSERT(std::int64_t{4} + bytes.length() <= m_endPointer - m_writePointer)) return;
    writeInt32(bytes.length());
    write(bytes.bytes(), bytes.length());
}

ByteInputStream::ByteInputStream(const std::uint8_t* buffer, std::int32_t length)
    : m_readPointer(buffer), m_endPointer(buffer) {
    if (LUM_ASSERT(buffer && length >= 0)) m_endPointer = buffer + length;
}

SafeInteger ByteInputStream::readInt32() {
    if (m_endPointer - m_readPointer < 4) return SafeInteger();
    std::int32_t value;
    std::memcpy(&value, m_readPointer, 4);
    m_readPointer += 4;
    return SafeInteger(value);
}

bool ByteInputStream::readByteArray(ByteArray& bytes) {
    if (m_endPointer - m_readPointer < 4) return false;
    std::uint32_t length;
    std::memcpy(&length, m_readPointer, 4);
    // Unsigned, so that a "negative" length is refused rather than read backwards.
    if (length > static_cast<std::uint32_t>(StringConstants::MAX_LENGTH)) return false;
    if (static_cast<std::int64_t>(length) > m_endPointer - m_readPointer - 4) return false;
    bytes = ByteArray(m_readPointer + 4, static_cast<std::int32_t>(length));
    m_readPointer += 4 + length;
    return true;
}
