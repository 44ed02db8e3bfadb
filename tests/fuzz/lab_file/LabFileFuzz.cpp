// A lab file as the service and the driver host read it at start. Files a relative path names are
// looked for in the fuzz root, which holds none of them.
#include <cstdint>
#include <string>

#include "platform/lab/LabReader.h"
#include "tests/fuzz/FuzzEnvironment.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 200000) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    lab::World world;
    std::string error;
    if (!lab::readLabText(text, "lab.xml", tamsel::fuzz::fuzzRoot(), &world, &error)) {
        // A refused lab always says why, naming the file.
        if (error.rfind("lab.xml", 0) != 0) __builtin_trap();
    }
    return 0;
}
