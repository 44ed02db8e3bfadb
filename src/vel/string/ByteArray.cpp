#include "vel/string/ByteArray.h"

#include <cstring>
#include <new>

#include "runtime/lum/Assert.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteOutputBuffer.h"
#include "vel/string/ByteStream.h"
#include "vel/string/StringConstants.h"
#include "vel/string/TextCodec.h"

void* NormalByteArrayImpl::operator new(std::size_t size, std::int32_t length) {
    LUM_ASSERT_TEXT(size == sizeof(NormalByteArrayImpl), "size == sizeof (NormalByteArrayImpl)");
    return ::operator new(size + static_cast<std::size_t>(length) + 1);
}

void NormalByteArrayImpl::operator delete(void* p) {
    ::operator delete(p);
}

void NormalByteArrayImpl::operator delete(void* p, std::int32_t) {
    ::operator delete(p);
}

NormalByteArrayImpl* NormalByteArrayImpl::create(std::int32_t length) {
    if (!LUM_ASSERT(0 <= length && length < 10000000)) return nullptr;
    return new (length) NormalByteArrayImpl(length);
}

NormalByteArrayImpl::NormalByteArrayImpl(std::int32_t length) : ByteArrayImpl(length) {
    data()[length] = 0;
}

BorrowedByteArrayImpl::BorrowedByteArrayImpl(ByteOutputBufferImpl* buffer)
    : ByteArrayImpl(buffer->length()), m_buffer(buffer), m_bytes(buffer->bytes()) {
    m_buffer->addRef();
    if (!LUM_ASSERT_TEXT(m_bytes && m_bytes[m_length] == '\0', "bytes && bytes[length] == '\\0'")) {
        m_bytes = reinterpret_cast<const std::uint8_t*>("");
        m_length = 0;
    }
}

BorrowedByteArrayImpl::~BorrowedByteArrayImpl() {
    m_buffer->release();
}

namespace {

ByteArrayImpl* copyOf(const void* bytes, std::int32_t length) {
    NormalByteArrayImpl* impl = NormalByteArrayImpl::create(length);
    if (impl && length > 0) std::memcpy(impl->data(), bytes, static_cast<std::size_t>(length));
    return impl;
}

}  // namespace

ByteArray::ByteArray(const char* s) {
    if (!LUM_ASSERT(s)) return;
    std::size_t length = std::strlen(s);
    if (!LUM_ASSERT(length < static_cast<std::size_t>(StringConstants::MAX_LENGTH))) return;
    takeOver(copyOf(s, static_cast<std::int32_t>(length)));
}

ByteArray::ByteArray(const void* bytes, std::int32_t length) {
    if (!LUM_ASSERT(bytes && 0 <= length && length <= StringConstants::MAX_LENGTH)) return;
    takeOver(copyOf(bytes, length));
}

ByteArray::ByteArray(const ByteOutputBuffer& buffer) {
    ByteOutputBufferImpl* impl = buffer.impl();
    if (!LUM_ASSERT(impl && impl->complete())) return;
    takeOver(new BorrowedByteArrayImpl(impl));
}

ByteArray::ByteArray(const ByteArray& first, const ByteArray& second) {
    std::int64_t total = std::int64_t{first.length()} + second.length();
    if (!LUM_ASSERT(total < StringConstants::MAX_LENGTH)) return;
    NormalByteArrayImpl* impl = NormalByteArrayImpl::create(static_cast<std::int32_t>(total));
    if (!impl) return;
    ByteOutputStream stream(impl->data(), static_cast<std::int32_t>(total));
    stream.write(first.bytes(), first.length());
    stream.write(second.bytes(), second.length());
    LUM_ASSERT(stream.full());
    takeOver(impl);
}

void ByteArray::takeOver(ByteArrayImpl* impl) {
    if (impl) Reference::operator=(Reference(impl, Reference::TAKE_OVER));
}

ByteArray ByteArray::adopt(ByteArrayImpl* impl) {
    ByteArray result;
    result.takeOver(impl);
    return result;
}

const std::uint8_t* ByteArray::bytes() const {
    return m ? impl()->bytes() : reinterpret_cast<const std::uint8_t*>("");
}

std::uint8_t ByteArray::operator[](std::int32_t index) const {
    if (!LUM_ASSERT(0 <= index && index < length())) return 0;
    return bytes()[index];
}

bool ByteArray::operator==(const ByteArray& other) const {
    return TextCodec::equal(text(), length(), other.text(), other.length());
}

Ascii ByteArray::toHex() const {
    std::int64_t size = std::int64_t{length()} * 2;
    if (!LUM_ASSERT(size < StringConstants::MAX_LENGTH)) return Ascii();
    NormalByteArrayImpl* impl = NormalByteArrayImpl::create(static_cast<std::int32_t>(size));
    if (!impl) return Ascii();
    TextCodec::toHex(bytes(), length(), reinterpret_cast<char*>(impl->data()));
    return Ascii::adopt(impl);
}

ByteArray ByteArray::fromHex(const char* text, std::int32_t length) {
    if (!text || length < 2 || length % 2 != 0) return ByteArray();
    NormalByteArrayImpl* impl = NormalByteArrayImpl::create(length / 2);
    if (!impl) return ByteArray();
    ByteArray result = adopt(impl);
    if (TextCodec::fromHex(text, length, impl->data()) < 0) return ByteArray();
    return result;
}

ByteArray ByteArray::fromHex(const Ascii& text) {
    return fromHex(text.text(), text.length());
}

Ascii ByteArray::toBase64() const {
    std::int64_t size = TextCodec::base64Length(length());
    if (!LUM_ASSERT(size < StringConstants::MAX_LENGTH)) return Ascii();
    NormalByteArrayImpl* impl = NormalByteArrayImpl::create(static_cast<std::int32_t>(size));
    if (!impl) return Ascii();
    TextCodec::toBase64(bytes(), length(), reinterpret_cast<char*>(impl->data()));
    return Ascii::adopt(impl);
}

ByteArray ByteArray::fromBase64(const char* text, std::int32_t length) {
    if (!text || length <= 0) return ByteArray();
    std::int64_t expected = TextCodec::base64ExpectedLength(text, length);
    if (expected <= 0 || expected > StringConstants::MAX_LENGTH) return ByteArray();
    ByteOutputBuffer buffer(static_cast<std::int32_t>(expected));
    std::int32_t decoded = TextCodec::fromBase64(text, length, buffer.data(), expected);
    if (decoded < 0) return ByteArray();
    buffer.complete(decoded);
    return ByteArray(buffer);
}

ByteArray ByteArray::fromBase64(const Ascii& text) {
    return fromBase64(text.text(), text.length());
}
