#pragma once

#include <exception>
#include <string>

namespace orvik {

// The one exception every utility of the library raises.
class Exception : public std::exception {
public:
    explicit Exception(const std::string& message);
    explicit Exception(const std::wstring& message);
    Exception(const Exception& other) = default;
    ~Exception() override = default;

    const char* what() const noexcept override;

private:
    std::string message_;
};

// "<source file>: <line>: <message>", so that a message in a log leads back to the raising statement.
std::string located(const char* file, int line, const std::string& message);

}  // namespace orvik

#define ORVIK_LOCATED(message) ::orvik::located(__FILE__, __LINE__, (message))
