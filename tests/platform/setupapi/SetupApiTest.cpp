#include <grp.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/netcfg/NetCfg.h"
#include "platform/netcfg/NetworkState.h"
#include "platform/setupapi/SetupApi.h"
#include "tests/support/TempHome.h"

using namespace setupapi;

namespace {

const char* STATE = R"(
[component]
bind-name = {A}
id = pci\ven_1
hardware-ids = PCI\VEN_1&DEV_2, pci\ven_1

[component]
bind-name = {GONE}
present = no
hardware-ids = pci\ven_2

[component]
bind-name = {UNPLUGGED}
interface = tamselnone0
hardware-ids = pci\ven_3

[component]
bind-name = {LOOP}
interface = lo
hardware-ids = pci\ven_4
compatible-ids = pci\cc_0200

[component]
bind-name = Tcpip
class = nettrans
hardware-ids = pci\ven_1

[component]
id = pci\ven_5
hardware-ids = pci\ven_5
restart-error = 1167
)";

class SetupApiTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_.emplace("setupapi");
        root_ = home_->path();
        std::ofstream(root_ + "/netcfg") << STATE;
    }
    void TearDown() override {
        for (HDEVINFO set : open_) SetupDiDestroyDeviceInfoList(set);
        home_.reset();
    }

    HDEVINFO devices(DWORD flags) {
        HDEVINFO set = SetupDiGetClassDevsEx(&netcfg::GUID_DEVCLASS_NET, nullptr, nullptr, flags, nullptr,
                                             nullptr, nullptr);
        EXPECT_NE(set, INVALID_HANDLE_VALUE);
        if (set != INVALID_HANDLE_VALUE) open_.push_back(set);
        return set;
    }

    static SP_DEVINFO_DATA deviceAt(HDEVINFO set, DWORD index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        EXPECT_TRUE(SetupDiEnumDeviceInfo(set, index, &device)) << index;
        return device;
    }

    // The bind names of a set's devices through their first hardware id, which the state keeps
    // in the same order.
    static std::vector<std::string> firstIds(HDEVINFO set) {
        std::vector<std::string> ids;
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
            char buffer[256];
            DWORD type = 0;
            EXPECT_TRUE(SetupDiGetDeviceRegistryProperty(set, &device, SPDRP_HARDWAREID, &type,
                                                         reinterpret_cast<BYTE*>(buffer), sizeof buffer,
                                                         nullptr));
            ids.push_back(buffer);
        }
        EXPECT_EQ(GetLastError(), base::win32::ERROR_NO_MORE_ITEMS);
        return ids;
    }

    static bool restart(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD stateChange = DICS_PROPCHANGE) {
        SP_PROPCHANGE_PARAMS params{};
        params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
        params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
        params.StateChange = stateChange;
        params.Scope = DICS_FLAG_CONFIGSPECIFIC;
        return SetupDiSetClassInstallParams(set, &device, &params.ClassInstallHeader, sizeof params) &&
               SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &device);
    }

    static unsigned restartsRecorded(std::size_t component) {
        netcfg::NetworkState state;
        EXPECT_EQ(netcfg::NetworkStateFile::read(state), 0);
        return state.components.at(component).restarts;
    }

    std::optional<tamsel::test::TempHome> home_;
    std::string root_;
    std::vector<HDEVINFO> open_;
};

TEST_F(SetupApiTest, OnlyPresentNetDevicesAreListedWhenAsked) {
    EXPECT_EQ(firstIds(devices(DIGCF_PRESENT)),
              (std::vector<std::string>{"PCI\\VEN_1&DEV_2", "pci\\ven_4", "pci\\ven_5"}));
    EXPECT_EQ(firstIds(devices(0)), (std::vector<std::string>{"PCI\\VEN_1&DEV_2", "pci\\ven_2", "pci\\ven_3",
                                                              "pci\\ven_4", "pci\\ven_5"}));
    HDEVINFO none = SetupDiGetClassDevsEx(&netcfg::GUID_DEVCLASS_NETTRANS, nullptr, nullptr, 0, nullptr,
                                          nullptr, nullptr);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    EXPECT_FALSE(SetupDiEnumDeviceInfo(none, 0, &device));
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(none));
}

