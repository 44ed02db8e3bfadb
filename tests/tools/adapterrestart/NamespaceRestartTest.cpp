#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/netcfg/NetworkState.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempHome.h"

namespace {

using tamsel::test::ProgramResult;
using tamsel::test::runProgram;

// A real restart: the utility runs inside a network namespace of its own on an interface made
// for the test. Taking the interface down drops the route through it, which is how the test sees
// that it went down before it came back up.
class NamespaceRestartTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs root for network namespaces";
        if (runProgram({"ip", "netns", "list"}).exitStatus != 0) GTEST_SKIP() << "ip netns is not available";
        namespace_ = "tamsel-nb-" + std::to_string(getpid());
        // Root inside a container may still lack the capabilities a namespace needs.
        if (runProgram({"ip", "netns", "add", namespace_}).exitStatus != 0)
            GTEST_SKIP() << "network namespaces cannot be made here";
        created_ = true;
        if (inside({"ip", "link", "add", "tnb0", "type", "dummy"}).exitStatus != 0) {
            // Kernels without the dummy driver still have veth pairs.
            if (inside({"ip", "link", "add", "tnb0", "type", "veth", "peer", "name", "tnb1"}).exitStatus != 0)
                GTEST_SKIP() << "neither dummy nor veth interfaces can be made here";
            ASSERT_EQ(inside({"ip", "link", "set", "tnb1", "up"}).exitStatus, 0);
        }
        home_ = std::make_unique<tamsel::test::TempHome>("netns");
        root_ = home_->path();
        std::ofstream(root_ + "/netcfg") << "[component]\nbind-name = {NS}\nid = tamsel\\dummy\n"
                                            "hardware-ids = tamsel\\dummy\ninterface = tnb0\n";
    }
    void TearDown() override {
        if (created_) runProgram({"ip", "netns", "del", namespace_});
        home_.reset();
    }

    ProgramResult inside(std::vector<std::string> args) {
        args.insert(args.begin(), {"ip", "netns", "exec", namespace_});
        return runProgram(args);
    }
    bool isUp() {
        std::string flags = inside({"ip", "-o", "link", "show", "tnb0"}).output;
        return flags.find(",UP") != std::string::npos || flags.find("<UP") != std::string::npos;
    }

    std::string namespace_;
    std::unique_ptr<tamsel::test::TempHome> home_;
    std::string root_;
    bool created_ = false;
};

TEST_F(NamespaceRestartTest, InterfaceIsTakenDownAndBroughtUp) {
    ASSERT_EQ(inside({"ip", "link", "set", "tnb0", "up"}).exitStatus, 0);
    ASSERT_EQ(inside({"ip", "route", "add", "10.213.0.0/24", "dev", "tnb0"}).exitStatus, 0);
    ASSERT_NE(inside({"ip", "route", "show", "10.213.0.0/24"}).output, "");

    ProgramResult run = inside({NICBOUNCE_PATH, "{NS}"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(isUp());
    EXPECT_EQ(inside({"ip", "route", "show", "10.213.0.0/24"}).output, "");
    netcfg::NetworkState state;
    ASSERT_EQ(netcfg::NetworkStateFile::read(state), 0);
    EXPECT_EQ(state.components.at(0).restarts, 0u);  // carried out, not recorded
}

TEST_F(NamespaceRestartTest, AnInterfaceThatIsDownComesUp) {
    ASSERT_FALSE(isUp());
    EXPECT_EQ(inside({NICBOUNCE_PATH, "{NS}"}).exitStatus, 0);
    EXPECT_TRUE(isUp());
}

TEST_F(NamespaceRestartTest, AnAdapterWhoseInterfaceIsMissingIsNotPresent) {
    ASSERT_EQ(inside({"ip", "link", "del", "tnb0"}).exitStatus, 0);
    EXPECT_EQ(inside({NICBOUNCE_PATH, "{NS}"}).exitStatus, 1168 & 0xFF);
}

}  // namespace
