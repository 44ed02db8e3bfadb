#pragma once
// Immutable, reference-counted wide (UTF-16) text with a terminating zero character.
#include <cstddef>
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class Ascii;

class WideCharArrayImpl : public ReferenceImpl {
public:
    std::int32_t length() const { return m_length; }
    virtual const char16_t* text() const = 0;

protected:
    explicit WideCharArrayImpl(std::int32_t length) : m_length(length) {}

    std::int32_t m_length;
};

class NormalWideCharArrayImpl : public WideCharArrayImpl {
public:
    // Null when the length is outside 0 to UnicodeConstants::MAX_LENGTH - 1 (after the assertion).
    static NormalWideCharArrayImpl* create(std::int32_t length);

    const char16_t* text() const override { return reinterpret_cast<const char16_t*>(this + 1); }
    char16_t* data() { return reinterpret_cast<char16_t*>(this + 1); }

    static void* operator new(std::size_t size, std::int32_t length);
    static void operator delete(void* p);
    static void operator delete(void* p, std::int32_t length);

private:
    explicit NormalWideCharArrayImpl(std::int32_t length);
};

class Unicode : public Reference {
public:
    Unicode() = default;
    // Widens byte by byte (Latin-1).
    explicit Unicode(const Ascii& text);
    explicit Unicode(const char* text);
    explicit Unicode(const char16_t* text);
    Unicode(const char16_t* text, std::int32_t length);
    Unicode(const Unicode& first, const Unicode& second);

    std::int32_t length() const { return m ? impl()->length() : 0; }
    const char16_t* text() const { return m ? impl()->text() : u""; }

    bool operator==(const Unicode& other) const;
    bool operator!=(const Unicode& other) const { return !(*this == other); }
    Unicode operator+(const Unicode& other) const { return Unicode(*this, other); }

    // Narrowing copy: characters below 128 kept, every other one "?".
    Ascii toAscii() const;

private:
    WideCharArrayImpl* impl() const {
        return static_cast<WideCharArrayImpl*>(static_cast<ReferenceImpl*>(m));
    }
    void takeOver(WideCharArrayImpl* impl);
};
