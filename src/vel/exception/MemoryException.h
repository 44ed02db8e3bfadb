#pragma once

#include "vel/exception/BaseException.h"

// Checked memory could not be had; the code is the allocator's result.
class MemoryException : public BaseException {
public:
    explicit MemoryException(int code) : m_code(code) {}

    void report() const override;
    int code() const { return m_code; }

private:
    int m_code;
};
