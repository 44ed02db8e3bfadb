// The pipe under load: the real service (tamselsvc -run on the signed office configuration and the
// office lab, no link) with five clients at once, each sending 10,000 status requests one after the
// other and waiting for each reply; the median and 99th percentile of the reply times. Beside it the
// same load on a bare Unix-socket echo, one thread for each client: the physical limit.
//   bench_pipeload [CLIENTS] [REQUESTS]   (default 5 and 10000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/ServiceRun.h"
#include "tests/support/TestText.h"

namespace {

using Clock = std::chrono::steady_clock;

// A status request as the tray program writes it.
std::string statusRequest(int number) {
    return tamsel::test::trayRequest("getServiceStateRequest", number);
}

struct Row {
    double medianUs = 0;
    double p99Us = 0;
    double seconds = 0;
    size_t replies = 0;
};

Row summary(std::vector<double> times, double seconds) {
    Row row;
    row.replies = times.size();
    row.seconds = seconds;
    if (times.empty()) return row;
    std::sort(times.begin(), times.end());
    row.medianUs = times[times.size() / 2];
    row.p99Us = times[std::min(times.size() - 1, times.size() * 99 / 100)];
    return row;
}

// Each client on a thread of its own: a request, then its reply (the service's events on the
// same pipe are passed over), the time between them.
template <typename Exchange>
Row underLoad(int clients, int requests, Exchange exchange) {
    std::vector<std::vector<double>> times(clients);
    std::vector<std::thread> threads;
    auto start = Clock::now();
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&, c] {
            times[c].reserve(requests);
            for (int i = 0; i < requests; ++i) {
                auto sent = Clock::now();
                if (!exchange(c, i)) return;
                times[c].push_back(std::chrono::duration<double, std::micro>(Clock::now() - sent).count());
            }
        });
    for (std::thread& t : threads) t.join();
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<double> all;
    for (auto& one : times) all.insert(all.end(), one.begin(), one.end());
    return summary(std::move(all), seconds);
}

Row serviceUnderLoad(int clients, int requests) {
    TemporaryRoot root;
    root.write("system/configuration.xml", tamsel::test::readText(OFFICE_CONFIGURATION));
    // The office lab's wired adapter alone with its link down: the service idles but for its clients.
    std::string lab = tamsel::test::readText(OFFICE_LAB);
    for (const char* pattern :
         {"<adapter [^>]*friendly=\"wlan0\"[^>]*/>", "<logon [^>]*/>", "<vpnGateway [^>]*/>", "<at [^>]*/>",
          "<authenticator [^>]*/>", "<certificateStore [^>]*/>"})
        lab = std::regex_replace(lab, std::regex(pattern), "");
    root.write("lab.xml", std::regex_replace(lab, std::regex("link=\"up\""), "link=\"down\""));

    pid_t service = spawnService(root, TAMSELSVC_PATH);
    if (service < 0) return Row{};

    const std::string pipe = root.path + "/run/vel";
    std::vector<int> fds(clients, -1);
    auto deadline = Clock::now() + std::chrono::seconds(30);
    for (int c = 0; c < clients; ++c) {
        while ((fds[c] = connectTo(pipe)) < 0 && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Warm-up: every client's first reply, once the configuration is in force.
    auto exchange = [&](int c, int number) { return statusExchange(fds[c], number); };
    for (int c = 0; c < clients; ++c) exchange(c, 0);
    Row row = underLoad(clients, requests, [&](int c, int i) { return exchange(c, i + 1); });
    for (int fd : fds)
        if (fd >= 0) close(fd);
    stopService(service);
    return row;
}

Row echoUnderLoad(int clients, int requests) {
    TemporaryRoot root;
    const std::string frame = ConnApiFrame::frame(statusRequest(1));
    std::string path = root.path + "/echo";
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener, clients);
    std::vector<std::thread> echoes;
    for (int c = 0; c < clients; ++c)
        echoes.emplace_back([listener, size = frame.size()] {
            int fd = accept(listener, nullptr, nullptr);
            std::string buffer(size, '\0');
            while (readAll(fd, buffer.data(), size) && writeAll(fd, buffer.data(), size)) {
            }
            close(fd);
        });
    std::vector<int> fds(clients);
    for (int c = 0; c < clients; ++c) fds[c] = connectTo(path);
    std::vector<std::string> back(clients, std::string(frame.size(), '\0'));
    Row row = underLoad(clients, requests, [&](int c, int) {
        return writeAll(fds[c], frame.data(), frame.size()) && readAll(fds[c], back[c].data(), frame.size());
    });
    for (int fd : fds) close(fd);
    for (std::thread& t : echoes) t.join();
    close(listener);
    return row;
}

void print(const char* name, const Row& row, int expected) {
    std::printf("%-34s %8.1f us %8.1f us %9.0f/s  %zu of %d replies\n", name, row.medianUs, row.p99Us,
                row.seconds > 0 ? double(row.replies) / row.seconds : 0.0, row.replies, expected);
}

}  // namespace

int main(int argc, char** argv) {
    // Arguments meant for the Google Benchmark programs beside this one are not ours.
    int clients = argc > 1 && argv[1][0] != '-' ? std::atoi(argv[1]) : 5;
    int requests = argc > 2 && argv[2][0] != '-' ? std::atoi(argv[2]) : 10000;
    std::printf(
        "pipe under load: %d clients x %d status requests, reply times (median, 99th percentile, "
        "replies per second)\n",
        clients, requests);
    print("tamselsvc getServiceStateRequest", serviceUnderLoad(clients, requests), clients * requests);
    print("bare Unix-socket echo (reference)", echoUnderLoad(clients, requests), clients * requests);
    return 0;
}
