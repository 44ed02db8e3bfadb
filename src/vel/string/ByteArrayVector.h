#pragma once
// An ordered vector of byte arrays and its flat serial form: a 32-bit count, then for each element
// a 32-bit length and its bytes, all in host (little-endian) order.
#include <cstdint>
#include <vector>

#include "vel/string/ByteArray.h"
#include "vel/string/ValueProxy.h"

class ByteArrayVectorProxy;

class ByteArrayVector {
public:
    ByteArrayVector() = default;

    void add(const ByteArray& bytes) { m_elements.push_back(bytes); }
    std::int32_t length() const { return static_cast<std::int32_t>(m_elements.size()); }
    // The index must lie in the vector.
    ByteArray get(std::int32_t index) const;

    ByteArray serialize() const;
    // Holds the vector only when the bytes are exactly one well-formed serial form.
    static ByteArrayVectorProxy deserialize(const ByteArray& bytes);

private:
    std::vector<ByteArray> m_elements;
};

class ByteArrayVectorProxy : public ValueProxy<ByteArrayVector> {
public:
    using ValueProxy<ByteArrayVector>::ValueProxy;
    using ValueProxy<ByteArrayVector>::operator=;
};
