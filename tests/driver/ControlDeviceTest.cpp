// The control device: openers, event records, reads and the I/O control codes.
#include "tests/driver/DriverFixture.h"

namespace {

using C = FiltConstants;
using namespace std::chrono_literals;

class ControlDeviceTest : public DriverFixture {};

TEST_F(ControlDeviceTest, VersionAnswerAndShortBuffers) {
    LoadWithTwoAdapters();
    auto& file = Open(100);
    struct Case {
        uint32_t outputLength;
        NTSTATUS status;
    } cases[] = {{8, STATUS_SUCCESS},
                 {16, STATUS_SUCCESS},
                 {7, STATUS_BUFFER_TOO_SMALL},
                 {0, STATUS_INVALID_PARAMETER}};
    for (const auto& c : cases) {
        Bytes out;
        EXPECT_EQ(file.deviceControlSync(C::IOCTL_FILT_GET_VERSION, nullptr, 0, &out, c.outputLength),
                  c.status)
            << c.outputLength;
        if (c.status == STATUS_SUCCESS) {
            EXPECT_EQ(Bytes(out.begin(), out.begin() + 8), (Bytes{1, 0, 1, 0, 0, 0, 4, 0}));
        }
    }
    Bytes out;
    EXPECT_EQ(file.deviceControlSync(0x8000C014, nullptr, 0, &out, 8), STATUS_NOT_SUPPORTED);
}

TEST_F(ControlDeviceTest, NewOpenerReadsEveryAdapterThenTheEndInSequence) {
    LoadWithTwoAdapters();
    auto& file = Open(100);
    auto records = Drain(file);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].type, C::EVENT_ADAPTER_ARRIVAL);
    EXPECT_EQ(records[1].type, C::EVENT_ADAPTER_ARRIVAL);
    EXPECT_EQ(records[2].type, C::EVENT_LIST_END);
    for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(records[i].sequence, i);
    EXPECT_EQ(records[0].adapterId, 1u);
    EXPECT_EQ(records[1].adapterId, 2u);
    EXPECT_EQ(records[2].adapterId, 0u);
    EXPECT_EQ(records[2].length, 16u);

    // The arrival: name field without "\Device\", then the instance name and a 16-bit 0.
    const Record& arrival = records[0];
    std::u16string instance = u"Sim Wired Adapter";
    EXPECT_EQ(arrival.length, (instance.size() * 2 + 149) & ~3u);
    std::u16string field(reinterpret_cast<const char16_t*>(arrival.bytes.data() + 16));
    EXPECT_EQ(field, u"{WIRED-0001}");
    EXPECT_EQ(0, std::memcmp(arrival.bytes.data() + C::ARRIVAL_INSTANCE_NAME, instance.data(),
                             instance.size() * 2));
    EXPECT_EQ(FiltGetU16(arrival.bytes.data(), C::ARRIVAL_INSTANCE_NAME + uint32_t(instance.size() * 2)), 0);
}

TEST_F(ControlDeviceTest, ArrivalNameFieldIsEmptyForNamesThatDoNotFit) {
    struct Case {
        std::u16string device;
        std::u16string field;
    } cases[] = {
        {u"\\Device", u""},
        {u"\\Device\\" + std::u16string(63, u'x'), std::u16string(63, u'x')},
        {u"\\Device\\" + std::u16string(64, u'y'), u""},
    };
    for (const auto& c : cases)
        AddAdapter({c.device, u"i", u"\\Device\\V" + c.device.substr(c.device.size() - 1)});
    Load();
    auto records = Drain(Open(7));
    ASSERT_EQ(records.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        const uint8_t* field = records[i].bytes.data() + 16;
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(field)), cases[i].field) << i;
        EXPECT_EQ(FiltGetU16(field, 126), 0);
    }
}

TEST_F(ControlDeviceTest, SecondOpenByTheSameProcessIsRefusedUntilClosed) {
    LoadWithTwoAdapters();
    NTSTATUS status = STATUS_UNSUCCESSFUL;
    auto first = SimDeviceFile::open(100, &status);
    ASSERT_TRUE(first);
    EXPECT_FALSE(SimDeviceFile::open(100, &status));
    EXPECT_EQ(status, STATUS_INSUFFICIENT_RESOURCES);
    EXPECT_TRUE(SimDeviceFile::open(101, &status));
    first->close();
    auto again = SimDeviceFile::open(100, &status);
    EXPECT_TRUE(again);
    EXPECT_EQ(status, STATUS_SUCCESS);
}

