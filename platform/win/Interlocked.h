#pragma once

#include <cstdint>

namespace win {

// Full-barrier operations on a shared 32-bit word; the changing ones return the value the word
// held before.
inline uint32_t interlockedCompareExchange(uint32_t* target, uint32_t exchange, uint32_t comparand) {
    __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return comparand;
}

inline uint32_t interlockedExchange(uint32_t* target, uint32_t value) {
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

inline uint32_t interlockedIncrement(uint32_t* target) {
    return __atomic_fetch_add(target, 1u, __ATOMIC_SEQ_CST);
}

inline uint32_t interlockedDecrement(uint32_t* target) {
    return __atomic_fetch_sub(target, 1u, __ATOMIC_SEQ_CST);
}

inline uint32_t interlockedRead(const uint32_t* target) {
    return __atomic_load_n(target, __ATOMIC_SEQ_CST);
}

}  // namespace win
