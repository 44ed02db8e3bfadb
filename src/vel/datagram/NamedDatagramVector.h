#pragma once
// Datagrams kept under unique byte-array names, in insertion order. Position i of the names
// belongs to position i of the datagrams.
#include <cstdint>
#include <vector>

#include "runtime/lum/Assert.h"
#include "vel/string/ByteArray.h"

template <class Datagram>
class NamedDatagramVectorOf {
public:
    static constexpr int ADDED = 1;

    // ADDED, or 0 when the name is already present and nothing changed.
    int add(const ByteArray& name, const Datagram& datagram) {
        checkParallel();
        if (indexOf(name) >= 0) return 0;
        m_names.push_back(name);
        m_datagrams.push_back(datagram);
        return ADDED;
    }

    // 1 when removed from both vectors, 0 when absent.
    int remove(const ByteArray& name) {
        checkParallel();
        std::int32_t index = indexOf(name);
        if (index < 0) return 0;
        m_names.erase(m_names.begin() + index);
        m_datagrams.erase(m_datagrams.begin() + index);
        return 1;
    }

    bool contains(const ByteArray& name) const {
        checkParallel();
        return indexOf(name) >= 0;
    }

    std::int32_t length() const {
        checkParallel();
        return static_cast<std::int32_t>(m_datagrams.size());
    }

    // The index must lie in the vector.
    Datagram get(std::int32_t index) const {
        checkParallel();
        if (!LUM_ASSERT(0 <= index && index < length())) return Datagram();
        return m_datagrams[static_cast<std::size_t>(index)];
    }

    ByteArray nameAt(std::int32_t index) const {
        if (!LUM_ASSERT(0 <= index && index < length())) return ByteArray();
        return m_names[static_cast<std::size_t>(index)];
    }

private:
    void checkParallel() const {
        LUM_ASSERT_TEXT(m_names.size() == m_datagrams.size(), "m_names.length() == this->length()");
    }

    std::int32_t indexOf(const ByteArray& name) const {
        for (std::size_t i = 0; i < m_names.size(); ++i) {
            if (m_names[i] == name) return static_cast<std::int32_t>(i);
        }
        return -1;
    }

    std::vector<Datagram> m_datagrams;
    std::vector<ByteArray> m_names;
};
