#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/win/ServiceControl.h"
#include "tests/platform/win/WinServiceTestSupport.h"

using namespace winsvc;

namespace {

TEST(ServiceConfig, TheProgramPathComesQuotedAfterASizeQuery) {
    TempRoot root;
    SC_HANDLE manager = OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    SC_HANDLE service = CreateService(manager, "TivraEoU", "Tivra agent", SERVICE_ALL_ACCESS,
                                      SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                      "/opt/lab agent/libqxTivra.so", nullptr, nullptr, "", nullptr, nullptr);
    ASSERT_NE(service, nullptr);

    DWORD needed = 0;
    EXPECT_FALSE(QueryServiceConfig(service, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    ASSERT_GT(needed, sizeof(QUERY_SERVICE_CONFIG));
    std::vector<char> buffer(needed - 1);
    EXPECT_FALSE(QueryServiceConfig(service, reinterpret_cast<QUERY_SERVICE_CONFIG*>(buffer.data()),
                                    static_cast<DWORD>(buffer.size()), &needed));

    buffer.resize(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIG*>(buffer.data());
    ASSERT_TRUE(QueryServiceConfig(service, config, needed, &needed));
    EXPECT_STREQ(config->lpBinaryPathName, "\"/opt/lab agent/libqxTivra.so\"");
    EXPECT_STREQ(config->lpDisplayName, "Tivra agent");
    EXPECT_EQ(config->dwStartType, SERVICE_DEMAND_START);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

TEST(ServiceConfig, ConnectAccessNeedsOnlyToReadTheUnits) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes to any folder";
    TempRoot root;
    ASSERT_EQ(::chmod(root.units().c_str(), 0555), 0);
    SC_HANDLE reader = OpenSCManager(nullptr, nullptr, SC_MANAGER_CONNECT);
    EXPECT_NE(reader, nullptr);
    EXPECT_EQ(OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS), nullptr);
    if (reader != nullptr) CloseServiceHandle(reader);
    ::chmod(root.units().c_str(), 0755);
}

}  // namespace
