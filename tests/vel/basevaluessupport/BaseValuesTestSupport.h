#pragma once
// Shared by the base-value tests: a temporary program-data root with the run-time up, failed
// assertions recorded instead of only logged, and the log lines written since a given point.
#include <string>
#include <vector>

#include "tests/support/LogCapture.h"

class BaseValuesTest {
public:
    // The temporary root (TAMSEL_HOME) of this test program.
    static const std::string& root();
    // Expressions of the assertions that failed since the last call, oldest first.
    static std::vector<std::string> takeAssertions();
};

using tamsel::test::LogCapture;
