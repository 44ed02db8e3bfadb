#pragma once

#include "vel/exception/BaseException.h"

// A blocked operation was cancelled from another thread.
class CanceledException : public BaseException {
public:
    void report() const override;

    [[noreturn]] static void raise();
};
