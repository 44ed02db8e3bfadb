#pragma once

#include "vel/reference/ElementInterface.h"

// Holds one reference to an engine object. Every value class and handle of the engine is a
// Reference with typed operations.
class Reference {
public:
    // Marks a pointer that may be null.
    enum Nullable { NULLABLE };
    // Marks a newly created object whose first reference the holder takes over.
    enum TakeOver { TAKE_OVER };

    Reference() = default;
    // p must be set; a reference is added.
    explicit Reference(ElementInterface* p);
    Reference(ElementInterface* p, Nullable);
    // No reference is added: the creator's one moves into the holder (p must be set).
    Reference(ElementInterface* p, TakeOver);
    Reference(const Reference& other);
    Reference(Reference&& other) noexcept : m(other.m) { other.m = nullptr; }
    Reference& operator=(const Reference& other);
    Reference& operator=(Reference&& other) noexcept;
    ~Reference();

    bool isNull() const { return m == nullptr; }
    bool operator==(const Reference& other) const { return m == other.m; }
    bool operator!=(const Reference& other) const { return m != other.m; }

    // Drops the reference; the holder is null afterwards.
    void reset();

    ElementInterface* m = nullptr;
};
