// A 350-byte message framed, sent to the service's pipe end, handed by the connection's receive
// thread to the engine thread, echoed there, and written back by the engine thread; beside it the
// same bytes echoed over a bare Unix socket by one thread, the physical limit, and relayed by a
// reading thread to a second thread that writes them back, the floor of the pipe end's hand-offs.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "bench/support/PinnedCpu.h"
#include "bench/support/SocketIo.h"
#include "runtime/lum/LumMain.h"
#include "tests/vel/connection/PipeHarness.h"

namespace {

constexpr int PAYLOAD = 350;

std::string payload() {
    std::string text = "<SOAP-ENV:Envelope>";
    text.resize(PAYLOAD, 'x');
    return text;
}

// A root of its own for the socket and the logs, removed at the end.
struct TemporaryRoot {
    TemporaryRoot() {
        char pattern[] = "/tmp/tamsel-bench-XXXXXX";
        path = mkdtemp(pattern);
        setenv("TAMSEL_HOME", path.c_str(), 1);
    }
    ~TemporaryRoot() { std::filesystem::remove_all(path); }
    std::string path;
};

void BM_PipeRoundTrip(benchmark::State& state) {
    PinnedCpu pinned(state.range(0) != 0);
    TemporaryRoot root;
    LumRuntime runtime;
    {
        PipeService service;
        service.subscriber->keep = false;
        PipeClient client;
        if (!client.connect()) {
            state.SkipWithError("no pipe");
            return;
        }
        const std::string message = payload();
        for (auto _ : state) {
            client.send(message);
            std::string echo = client.receive();
            benchmark::DoNotOptimize(echo);
        }
        client.close();
        state.SetBytesProcessed(state.iterations() * PAYLOAD * 2);
    }
}
BENCHMARK(BM_PipeRoundTrip)->ArgName("pinned")->Arg(0)->Arg(1)->UseRealTime();

void BM_BareSocketEcho(benchmark::State& state) {
    PinnedCpu pinned(state.range(0) != 0);
    TemporaryRoot root;
    const std::string frame = std::to_string(PAYLOAD) + "\n" + payload();
    std::string path = root.path + "/echo";
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    listen(listener, 1);
    std::thread echo([listener, size = frame.size()] {
        int fd = accept(listener, nullptr, nullptr);
        std::string buffer(size, '\0');
        while (readAll(fd, buffer.data(), size) && writeAll(fd, buffer.data(), size)) {
        }
        close(fd);
    });
    int client = socket(AF_UNIX, SOCK_STREAM, 0);
    connect(client, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    std::string back(frame.size(), '\0');
    for (auto _ : state) {
        writeAll(client, frame.data(), frame.size());
        readAll(client, back.data(), back.size());
        benchmark::DoNotOptimize(back);
    }
    close(client);
    echo.join();
    close(listener);
    state.SetBytesProcessed(state.iterations() * PAYLOAD * 2);
}
BENCHMARK(BM_BareSocketEcho)->ArgName("pinned")->Arg(0)->Arg(1)->UseRealTime();

// The pipe end's three hand-offs with no work between them: a reader blocked in its read queues
// the bytes for a second thread, which waits on a condition variable and writes them back.
void BM_BareSocketRelay(benchmark::State& state) {
    PinnedCpu pinned(state.range(0) != 0);
    const std::string frame = std::to_string(PAYLOAD) + "\n" + payload();
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) {
        state.SkipWithError("no socket pair");
        return;
    }
    std::mutex mutex;
    std::condition_variable queued;
    std::deque<std::string> queue;
    bool ended = false;
    std::thread reader([&, size = frame.size()] {
        std::string buffer(size, '\0');
        while (readAll(ends[1], buffer.data(), size)) {
            std::lock_guard<std::mutex> lock(mutex);
            queue.push_back(buffer);
            queued.notify_one();
        }
        std::lock_guard<std::mutex> lock(mutex);
        ended = true;
        queued.notify_one();
    });
    std::thread writer([&] {
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex);
            queued.wait(lock, [&] { return ended || !queue.empty(); });
            if (queue.empty()) return;
            std::string next = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            writeAll(ends[1], next.data(), next.size());
        }
    });
    std::string back(frame.size(), '\0');
    for (auto _ : state) {
        writeAll(ends[0], frame.data(), frame.size());
        readAll(ends[0], back.data(), back.size());
        benchmark::DoNotOptimize(back);
    }
    shutdown(ends[0], SHUT_WR);
    reader.join();
    writer.join();
    close(ends[0]);
    close(ends[1]);
    state.SetBytesProcessed(state.iterations() * PAYLOAD * 2);
}
BENCHMARK(BM_BareSocketRelay)->ArgName("pinned")->Arg(0)->Arg(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