TEST_F(SetupApiTest, IdListsAreMultiStringsWithTheirSizes) {
    HDEVINFO set = devices(DIGCF_PRESENT);
    SP_DEVINFO_DATA first = deviceAt(set, 0);
    const std::string expected("PCI\\VEN_1&DEV_2\0pci\\ven_1\0\0", 27);
    DWORD type = 0, required = 0;
    BYTE small[8];
    EXPECT_FALSE(SetupDiGetDeviceRegistryProperty(set, &first, SPDRP_HARDWAREID, &type, small, sizeof small,
                                                  &required));
    EXPECT_EQ(GetLastError(), base::win32::ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(type, 7u);
    EXPECT_EQ(required, expected.size());
    std::vector<BYTE> buffer(required);
    ASSERT_TRUE(SetupDiGetDeviceRegistryProperty(set, &first, SPDRP_HARDWAREID, &type, buffer.data(),
                                                 required, &required));
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), expected);

    EXPECT_FALSE(SetupDiGetDeviceRegistryProperty(set, &first, SPDRP_COMPATIBLEIDS, &type, buffer.data(),
                                                  required, &required));
    EXPECT_EQ(GetLastError(), base::win32::ERROR_INVALID_DATA);
    EXPECT_FALSE(
        SetupDiGetDeviceRegistryProperty(set, &first, 0x9, &type, buffer.data(), required, &required));
    EXPECT_EQ(GetLastError(), base::win32::ERROR_INVALID_PARAMETER);
}

TEST_F(SetupApiTest, PropertyChangeRestartsAndOtherRequestsAreRefused) {
    HDEVINFO set = devices(DIGCF_PRESENT);
    SP_DEVINFO_DATA first = deviceAt(set, 0);
    EXPECT_FALSE(SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &first));
    EXPECT_EQ(GetLastError(), ERROR_NO_CLASSINSTALL_PARAMS);

    SP_PROPCHANGE_PARAMS params{};
    params.ClassInstallHeader.cbSize = sizeof params;  // the header's size is expected here
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = DICS_PROPCHANGE;
    params.Scope = DICS_FLAG_CONFIGSPECIFIC;
    EXPECT_FALSE(SetupDiSetClassInstallParams(set, &first, &params.ClassInstallHeader, sizeof params));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);

    EXPECT_FALSE(restart(set, first, DICS_DISABLE));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(restartsRecorded(0), 0u);

    ASSERT_TRUE(restart(set, first));
    ASSERT_TRUE(restart(set, first));
    EXPECT_EQ(restartsRecorded(0), 2u);

    // A device told to fail its restart fails with that error and records nothing.
    SP_DEVINFO_DATA failing = deviceAt(set, 2);
    EXPECT_FALSE(restart(set, failing));
    EXPECT_EQ(GetLastError(), 1167u);
    EXPECT_EQ(restartsRecorded(5), 0u);
}

TEST_F(SetupApiTest, InterfaceThatMayNotBeCycledIsRefusedAndNotRecorded) {
    // Run as nobody, so that the loopback interface other tests use stays up even under root.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (geteuid() == 0) {
                for (const char* path : {"", "/netcfg"})
                    if (chown((root_ + path).c_str(), 65534, 65534) != 0) _exit(2);
                if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
            }
            HDEVINFO set = devices(DIGCF_PRESENT);
            SP_DEVINFO_DATA loop = deviceAt(set, 1);
            bool restarted = restart(set, loop);
            DWORD error = GetLastError();
            std::fprintf(stderr, "%s%s%s", restarted ? "restarted; " : "",
                         error != base::win32::ERROR_ACCESS_DENIED ? "not access denied; " : "",
                         restartsRecorded(3) != 0 ? "recorded; " : "");
            _exit(!restarted && error == base::win32::ERROR_ACCESS_DENIED && restartsRecorded(3) == 0 ? 0
                                                                                                      : 1);
        },
        testing::ExitedWithCode(0), "^$");
}

TEST_F(SetupApiTest, StaleHandlesAndBadStructuresAreRefused) {
    HDEVINFO set =
        SetupDiGetClassDevsEx(&netcfg::GUID_DEVCLASS_NET, nullptr, nullptr, 0, nullptr, nullptr, nullptr);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device - 1;
    EXPECT_FALSE(SetupDiEnumDeviceInfo(set, 0, &device));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);
    ASSERT_TRUE(SetupDiDestroyDeviceInfoList(set));
    device.cbSize = sizeof device;
    EXPECT_FALSE(SetupDiEnumDeviceInfo(set, 0, &device));
    EXPECT_EQ(GetLastError(), base::win32::ERROR_INVALID_HANDLE);
    EXPECT_FALSE(SetupDiDestroyDeviceInfoList(set));

    std::ofstream(root_ + "/netcfg") << "[component]\nnonsense = 1\n";
    EXPECT_EQ(
        SetupDiGetClassDevsEx(&netcfg::GUID_DEVCLASS_NET, nullptr, nullptr, 0, nullptr, nullptr, nullptr),
        INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), base::win32::ERROR_BADDB);
}

}  // namespace
