#pragma once
// Immutable, reference-counted bytes. Every array keeps a terminating zero after its bytes, so its
// bytes are also a NUL-terminated text.
#include <cstddef>
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/ValueProxy.h"

class Ascii;
class ByteOutputBuffer;
class ByteOutputBufferImpl;

class ByteArrayImpl : public ReferenceImpl {
public:
    std::int32_t length() const { return m_length; }
    virtual const std::uint8_t* bytes() const = 0;

protected:
    explicit ByteArrayImpl(std::int32_t length) : m_length(length) {}

    std::int32_t m_length;
};

// The bytes live in the same allocation, right after the object.
class NormalByteArrayImpl : public ByteArrayImpl {
public:
    // Null when the length is outside 0 to StringConstants::MAX_LENGTH - 1 (after the assertion).
    static NormalByteArrayImpl* create(std::int32_t length);

    const std::uint8_t* bytes() const override { return reinterpret_cast<const std::uint8_t*>(this + 1); }
    // For the creator only, before the array is shared.
    std::uint8_t* data() { return reinterpret_cast<std::uint8_t*>(this + 1); }

    static void* operator new(std::size_t size, std::int32_t length);
    static void operator delete(void* p);
    static void operator delete(void* p, std::int32_t length);

private:
    explicit NormalByteArrayImpl(std::int32_t length);
};

// The bytes of a completed output buffer, lent without a copy.
class BorrowedByteArrayImpl : public ByteArrayImpl {
public:
    explicit BorrowedByteArrayImpl(ByteOutputBufferImpl* buffer);
    ~BorrowedByteArrayImpl() override;

    const std::uint8_t* bytes() const override { return m_bytes; }

private:
    ByteOutputBufferImpl* m_buffer;
    const std::uint8_t* m_bytes;
};

class ByteArray : public Reference {
public:
    ByteArray() = default;
    explicit ByteArray(const char* s);
    ByteArray(const void* bytes, std::int32_t length);
    // Borrows the bytes of a completed buffer.
    explicit ByteArray(const ByteOutputBuffer& buffer);
    ByteArray(const ByteArray& first, const ByteArray& second);

    std::int32_t length() const { return m ? impl()->length() : 0; }
    const std::uint8_t* bytes() const;
    // The bytes as a NUL-terminated text.
    const char* text() const { return reinterpret_cast<const char*>(bytes()); }
    std::uint8_t operator[](std::int32_t index) const;

    bool operator==(const ByteArray& other) const;
    bool operator!=(const ByteArray& other) const { return !(*this == other); }
    ByteArray operator+(const ByteArray& other) const { return ByteArray(*this, other); }

    // Two lower-case digits per byte.
    Ascii toHex() const;
    // Pairs of digits of either case; an odd, short or non-hex text gives the empty array.
    static ByteArray fromHex(const char* text, std::int32_t length);
    static ByteArray fromHex(const Ascii& text);
    Ascii toBase64() const;
    // White space is skipped; any malformed text gives the empty array.
    static ByteArray fromBase64(const char* text, std::int32_t length);
    static ByteArray fromBase64(const Ascii& text);

    ByteArrayImpl* impl() const { return static_cast<ByteArrayImpl*>(static_cast<ReferenceImpl*>(m)); }
    // Takes over a reference the caller owns (null gives the empty array).
    static ByteArray adopt(ByteArrayImpl* impl);

private:
    // The first reference of a new array moves into this value; null leaves it empty.
    void takeOver(ByteArrayImpl* impl);
};

class ByteArrayProxy : public ValueProxy<ByteArray> {
public:
    using ValueProxy<ByteArray>::ValueProxy;
    using ValueProxy<ByteArray>::operator=;
};
