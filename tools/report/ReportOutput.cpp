#include "tools/report/ReportOutput.h"

#include <cstdarg>
#include <vector>

namespace report {

void ReportOutput::print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        std::vector<char> buffer(size_t(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        if (file_)
            std::fwrite(buffer.data(), 1, size_t(length), file_);
        else
            text_.append(buffer.data(), size_t(length));
    }
    va_end(args);
}

void ReportOutput::flush() {
    if (file_) std::fflush(file_);
}

}  // namespace report
