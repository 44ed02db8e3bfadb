// Byte-order copies. They take byte pointers so that unaligned wire fields can be read and written
// in place; the host is little-endian, so the little-endian forms are plain copies.
#include <cstring>

#include "ostrum.h"

extern "C" {

OSTRUM_API void bo_htonl(void* dst, const void* src) {
    const auto* s = static_cast<const unsigned char*>(src);
    unsigned char t[4] = {s[3], s[2], s[1], s[0]};
    std::memcpy(dst, t, 4);
}

OSTRUM_API void bo_htons(void* dst, const void* src) {
    const auto* s = static_cast<const unsigned char*>(src);
    unsigned char t[2] = {s[1], s[0]};
    std::memcpy(dst, t, 2);
}

OSTRUM_API void bo_htolel(void* dst, const void* src) {
    std::memmove(dst, src, 4);
}

OSTRUM_API void bo_htoles(void* dst, const void* src) {
    std::memmove(dst, src, 2);
}

// The reverse directions are the same byte moves: one entry point answers to both names.
OSTRUM_API void bo_ntohl(void* dst, const void* src) __attribute__((alias("bo_htonl")));
OSTRUM_API void bo_ntohs(void* dst, const void* src) __attribute__((alias("bo_htons")));
OSTRUM_API void bo_letohl(void* dst, const void* src) __attribute__((alias("bo_htolel")));
OSTRUM_API void bo_letohs(void* dst, const void* src) __attribute__((alias("bo_htoles")));
}
