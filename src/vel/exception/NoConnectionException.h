#pragma once

#include "vel/exception/BaseException.h"

// The peer of a pipe or connection has gone.
class NoConnectionException : public BaseException {
public:
    void report() const override;

    [[noreturn]] static void raise();
};
