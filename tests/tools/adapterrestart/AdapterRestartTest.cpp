#include <grp.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/base/Win32Error.h"
#include "platform/netcfg/NetworkState.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempHome.h"
#include "tools/adapterrestart/AdapterRestart.h"

using adapterrestart::RestartMatchingAdapters;

namespace {

using tamsel::test::ProgramResult;
using tamsel::test::runProgram;

class AdapterRestartTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_.emplace("nicbounce");
        root_ = home_->path();
    }
    void TearDown() override { home_.reset(); }
    void writeState(const std::string& text) { std::ofstream(root_ + "/netcfg") << text; }

    // Restarts recorded per component, in state order.
    static std::vector<unsigned> restarts() {
        netcfg::NetworkState state;
        EXPECT_EQ(netcfg::NetworkStateFile::read(state), 0);
        std::vector<unsigned> counts;
        for (const auto& c : state.components) counts.push_back(c.restarts);
        return counts;
    }

    std::optional<tamsel::test::TempHome> home_;
    std::string root_;
};

// Two adapters of one model, a third of another, one that is gone and one without its id.
const char* STATE = R"(
[component]
bind-name = {GONE}
id = pci\ven_8086&dev_100e
hardware-ids = pci\ven_8086&dev_100e
present = no

[component]
bind-name = {A}
id = PCI\VEN_8086&DEV_100E
hardware-ids = pci\ven_8086&dev_100e&subsys_1, pci\ven_8086&dev_100e

[component]
bind-name = {B}
id = pci\ven_8086&dev_100e
hardware-ids = pci\ven_8086&dev_100e

[component]
bind-name = {C}
id = usb\vid_0b95
hardware-ids = usb\vid_0b95&pid_7720
compatible-ids = USB\VID_0B95
restart-error = 1167

[component]
bind-name = {NOID}

[component]
bind-name = {ORPHAN}
id = pci\ven_dead
)";

