#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/com/Com.h"
#include "platform/netcfg/NetCfg.h"
#include "tests/support/TempHome.h"

// A program-data root of its own with a network configuration written by the test, inside a COM
// apartment.
class NetCfgFixture : public ::testing::Test {
protected:
    void SetUp() override {
        home_.emplace("netcfg");
        root_ = home_->path();
        ASSERT_TRUE(com::SUCCEEDED(com::CoInitializeEx(nullptr, com::COINIT_APARTMENTTHREADED)));
    }
    void TearDown() override {
        com::CoUninitialize();
        home_.reset();
    }

    void writeState(const std::string& text) { std::ofstream(root_ + "/netcfg") << text; }
    std::string stateText() const {
        std::ifstream in(root_ + "/netcfg");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    netcfg::INetCfg* openNetCfg() {
        netcfg::INetCfg* netCfg = nullptr;
        EXPECT_EQ(com::CoCreateInstance(netcfg::CLSID_CNetCfg, nullptr, com::CLSCTX_INPROC_SERVER,
                                        netcfg::IID_INetCfg, reinterpret_cast<void**>(&netCfg)),
                  com::S_OK);
        return netCfg;
    }

    static std::string take(char* text) {
        std::string copy = text ? text : "<null>";
        com::CoTaskMemFree(text);
        return copy;
    }

    std::optional<tamsel::test::TempHome> home_;
    std::string root_;
};
