// Where the report's lines go: standard output for the program, a string for the tests. Every
// line is written with a printf-style format, as the report has always written them.
#pragma once

#include <cstdio>
#include <string>

namespace report {

class ReportOutput {
public:
    // Collects the text.
    ReportOutput() = default;
    // Writes to `file` as it goes.
    explicit ReportOutput(std::FILE* file) : file_(file) {}

    void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void flush();

    const std::string& text() const { return text_; }

private:
    std::FILE* file_ = nullptr;
    std::string text_;
};

}  // namespace report
