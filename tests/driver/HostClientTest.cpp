// The nvofilt host run as its own process over a lab, reached through the real socket with the
// client side that programs use.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "driver/FiltInterface.h"
#include "driver/client/FiltDeviceClient.h"
#include "driver/client/PellodurProtocol.h"
#include "tests/support/ChildProcess.h"

namespace {

using C = FiltConstants;
using Bytes = std::vector<uint8_t>;

const char LAB[] = R"(<lab>
  <adapter name="{6F1A0C2E-0000-4000-8000-000000000001}" friendly="eth0" media="wired"
           mac="02:00:00:00:00:01" link="up"/>
  <adapter name="{6F1A0C2E-0000-4000-8000-000000000002}" friendly="wlan0" media="wireless"
           mac="02:00:00:00:00:02">
    <oid id="0x0D010217" hex="01000000 deadbeef"/>
  </adapter>
</lab>
)";

struct Record {
    uint32_t length, sequence, adapterId, type;
};

std::vector<Record> Parse(const Bytes& batch, size_t length) {
    std::vector<Record> records;
    for (size_t at = 0; at + 16 <= length;) {
        Record r{FiltGetU32(batch.data() + at, 0), FiltGetU32(batch.data() + at, 4),
                 FiltGetU32(batch.data() + at, 8), FiltGetU32(batch.data() + at, 12)};
        if (r.length < 16 || at + r.length > length) break;
        records.push_back(r);
        at += r.length;
    }
    return records;
}

class HostClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() / ("nvofilt-host-" + std::to_string(::getpid()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        std::ofstream(root_ / "lab.xml") << LAB;
        ::setenv("TAMSEL_HOME", root_.c_str(), 1);
        ::unsetenv("TAMSEL_LAB");

        ASSERT_TRUE(host_.start(NVOFILT_HOST_PATH));
        std::string line = host_.readLine(std::chrono::seconds(20));
        ASSERT_NE(line.find("serving"), std::string::npos) << line;
        ASSERT_NE(line.find("2 adapter(s)"), std::string::npos) << line;
    }

    void TearDown() override {
        if (host_.running()) {
            host_.signal(SIGTERM);
            EXPECT_EQ(host_.readLine(std::chrono::seconds(20)), "nvofilt: stopped");
            EXPECT_EQ(host_.wait(), 0);
        }
        std::filesystem::remove_all(root_);
    }

    std::filesystem::path root_;
    tamsel::test::ChildProcess host_;
};

TEST_F(HostClientTest, ProgramOpensQueriesAndReadsThroughTheSocket) {
    FiltDeviceClient device;
    ASSERT_EQ(device.open(), 0u);

    Bytes version(8);
    uint32_t bytes = 0;
    ASSERT_EQ(device.deviceIoControl(C::IOCTL_FILT_GET_VERSION, nullptr, 0, version.data(), 8, &bytes), 0u);
    EXPECT_EQ(bytes, 8u);
    EXPECT_EQ(version, (Bytes{1, 0, 1, 0, 0, 0, 4, 0}));
    EXPECT_EQ(device.deviceIoControl(C::IOCTL_FILT_GET_VERSION, nullptr, 0, version.data(), 7, &bytes), 122u);

    Bytes batch(5152);
    auto read = device.readAsync(uint32_t(batch.size()));
    ASSERT_EQ(device.getOverlappedResult(*read, batch.data(), uint32_t(batch.size()), &bytes, 5000), 0u);
    auto records = Parse(batch, bytes);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].type, C::EVENT_ADAPTER_ARRIVAL);
    EXPECT_EQ(records[1].type, C::EVENT_ADAPTER_ARRIVAL);
    EXPECT_EQ(records[2].type, C::EVENT_LIST_END);
    EXPECT_EQ(records[2].sequence, 2u);

    // The wireless adapter's BSSID list as the lab gave it.
    Bytes request(24 + 64, 0);
    FiltPutU32(request.data(), C::OID_ADAPTER_ID, 2);
    FiltPutU32(request.data(), C::OID_OID, 0x0D010217);
    ASSERT_EQ(device.deviceIoControl(C::IOCTL_FILT_OID_REQUEST, request.data(), 24, request.data(),
                                     uint32_t(request.size()), &bytes),
              0u);
    EXPECT_EQ(bytes, request.size());
    EXPECT_EQ(FiltGetU32(request.data(), C::OID_NDIS_STATUS), 0u);
    ASSERT_EQ(FiltGetU32(request.data(), C::OID_BYTES_WRITTEN), 8u);
    EXPECT_EQ(Bytes(request.begin() + 24, request.begin() + 32), (Bytes{1, 0, 0, 0, 0xde, 0xad, 0xbe, 0xef}));

    // Nothing more to read: the read waits, times out, and is cancelled.
    auto idle = device.readAsync(uint32_t(batch.size()));
    EXPECT_EQ(device.getOverlappedResult(*idle, batch.data(), uint32_t(batch.size()), &bytes, 100), 996u);
    device.cancelIo(*idle);
    EXPECT_EQ(device.getOverlappedResult(*idle, batch.data(), uint32_t(batch.size()), &bytes, 5000), 995u);
}

