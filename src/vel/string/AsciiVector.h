#pragma once
// An ordered vector of texts.
#include <cstdint>
#include <vector>

#include "vel/string/Ascii.h"
#include "vel/string/ValueProxy.h"

class AsciiVector {
public:
    AsciiVector() = default;

    void add(const Ascii& text) { m_elements.push_back(text); }
    std::int32_t length() const { return static_cast<std::int32_t>(m_elements.size()); }
    // The index must lie in the vector.
    Ascii get(std::int32_t index) const;

private:
    std::vector<Ascii> m_elements;
};

class AsciiVectorProxy : public ValueProxy<AsciiVector> {
public:
    using ValueProxy<AsciiVector>::ValueProxy;
    using ValueProxy<AsciiVector>::operator=;
};
