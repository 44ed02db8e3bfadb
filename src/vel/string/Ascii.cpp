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

Ascii::Ascii(const char* s) {
    if (!LUM_ASSERT(s)) return;
    std::size_t length = std::strlen(s);
    if (!LUM_ASSERT(length < static_cast<std::size_t>(StringConstants::MAX_LENGTH))) return;
    takeOver(copyOf(s, static_cast<std::int32_t>(length)));
}

Ascii::Ascii(const char* s, std::int32_t length) {
    if (!LUM_ASSERT(s && 0 <= length && length <= StringConstants::MAX_LENGTH)) return;
    takeOver(copyOf(s, length));
}

Ascii::Ascii(const ByteOutputBuffer& buffer) : Reference(ByteArray(buffer)) {}

Ascii::Ascii(const Unicode& text) {
    NormalByteArrayImpl* impl = NormalByteArrayImpl::create(text.length());
    if (!impl) return;
    TextCodec::narrow(text.text(), text.length(), reinterpret_cast<char*>(impl->data()));
    takeOver(impl);
}

void Ascii::takeOver(ByteArrayImpl* impl) {
    if (impl) Reference::operator=(Reference(impl, Reference::TAKE_OVER));
}

Ascii Ascii::adopt(ByteArrayImpl* impl) {
    Ascii result;
    result.takeOver(impl);
    return result;
}

const char* Ascii::text() const {
    return m ? reinterpret_cast<const char*>(impl()->bytes()) : "";
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
    ByteArrayImpl* shared = impl();
    if (shared) shared->addRef();
    return ByteArray::adopt(shared);
}

Ascii Ascii::fromByteArray(const ByteArray& bytes) {
    ByteArrayImpl* impl = bytes.impl();
    if (impl) impl->addRef();
    return adopt(impl);
}
