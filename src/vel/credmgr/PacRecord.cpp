#include "vel/credmgr/PacRecord.h"

#include <cstring>

#include "vel/string/ByteOutputBuffer.h"
#include "vel/string/StringConstants.h"

namespace {

const int FIELD_COUNT = 5;

void put32(std::uint8_t*& p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) *p++ = static_cast<std::uint8_t>(value >> (8 * i));
}

void putBytes(std::uint8_t*& p, const std::uint8_t* bytes, std::int32_t length) {
    if (length > 0) std::memcpy(p, bytes, length);
    p += length;
}

std::uint32_t get32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

ByteArray PacRecord::serialize(const PacFields& fields) {
    const std::int32_t lengths[FIELD_COUNT] = {fields.key.length(), fields.opaque.length(),
                                               fields.aid.length(), fields.iid.length(),
                                               fields.aidInfo.length()};
    std::int64_t total = HEADER_SIZE + 3 * LIFETIME_INT_SIZE;
    for (std::int32_t length : lengths) total += length;
    if (total >= StringConstants::MAX_LENGTH) return ByteArray();

    ByteOutputBuffer buffer(static_cast<std::int32_t>(total));
    std::uint8_t* p = buffer.data();
    for (std::int32_t length : lengths) put32(p, static_cast<std::uint32_t>(length));
    put32(p, LIFETIME_INT_SIZE);
    put32(p, LIFETIME_INT_SIZE);
    put32(p, static_cast<std::uint32_t>(fields.pacType));
    putBytes(p, fields.key.bytes(), fields.key.length());
    putBytes(p, fields.opaque.bytes(), fields.opaque.length());
    putBytes(p, fields.aid.bytes(), fields.aid.length());
    putBytes(p, reinterpret_cast<const std::uint8_t*>(fields.iid.text()), fields.iid.length());
    putBytes(p, reinterpret_cast<const std::uint8_t*>(fields.aidInfo.text()), fields.aidInfo.length());
    put32(p, static_cast<std::uint32_t>(fields.lifetime.first));
    put32(p, static_cast<std::uint32_t>(fields.lifetime.second));
    put32(p, 0);
    buffer.complete(static_cast<std::int32_t>(total));
    return ByteArray(buffer);
}

bool PacRecord::deserialize(const ByteArray& record, PacFields& out) {
    const std::int64_t size = record.length();
    if (size < HEADER_SIZE) return false;
    const std::uint8_t* bytes = record.bytes();
    // Sums of 32-bit lengths taken as unsigned cannot wrap in 64 bits: a record that claims more
    // than it holds is refused before a byte of its fields is read. The reserved word may be absent.
    std::int64_t offsets[FIELD_COUNT + 1];
    offsets[0] = HEADER_SIZE;
    for (int i = 0; i < FIELD_COUNT; ++i) offsets[i + 1] = offsets[i] + get32(bytes + 4 * i);
    const std::int64_t end = offsets[FIELD_COUNT] + 2 * LIFETIME_INT_SIZE;
    if (end > size) return false;

    auto field = [&](int i) {
        return ByteArray(bytes + offsets[i], static_cast<std::int32_t>(offsets[i + 1] - offsets[i]));
    };
    PacFields fields;
    fields.key = field(0);
    fields.opaque = field(1);
    fields.aid = field(2);
    fields.iid = Ascii::fromByteArray(field(3));
    fields.aidInfo = Ascii::fromByteArray(field(4));
    fields.pacType = static_cast<std::int32_t>(get32(bytes + 28));
    fields.lifetime.first = static_cast<std::int32_t>(get32(bytes + offsets[FIELD_COUNT]));
    fields.lifetime.second =
        static_cast<std::int32_t>(get32(bytes + offsets[FIELD_COUNT] + LIFETIME_INT_SIZE));
    out = fields;
    return true;
}
