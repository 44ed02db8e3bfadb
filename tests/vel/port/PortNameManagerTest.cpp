#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/com/Com.h"
#include "platform/netcfg/NetCfg.h"
#include "platform/win/WinFile.h"
#include "tests/vel/port/PortTestSupport.h"
#include "vel/port/PortNameManager.h"

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace tamsel::test {
namespace {

std::uint32_t word(const std::vector<unsigned char>& bytes, size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

std::uint16_t half(const std::vector<unsigned char>& bytes, size_t at) {
    std::uint16_t value = 0;
    std::memcpy(&value, bytes.data() + at, 2);
    return value;
}

std::string wide(const std::vector<unsigned char>& bytes, size_t at, size_t characters) {
    std::string text;
    for (size_t i = 0; i < characters; ++i) text.push_back(static_cast<char>(half(bytes, at + 2 * i)));
    return text;
}

class PortNameManagerTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        winfile::clearDeviceControls();
        winfile::setSystemVersion(5, 1);
        PortNameManagerImpl::forgetSystemVersion();
        LabBuilder builder;
        builder.wiredAdapter(1, "eth0").wirelessAdapter(2, "wlan0");
        startLab(builder);
    }
    void TearDown() override {
        winfile::setSystemVersion(5, 1);
        PortNameManagerImpl::forgetSystemVersion();
        PortTest::TearDown();
    }
    static bool wzcEnabled(int n) {
        bool enabled = false;
        EXPECT_EQ(PortNameManagerImpl::wzcIsEnabled(LabBuilder::guid(n).c_str(), &enabled), 0);
        return enabled;
    }
};

TEST_F(PortNameManagerTest, TcpIpReconfigurationSendsTheNdisRequest) {
    PortNameManagerImpl::reconfigureTcpIp(LabBuilder::guid(2).c_str());
    std::vector<winfile::DeviceControl> controls = winfile::recordedDeviceControls();
    ASSERT_EQ(controls.size(), 1u);
    EXPECT_EQ(controls[0].code, 0x170008u);
    const std::vector<unsigned char>& r = controls[0].input;
    ASSERT_EQ(r.size(), 165u);
    EXPECT_EQ(word(r, 0), 1u);
    EXPECT_EQ(word(r, 4), 3u);
    EXPECT_EQ(word(r, 8), 148u);
    EXPECT_EQ(word(r, 12), 16u);
    EXPECT_EQ(half(r, 16), 92);
    EXPECT_EQ(half(r, 18), 94);
    EXPECT_EQ(word(r, 20), 40u);
    EXPECT_EQ(half(r, 24), 10);
    EXPECT_EQ(half(r, 26), 12);
    EXPECT_EQ(word(r, 28), 134u);
    EXPECT_EQ(half(r, 32), 0);
    EXPECT_EQ(half(r, 34), 2);
    EXPECT_EQ(word(r, 36), 146u);
    EXPECT_EQ(wide(r, 40, 46), "\\DEVICE\\" + LabBuilder::guid(2));
    EXPECT_EQ(half(r, 132), 0);
    EXPECT_EQ(wide(r, 134, 5), "Tcpip");
    EXPECT_EQ(half(r, 144), 0);
    EXPECT_EQ(half(r, 146), 0);
    const unsigned char data[17] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0C, 0, 0, 0, 1, 0, 0};
    EXPECT_EQ(std::vector<unsigned char>(r.begin() + 148, r.end()),
              std::vector<unsigned char>(data, data + 17));
}

TEST_F(PortNameManagerTest, ReconfigurationNeedsAGuidAndASystemThatNeedsIt) {
    for (const char* name : {"no-brace", "\\DEVICE\\{6F1A0C2E-0000-4000-8000}"}) {
        PortNameManagerImpl::reconfigureTcpIp(name);
        EXPECT_THAT(log(), HasSubstr(std::string(name) + ": invalid adaprer class ID"));
    }
    EXPECT_THAT(winfile::recordedDeviceControls(), IsEmpty());
    struct Version {
        winfile::DWORD major, minor;
        size_t controls;
    } versions[] = {{5, 0, 0}, {6, 1, 0}, {5, 2, 1}};
    for (const Version& version : versions) {
        winfile::clearDeviceControls();
        winfile::setSystemVersion(version.major, version.minor);
        PortNameManagerImpl::forgetSystemVersion();
        PortNameManagerImpl::reconfigureTcpIp(LabBuilder::guid(2).c_str());
        EXPECT_EQ(winfile::recordedDeviceControls().size(), version.controls)
            << version.major << "." << version.minor;
    }
}

