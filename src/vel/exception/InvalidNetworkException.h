#pragma once

#include "vel/exception/BaseException.h"

// A network named by a client or a file does not exist.
class InvalidNetworkException : public BaseException {
public:
    void report() const override;

    [[noreturn]] static void raise();
};
