#include "vel/string/Unicode.h"

#include <cstring>
#include <new>

#include "runtime/lum/Assert.h"
#include "vel/string/Ascii.h"
#include "vel/string/StringConstants.h"
#include "vel/string/TextCodec.h"
#include "vel/string/WideCharOutputStream.h"

void* NormalWideCharArrayImpl::operator new(std::size_t size, std::int32_t length) {
    return ::operator new(size + (static_cast<std::size_t>(length) + 1) * sizeof(char16_t));
}

void NormalWideCharArrayImpl::operator delete(void* p) {
    ::operator delete(p);
}

void NormalWideCharArrayImpl::operator delete(void* p, std::int32_t) {
    ::operator delete(p);
}

NormalWideCharArrayImpl* NormalWideCharArrayImpl::create(std::int32_t length) {
    if (!LUM_ASSERT(0 <= length && length < UnicodeConstants::MAX_LENGTH)) return nullptr;
    return new (length) NormalWideCharArrayImpl(length);
}

NormalWideCharArrayImpl::NormalWideCharArrayImpl(std::int32_t length) : WideCharArrayImpl(length) {
    data()[length] = 0;
}

Unicode::Unicode(const Ascii& text) : m(nullptr) {
    NormalWideCharArrayImpl* impl = NormalWideCharArrayImpl::create(text.length());
    if (!impl) return;
    TextCodec::widen(text.text(), text.length(), impl->data());
    m = impl;
}

Unicode::Unicode(const char* text) : Unicode(Ascii(text)) {}

Unicode::Unicode(const char16_t* text) : m(nullptr) {
    if (!LUM_ASSERT(text)) return;
    std::int64_t length = 0;
    while (length < UnicodeConstants::MAX_LENGTH && text[length]) ++length;
    if (!LUM_ASSERT_TEXT(length < UnicodeConstants::MAX_LENGTH,
                         "length.inRange(0, UnicodeConstants::MAX_LENGTH)")) {
        return;
    }
    *this = Unicode(text, static_cast<std::int32_t>(length));
}

Unicode::Unicode(const char16_t* text, std::int32_t length) : m(nullptr) {
    if (!LUM_ASSERT(text && 0 <= length)) return;
    NormalWideCharArrayImpl* impl = NormalWideCharArrayImpl::create(length);
    if (!impl) return;
    std::memcpy(impl->data(), text, static_cast<std::size_t>(length) * sizeof(char16_t));
    m = impl;
}

Unicode::Unicode(const Unicode& first, const Unicode& second) : m(nullptr) {
    std::int64_t total = std::int64_t{first.length()} + second.length();
    if (!LUM_ASSERT(total < UnicodeConstants::MAX_LENGTH)) return;
    NormalWideCharArrayImpl* impl = NormalWideCharArrayImpl::create(static_cast<std::int32_t>(total));
    if (!impl) return;
    WideCharOutputStream stream(impl->data(), static_cast<std::int32_t>(total));
    stream.write(first.text(), first.length());
    stream.write(second.text(), second.length());
    LUM_ASSERT(stream.full());
    m = impl;
}

Unicode::Unicode(const Unicode& other) : m(other.m) {
    if (m) m->addRef();
}

Unicode& Unicode::operator=(const Unicode& other) {
    if (other.m) other.m->addRef();
    if (m) m->release();
    m = other.m;
    return *this;
}

Unicode::~Unicode() {
    if (m) m->release();
}

bool Unicode::operator==(const Unicode& other) const {
    return length() == other.length() &&
           std::memcmp(text(), other.text(), static_cast<std::size_t>(length()) * sizeof(char16_t)) == 0;
}

Ascii Unicode::toAscii() const {
    return Ascii(*this);
}