TEST_F(HostClientTest, OneHandlePerProcessAndCloseCancelsReads) {
    FiltDeviceClient first;
    ASSERT_EQ(first.open(), 0u);
    FiltDeviceClient second;
    EXPECT_EQ(second.open(), 1450u);  // the driver refuses a second opener of one process

    Bytes batch(4096);
    uint32_t bytes = 0;
    auto initial = first.readAsync(4096);
    ASSERT_EQ(first.getOverlappedResult(*initial, batch.data(), 4096, &bytes, 5000), 0u);
    auto waiting = first.readAsync(4096);
    first.close();
    EXPECT_TRUE(waiting->wait(5000));
    EXPECT_EQ(FiltDeviceClient::ntStatusToWin32(waiting->ntStatus()), 995u);

    ASSERT_EQ(second.open(), 0u);
    auto again = second.readAsync(4096);
    ASSERT_EQ(second.getOverlappedResult(*again, batch.data(), 4096, &bytes, 5000), 0u);
    EXPECT_EQ(Parse(batch, bytes).size(), 3u);
}

// A program that closes the device and opens it again at once (as the report does between its
// sections) finds its old handle gone, never "already open".
TEST_F(HostClientTest, ReopeningRightAfterCloseIsNeverRefused) {
    for (int i = 0; i < 300; ++i) {
        FiltDeviceClient device;
        ASSERT_EQ(device.open(), 0u) << "open number " << i;
        auto pending = device.readAsync(4096);
        device.close();
        EXPECT_TRUE(pending->done());
    }
}

TEST_F(HostClientTest, MalformedFramesEndOnlyThatClient) {
    int raw = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string path = FiltDeviceClient::defaultSocketPath();
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::connect(raw, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    Bytes frame(24, 0);
    FiltPutU32(frame.data(), PellodurConstants::REQUEST_LENGTH, 24);
    FiltPutU32(frame.data(), PellodurConstants::REQUEST_KIND, PellodurConstants::KIND_READ);
    FiltPutU32(frame.data(), PellodurConstants::REQUEST_OUTPUT_LENGTH, 0x7FFFFFFF);
    ASSERT_EQ(::send(raw, frame.data(), frame.size(), MSG_NOSIGNAL), 24);
    // The host answers the create, then hangs up on the frame.
    Bytes reply(64);
    size_t total = 0;
    for (;;) {
        pollfd fd{raw, POLLIN, 0};
        ASSERT_GT(::poll(&fd, 1, 10000), 0);
        ssize_t n = ::recv(raw, reply.data() + total, reply.size() - total, 0);
        if (n <= 0) break;
        total += size_t(n);
    }
    EXPECT_EQ(total, 16u);
    ::close(raw);

    FiltDeviceClient device;
    EXPECT_EQ(device.open(), 0u);
}

// A rebind unloads the driver's protocol; the host loads the driver again, as the system would,
// and programs open the device as before.
TEST_F(HostClientTest, DriverIsLoadedAgainAfterARebind) {
    {
        FiltDeviceClient device;
        ASSERT_EQ(device.open(), 0u);
        uint32_t bytes = 0;
        ASSERT_EQ(device.deviceIoControl(C::IOCTL_FILT_REBIND, nullptr, 0, nullptr, 0, &bytes), 0u);
    }
    EXPECT_EQ(host_.readLine(std::chrono::seconds(20)),
              "nvofilt: driver loaded again after a rebind, with 2 adapter(s)");
    FiltDeviceClient device;
    ASSERT_EQ(device.open(), 0u);
    Bytes batch(4096);
    uint32_t bytes = 0;
    auto read = device.readAsync(4096);
    ASSERT_EQ(device.getOverlappedResult(*read, batch.data(), 4096, &bytes, 5000), 0u);
    auto records = Parse(batch, bytes);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].type, C::EVENT_ADAPTER_ARRIVAL);
    EXPECT_EQ(records[1].type, C::EVENT_ADAPTER_ARRIVAL);
}

}  // namespace
