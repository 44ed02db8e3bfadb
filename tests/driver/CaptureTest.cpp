// The capture file: its header, one record per frame the driver saw, the size limit, the ring
// while the writer is held up, and a standard reader's view of the result.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <future>

#include "tests/driver/FrameFixture.h"

namespace {

using C = FiltConstants;
using ndissim::SimReceiveOptions;
using namespace std::chrono_literals;

struct PcapRecord {
    uint32_t seconds, microseconds, stored, length;
    Bytes data;
};

struct Pcap {
    Bytes header;
    std::vector<PcapRecord> records;
    bool clean = true;  // no bytes after the last whole record
};

Pcap ParsePcap(const Bytes& bytes) {
    Pcap pcap;
    if (bytes.size() < 24) {
        pcap.clean = false;
        return pcap;
    }
    pcap.header.assign(bytes.begin(), bytes.begin() + 24);
    size_t at = 24;
    while (at + 16 <= bytes.size()) {
        const uint8_t* r = bytes.data() + at;
        PcapRecord record{FiltGetU32(r, 0), FiltGetU32(r, 4), FiltGetU32(r, 8), FiltGetU32(r, 12), {}};
        if (at + 16 + record.stored > bytes.size()) break;
        record.data.assign(r + 16, r + 16 + record.stored);
        pcap.records.push_back(std::move(record));
        at += 16 + record.stored;
    }
    pcap.clean = at == bytes.size();
    return pcap;
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Waits for the condition, checking it until the deadline.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds deadline = 5s) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::yield();
    }
    return true;
}

size_t RecordBytes(size_t frameLength) {
    return 16 + std::min<size_t>(frameLength, 2032);
}

class CaptureTest : public FrameFixture {
protected:
    NTSTATUS Start(SimDeviceFile& file, const std::filesystem::path& path, uint32_t limit) {
        std::string text = path.string();
        std::u16string wide(text.begin(), text.end());
        Bytes in = Cat({U32(WIRED), U32(limit)});
        const auto* raw = reinterpret_cast<const uint8_t*>(wide.c_str());
        in.insert(in.end(), raw, raw + (wide.size() + 1) * 2);
        return file.deviceControlSync(C::IOCTL_FILT_CAPTURE_FILE, in.data(), uint32_t(in.size()), nullptr, 0);
    }

    NTSTATUS Stop(SimDeviceFile& file) {
        Bytes in = Cat({U32(WIRED), U32(0)});
        return file.deviceControlSync(C::IOCTL_FILT_CAPTURE_FILE, in.data(), 8, nullptr, 0);
    }

    std::string CurrentName(SimDeviceFile& file) {
        Bytes in = Cat({U32(WIRED), U32(0)}), out;
        if (file.deviceControlSync(C::IOCTL_FILT_CAPTURE_FILE, in.data(), 8, &out, 1024) != STATUS_SUCCESS)
            return "?";
        std::u16string wide(reinterpret_cast<const char16_t*>(out.data() + 8));
        return std::string(wide.begin(), wide.end());
    }

    static bool SizeReaches(const std::filesystem::path& path, size_t size) {
        return WaitUntil([&] {
            std::error_code ignored;
            return std::filesystem::file_size(path, ignored) >= size;
        });
    }
};

