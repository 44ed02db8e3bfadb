#include "vel/datagram/Datagram.h"

#include <cstring>

#include "runtime/lum/Assert.h"

namespace {

const std::uint8_t EMPTY[1] = {0};

}  // namespace

Datagram::Datagram(const void* bytes, std::int32_t length) {
    if (!LUM_ASSERT(bytes && 0 <= length && length <= DatagramConstants::MAX_LENGTH)) return;
    m = new DatagramImpl(ByteArray(bytes, length));
}

Datagram::Datagram(const char* text) {
    if (!LUM_ASSERT(text)) return;
    size_t length = std::strlen(text);
    if (!LUM_ASSERT(length <= static_cast<size_t>(DatagramConstants::MAX_LENGTH))) return;
    m = new DatagramImpl(ByteArray(text, static_cast<std::int32_t>(length)));
}

Datagram Datagram::fromByteArray(const ByteArray& bytes) {
    return Datagram(new DatagramImpl(bytes));
}

Datagram Datagram::fromElement(ElementInterface* element) {
    Datagram datagram;
    if (!LUM_ASSERT(element)) return datagram;
    static_cast<Reference&>(datagram) = Reference(element);
    return datagram;
}

const std::uint8_t* Datagram::bytes() const {
    if (m == nullptr || impl()->byteArray().length() == 0) return EMPTY;
    return impl()->byteArray().bytes();
}

std::int32_t Datagram::length() const {
    return m == nullptr ? 0 : impl()->byteArray().length();
}

ByteArray Datagram::byteArray() const {
    return m == nullptr ? ByteArray() : impl()->byteArray();
}
