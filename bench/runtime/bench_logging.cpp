// Logging throughput: the buffered logging thread with 4 producers writing 100-byte messages,
// next to fprintf of lines of the same size to one file.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/lum/Log.h"
#include "runtime/lum/LoggingThread.h"

namespace {

const std::string MESSAGE(100, 'm');
std::string Root;

void makeRoot() {
    char pattern[] = "/tmp/tamsel-bench-XXXXXX";
    Root = mkdtemp(pattern);
    setenv("TAMSEL_HOME", Root.c_str(), 1);
    setLogLevelMask(LogConstants::INITIAL_MASK);
    // No size limit: rotation would delete the oldest files and with them lines to count.
    LogFileSpec spec = serviceLogFileSpec();
    spec.sizeLimit = 0;
    configureLogFiles(&spec, 1);
}

// Lines that reached the files, and notices of lines the full ring dropped.
void countLines(long* written, long* dropped) {
    *written = 0;
    *dropped = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Root + "/logs")) {
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            if (line.find("print queue is full") != std::string::npos)
                ++*dropped;
            else if (line.find(MESSAGE) != std::string::npos)
                ++*written;
        }
    }
}

void BM_LoggingThread(benchmark::State& state) {
    if (state.thread_index() == 0) {
        makeRoot();
        startLoggingThread();
    }
    for (auto _ : state) logInfo(0, "%s", MESSAGE.c_str());
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0) {
        // Only the thread of index 0 tears down, after every producer has passed its loop.
        stopLoggingThread();
        long written = 0;
        long dropped = 0;
        countLines(&written, &dropped);
        // Lines that reached the file per second of the run, and the share the full ring dropped.
        state.counters["written_per_second"] =
            benchmark::Counter(static_cast<double>(written), benchmark::Counter::kIsRate);
        state.counters["written_share"] =
            static_cast<double>(written) / static_cast<double>(state.iterations() * state.threads());
        state.counters["full_notices"] = static_cast<double>(dropped);
        std::filesystem::remove_all(Root);
    }
}
BENCHMARK(BM_LoggingThread)->Threads(4)->UseRealTime();

FILE* Shared = nullptr;

void BM_Fprintf(benchmark::State& state) {
    if (state.thread_index() == 0) {
        makeRoot();
        Shared = fopen((Root + "/fprintf.txt").c_str(), "a");
    }
    long sequence = 0;
    for (auto _ : state)
        fprintf(Shared, "%ld: host: Dec 10 2026 12:00:00.000 +0000: %s\n", sequence++, MESSAGE.c_str());
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0) {
        fclose(Shared);
        std::filesystem::remove_all(Root);
    }
}
BENCHMARK(BM_Fprintf)->Threads(4)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
