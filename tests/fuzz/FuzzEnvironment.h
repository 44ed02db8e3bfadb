#pragma once
// What a fuzz target of engine code needs around it: a program-data root of its own (removed at
// exit) and the run-time. Logging is off unless TAMSEL_FUZZ_LOG names a level mask, as a log line
// per input would slow the fuzzer down and fill the root.
#include <string>

namespace tamsel::fuzz {

// Call from LLVMFuzzerInitialize; later calls do nothing.
void startEngineRuntime();
const std::string& fuzzRoot();

}  // namespace tamsel::fuzz
