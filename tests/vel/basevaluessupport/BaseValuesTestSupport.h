#pragma once
// Shared by the base-value tests: a temporary program-data root with the run-time up, failed
// assertions recorded instead of only logged, and the log lines written since a given point.
#include <string>
#include <vector>

class BaseValuesTest {
public:
    // The temporary root (TAMSEL_HOME) of this test program.
    static const std::string& root();
    // Expressions of the assertions that failed since the last call, oldest first.
    static std::vector<std::string> takeAssertions();
};

// Collects what the log file gains from its construction on.
class LogCapture {
public:
    LogCapture();
    std::string text() const;
    bool contains(const std::string& part) const { return text().find(part) != std::string::npos; }
    // Lines (without their headers) in the order they were written.
    std::vector<std::string> messages() const;

private:
    long m_offset;
};