TEST_F(CaptureTest, HeaderThenOneRecordPerFrameTheDriverSaw) {
    auto& owner = LoadOwningEapol();
    auto path = root_ / "wired.pcap";
    int64_t startSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    ASSERT_EQ(Start(owner, path, 0), STATUS_SUCCESS);
    EXPECT_EQ(CurrentName(owner), path.string());

    // In the order the frames pass: received, sent from above, raw, diverted by lookahead, long.
    Bytes received = Ipv4(60, 1), sent = Ipv4(100, 2), raw = Eapol(64, 3), diverted = Eapol(300, 4),
          divertedPacket = Eapol(70, 5), jumbo = Ipv4(3000, 6);
    wired_->receivePacket(received, SimReceiveOptions{20});
    Upper().send(sent);
    ASSERT_TRUE(Upper().waitSendResults(1, 5s));
    Bytes answer = Private(owner, WIRED, true, Command(3, 2, uint16_t(4 + raw.size()), Cat({U32(9), raw})));
    ASSERT_EQ(answer[C::CMD_RESULT], C::FILT_CMD_OK);
    wired_->receiveLookahead(Ipv4(80, 7), 66);  // passed up by lookahead: not captured
    wired_->receiveLookahead(diverted, 40);
    wired_->receivePacket(divertedPacket);
    wired_->receivePacket(jumbo);
    std::vector<Bytes> expected = {received, sent, raw, diverted, divertedPacket, jumbo};

    size_t total = 24;
    for (const auto& frame : expected) total += RecordBytes(frame.size());
    ASSERT_TRUE(SizeReaches(path, total));
    ASSERT_EQ(Stop(owner), STATUS_SUCCESS);
    EXPECT_EQ(CurrentName(owner), "");

    Pcap pcap = ParsePcap(ReadFile(path));
    EXPECT_TRUE(pcap.clean);
    EXPECT_EQ(pcap.header,
              (Bytes{0xd4, 0xc3, 0xb2, 0xa1, 2, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, 1, 0, 0, 0}));
    ASSERT_EQ(pcap.records.size(), expected.size());
    int64_t endSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto& r = pcap.records[i];
        EXPECT_EQ(r.length, expected[i].size()) << i;
        EXPECT_EQ(r.stored, std::min<size_t>(expected[i].size(), 2032)) << i;
        EXPECT_EQ(r.data, Bytes(expected[i].begin(), expected[i].begin() + r.stored)) << i;
        EXPECT_GE(int64_t(r.seconds), startSeconds) << i;
        EXPECT_LE(int64_t(r.seconds), endSeconds) << i;
        EXPECT_LT(r.microseconds, 1000000u) << i;
    }

    // A new start takes a new file and begins from an empty ring.
    auto second = root_ / "second.pcap";
    ASSERT_EQ(Start(owner, second, 0), STATUS_SUCCESS);
    wired_->receivePacket(received);
    ASSERT_TRUE(SizeReaches(second, 24 + RecordBytes(received.size())));
    ASSERT_EQ(Stop(owner), STATUS_SUCCESS);
    pcap = ParsePcap(ReadFile(second));
    ASSERT_EQ(pcap.records.size(), 1u);
    EXPECT_EQ(pcap.records[0].data, received);
}

TEST_F(CaptureTest, SizeLimitEndsTheCaptureBeforeAFrameThatDoesNotFit) {
    auto& owner = LoadOwningEapol();
    struct Case {
        uint32_t limit;
        size_t frames;
        size_t recorded;
        bool stops;
    } cases[] = {
        {24 + 16 + 100, 1, 0, true},
        {24 + 16 + 100 + 1, 2, 1, true},
        {0, 3, 3, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        auto path = root_ / ("limit" + std::to_string(n++) + ".pcap");
        ASSERT_EQ(Start(owner, path, c.limit), STATUS_SUCCESS) << c.limit;
        for (size_t i = 0; i < c.frames; ++i) wired_->receivePacket(Ipv4(100, uint8_t(i)));
        if (c.stops) {
            ASSERT_TRUE(WaitUntil([&] { return CurrentName(owner).empty(); })) << c.limit;
        } else {
            ASSERT_TRUE(SizeReaches(path, 24 + c.recorded * RecordBytes(100))) << c.limit;
            EXPECT_EQ(CurrentName(owner), path.string());
            ASSERT_EQ(Stop(owner), STATUS_SUCCESS);
        }
        Bytes bytes = ReadFile(path);
        EXPECT_EQ(bytes.size(), 24 + c.recorded * RecordBytes(100)) << c.limit;
        if (c.limit) {
            EXPECT_LT(bytes.size(), c.limit) << c.limit;
        }
        EXPECT_EQ(ParsePcap(bytes).records.size(), c.recorded) << c.limit;
    }
}

// A capture into a pipe that the test reads: the writer blocks while the pipe is full.
class BlockedWriterTest : public CaptureTest {
protected:
    void SetUp() override {
        CaptureTest::SetUp();
        fifo_ = root_ / "capture.fifo";
        ASSERT_EQ(::mkfifo(fifo_.c_str(), 0600), 0);
        reader_ = ::open(fifo_.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader_, 0);
        // One page: the header and one record of 2,048 bytes leave no room for a second.
        ASSERT_EQ(::fcntl(reader_, F_SETPIPE_SZ, 4096), 4096);
    }
    void TearDown() override {
        if (reader_ >= 0) ::close(reader_);
        CaptureTest::TearDown();
    }

    size_t Queued() const {
        int n = 0;
        ::ioctl(reader_, FIONREAD, &n);
        return size_t(n);
    }

    // Reads until `length` bytes came or the deadline passed.
    Bytes ReadPipe(size_t length) {
        Bytes out;
        auto end = std::chrono::steady_clock::now() + 5s;
        while (out.size() < length && std::chrono::steady_clock::now() < end) {
            uint8_t buffer[4096];
            ssize_t n = ::read(reader_, buffer, std::min(sizeof(buffer), length - out.size()));
            if (n > 0) {
                out.insert(out.end(), buffer, buffer + n);
            } else {
                std::this_thread::yield();
            }
        }
        return out;
    }

    // Starts the capture and leaves the writer stuck on a second 2,048-byte record.
    void StartBlocked(SimDeviceFile& owner) {
        ASSERT_EQ(Start(owner, fifo_, 0), STATUS_SUCCESS);
        wired_->receivePacket(Ipv4(2100, 100));
        ASSERT_TRUE(WaitUntil([&] { return Queued() == 24 + 2048; }));
        wired_->receivePacket(Ipv4(2100, 101));
        // The record fits the pipe's atomic size, so nothing shows in the pipe while the writer
        // waits: only the kernel can tell that it has got as far as the write.
        ASSERT_TRUE(WaitUntil([] { return SomeThreadWaitsToWriteAPipe(); }));
    }

    static bool SomeThreadWaitsToWriteAPipe() {
        for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
            std::ifstream wchan(task.path() / "wchan");
            std::string where;
            if (std::getline(wchan, where) && where.find("pipe_write") != std::string::npos) return true;
        }
        return false;
    }

    std::filesystem::path fifo_;
    int reader_ = -1;
};

