#pragma once
// One message of the pipe: immutable bytes shared by reference between the threads that pass it
// on. Its bytes are followed by a zero, so they can be logged as text.
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/ByteArray.h"
#include "vel/string/ByteOutputBuffer.h"

class DatagramConstants {
public:
    static constexpr std::int32_t MAX_LENGTH = 10000000;
};

class DatagramImpl : public ReferenceImpl {
public:
    explicit DatagramImpl(const ByteArray& bytes) : m_bytes(bytes) {}

    const ByteArray& byteArray() const { return m_bytes; }

private:
    ByteArray m_bytes;
};

class Datagram : public Reference {
public:
    // The null datagram: a place holder, never sent.
    Datagram() = default;
    // A copy of the bytes; they must exist and number 0 to DatagramConstants::MAX_LENGTH.
    Datagram(const void* bytes, std::int32_t length);
    // The text without its terminating zero.
    explicit Datagram(const char* text);
    // Shares the array's bytes without a copy (a serialised document on its way out).
    static Datagram fromByteArray(const ByteArray& bytes);
    // Shares the bytes of a completed output buffer without a copy.
    static Datagram fromByteArray(const ByteOutputBuffer& buffer) { return fromByteArray(ByteArray(buffer)); }
    // Takes a reference to an element of a datagram list.
    static Datagram fromElement(ElementInterface* element);

    const std::uint8_t* bytes() const;
    std::int32_t length() const;
    const char* text() const { return reinterpret_cast<const char*>(bytes()); }
    ByteArray byteArray() const;

    DatagramImpl* impl() const { return static_cast<DatagramImpl*>(static_cast<ReferenceImpl*>(m)); }

private:
    explicit Datagram(DatagramImpl* p) : Reference(p, Reference::TAKE_OVER) {}
};
