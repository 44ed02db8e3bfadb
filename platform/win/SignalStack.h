#pragma once
// An alternate signal stack for the calling thread while the object lives, so that a fault handler
// can still run when the thread has overflowed its own stack. Every thread the programs start
// runs inside one.
#include <signal.h>

#include <cstddef>

namespace win {

class AlternateSignalStack {
public:
    static constexpr size_t SIZE = 65536;

    AlternateSignalStack();
    ~AlternateSignalStack();
    AlternateSignalStack(const AlternateSignalStack&) = delete;
    AlternateSignalStack& operator=(const AlternateSignalStack&) = delete;

private:
    void* m_memory;
    bool m_set = false;
    stack_t m_previous = {};
};

}  // namespace win
