// The tray program's settings file (its help index and the files it includes) as read at start.
// The input is the file itself; an include of its own name reads it again, which the reader must
// refuse rather than recurse without end.
#include <cstdint>
#include <fstream>
#include <string>

#include "gui/orvik/Exception.h"
#include "gui/orvik/XmlSettings.h"
#include "tests/fuzz/FuzzEnvironment.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 100000) return 0;
    const std::string& folder = tamsel::fuzz::fuzzRoot();
    std::ofstream(folder + "/settings.xml", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        orvik::XmlSettings settings(folder, "settings.xml");
        settings.get("currentDir");
    } catch (const orvik::Exception&) {
    }
    return 0;
}
