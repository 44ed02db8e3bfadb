// A certificate's validity time text, read as the library's field 6000 or 6001 is.
#include <cstdint>
#include <string>

#include "tests/fuzz/FuzzEnvironment.h"
#include "vel/certificate/X509Time.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 512) return 0;
    // The library's texts end at their NUL.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const Time time = parseX509Time(Ascii(input.c_str()));
    // Whatever the text, a time read is a calendar time the engine can compare.
    if (time.isDefined() && (time.year() < 0 || time.year() > 9999)) __builtin_trap();
    return 0;
}
