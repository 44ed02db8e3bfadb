#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry/Registry.h"
#include "tests/support/TempHome.h"

// Every test gets its own program-data root, so the registry starts empty.
class RegistryRootTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_.emplace("registry");
        root_ = home_->path();
        registry::RegSetStoreFile("");
    }
    void TearDown() override {
        registry::RegSetStoreFile("");
        home_.reset();
    }

    std::string storeText() const {
        std::ifstream in(root_ + "/registry");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void writeStore(const std::string& text) const { std::ofstream(root_ + "/registry") << text; }

    std::optional<tamsel::test::TempHome> home_;
    std::string root_;
};

inline std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}