TEST_F(ControlDeviceTest, FullQueueDropsTheOldestRecord) {
    LoadWithTwoAdapters();
    auto& actor = Open(1);
    auto& idle = Open(2);
    Drain(actor);
    // Three records wait already; 62 ownership changes make 65.
    uint32_t oid = PrivateOidOf(actor, 1);
    for (int i = 0; i < 62; ++i) {
        Bytes request = OidRequest(1, 1, oid, Command(C::GROUP_OWNERSHIP, 1, 4, U32(i % 2 == 0 ? 1 : 0)));
        Bytes out = Oid(actor, request, uint32_t(request.size()));
        ASSERT_EQ(out[24 + C::CMD_RESULT], C::FILT_CMD_OK);
    }
    auto records = Drain(idle);
    ASSERT_EQ(records.size(), 64u);
    EXPECT_EQ(records.front().sequence, 1u);
    EXPECT_EQ(records.back().sequence, 64u);
}

TEST_F(ControlDeviceTest, ReadTooSmallForTheFirstRecordLeavesItQueued) {
    LoadWithTwoAdapters();
    auto& file = Open(5);
    auto small = file.read(20);
    ASSERT_TRUE(small->wait(5s));
    EXPECT_EQ(small->status(), STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(small->information(), 0u);
    auto records = Drain(file);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].sequence, 0u);
}

TEST_F(ControlDeviceTest, WaitingReadTooSmallLearnsTheSizeAndTheRecordStaysQueued) {
    LoadWithTwoAdapters();
    auto& file = Open(5);
    Drain(file);
    auto waiting = file.read(8);
    EXPECT_FALSE(waiting->wait(50ms));  // nothing queued: it waits

    uint32_t oid = PrivateOidOf(file, 2);
    Bytes request = OidRequest(2, 1, oid, Command(C::GROUP_OWNERSHIP, 1, 4, U32(1)));
    Oid(file, request, uint32_t(request.size()));

    ASSERT_TRUE(waiting->wait(5s));
    EXPECT_EQ(waiting->status(), STATUS_BUFFER_TOO_SMALL);
    // Status record of the owner change: 24 bytes of header and code, a 12-byte command.
    EXPECT_EQ(waiting->information(), 36u);
    auto records = Drain(file);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].type, C::EVENT_STATUS);
    EXPECT_EQ(records[0].adapterId, 2u);
    EXPECT_EQ(records[0].sequence, 3u);
}

TEST_F(ControlDeviceTest, WaitingReadGetsTheNextRecordAndCleanupCancelsIt) {
    LoadWithTwoAdapters();
    auto& file = Open(5);
    Drain(file);
    auto waiting = file.read(512);
    NdisEnvironment::instance().indicateStatus(*wired_, NDIS_STATUS_MEDIA_DISCONNECT);
    ASSERT_TRUE(waiting->wait(5s));
    ASSERT_EQ(waiting->status(), STATUS_SUCCESS);
    auto records = ParseRecords(waiting->output());
    ASSERT_EQ(records.size(), 1u);
    // The media indication as a private command: group 2, item 0, data 0 (disconnected).
    const uint8_t* body = records[0].bytes.data() + C::STATUS_BODY;
    EXPECT_EQ(FiltGetU16(body, C::CMD_GROUP), C::GROUP_PORT);
    EXPECT_EQ(FiltGetU32(body, C::CMD_DATA), 0u);

    auto pending = file.read(512);
    EXPECT_FALSE(pending->wait(20ms));
    pending->cancel();
    ASSERT_TRUE(pending->wait(5s));
    EXPECT_EQ(pending->status(), STATUS_CANCELLED);

    auto orphan = file.read(512);
    file.close();
    ASSERT_TRUE(orphan->wait(5s));
    EXPECT_EQ(orphan->status(), STATUS_CANCELLED);
}

