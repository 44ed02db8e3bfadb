#ifndef TAMSEL_TESTS_PLATFORM_WIN_WINSERVICETESTSUPPORT_H
#define TAMSEL_TESTS_PLATFORM_WIN_WINSERVICETESTSUPPORT_H

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

// A fresh program-data root and unit folder for one test.
class TempRoot {
public:
    TempRoot() {
        char pattern[] = "/tmp/tamsel-win-XXXXXX";
        m_path = mkdtemp(pattern);
        setenv("TAMSEL_HOME", m_path.c_str(), 1);
        std::filesystem::create_directories(units());
        setenv("TAMSEL_UNIT_DIR", units().c_str(), 1);
    }
    ~TempRoot() {
        unsetenv("TAMSEL_UNIT_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::string& path() const { return m_path; }
    std::string units() const { return m_path + "/units"; }

private:
    std::string m_path;
};

inline bool waitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

#endif
