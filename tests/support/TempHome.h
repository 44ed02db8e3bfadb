#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace tamsel::test {

// A program-data root of the test's own below /tmp, named in TAMSEL_HOME while it lives and
// removed with everything in it afterwards, so no test sees another's files.
class TempHome {
public:
    explicit TempHome(const std::string& tag) {
        std::string pattern = "/tmp/tamsel-" + tag + "-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
        m_path = pattern;
        setenv("TAMSEL_HOME", m_path.c_str(), 1);
    }
    ~TempHome() {
        unsetenv("TAMSEL_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

}  // namespace tamsel::test
