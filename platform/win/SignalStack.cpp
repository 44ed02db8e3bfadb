#include "platform/win/SignalStack.h"

#include <cstdlib>

namespace win {

AlternateSignalStack::AlternateSignalStack() : m_memory(std::malloc(SIZE)) {
    if (m_memory == nullptr) return;
    stack_t stack = {};
    stack.ss_sp = m_memory;
    stack.ss_size = SIZE;
    m_set = sigaltstack(&stack, &m_previous) == 0;
}

AlternateSignalStack::~AlternateSignalStack() {
    if (m_set) sigaltstack(&m_previous, nullptr);
    std::free(m_memory);
}

}  // namespace win
