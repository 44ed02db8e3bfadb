#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/TempHome.h"

// A program-data root of its own for each test, so the registry starts empty.
class TempRootTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_.emplace("com");
        root_ = home_->path();
    }
    void TearDown() override { home_.reset(); }
    std::optional<tamsel::test::TempHome> home_;
    std::string root_;
};
