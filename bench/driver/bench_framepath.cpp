// Diverted frames through the filter driver: from the simulated adapter, through the frame path
// into an opener's event queue and out through reads, next to the same frames, each behind its
// record header, sent through one Unix socket (one write per frame, or one write or sendmmsg per
// batch) and read out in 64 KiB reads, and a plain copy of them into a queue and out again.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/Filt.h"
#include "driver/FiltInterface.h"
#include "platform/ndis/NdisEnvironment.h"
#include "platform/ndis/SimDeviceFile.h"
#include "platform/registry/Registry.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int BATCH = 32;  // frames between reads; the queue keeps up to 64 records
const std::u16string DEVICE = u"\\Device\\{BENCH-0001}";

Bytes Frame(size_t length) {
    Bytes frame(length);
    for (size_t i = 0; i < length; ++i) frame[i] = uint8_t(i * 13);
    frame[12] = 0x88;
    frame[13] = 0x8e;
    return frame;
}

Bytes U32(uint32_t v) {
    return Bytes{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

// A loaded driver over one simulated adapter, owned by one opener that lists EAPOL.
class DivertingDriver {
public:
    DivertingDriver() {
        root_ = std::filesystem::temp_directory_path() / ("bench-framepath-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root_);
        ::setenv("TAMSEL_HOME", root_.c_str(), 1);
        registry::RegSetStoreFile((root_ / "registry").string());
        auto& environment = ndissim::NdisEnvironment::instance();
        environment.reset();
        lower_ = &environment.addLowerAdapter(DEVICE, u"Bench Adapter", NdisMedium802_3);
        lower_->setAnswerU32(OID_GEN_MEDIA_CONNECT_STATUS, NdisMediaStateConnected);
        registry::HKEY key = nullptr;
        registry::RegCreateKeyEx(registry::HKEY_LOCAL_MACHINE,
                                 ndissim::BindingConfigurationPath(DEVICE).c_str(), 0,
                                 registry::KEY_ALL_ACCESS, &key, nullptr);
        const char upper[] = "\\Device\\{VBENCH-0001}";
        registry::RegSetValueEx(key, "UpperBindings", registry::REG_SZ,
                                reinterpret_cast<const uint8_t*>(upper), sizeof(upper));
        registry::RegCloseKey(key);
        DriverEntry(nullptr, nullptr);
        environment.bindAll();

        NTSTATUS status;
        file_ = ndissim::SimDeviceFile::open(77, &status);
        drain();
        uint32_t oid = privateOid();
        command(oid, 1, 1, U32(1));
        command(oid, 3, 1, Bytes{0x88, 0x8e});
        drain();
    }

    ~DivertingDriver() {
        file_.reset();
        FiltUnload(nullptr);
        ndissim::NdisEnvironment::instance().reset();
        registry::RegSetStoreFile("");
        std::filesystem::remove_all(root_);
    }

    ndissim::SimLowerMiniport& lower() { return *lower_; }

    // Reads everything queued; returns the bytes of diverted frames read.
    size_t drain() {
        size_t bytes = 0;
        for (;;) {
            auto read = file_->read(65536);
            bool pended = !read->done();
            if (pended) read->cancel();
            read->wait(std::chrono::seconds(5));
            if (read->status() != STATUS_SUCCESS) return bytes;
            bytes += read->information();
            if (pended) return bytes;
        }
    }

private:
    uint32_t privateOid() {
        Bytes request(24 + 28 * 8, 0);
        FiltPutU32(request.data(), FiltConstants::OID_ADAPTER_ID, 1);
        FiltPutU32(request.data(), FiltConstants::OID_OID, OID_GEN_SUPPORTED_GUIDS);
        Bytes out;
        file_->deviceControlSync(FiltConstants::IOCTL_FILT_OID_REQUEST, request.data(), 24, &out,
                                 uint32_t(request.size()));
        for (uint32_t i = 0; out.size() >= 24 && i < FiltGetU32(out.data(), 12) / 28; ++i) {
            const uint8_t* entry = out.data() + 24 + 28 * i;
            if (std::memcmp(entry, FiltConstants::PRIVATE_GUID, 16) == 0 && (FiltGetU32(entry, 24) & 1))
                return FiltGetU32(entry, 16);
        }
        return 0;
    }

    void command(uint32_t oid, uint16_t group, uint8_t item, const Bytes& data) {
        Bytes request(24 + 8, 0);
        FiltPutU32(request.data(), FiltConstants::OID_ADAPTER_ID, 1);
        FiltPutU32(request.data(), FiltConstants::OID_SET_FLAG, 1);
        FiltPutU32(request.data(), FiltConstants::OID_OID, oid);
        FiltPutU16(request.data(), 24 + FiltConstants::CMD_GROUP, group);
        request[24 + FiltConstants::CMD_ITEM] = item;
        FiltPutU16(request.data(), 24 + FiltConstants::CMD_DATA_LENGTH, uint16_t(data.size()));
        request.insert(request.end(), data.begin(), data.end());
        Bytes out;
        file_->deviceControlSync(FiltConstants::IOCTL_FILT_OID_REQUEST, request.data(),
                                 uint32_t(request.size()), &out, uint32_t(request.size()));
    }

    std::filesystem::path root_;
    ndissim::SimLowerMiniport* lower_ = nullptr;
    std::unique_ptr<ndissim::SimDeviceFile> file_;
};

void BM_DivertedThroughDriver(benchmark::State& state) {
    DivertingDriver driver;
    Bytes frame = Frame(size_t(state.range(0)));
    size_t frames = 0, bytes = 0;
    for (auto _ : state) {
        for (int i = 0; i < BATCH; ++i) driver.lower().receivePacket(frame);
        bytes += driver.drain();
        frames += BATCH;
    }
    if (bytes < frames * frame.size()) state.SkipWithError("frames were lost on the way");
    state.SetItemsProcessed(int64_t(frames));
    state.SetBytesProcessed(int64_t(frames * frame.size()));
}
BENCHMARK(BM_DivertedThroughDriver)->Arg(60)->Arg(1514);

// How the frames of one batch enter the socket.
enum class Writes { PER_FRAME, ONE_WRITEV, ONE_SENDMMSG };

// Sends the batch's records (header, frame) the given way; false when a call failed.
bool sendBatch(int fd, Writes writes, uint8_t* header, size_t headerLength, Bytes& frame) {
    iovec pieces[2 * BATCH];
    for (int i = 0; i < BATCH; ++i) {
        pieces[2 * i] = {header, headerLength};
        pieces[2 * i + 1] = {frame.data(), frame.size()};
    }
    switch (writes) {
        case Writes::PER_FRAME:
            for (int i = 0; i < BATCH; ++i)
                if (writev(fd, pieces + 2 * i, 2) < 0) return false;
            return true;
        case Writes::ONE_WRITEV:
            return writev(fd, pieces, 2 * BATCH) == ssize_t(BATCH * (headerLength + frame.size()));
        case Writes::ONE_SENDMMSG: {
            mmsghdr messages[BATCH] = {};
            for (int i = 0; i < BATCH; ++i) {
                messages[i].msg_hdr.msg_iov = pieces + 2 * i;
                messages[i].msg_hdr.msg_iovlen = 2;
            }
            return sendmmsg(fd, messages, BATCH, 0) == BATCH;
        }
    }
    return false;
}

// What the same frames cost through the kernel: each sent with a record header of the queued
// record's size through one Unix socket, the batch read out by a reader in 64 KiB reads. One
// system call per frame is what a reader of single records would cost the writer; one call per
// batch is the truly batched floor the driver path is held against.
void BM_Socket(benchmark::State& state, Writes writes) {
    Bytes frame = Frame(size_t(state.range(0)));
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) {
        state.SkipWithError("no socket pair");
        return;
    }
    uint8_t header[FiltConstants::EVT_HEADER_LENGTH + FiltConstants::CMD_DATA] = {};
    Bytes reader(65536);
    const size_t batchBytes = BATCH * (sizeof header + frame.size());
    size_t frames = 0;
    for (auto _ : state) {
        if (!sendBatch(ends[0], writes, header, sizeof header, frame)) {
            state.SkipWithError("send failed");
            break;
        }
        for (size_t got = 0; got < batchBytes;) {
            ssize_t n = read(ends[1], reader.data(), reader.size());
            if (n <= 0) break;
            got += size_t(n);
        }
        benchmark::DoNotOptimize(reader.data());
        frames += BATCH;
    }
    close(ends[0]);
    close(ends[1]);
    state.SetItemsProcessed(int64_t(frames));
    state.SetBytesProcessed(int64_t(frames * frame.size()));
}
BENCHMARK_CAPTURE(BM_Socket, write_per_frame, Writes::PER_FRAME)->Arg(60)->Arg(1514);
BENCHMARK_CAPTURE(BM_Socket, one_writev_per_batch, Writes::ONE_WRITEV)->Arg(60)->Arg(1514);
BENCHMARK_CAPTURE(BM_Socket, one_sendmmsg_per_batch, Writes::ONE_SENDMMSG)->Arg(60)->Arg(1514);

// The floor: each frame copied into a queue and out to a reader's buffer.
void BM_PlainCopy(benchmark::State& state) {
    Bytes frame = Frame(size_t(state.range(0)));
    std::deque<Bytes> queue;
    Bytes reader(65536);
    size_t frames = 0;
    for (auto _ : state) {
        for (int i = 0; i < BATCH; ++i) queue.emplace_back(frame);
        size_t at = 0;
        while (!queue.empty()) {
            std::memcpy(reader.data() + at, queue.front().data(), queue.front().size());
            at += queue.front().size();
            queue.pop_front();
        }
        benchmark::DoNotOptimize(reader.data());
        frames += BATCH;
    }
    state.SetItemsProcessed(int64_t(frames));
    state.SetBytesProcessed(int64_t(frames * frame.size()));
}
BENCHMARK(BM_PlainCopy)->Arg(60)->Arg(1514);

}  // namespace

BENCHMARK_MAIN();
