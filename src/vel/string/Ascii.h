#pragma once
// Immutable, reference-counted 8-bit text (plain ASCII or UTF-8), stored like ByteArray.
#include <cstdint>

#include "vel/string/ByteArray.h"
#include "vel/string/ValueProxy.h"

class Unicode;
class ByteOutputBuffer;

class Ascii : public Reference {
public:
    Ascii() = default;
    Ascii(const char* s);  // NOLINT: texts convert implicitly, as literals are passed everywhere
    Ascii(const char* s, std::int32_t length);
    explicit Ascii(const ByteOutputBuffer& buffer);
    // Narrowing copy: characters below 128 kept, every other one "?".
    explicit Ascii(const Unicode& text);

    // UTF-8 form of a wide text; a failed conversion is logged and gives the empty text.
    static Ascii fromWide(const Unicode& text);
    // UTF-8 form of a NUL-terminated wide text (folder paths).
    static Ascii fromWide(const char16_t* text);
    static Ascii narrow(const Unicode& text) { return Ascii(text); }

    std::int32_t length() const { return m ? impl()->length() : 0; }
    const char* text() const;

    bool operator==(const Ascii& other) const;
    bool operator!=(const Ascii& other) const { return !(*this == other); }
    bool operator==(const char* other) const;
    bool operator!=(const char* other) const { return !(*this == other); }

    // Index of the first occurrence, or -1.
    std::int32_t find(char c) const;
    // A negative index counts from the end; the result is empty unless begin < end.
    Ascii substring(std::int32_t begin, std::int32_t end) const;
    Ascii operator+(const Ascii& other) const;

    // The same bytes as a byte array (no copy).
    ByteArray toByteArray() const;
    static Ascii fromByteArray(const ByteArray& bytes);

    ByteArrayImpl* impl() const { return static_cast<ByteArrayImpl*>(static_cast<ReferenceImpl*>(m)); }
    static Ascii adopt(ByteArrayImpl* impl);

private:
    void takeOver(ByteArrayImpl* impl);
};

class AsciiProxy : public ValueProxy<Ascii> {
public:
    using ValueProxy<Ascii>::ValueProxy;
    using ValueProxy<Ascii>::operator=;
};
