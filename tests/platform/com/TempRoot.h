#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

// A program-data root of its own for each test, so the registry starts empty.
class TempRootTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tamsel-com-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        setenv("TAMSEL_HOME", root_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("TAMSEL_HOME");
        std::filesystem::remove_all(root_);
    }
    std::string root_;
};
