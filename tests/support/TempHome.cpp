#include "tests/support/TempHome.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace tamsel::test {

TempHome::TempHome(const std::string& tag, Use use) : m_use(use) {
    std::string pattern = "/tmp/tamsel-" + tag + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
    m_path = pattern;
    if (m_use == Use::ROOT) ::setenv("TAMSEL_HOME", m_path.c_str(), 1);
}

TempHome::~TempHome() {
    if (m_use == Use::ROOT) ::unsetenv("TAMSEL_HOME");
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempHome::write(const std::string& name, const std::string& text) const {
    std::filesystem::path target = std::filesystem::path(m_path) / name;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << text;
    return target.string();
}

}  // namespace tamsel::test
