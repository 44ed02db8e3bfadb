// An identity and a pattern, separated by the first line feed, expanded as a network's identity
// pattern is.
#include <cstdint>
#include <string>

#include "tests/fuzz/FuzzEnvironment.h"
#include "vel/credmgr/IdentityPattern.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\n');
    const std::string identity = input.substr(0, split);
    const std::string pattern = split == std::string::npos ? std::string() : input.substr(split + 1);
    const Ascii result =
        IdentityPattern::expand(Ascii(identity.data(), static_cast<std::int32_t>(identity.size())),
                                Ascii(pattern.data(), static_cast<std::int32_t>(pattern.size())));
    // Each wildcard is filled at most once, with at most the whole identity.
    if (static_cast<std::size_t>(result.length()) > pattern.size() * (identity.size() + 1)) __builtin_trap();
    return 0;
}