TEST_F(AdapterRestartTest, ResultIsThatOfTheLastMatchingAdapter) {
    struct Case {
        const char* argument;
        std::uint32_t result;
        std::vector<unsigned> restarts;  // per component, in state order
    };
    const Case cases[] = {
        {"{NOPE}", 1168, {0, 0, 0, 0, 0, 0}},
        {"{a}", 1168, {0, 0, 0, 0, 0, 0}},  // bind names compare with case
        // Both share their id: the first present device carrying it is restarted each time.
        {"{A}", 0, {0, 1, 0, 0, 0, 0}},
        {"{B}", 0, {0, 1, 0, 0, 0, 0}},
        // Compatible ids count, without case; the device fails its restart.
        {"{C}", 1167, {0, 0, 0, 0, 0, 0}},
        {"{NOID}", 31, {0, 0, 0, 0, 0, 0}},
        {"{ORPHAN}", 1168, {0, 0, 0, 0, 0, 0}},
        // Enumeration order decides which result stands, not the order in the argument.
        {"{C},{A}", 1167, {0, 1, 0, 0, 0, 0}},
        {"{A} {C}", 1167, {0, 1, 0, 0, 0, 0}},
        {"{C}{B}{NOID}", 31, {0, 1, 0, 0, 0, 0}},
        {"x{NOID}x,{B}", 31, {0, 1, 0, 0, 0, 0}},
        {"{NOID},{C}", 31, {0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        writeState(STATE);
        EXPECT_EQ(RestartMatchingAdapters(c.argument), c.result) << c.argument;
        EXPECT_EQ(restarts(), c.restarts) << c.argument;
    }
}

TEST_F(AdapterRestartTest, EveryNamedAdapterIsRestarted) {
    writeState(R"(
[component]
bind-name = {1}
id = pci\one
hardware-ids = pci\one
[component]
bind-name = {2}
id = pci\two
hardware-ids = pci\two
)");
    EXPECT_EQ(RestartMatchingAdapters("{2},{1}"), 0u);
    EXPECT_EQ(restarts(), (std::vector<unsigned>{1, 1}));
}

TEST_F(AdapterRestartTest, LongIdListsAreReadWhole) {
    // The wanted id sits past the first 8,192 bytes of the list.
    std::string ids;
    for (int i = 0; i < 200; ++i)
        ids += "pci\\ven_1234&dev_5678&subsys_000000" + std::to_string(1000 + i) + ", ";
    writeState("[component]\nbind-name = {L}\nid = pci\\wanted\nhardware-ids = " + ids + "PCI\\WANTED\n");
    ASSERT_GT(ids.size(), 8192u);
    EXPECT_EQ(RestartMatchingAdapters("{L}"), 0u);
    EXPECT_EQ(restarts(), (std::vector<unsigned>{1}));
}

TEST_F(AdapterRestartTest, AnEmptyBindNameMatchesNothing) {
    writeState("[component]\nbind-name =\nid = pci\\one\nhardware-ids = pci\\one\n");
    EXPECT_EQ(RestartMatchingAdapters("{ANY}"), 1168u);
    EXPECT_EQ(restarts(), (std::vector<unsigned>{0}));
}

TEST_F(AdapterRestartTest, UnreadableConfigurationIsNotFound) {
    writeState("[component]\nbind-name = {A}\nspeed = fast\n");
    EXPECT_EQ(RestartMatchingAdapters("{A}"), 1168u);
}

TEST_F(AdapterRestartTest, ProgramPrintsUsageAndExitsWithTheLowBitsOfItsResult) {
    const std::string usage = std::string("Usage: ") + NICBOUNCE_PATH +
                              " <adapter_symbolic_name_list>\n"
                              "Restarts the network adapter(s) listed.\n"
                              "The adapter symbolic name in Windows is a GUID.\n"
                              "One or more adapters can be listed. If space is used\n"
                              "for a separator, the list should be enclosed in\n"
                              "quote marks.\n";
    writeState(STATE);
    struct Case {
        std::vector<std::string> args;
        int exitStatus;
        std::string output;
    };
    const Case cases[] = {
        {{NICBOUNCE_PATH}, 255, usage},
        {{NICBOUNCE_PATH, "{A}", "{B}"}, 255, usage},
        {{NICBOUNCE_PATH, "{NOPE}"}, 1168 & 0xFF, ""},
        {{NICBOUNCE_PATH, "{NOID}"}, 31, ""},
        {{NICBOUNCE_PATH, "{C}"}, 1167 & 0xFF, ""},
        {{NICBOUNCE_PATH, "{A}"}, 0, ""},
    };
    for (const auto& c : cases) {
        ProgramResult run = runProgram(c.args);
        EXPECT_EQ(run.exitStatus, c.exitStatus) << c.args.size() << " " << c.args.back();
        EXPECT_EQ(run.output, c.output) << c.args.back();
    }
    EXPECT_EQ(restarts(), (std::vector<unsigned>{0, 1, 0, 0, 0, 0}));
}

// A restart the program may not make fails as the system fails it and is not recorded: the
// program runs as nobody, who may not take an interface down.
TEST_F(AdapterRestartTest, AdapterThatMayNotBeRestartedFailsWithAccessDenied) {
    writeState(
        "[component]\nbind-name = {LOOP}\nid = pci\\ven_4\nhardware-ids = pci\\ven_4\ninterface = lo\n");
    std::string programPath = NICBOUNCE_PATH;
    if (geteuid() == 0) {
        for (const std::string& path : {root_, root_ + "/netcfg"})
            ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
        // The build folder may be one nobody cannot enter (a build under root's home): nobody runs
        // a copy in the test's own root instead.
        programPath = root_ + "/nicbounce";
        std::filesystem::copy_file(NICBOUNCE_PATH, programPath);
        std::filesystem::permissions(programPath, std::filesystem::perms::owner_all |
                                                      std::filesystem::perms::group_read |
                                                      std::filesystem::perms::group_exec |
                                                      std::filesystem::perms::others_read |
                                                      std::filesystem::perms::others_exec);
    }
    tamsel::test::ChildProcess program;
    ASSERT_TRUE(program.start(programPath, {"{LOOP}"}, [] {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(99);
    }));
    EXPECT_EQ(program.wait(), int(base::win32::ERROR_ACCESS_DENIED & 0xFF));
    EXPECT_EQ(restarts(), (std::vector<unsigned>{0}));
}

}  // namespace
