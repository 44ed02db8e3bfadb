#include "platform/lab/LabCalls.h"

#include <cstdarg>
#include <cstdlib>
#include <new>
#include <cstdio>
#include <deque>
#include <mutex>

#include "platform/base/FailureInjection.h"
#include "platform/lab/LabHostAllocator.h"

namespace lab {

namespace {

using HostString = std::basic_string<char, std::char_traits<char>, HostAllocator<char>>;

std::mutex Mutex;
std::deque<HostString, HostAllocator<HostString>>& calls() {
    static std::deque<HostString, HostAllocator<HostString>> record;
    return record;
}

}  // namespace

void recordCall(const std::string& line) {
    std::lock_guard<std::mutex> lock(Mutex);
    calls().emplace_back(line.data(), line.size());
    if (calls().size() > MAX_RECORDED_CALLS) calls().pop_front();
}

std::vector<std::string> recordedCalls() {
    std::lock_guard<std::mutex> lock(Mutex);
    std::vector<std::string> copy;
    for (const HostString& line : calls()) copy.emplace_back(line.data(), line.size());
    return copy;
}

void clearCalls() {
    std::lock_guard<std::mutex> lock(Mutex);
    calls().clear();
    calls().shrink_to_fit();
}

Call::Call(const char* function, std::string arguments)
    : m_function(function), m_arguments(std::move(arguments)) {
    std::uint32_t code = 0;
    m_injected = base::injectedFailure(function, code);
    if (m_injected) m_result = static_cast<int>(code);
}

Call::~Call() {
    recordCall(std::string(m_function) + "(" + m_arguments + ") = " + std::to_string(m_result));
}

std::string quoted(const char* text) {
    // Appended, not prefixed: GCC 12 warns falsely about a text put in front of a string.
    return text == nullptr ? "NULL" : std::string("\"").append(text).append("\"");
}

std::string secret(size_t length) {
    return "<secret:" + std::to_string(length) + ">";
}

std::string format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    char small[256];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, pattern, copy);
    va_end(copy);
    std::string text;
    if (n < 0) {
        text.clear();
    } else if (static_cast<size_t>(n) < sizeof small) {
        text.assign(small, static_cast<size_t>(n));
    } else {
        text.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(text.data(), text.size(), pattern, args);
        text.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return text;
}

}  // namespace lab
