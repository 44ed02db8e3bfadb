#include "vel/string/ByteArrayVector.h"

#include "runtime/lum/Assert.h"
#include "vel/string/ByteOutputBuffer.h"
#include "vel/string/ByteStream.h"
#include "vel/string/StringConstants.h"

ByteArray ByteArrayVector::get(std::int32_t index) const {
    if (!LUM_ASSERT(0 <= index && index < length())) return ByteArray();
    return m_elements[static_cast<std::size_t>(index)];
}

ByteArray ByteArrayVector::serialize() const {
    std::int64_t total = 4;
    for (const ByteArray& element : m_elements) total += 4 + std::int64_t{element.length()};
    if (!LUM_ASSERT(total <= StringConstants::MAX_LENGTH)) return ByteArray();
    ByteOutputBuffer buffer(static_cast<std::int32_t>(total));
    ByteOutputStream stream(buffer.data(), buffer.allocedSize());
    stream.writeInt32(length());
    for (const ByteArray& element : m_elements) stream.writeByteArray(element);
    buffer.complete(stream.length());
    return ByteArray(buffer);
}

ByteArrayVectorProxy ByteArrayVector::deserialize(const ByteArray& bytes) {
    ByteInputStream stream(bytes.bytes(), bytes.length());
    SafeInteger read = stream.readInt32();
    if (!read.inRange(0, StringConstants::MAX_LENGTH)) return {};
    std::int32_t count = read.value();
    // Every element needs at least its length word, so a count the input cannot hold is refused
    // before anything is read or reserved.
    if (count > stream.remaining() / 4) return {};
    ByteArrayVector vector;
    vector.m_elements.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        ByteArray element;
        if (!stream.readByteArray(element)) return {};
        vector.add(element);
    }
    if (!stream.atEnd()) return {};
    return ByteArrayVectorProxy(vector);
}
