#pragma once
// One call of a stand-in function in a library the service loads by name (the VPN library, the
// token library). Such a library links no lab of its own: it reaches the program's failure
// registry and calls record through the names the lab exports (Lab.h), and in a program without a
// lab its calls neither fail nor are recorded. Header only, so that the library links nothing.
#include <dlfcn.h>

#include <string>
#include <utility>

namespace lab {

class PluginCall {
public:
    PluginCall(const char* function, std::string arguments)
        : m_function(function), m_arguments(std::move(arguments)) {
        using InjectedFailure = int (*)(const char*, int*);
        auto injected =
            reinterpret_cast<InjectedFailure>(::dlsym(RTLD_DEFAULT, "tamsel_lab_injected_failure"));
        m_injected = injected != nullptr && injected(function, &m_result) != 0;
    }
    ~PluginCall() {
        if (!m_recorded) return;
        using RecordCall = void (*)(const char*);
        auto record = reinterpret_cast<RecordCall>(::dlsym(RTLD_DEFAULT, "tamsel_lab_record_call"));
        if (record == nullptr) return;
        std::string line = std::string(m_function) + "(" + m_arguments + ") = " + std::to_string(m_result);
        record(line.c_str());
    }
    PluginCall(const PluginCall&) = delete;
    PluginCall& operator=(const PluginCall&) = delete;

    bool injected() const { return m_injected; }
    int result() const { return m_result; }
    int finish(int result) { return m_result = result; }
    void setArguments(std::string arguments) { m_arguments = std::move(arguments); }
    // Leaves a call out of the record (a pump that found nothing to do).
    void unrecorded() { m_recorded = false; }

    static std::string quoted(const char* text) {
        return text == nullptr ? "NULL" : std::string("\"").append(text).append("\"");
    }
    static std::string secret(const char* text) {
        return text == nullptr ? "NULL" : "<secret:" + std::to_string(std::string(text).size()) + ">";
    }

private:
    const char* m_function;
    std::string m_arguments;
    bool m_injected = false;
    bool m_recorded = true;
    int m_result = 0;
};

}  // namespace lab