TEST_F(PortNameManagerTest, ControlAttachesAndReleaseHandsTheAdapterBackWhenAsked) {
    struct Row {
        std::int32_t reactivate;
        bool enabledAfter;
    } rows[] = {{0, false}, {1, true}};
    for (const Row& row : rows) {
        PortNameManager names = PortNameManager::create(LabBuilder::guid(2).c_str());
        adapter = VelAdapter::create(LabBuilder::guid(2).c_str());
        lab::clearCalls();
        onEngine([&] { names.control(manager, adapter); });
        EXPECT_TRUE(names.impl()->managed());
        EXPECT_THAT(calls(), ::testing::Contains(
                                 ::testing::StartsWith("qxPortAttach(&port, \"" + LabBuilder::guid(2))));
        onEngine([&] { names.impl()->disableWzc(); });
        EXPECT_FALSE(wzcEnabled(2));
        onEngine([&] { names.release(manager, row.reactivate); });
        EXPECT_FALSE(names.impl()->managed());
        EXPECT_EQ(wzcEnabled(2), row.enabledAfter) << row.reactivate;
        manager.clear();
        adapter.impl()->clearReferences();
        adapter.reset();
        names.reset();
    }
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("Adapter controlled: " + LabBuilder::guid(2)));
    EXPECT_THAT(text, HasSubstr("Adapter control released: " + LabBuilder::guid(2)));
    EXPECT_THAT(text, HasSubstr("Wireless Zero Config deactivated: " + LabBuilder::guid(2)));
    EXPECT_THAT(text, HasSubstr(LabBuilder::guid(2) + ": Wireless Zero Config reactivated for adapter"));
}

TEST_F(PortNameManagerTest, DisablingTwiceChangesNothingTheSecondTime) {
    PortNameManager names = PortNameManager::create(LabBuilder::guid(1).c_str());
    names.impl()->disableWzc();
    EXPECT_FALSE(wzcEnabled(1));
    EXPECT_TRUE(wzcEnabled(2));
    size_t lines = log().size();
    names.impl()->disableWzc();
    EXPECT_EQ(log().size(), lines);
    bool enabled = true;
    EXPECT_EQ(PortNameManagerImpl::wzcIsEnabled("{00000000-0000-0000-0000-000000000000}", &enabled), 1);
    EXPECT_EQ(PortNameManagerImpl::wzcIsEnabled(LabBuilder::guid(1).c_str(), nullptr), -5);
}

TEST_F(PortNameManagerTest, LockHeldElsewherePastTheWaitFailsTheSwitch) {
    ASSERT_TRUE(com::SUCCEEDED(com::CoInitializeEx(nullptr, com::COINIT_APARTMENTTHREADED)));
    netcfg::INetCfg* other = nullptr;
    ASSERT_TRUE(
        com::SUCCEEDED(com::CoCreateInstance(netcfg::CLSID_CNetCfg, nullptr, com::CLSCTX_INPROC_SERVER,
                                             netcfg::IID_INetCfg, reinterpret_cast<void**>(&other))));
    netcfg::INetCfgLock* lock = nullptr;
    ASSERT_TRUE(
        com::SUCCEEDED(other->QueryInterface(netcfg::IID_INetCfgLock, reinterpret_cast<void**>(&lock))));
    ASSERT_EQ(lock->AcquireWriteLock(0, "someone else", nullptr), com::S_OK);
    PortNameManager names = PortNameManager::create(LabBuilder::guid(2).c_str());
    names.impl()->disableWzc();
    EXPECT_THAT(log(), HasSubstr("wzcEnable failed"));
    EXPECT_THAT(log(), Not(HasSubstr("Wireless Zero Config deactivated")));
    lock->ReleaseWriteLock();
    lock->Release();
    other->Release();
    com::CoUninitialize();
    EXPECT_TRUE(wzcEnabled(2));
}

}  // namespace
}  // namespace tamsel::test
