#pragma once
// An allocator on the host heap (malloc), for what the lab keeps for a program's whole life (the
// calls record, the command table): it stays outside any heap a program checks for blocks left
// at its end, which counts only what the system under test allocated.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace lab {

template <class T>
struct HostAllocator {
    using value_type = T;
    HostAllocator() = default;
    template <class U>
    HostAllocator(const HostAllocator<U>&) {}
    T* allocate(std::size_t n) {
        void* p = std::malloc(n * sizeof(T));
        if (p == nullptr) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) { std::free(p); }
    template <class U>
    bool operator==(const HostAllocator<U>&) const {
        return true;
    }
};

}  // namespace lab
