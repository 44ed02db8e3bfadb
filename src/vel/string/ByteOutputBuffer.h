#pragma once
// A write-once buffer: filled through data() up to its allocated size, then completed with the
// final length, after which it is read-only and can lend its bytes to a ByteArray or Ascii
// without a copy.
#include <cstddef>
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class ByteOutputBufferImpl : public ReferenceImpl {
public:
    // Null when the size is outside 0 to StringConstants::MAX_LENGTH (after the assertion).
    static ByteOutputBufferImpl* create(std::int32_t allocedSize);

    std::int32_t allocedSize() const { return m_allocedSize; }
    bool complete() const { return m_complete; }
    // Writable only before completion.
    std::uint8_t* data();
    // Stores the final length and the terminating zero.
    void complete(std::int32_t length);
    // Readable only after completion.
    const std::uint8_t* bytes() const;
    std::int32_t length() const;

    static void* operator new(std::size_t size, std::int32_t allocedSize);
    static void operator delete(void* p);
    static void operator delete(void* p, std::int32_t allocedSize);

private:
    explicit ByteOutputBufferImpl(std::int32_t allocedSize);

    std::uint8_t* payload() { return reinterpret_cast<std::uint8_t*>(this + 1); }
    const std::uint8_t* payload() const { return reinterpret_cast<const std::uint8_t*>(this + 1); }

    std::int32_t m_allocedSize;
    std::int32_t m_length = 0;
    bool m_complete = false;
};

class ByteOutputBuffer : public Reference {
public:
    explicit ByteOutputBuffer(std::int32_t allocedSize);

    std::int32_t allocedSize() const { return m ? impl()->allocedSize() : 0; }
    std::uint8_t* data() { return m ? impl()->data() : nullptr; }
    void complete(std::int32_t length) {
        if (m) impl()->complete(length);
    }
    bool isComplete() const { return m && impl()->complete(); }
    const std::uint8_t* bytes() const { return m ? impl()->bytes() : nullptr; }
    std::int32_t length() const { return m ? impl()->length() : 0; }

    ByteOutputBufferImpl* impl() const {
        return static_cast<ByteOutputBufferImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
