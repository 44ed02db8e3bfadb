#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry/Registry.h"

// Every test gets its own program-data root, so the registry starts empty.
class RegistryRootTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tamsel-registry-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        setenv("TAMSEL_HOME", root_.c_str(), 1);
        registry::RegSetStoreFile("");
    }
    void TearDown() override {
        registry::RegSetStoreFile("");
        unsetenv("TAMSEL_HOME");
        std::filesystem::remove_all(root_);
    }

    std::string storeText() const {
        std::ifstream in(root_ + "/registry");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void writeStore(const std::string& text) const { std::ofstream(root_ + "/registry") << text; }

    std::string root_;
};

inline std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}
