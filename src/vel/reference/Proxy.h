#pragma once

#include "vel/reference/Reference.h"

// An optional holder: exists() must be asked before the object is taken out, so that no caller
// can use a missing object by accident.
class Proxy {
public:
    Proxy() = default;
    explicit Proxy(ElementInterface* p);
    explicit Proxy(const Reference& reference) : Proxy(reference.m) {}
    Proxy(const Proxy& other);
    Proxy& operator=(const Proxy& other);
    ~Proxy();

    // Tests for the object and, either way, makes the proxy usable.
    bool exists();

    // The object (null when the proxy is empty); asserts that exists() was asked.
    ElementInterface* element() const;
    Reference reference() const;

protected:
    ElementInterface* m_p = nullptr;
    bool m_usable = false;
};