TEST_F(ControlDeviceTest, StatusFilterChecksAndForwardsListedCodes) {
    LoadWithTwoAdapters();
    auto& owner = Open(10);
    auto& other = Open(11);
    Private(owner, 1, true, Command(C::GROUP_OWNERSHIP, 1, 4, U32(1)));
    struct Case {
        SimDeviceFile* file;
        Bytes input;
        NTSTATUS status;
    } cases[] = {
        {&owner, Bytes{1, 0, 0}, STATUS_INVALID_PARAMETER},
        {&owner, U32(9), STATUS_NO_SUCH_DEVICE},
        {&other, Cat({U32(1), U32(0x40010000)}), STATUS_ACCESS_DENIED},
        {&owner, Cat({U32(1), Bytes{1, 2}}), STATUS_INVALID_PARAMETER},
        {&owner, Cat({U32(1), Bytes(68, 0)}), STATUS_BUFFER_OVERFLOW},
        {&owner, Cat({U32(1), Bytes(64, 0)}), STATUS_SUCCESS},
        {&owner, Cat({U32(1), U32(0x40010020)}), STATUS_SUCCESS},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.file->deviceControlSync(C::IOCTL_FILT_SET_STATUS_FILTER, c.input.data(),
                                            uint32_t(c.input.size()), nullptr, 0),
                  c.status)
            << c.input.size();
    Drain(other);
    NdisEnvironment::instance().indicateStatus(*wired_, 0x40010020, Bytes{9, 8, 7});
    NdisEnvironment::instance().indicateStatus(*wired_, 0x40010021, Bytes{1});
    auto records = Drain(other);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(FiltGetU32(records[0].bytes.data(), C::STATUS_CODE), 0x40010020u);
    EXPECT_EQ(FiltGetU32(records[0].bytes.data(), C::STATUS_BODY_LENGTH), 3u);
    EXPECT_EQ(records[0].length, 28u);
    EXPECT_EQ(Bytes(records[0].bytes.begin() + 24, records[0].bytes.begin() + 27), (Bytes{9, 8, 7}));
}

TEST_F(ControlDeviceTest, CaptureFileStartQueryAndBusy) {
    LoadWithTwoAdapters();
    auto& file = Open(3);
    std::string path = (root_ / "wired.pcap").string();
    std::u16string wide(path.begin(), path.end());
    Bytes start = Cat({U32(1), U32(0)});
    const auto* raw = reinterpret_cast<const uint8_t*>(wide.c_str());
    start.insert(start.end(), raw, raw + (wide.size() + 1) * 2);

    auto query = [&](uint32_t outputLength, Bytes* out) {
        Bytes in = Cat({U32(1), U32(0)});
        return file.deviceControlSync(C::IOCTL_FILT_CAPTURE_FILE, in.data(), 8, out, outputLength);
    };
    Bytes out;
    ASSERT_EQ(query(10, &out), STATUS_SUCCESS);
    EXPECT_EQ(out.size(), 10u);  // no capture: an empty name
    EXPECT_EQ(query(9, &out), STATUS_INVALID_PARAMETER);

    ASSERT_EQ(
        file.deviceControlSync(C::IOCTL_FILT_CAPTURE_FILE, start.data(), uint32_t(start.size()), nullptr, 0),
        STATUS_SUCCESS);
    EXPECT_EQ(std::filesystem::file_size(root_ / "wired.pcap"), 24u);
    EXPECT_EQ(
        file.deviceControlSync(C::IOCTL_FILT_CAPTURE_FILE, start.data(), uint32_t(start.size()), nullptr, 0),
        STATUS_DEVICE_BUSY);
    EXPECT_EQ(query(12, &out), STATUS_BUFFER_TOO_SMALL);
    ASSERT_EQ(query(uint32_t(8 + wide.size() * 2 + 2), &out), STATUS_SUCCESS);
    EXPECT_EQ(out.size(), wide.size() * 2 + 10);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(out.data() + 8)), wide);

    Bytes unterminated = Cat({U32(1), U32(0), Bytes{'a', 0, 'b', 0}});
    Bytes stop = Cat({U32(1), U32(0)});
    EXPECT_EQ(file.deviceControlSync(C::IOCTL_FILT_CAPTURE_FILE, stop.data(), 8, nullptr, 0), STATUS_SUCCESS);
    EXPECT_EQ(file.deviceControlSync(C::IOCTL_FILT_CAPTURE_FILE, unterminated.data(), 12, nullptr, 0),
              STATUS_INVALID_PARAMETER);
    Bytes unknown = Cat({U32(77), U32(0)});
    EXPECT_EQ(file.deviceControlSync(C::IOCTL_FILT_CAPTURE_FILE, unknown.data(), 8, nullptr, 0),
              STATUS_NO_SUCH_DEVICE);
}

