#pragma once
// The one failure-injection form of every stand-in. A test (or the lab's "fail" command) arms a
// call by its function's name; the stand-in asks injectedFailure() on entry and, when it answers
// true, returns the code and does nothing else. Unarmed, the question costs one atomic load.
#include <atomic>
#include <cstdint>
#include <string_view>

namespace base {

// The next `count` calls of `call` fail with `code`; 0 = every call until cleared. Arms of one
// call queue up in the order given, and an arm whose code is 0 lets its calls through, so
// failNext(f, 0, 2) then failNext(f, 5, 1) fails the third call of f.
void failNext(std::string_view call, std::uint32_t code, int count);
void clearFailures();

namespace detail {
extern std::atomic<bool> g_anyArmed;
bool takeFailure(std::string_view call, std::uint32_t& code);
}  // namespace detail

// Whether any call is armed at all.
inline bool failuresArmed() {
    return detail::g_anyArmed.load(std::memory_order_relaxed);
}

// True, with the code, when this call of `call` is to fail; consumes one use of its arm.
inline bool injectedFailure(std::string_view call, std::uint32_t& code) {
    return failuresArmed() && detail::takeFailure(call, code);
}

}  // namespace base
