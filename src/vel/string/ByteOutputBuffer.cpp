#include "vel/string/ByteOutputBuffer.h"

#include <new>

#include "runtime/lum/Assert.h"
#include "vel/string/StringConstants.h"

void* ByteOutputBufferImpl::operator new(std::size_t size, std::int32_t allocedSize) {
    // One allocation: the object, the payload and its terminating zero.
    return ::operator new(size + static_cast<std::size_t>(allocedSize) + 1);
}

void ByteOutputBufferImpl::operator delete(void* p) {
    ::operator delete(p);
}

void ByteOutputBufferImpl::operator delete(void* p, std::int32_t) {
    ::operator delete(p);
}

ByteOutputBufferImpl* ByteOutputBufferImpl::create(std::int32_t allocedSize) {
    if (!LUM_ASSERT(0 <= allocedSize && allocedSize <= StringConstants::MAX_LENGTH)) return nullptr;
    return new (allocedSize) ByteOutputBufferImpl(allocedSize);
}

ByteOutputBufferImpl::ByteOutputBufferImpl(std::int32_t allocedSize) : m_allocedSize(allocedSize) {
    payload()[0] = 0;
}

std::uint8_t* ByteOutputBufferImpl::data() {
    if (!LUM_ASSERT_TEXT(!m_complete, "! m_complete")) return nullptr;
    return payload();
}

void ByteOutputBufferImpl::complete(std::int32_t length) {
    if (!LUM_ASSERT_TEXT(!m_complete, "! m_complete")) return;
    if (!LUM_ASSERT(0 <= length && length <= m_allocedSize)) length = 0;
    m_length = length;
    payload()[length] = 0;
    m_complete = true;
}

const std::uint8_t* ByteOutputBufferImpl::bytes() const {
    if (!LUM_ASSERT(m_complete)) return reinterpret_cast<const std::uint8_t*>("");
    return payload();
}

std::int32_t ByteOutputBufferImpl::length() const {
    if (!LUM_ASSERT(m_complete)) return 0;
    return m_length;
}

ByteOutputBuffer::ByteOutputBuffer(std::int32_t allocedSize) {
    ByteOutputBufferImpl* impl = ByteOutputBufferImpl::create(allocedSize);
    if (impl) Reference::operator=(Reference(impl, Reference::TAKE_OVER));
}
