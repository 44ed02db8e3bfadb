#pragma once

#include "vel/exception/BaseException.h"

// A group named by a client or a file does not exist.
class InvalidGroupException : public BaseException {
public:
    void report() const override;

    [[noreturn]] static void raise();
};
