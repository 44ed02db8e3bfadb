#pragma once
// The record of stand-in calls, one line per call: "name(arguments) = result". Ports are written
// by adapter name, handles by kind and number, texts quoted, and secrets (passwords, PINs, keys,
// passcodes) by their length only.
#include <cstddef>
#include <string>
#include <vector>

namespace lab {

void recordCall(const std::string& line);
// The calls so far (the oldest are dropped past MAX_RECORDED_CALLS).
std::vector<std::string> recordedCalls();
void clearCalls();
constexpr size_t MAX_RECORDED_CALLS = 20000;

// One call of a stand-in function. It asks at once whether the call is to fail (base::failNext,
// or run/lab's "fail"; then injected() is true and result() the code to return, and the function
// does nothing else) and records the call with its result when it goes out of scope.
class Call {
public:
    explicit Call(const char* function, std::string arguments = std::string());
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    bool injected() const { return m_injected; }
    int result() const { return m_result; }
    // Sets the result and returns it: `return call.finish(QX_OK);`.
    int finish(int result) {
        m_result = result;
        return result;
    }
    // For arguments known only at the end (a handle the call made).
    void setArguments(std::string arguments) { m_arguments = std::move(arguments); }

private:
    const char* m_function;
    std::string m_arguments;
    bool m_injected = false;
    int m_result = 0;
};

// Pieces of argument lists.
std::string quoted(const char* text);  // "text", or NULL
std::string secret(size_t length);     // <secret:N>
std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

}  // namespace lab
