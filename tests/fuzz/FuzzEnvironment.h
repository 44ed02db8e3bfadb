#pragma once
// What a fuzz target of engine code needs around it: a program-data root of its own (removed at
// exit), the run-time and libxml2 set up as in the service. Logging is off unless TAMSEL_FUZZ_LOG names a level mask, as a log line
// per input would slow the fuzzer down and fill the root.
#include <string>

namespace tamsel::fuzz {

// Call from LLVMFuzzerInitialize; later calls do nothing.
void startEngineRuntime();
// libxml2 as the service sets it up, for a target that makes its run-time itself.
void setUpLibraries();
const std::string& fuzzRoot();

}  // namespace tamsel::fuzz
