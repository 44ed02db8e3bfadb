#include "BaseValuesTestSupport.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LumMain.h"

namespace {

std::string g_root;
std::mutex g_assertionMutex;
std::vector<std::string> g_assertions;

void recordAssertion(const char*, int, const char* expression) {
    std::lock_guard lock(g_assertionMutex);
    g_assertions.emplace_back(expression ? expression : "?");
}

std::string logPath() { return g_root + "/logs/CurrentLog.txt"; }

class RuntimeEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        char pattern[] = "/tmp/tamsel-basevalues-XXXXXX";
        g_root = ::mkdtemp(pattern);
        ::setenv("TAMSEL_HOME", g_root.c_str(), 1);
        m_runtime = new LumRuntime;
        setAssertionHandler(recordAssertion);
        // The first line rotates the log; later captures start after it.
        logInfo(0, "base value tests start");
    }

    void TearDown() override {
        setAssertionHandler(nullptr);
        delete m_runtime;
        std::error_code ignored;
        std::filesystem::remove_all(g_root, ignored);
    }

private:
    LumRuntime* m_runtime = nullptr;
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment);

}  // namespace

const std::string& BaseValuesTest::root() { return g_root; }

std::vector<std::string> BaseValuesTest::takeAssertions() {
    std::lock_guard lock(g_assertionMutex);
    std::vector<std::string> taken;
    taken.swap(g_assertions);
    return taken;
}

LogCapture::LogCapture() {
    std::error_code error;
    auto size = std::filesystem::file_size(logPath(), error);
    m_offset = error ? 0 : static_cast<long>(size);
}

std::string LogCapture::text() const {
    std::ifstream in(logPath(), std::ios::binary);
    in.seekg(m_offset);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> LogCapture::messages() const {
    std::vector<std::string> lines;
    std::istringstream in(text());
    std::string line;
    while (std::getline(in, line)) {
        // The header ends in the thread tag and ": ".
        auto tid = line.find("[tid=");
        auto start = tid == std::string::npos ? std::string::npos : line.find("]: ", tid);
        lines.push_back(start == std::string::npos ? line : line.substr(start + 3));
    }
    return lines;
}
