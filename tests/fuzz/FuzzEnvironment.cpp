#include "tests/fuzz/FuzzEnvironment.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "runtime/lum/Log.h"
#include "runtime/lum/LumMain.h"

namespace tamsel::fuzz {

namespace {

struct Environment {
    std::string root;
    std::unique_ptr<LumRuntime> runtime;

    Environment() {
        char pattern[] = "/tmp/tamsel-fuzz-XXXXXX";
        root = ::mkdtemp(pattern);
        ::setenv("TAMSEL_HOME", root.c_str(), 1);
        runtime = std::make_unique<LumRuntime>();
        const char* mask = std::getenv("TAMSEL_FUZZ_LOG");
        setLogLevelMask(mask != nullptr ? static_cast<int>(std::strtol(mask, nullptr, 0)) : 0);
    }
    ~Environment() {
        runtime.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
};

Environment& environment() {
    static Environment instance;
    return instance;
}

}  // namespace

void startEngineRuntime() {
    environment();
}

const std::string& fuzzRoot() {
    return environment().root;
}

}  // namespace tamsel::fuzz
