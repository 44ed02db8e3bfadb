#include "vel/string/AsciiVector.h"

#include "runtime/lum/Assert.h"

Ascii AsciiVector::get(std::int32_t index) const {
    if (!LUM_ASSERT(0 <= index && index < length())) return Ascii();
    return m_elements[static_cast<std::size_t>(index)];
}
