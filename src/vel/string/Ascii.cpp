#include "vel/string/Ascii.h"

#include <cstring>

#include "runtime/lum/Assert.h"
#include "vel/string/ByteOutputBuffer.h"
#include "vel/string/StringConstants.h"
#include "vel/string/TextCodec.h"
#include "vel/string/Unicode.h"

namespace {

ByteArrayImpl* copyOf(const char* s, std::int32_t length) {
    NormalByteArrayImpl* impl = NormalByteArrayImpl::create(length);
    if (impl && length > 0) std::memcpy(impl->data(), s, static_cast<std::size_t>(length));
    return impl;
}

}  // namespace

Ascii::Ascii(const char* s) : m(nullptr) {
    if (!LUM_ASSERT(s)) return;
    std::size_t length = std::strlen(s);
    if (!LUM_ASSERT(length < static_cast<std::size_t>(StringConstants::MAX_LENGTH))) return;
    m = copyOf(s, static_cast<std::int32_t>(length));
}

Ascii::Ascii(const char* s, std::int32_t length) : m(nullptr) {
    if (!LUM_ASSERT(s && 0 <= length && length <= StringConstants::MAX_LENGTH)) return;
    m = copyOf(s, length);
}

Ascii::Ascii(const ByteOutputBuffer& buffer) : m(ByteArray(buffer).impl()) {
    if (m) m->addRef();
}

Ascii::Ascii(const Unicode& text) : m(nullptr) {
    NormalByteArrayImpl* impl = NormalByteArrayImpl::create(text.length());
    if (!impl) return;
    TextCodec::narrow(text.text(), text.length(), reinterpret_cast<char*>(impl->data()));
    m = impl;
}

Ascii::Ascii(const Ascii& other) : m(other.m) {
    if (m) m->addRef();
}

Ascii& Ascii::operator=(const Ascii& other) {
    if (other.m) other.m->addRef();
    if (m) m->release();
    m = other.m;
    return *this;
}

Ascii::~Ascii() {
    if (m) m->release();
}

Ascii Ascii::adopt(ByteArrayImpl* impl) {
    Ascii result;
    result.m = impl;
    return result;
}

const char* Ascii::text() const {
    return m ? reinterpret_cast<const char*>(m->bytes()) : "";
}

bool Ascii::operator==(const Ascii& other) const {
    return TextCodec::equal(text(), length(), other.text(), other.length());
}

bool Ascii::operator==(const char* other) const {
    return TextCodec::equal(text(), length(), other, -1);
}

std::int32_t Ascii::find(char c) const {
    const char* s = text();
    for (std::int32_t i = 0; i < length(); ++i) {
        if (s[i] == c) return i;
    }
    return -1;
}

Ascii Ascii::substring(std::int32_t begin, std::int32_t end) const {
    auto clamp = [this](std::int32_t index) {
        if (index < 0) {
            index += length();
            if (index < 0) index = 0;
        } else if (index > length()) {
            index = length();
        }
        return index;
    };
    begin = clamp(begin);
    end = clamp(end);
    if (begin >= end) return Ascii("");
    return Ascii(text() + begin, end - begin);
}

Ascii Ascii::operator+(const Ascii& other) const {
    return fromByteArray(toByteArray() + other.toByteArray());
}

ByteArray Ascii::toByteArray() const {
    if (m) m->addRef();
    return ByteArray::adopt(m);
}

Ascii Ascii::fromByteArray(const ByteArray& bytes) {
    ByteArrayImpl* impl = bytes.impl();
    if (impl) impl->addRef();
    return adopt(impl);
}
