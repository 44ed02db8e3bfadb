#pragma once
// An optional value that must be tested with exists() before it is read; assigning a new value
// asks for a new test. Reading untested or absent is a broken invariant and yields an empty value.
#include <optional>
#include <utility>

#include "runtime/lum/Assert.h"

template <class T>
class ValueProxy {
public:
    ValueProxy() = default;
    ValueProxy(const T& value) : m(value) {}  // NOLINT: a value converts to a held value

    ValueProxy& operator=(const T& value) {
        m = value;
        m_checked = false;
        return *this;
    }

    bool exists() const {
        m_checked = true;
        return m.has_value();
    }

    T value() const {
        if (!LUM_ASSERT_TEXT(m_checked && m, "m_checked && m")) return T();
        return *m;
    }

    void clear() {
        m.reset();
        m_checked = false;
    }

private:
    std::optional<T> m;
    mutable bool m_checked = false;
};
