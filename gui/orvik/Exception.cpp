#include "gui/orvik/Exception.h"

#include "gui/orvik/Conversions.h"

namespace orvik {

Exception::Exception(const std::string& message) : message_(message) {}

Exception::Exception(const std::wstring& message) : message_(toNarrow(message)) {}

const char* Exception::what() const noexcept {
    return message_.c_str();
}

std::string located(const char* file, int line, const std::string& message) {
    return std::string(file) + ": " + toString(line) + ": " + message;
}

}  // namespace orvik
