#pragma once

// Root of every error the service throws. A handler that catches one calls report(), which writes
// the error to the log, and then goes on or ends its work.
class BaseException {
public:
    virtual void report() const {}
    virtual ~BaseException() = default;
};