TEST_F(BlockedWriterTest, BurstWhileTheWriterIsBlockedKeepsWhatTheRingHolds) {
    auto& owner = LoadOwningEapol();
    StartBlocked(owner);
    // The ring holds 63 records; the blocked one takes one of them.
    for (int i = 0; i < 70; ++i) wired_->receivePacket(Ipv4(60, uint8_t(i)));
    size_t expected = 24 + 2 * 2048 + 62 * RecordBytes(60);
    Pcap pcap = ParsePcap(ReadPipe(expected));
    ASSERT_EQ(pcap.records.size(), 64u);
    EXPECT_TRUE(pcap.clean);
    for (int i = 0; i < 62; ++i) EXPECT_EQ(pcap.records[2 + i].data, Ipv4(60, uint8_t(i))) << i;
    ASSERT_EQ(Stop(owner), STATUS_SUCCESS);
    EXPECT_EQ(Queued(), 0u);
}

TEST_F(BlockedWriterTest, StopWaitsForTheWriterBeforeClosingTheFile) {
    auto& owner = LoadOwningEapol();
    StartBlocked(owner);
    auto stopped = std::async(std::launch::async, [&] { return Stop(owner); });
    EXPECT_EQ(stopped.wait_for(100ms), std::future_status::timeout) << "closed under the writer";
    Pcap pcap = ParsePcap(ReadPipe(24 + 2 * 2048));
    ASSERT_EQ(stopped.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(stopped.get(), STATUS_SUCCESS);
    EXPECT_EQ(pcap.records.size(), 2u);
    EXPECT_TRUE(pcap.clean);
}

TEST_F(CaptureTest, ConcurrentFramesNeverMakeAHalfWrittenRecord) {
    auto& owner = LoadOwningEapol();
    SetPort(owner, false);  // captured, then dropped: the frame path stays cheap
    auto path = root_ / "busy.pcap";
    ASSERT_EQ(Start(owner, path, 0), STATUS_SUCCESS);
    std::vector<std::thread> producers;
    for (int t = 0; t < 4; ++t) {
        producers.emplace_back([this, t] {
            for (int i = 0; i < 400; ++i) {
                size_t length = 60 + size_t((t * 397 + i * 131) % 1900);
                wired_->receivePacket(Ipv4(length, uint8_t(t * 64 + i)));
            }
        });
    }
    for (auto& p : producers) p.join();
    ASSERT_TRUE(SizeReaches(path, 24 + 16 + 60));
    ASSERT_EQ(Stop(owner), STATUS_SUCCESS);

    Pcap pcap = ParsePcap(ReadFile(path));
    EXPECT_TRUE(pcap.clean);
    ASSERT_FALSE(pcap.records.empty());
    for (const auto& r : pcap.records) {
        ASSERT_EQ(r.stored, r.length);
        ASSERT_EQ(r.data, Ipv4(r.length, r.data[0])) << "a record mixes two frames";
    }
}

TEST_F(CaptureTest, CaptureFileFromTheBindingsSettingsStartsWithTheBinding) {
    auto path = root_ / "boot.pcap";
    wired_ = &AddAdapter({u"\\Device\\{WIRED-0001}", u"Sim Wired Adapter", u"\\Device\\{VWIRED-0001}"});
    SetValue(u"\\Device\\{WIRED-0001}", "PCapFile", registry::REG_SZ, Sz(path.string()));
    SetValue(u"\\Device\\{WIRED-0001}", "PCapFileMaxSize", registry::REG_DWORD, U32(24 + 16 + 60 + 1));
    Load();
    auto& file = Open(7);
    EXPECT_EQ(CurrentName(file), path.string());
    EXPECT_EQ(GetValue(u"\\Device\\{WIRED-0001}", "PCapFile"), Sz(""));
    wired_->receivePacket(Ipv4(60));
    wired_->receivePacket(Ipv4(60));  // beyond the limit from the settings
    ASSERT_TRUE(WaitUntil([&] { return CurrentName(file).empty(); }));
    Pcap pcap = ParsePcap(ReadFile(path));
    ASSERT_EQ(pcap.records.size(), 1u);
    EXPECT_EQ(pcap.records[0].data, Ipv4(60));
}

TEST_F(CaptureTest, CaptureFileSettingTooLongForANameLeavesTheBindingWithoutCapture) {
    std::string path = root_.string() + "/";
    while (path.size() < 32767) path += "./";
    path.resize(32767, 'x');
    wired_ = &AddAdapter({u"\\Device\\{WIRED-0001}", u"Sim Wired Adapter", u"\\Device\\{VWIRED-0001}"});
    SetValue(u"\\Device\\{WIRED-0001}", "PCapFile", registry::REG_SZ, Sz(path));
    Load();
    auto& file = Open(7);
    EXPECT_EQ(CurrentName(file), "");
    EXPECT_EQ(GetValue(u"\\Device\\{WIRED-0001}", "PCapFile"), Sz(""));
    std::vector<Record> records = Drain(file);
    ASSERT_EQ(records.size(), 2u);  // the adapter is there, working
    EXPECT_EQ(records[0].type, C::EVENT_ADAPTER_ARRIVAL);
}

TEST_F(CaptureTest, StandardReaderOpensTheFile) {
    std::string reader;
    for (const char* candidate : {"/usr/bin/tcpdump", "/usr/sbin/tcpdump", "/usr/bin/tshark"})
        if (::access(candidate, X_OK) == 0) reader = candidate;
    if (reader.empty()) GTEST_SKIP() << "neither tcpdump nor tshark is installed";
    auto& owner = LoadOwningEapol();
    auto path = root_ / "readable.pcap";
    ASSERT_EQ(Start(owner, path, 0), STATUS_SUCCESS);
    // EAPOL-Start to the port access entity group address, padded to the minimum frame.
    Bytes start = {0x01, 0x80, 0xc2, 0x00, 0x00, 0x03, 0x02, 0xaa, 0x00,
                   0x00, 0x00, 0x01, 0x88, 0x8e, 0x02, 0x01, 0,    0};
    start.resize(60, 0);
    for (int i = 0; i < 4; ++i) wired_->receivePacket(start);
    ASSERT_TRUE(SizeReaches(path, 24 + 4 * RecordBytes(60)));
    ASSERT_EQ(Stop(owner), STATUS_SUCCESS);

    auto out = root_ / "reader.txt";
    std::string command = reader + " -r '" + path.string() + "' -nn > '" + out.string() + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << std::string(ReadFile(out).begin(), ReadFile(out).end());
    Bytes text = ReadFile(out);
    std::string listing(text.begin(), text.end());
    size_t frames = 0;
    for (size_t at = listing.find("EAPOL"); at != std::string::npos; at = listing.find("EAPOL", at + 1))
        ++frames;
    EXPECT_EQ(frames, 4u) << listing;
}

}  // namespace

