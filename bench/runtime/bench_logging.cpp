// Logging throughput: four threads log lines of a 100-character message through the buffered
// logging thread into the service's log file, beside fprintf of lines of the same size by four
// threads to one file. A figure is lines that reached the file per second, from the first line to
// the file's close (for the logging thread: its drain at shut-down), and for the logging thread the
// share of lines written rather than dropped by a full ring. Medians of interleaved rounds, with the
// load average of the machine.
//   bench_logging [ROUNDS]   (default 7)
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/BenchRounds.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LoggingThread.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int PRODUCERS = 4;
constexpr int LINES_PER_PRODUCER = 100000;
constexpr long LINES = static_cast<long>(PRODUCERS) * LINES_PER_PRODUCER;
const std::string MESSAGE(100, 'm');

// A root of its own with the service's log file in it, removed at the end.
class LogRoot {
public:
    LogRoot() {
        char pattern[] = "/tmp/tamsel-bench-XXXXXX";
        m_path = mkdtemp(pattern);
        setenv("TAMSEL_HOME", m_path.c_str(), 1);
        setLogLevelMask(LogConstants::INITIAL_MASK);
        // No size limit: rotation would delete the oldest files and with them lines to count.
        LogFileSpec spec = serviceLogFileSpec();
        spec.sizeLimit = 0;
        configureLogFiles(&spec, 1);
    }
    ~LogRoot() { std::filesystem::remove_all(m_path); }
    LogRoot(const LogRoot&) = delete;
    LogRoot& operator=(const LogRoot&) = delete;

    const std::string& path() const { return m_path; }

    // Lines of the message that reached the files.
    long writtenLines() const {
        long written = 0;
        for (const auto& entry : std::filesystem::directory_iterator(m_path + "/logs")) {
            std::ifstream in(entry.path());
            for (std::string line; std::getline(in, line);)
                if (line.find(MESSAGE) != std::string::npos) ++written;
        }
        return written;
    }

private:
    std::string m_path;
};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

template <typename Produce>
void onProducers(Produce produce) {
    std::vector<std::thread> producers;
    for (int t = 0; t < PRODUCERS; ++t) producers.emplace_back(produce);
    for (std::thread& p : producers) p.join();
}

// Lines that reached the file per second; `written` gets their share of the lines logged.
double loggingThreadRound(double* written) {
    LogRoot root;
    const auto start = Clock::now();
    if (!startLoggingThread()) return -1;
    onProducers([] {
        for (int i = 0; i < LINES_PER_PRODUCER; ++i) logInfo(0, "%s", MESSAGE.c_str());
    });
    stopLoggingThread();
    const double seconds = secondsSince(start);
    const long lines = root.writtenLines();
    *written = static_cast<double>(lines) / static_cast<double>(LINES);
    return static_cast<double>(lines) / seconds;
}

double fprintfRound() {
    LogRoot root;
    const auto start = Clock::now();
    FILE* shared = fopen((root.path() + "/fprintf.txt").c_str(), "a");
    if (shared == nullptr) return -1;
    onProducers([shared] {
        long sequence = 0;
        for (int i = 0; i < LINES_PER_PRODUCER; ++i)
            fprintf(shared, "%ld: host: Dec 10 2026 12:00:00.000 +0000: %s\n", sequence++, MESSAGE.c_str());
    });
    fclose(shared);
    return static_cast<double>(LINES) / secondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    // Arguments meant for the Google Benchmark programs beside this one are not ours.
    const int rounds = argc > 1 && argv[1][0] != '-' ? std::atoi(argv[1]) : 7;
    std::vector<double> thread;
    std::vector<double> share;
    std::vector<double> reference;
    const std::string loadBefore = loadAverage();
    for (int round = 0; round < rounds; ++round) {
        double written = 0;
        const double a = loggingThreadRound(&written);
        const double b = fprintfRound();
        if (a < 0 || b < 0) continue;
        thread.push_back(a);
        share.push_back(written);
        reference.push_back(b);
    }
    std::printf("logging, %d producers x %d lines: %zu rounds, load average %s before, %s after\n", PRODUCERS,
                LINES_PER_PRODUCER, thread.size(), loadBefore.c_str(), loadAverage().c_str());
    std::printf("%-52s %7.2f M lines/s\n", "fprintf to one file (reference)", median(reference) / 1e6);
    std::printf("%-52s %7.2f M lines/s  %6.2f %% written  %.2fx the reference  (goal: >= 1 M/s, 100 %%)\n",
                "logging thread, lines reaching the file", median(thread) / 1e6, median(share) * 100,
                median(thread) / median(reference));
    return thread.empty() ? 1 : 0;
}
