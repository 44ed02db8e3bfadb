#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"

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
#include "tests/support/TempHome.h"

namespace {

std::string g_root;
std::mutex g_assertionMutex;
std::vector<std::string> g_assertions;

void recordAssertion(const char*, int, const char* expression) {
    std::lock_guard lock(g_assertionMutex);
    g_assertions.emplace_back(expression ? expression : "?");
}

class RuntimeEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_home = new tamsel::test::TempHome("basevalues");
        g_root = m_home->path();
        LogCapture::useLogFile(g_root + "/logs/CurrentLog.txt");
        m_runtime = new LumRuntime;
        setAssertionHandler(recordAssertion);
        // The first line rotates the log; later captures start after it.
        logInfo(0, "base value tests start");
    }

    void TearDown() override {
        setAssertionHandler(nullptr);
        delete m_runtime;
        delete m_home;
    }

private:
    tamsel::test::TempHome* m_home = nullptr;
    LumRuntime* m_runtime = nullptr;
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment);

}  // namespace

const std::string& BaseValuesTest::root() {
    return g_root;
}

std::vector<std::string> BaseValuesTest::takeAssertions() {
    std::lock_guard lock(g_assertionMutex);
    std::vector<std::string> taken;
    taken.swap(g_assertions);
    return taken;
}