// Paths near and past the 16-bit lengths of a counted string: refused whole, never cut or
// copied past the name's buffer, and the binding can still start a capture afterwards.
TEST_F(ControlDeviceTest, CaptureFileWithAPathTooLongForTheNameIsRefused) {
    LoadWithTwoAdapters();
    auto& file = Open(5);
    auto startWith = [&](const std::u16string& path) {
        Bytes in = Cat({U32(1), U32(0)});
        const auto* raw = reinterpret_cast<const uint8_t*>(path.c_str());
        in.insert(in.end(), raw, raw + (path.size() + 1) * 2);
        return file.deviceControlSync(C::IOCTL_FILT_CAPTURE_FILE, in.data(), uint32_t(in.size()), nullptr, 0);
    };
    std::string base = root_.string() + "/";
    struct Case {
        size_t chars;  // without the terminator
        NTSTATUS status;
    } cases[] = {
        {32766, STATUS_UNSUCCESSFUL},       // fits the request, not with the "\??\" prefix
        {32763, STATUS_UNSUCCESSFUL},       // fits with the prefix; no file system takes it
        {40000, STATUS_INVALID_PARAMETER},  // past what a counted string can hold
    };
    for (const auto& c : cases) {
        std::string path = base;
        while (path.size() + 2 < c.chars) path += "./";
        path.resize(c.chars, 'x');
        std::u16string wide(path.begin(), path.end());
        ASSERT_EQ(wide.size(), c.chars);
        EXPECT_EQ(startWith(wide), c.status) << c.chars;
    }

    std::string good = (root_ / "after.pcap").string();
    ASSERT_EQ(startWith(std::u16string(good.begin(), good.end())), STATUS_SUCCESS);
    EXPECT_EQ(std::filesystem::file_size(root_ / "after.pcap"), 24u);
}

TEST_F(ControlDeviceTest, RebindTakesTheAdaptersDown) {
    LoadWithTwoAdapters();
    auto& file = Open(4);
    Drain(file);
    auto& env = NdisEnvironment::instance();
    ASSERT_EQ(env.initializedMiniportCount(), 2u);
    ASSERT_EQ(file.deviceControlSync(C::IOCTL_FILT_REBIND, nullptr, 0, nullptr, 0), STATUS_SUCCESS);
    EXPECT_EQ(env.initializedMiniportCount(), 0u);
    EXPECT_FALSE(env.isBound(*wired_));
    EXPECT_FALSE(env.isBound(*wireless_));
    EXPECT_FALSE(env.protocolRegistered());
    auto records = Drain(file);
    ASSERT_EQ(records.size(), 2u);
    for (const auto& r : records) EXPECT_EQ(r.type, C::EVENT_ADAPTER_REMOVAL);
    EXPECT_EQ(records[0].adapterId + records[1].adapterId, 3u);
    NTSTATUS status;
    EXPECT_FALSE(SimDeviceFile::open(9, &status));
    EXPECT_EQ(status, STATUS_NO_SUCH_DEVICE);
}

TEST_F(ControlDeviceTest, OidRequestFramingChecks) {
    LoadWithTwoAdapters();
    auto& file = Open(8);
    struct Case {
        Bytes input;
        uint32_t outputLength;
        NTSTATUS status;
        uint32_t ndisStatus;
    } cases[] = {
        {Bytes(23, 0), 24, STATUS_BUFFER_TOO_SMALL, 0},
        {OidRequest(1, 0, OID_GEN_MEDIA_CONNECT_STATUS), 23, STATUS_BUFFER_TOO_SMALL, 0},
        {OidRequest(1, 2, OID_GEN_MEDIA_CONNECT_STATUS), 28, STATUS_NOT_SUPPORTED, 0},
        {OidRequest(1, 0, OID_GEN_MEDIA_CONNECT_STATUS), 0, STATUS_INVALID_PARAMETER, 0},
        {OidRequest(42, 0, OID_GEN_MEDIA_CONNECT_STATUS), 28, STATUS_SUCCESS, NDIS_STATUS_ADAPTER_NOT_FOUND},
        {OidRequest(1, 0, OID_GEN_MEDIA_CONNECT_STATUS), 28, STATUS_SUCCESS, NDIS_STATUS_SUCCESS},
    };
    for (const auto& c : cases) {
        NTSTATUS status;
        Bytes out = Oid(file, c.input, c.outputLength, &status);
        EXPECT_EQ(status, c.status) << c.input.size() << "/" << c.outputLength;
        if (status == STATUS_SUCCESS) {
            EXPECT_EQ(out.size(), c.outputLength);
            EXPECT_EQ(FiltGetU32(out.data(), C::OID_NDIS_STATUS), c.ndisStatus);
        } else {
            EXPECT_TRUE(out.empty());
        }
    }
}

}  // namespace