namespace {

// Holds the first producer that maps the frame's second piece until released.
struct Gate {
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released{release.get_future().share()};
    std::atomic<bool> used{false};

    static void OnMap(void* context) {
        auto* gate = static_cast<Gate*>(context);
        if (gate->used.exchange(true)) return;
        gate->entered.set_value();
        gate->released.wait();
    }
};

TEST_F(CaptureTest, WriterWaitsForARecordStillBeingFilled) {
    auto& owner = LoadOwningEapol();
    auto path = root_ / "slow.pcap";
    ASSERT_EQ(Start(owner, path, 0), STATUS_SUCCESS);
    Gate gate;
    Bytes slow = Ipv4(400, 1), quick = Ipv4(90, 2);
    std::thread producer([&] {
        wired_->receivePacket(slow, SimReceiveOptions{14, false, false, Gate::OnMap, &gate});
    });
    ASSERT_EQ(gate.entered.get_future().wait_for(5s), std::future_status::ready);
    // The second frame is complete while the first is half copied: nothing may reach the file yet.
    wired_->receivePacket(quick);
    EXPECT_FALSE(WaitUntil([&] { return std::filesystem::file_size(path) > 24; }, 200ms));
    gate.release.set_value();
    producer.join();
    ASSERT_TRUE(SizeReaches(path, 24 + RecordBytes(slow.size()) + RecordBytes(quick.size())));
    ASSERT_EQ(Stop(owner), STATUS_SUCCESS);
    Pcap pcap = ParsePcap(ReadFile(path));
    ASSERT_EQ(pcap.records.size(), 2u);
    EXPECT_EQ(pcap.records[0].data, slow);
    EXPECT_EQ(pcap.records[1].data, quick);
}

}  // namespace
