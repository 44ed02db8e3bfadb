#include "tests/fuzz/FuzzEnvironment.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "runtime/lum/Log.h"
#include "runtime/lum/LumMain.h"
#include "tests/support/TempHome.h"
#include "vel/libxml2/XmlLibrary.h"

namespace tamsel::fuzz {

namespace {

struct Environment {
    tamsel::test::TempHome root{"fuzz"};
    std::unique_ptr<LumRuntime> runtime;

    Environment() {
        runtime = std::make_unique<LumRuntime>();
        const char* mask = std::getenv("TAMSEL_FUZZ_LOG");
        setLogLevelMask(mask != nullptr ? static_cast<int>(std::strtol(mask, nullptr, 0)) : 0);
        setUpLibraries();
    }
    ~Environment() { runtime.reset(); }
};

Environment& environment() {
    static Environment instance;
    return instance;
}

}  // namespace

void setUpLibraries() {
    // libxml2 set up as the service sets it up: its errors go through the service's hook into the
    // (quiet) log instead of standard error, and that hook is fuzzed with the parsers.
    static const bool done = (xmlInit(), true);
    (void)done;
}

void startEngineRuntime() {
    environment();
}

const std::string& fuzzRoot() {
    return environment().root.path();
}

}  // namespace tamsel::fuzz
