#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "runtime/lum/LogFile.h"
#include "runtime/lum/LoggingThread.h"
#include "tests/runtime/lum/LumTestSupport.h"

using ::testing::AnyOf;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

LogMessage messageOf(const std::string& text) {
    LogMessage m;
    m.set(text.c_str());
    return m;
}

std::vector<std::string> splitLines(const std::string& all) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(all.substr(start, end - start));
    EXPECT_EQ(start, all.size()) << "a partial line at the end";
    return lines;
}

// Every line of the service's files, oldest first.
std::vector<std::string> linesOfEveryFile(const TempRoot& root) {
    std::vector<std::string> lines;
    for (int n = LogConstants::PREVIOUS_LOG_COUNT; n >= 0; --n) {
        const std::string name = n == 0 ? LogConstants::CURRENT_LOG : "PreviousLog" + std::to_string(n) + ".txt";
        for (std::string& line : readLines(root.log(name))) lines.push_back(std::move(line));
    }
    return lines;
}

// Splits the bytes taken out of a queue into lines.
std::vector<std::string> drainLines(PrintQueue& queue) {
    std::string all;
    for (int n; (n = queue.takePass()) > 0;) all.append(queue.pass(), static_cast<size_t>(n));
    return splitLines(all);
}

}  // namespace

TEST(PrintQueue, FullRingDropsTheLineAndQueuesTheFullNotice) {
    TempRoot root;
    LogFileRecord* record = logFileRecordFor(LogConstants::ALL_LEVELS);
    ASSERT_NE(record, nullptr);
    PrintQueue queue(4096, 1000, 1023);
    ASSERT_TRUE(queue.valid());
    const std::string text(100, 'p');
    int result = PrintQueue::QUEUED;
    int queued = 0;
    long dropped = -1;
    while (result == PrintQueue::QUEUED) {
        long sequence = record->sequence;
        result = queue.put(*record, severityOfLevel("INF"), nullptr, messageOf(text));
        if (result == PrintQueue::QUEUED)
            ++queued;
        else
            dropped = sequence;
    }
    ASSERT_EQ(result, PrintQueue::DROPPED);
    // The reserve of one line size stays free until the notice takes part of it.
    EXPECT_GE(queued, 15);
    std::vector<std::string> lines = drainLines(queue);
    ASSERT_EQ(lines.size(), static_cast<size_t>(queued) + 1);
    EXPECT_EQ(sequenceOf(lines[queued - 1]), dropped - 1);
    EXPECT_EQ(sequenceOf(lines[queued]), dropped + 1) << "the dropped line leaves a gap";
    EXPECT_THAT(lines[queued], HasSubstr("%BRISEL-6-INFO_MSG:"));
    EXPECT_THAT(lines[queued],
                EndsWith(": Logging thread print queue is full.  Log Messages may be dropped."));
    EXPECT_EQ(queue.freeBytes(), 4096);
    EXPECT_EQ(queue.put(*record, severityOfLevel("INF"), nullptr, messageOf(text)), PrintQueue::QUEUED);
}

TEST(PrintQueue, LinesWrapAroundTheEndOfTheRing) {
    TempRoot root;
    LogFileRecord* record = logFileRecordFor(LogConstants::ALL_LEVELS);
    PrintQueue queue(3000, 700, 1023);
    std::vector<std::string> seen;
    for (int round = 0; round < 20; ++round) {
        for (int i = 0; i < 5; ++i) {
            std::string text = "round " + std::to_string(round) + " line " + std::to_string(i);
            ASSERT_EQ(queue.put(*record, severityOfLevel("DBG"), nullptr, messageOf(text)),
                      PrintQueue::QUEUED);
        }
        for (const std::string& line : drainLines(queue)) seen.push_back(line);
    }
    ASSERT_EQ(seen.size(), 100u);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_THAT(seen[i], EndsWith("round " + std::to_string(i / 5) + " line " + std::to_string(i % 5)));
    }
}

TEST(PrintQueue, SizesThatCannotHoldALineAreRefused) {
    struct Case {
        int ring, pass, line;
        bool valid;
    } cases[] = {{81920, 40960, 1023, true}, {1023, 1, 1023, true}, {0, 10, 10, false},
                 {100, 0, 10, false},        {100, 10, 0, false},   {1000, 100, 1023, false}};
    for (const Case& c : cases) EXPECT_EQ(PrintQueue(c.ring, c.pass, c.line).valid(), c.valid) << c.ring;
}

TEST(LoggingThread, StopDrainsEveryBufferedLine) {
    TempRoot root;
    logInfo(0, "before the thread");
    ASSERT_TRUE(startLoggingThread());
    ASSERT_TRUE(loggingThreadRunning());
    // 500 lines of about 130 bytes fit the ring even when the thread has written none of them.
    for (int i = 0; i < 500; ++i) logInfo(0, "buffered %04d", i);
    stopLoggingThread();
    EXPECT_FALSE(loggingThreadRunning());
    std::vector<std::string> lines = readLines(root.log());
    ASSERT_EQ(lines.size(), 3u + 1u + 500u + 1u);
    for (int i = 0; i < 500; ++i) {
        char expected[32];
        snprintf(expected, sizeof expected, ": buffered %04d", i);
        EXPECT_THAT(lines[4 + i], EndsWith(expected));
    }
    EXPECT_THAT(lines.back(), EndsWith(": Logging thread normal shutdown."));
    for (size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(sequenceOf(lines[i]), sequenceOf(lines[i - 1]) + 1);
    logInfo(0, "after the thread");
    EXPECT_THAT(readLines(root.log()).back(), EndsWith(": after the thread"));
}

TEST(LoggingThread, SecondStartIsRefused) {
    TempRoot root;
    ASSERT_TRUE(startLoggingThread());
    EXPECT_FALSE(startLoggingThread());
    stopLoggingThread();
    EXPECT_THAT(readText(root.log()), HasSubstr("%BRISEL-4-WARNING_MSG: %[tid="));
    EXPECT_THAT(readText(root.log()), HasSubstr(": Invalid object for logging thread.\n"));
    ASSERT_TRUE(startLoggingThread()) << "a stopped thread can be started again";
    stopLoggingThread();
}

TEST(LoggingThread, PassCrossingTheLimitEndsTheFileAtALineEnd) {
    const LogFileSpec spec = {LogConstants::FOLDER_PROGRAM_DATA,
                              LogConstants::ALL_LEVELS,
                              "CurrentLog.txt",
                              "PreviousLog*.txt",
                              9,
                              20000};
    TempRoot root(spec);
    ASSERT_TRUE(startLoggingThread());
    std::vector<std::thread> producers;
    for (int t = 0; t < 4; ++t) {
        producers.emplace_back([t] {
            for (int i = 0; i < 100; ++i)
                logInfo(0, "producer %d line %03d %s", t, i, std::string(60, 'q').c_str());
        });
    }
    for (std::thread& p : producers) p.join();
    stopLoggingThread();
    // Each file holds whole lines; together they hold every line of every producer exactly once,
    // or the notice of a full ring for each line dropped.
    std::set<std::string> seen;
    int full = 0;
    int files = 0;
    for (const char* name :
         {"PreviousLog9.txt", "PreviousLog8.txt", "PreviousLog7.txt", "PreviousLog6.txt", "PreviousLog5.txt",
          "PreviousLog4.txt", "PreviousLog3.txt", "PreviousLog2.txt", "PreviousLog1.txt", "CurrentLog.txt"}) {
        if (!fileExists(root.log(name))) continue;
        ++files;
        std::string text = readText(root.log(name));
        // A pass whose first line ended exactly at the limit leaves the new current file empty.
        if (text.empty() && std::string(name) == "CurrentLog.txt") continue;
        ASSERT_FALSE(text.empty()) << name;
        EXPECT_EQ(text.back(), '\n') << name;
        for (const std::string& line : readLines(root.log(name))) {
            size_t at = line.find("producer ");
            if (at != std::string::npos) {
                EXPECT_TRUE(seen.insert(line.substr(at, 20)).second) << line;
            }
            if (line.find("print queue is full") != std::string::npos) ++full;
        }
    }
    EXPECT_GE(files, 3);
    EXPECT_EQ(seen.size() + static_cast<size_t>(full), 400u);
}

TEST(LoggingThread, PassIsSplitAtItsFirstLineEndWhenTheFileReachesItsLimit) {
    const LogFileSpec spec = {LogConstants::FOLDER_PROGRAM_DATA,
                              LogConstants::ALL_LEVELS,
                              "CurrentLog.txt",
                              "PreviousLog*.txt",
                              9,
                              1000};
    struct Case {
        std::string existing;
        std::string pass;
        std::string current;
        std::string previous;  // empty: no rotation
    } cases[] = {
        {std::string(990, 'e'), "one\ntwo\nthree\n", "two\nthree\n", std::string(990, 'e') + "one\n"},
        {std::string(990, 'e'), "partial without end", "", ""},
        {std::string(10, 'e'), "short\n", std::string(10, 'e') + "short\n", ""},
        {std::string(997, 'e'), "a\nb", "b", std::string(997, 'e') + "a\n"},
        {std::string(996, 'e'), "a\nb", "", ""},
    };
    for (const Case& c : cases) {
        TempRoot root(spec);
        LogFileRecord* record = logFileRecordFor(LogConstants::ALL_LEVELS);
        { std::ofstream(root.log(), std::ios::trunc) << c.existing; }
        std::filesystem::remove(root.log("PreviousLog1.txt"));
        writeLogPass(*record, c.pass.data(), static_cast<int>(c.pass.size()));
        if (c.previous.empty()) {
            EXPECT_FALSE(fileExists(root.log("PreviousLog1.txt"))) << c.pass;
            EXPECT_EQ(readText(root.log()), c.existing + c.pass);
        } else {
            EXPECT_EQ(readText(root.log("PreviousLog1.txt")), c.previous) << c.pass;
            EXPECT_EQ(readText(root.log()), c.current) << c.pass;
        }
    }
}

TEST(LoggingThread, FailureSwitchesBackToDirectWrites) {
    TempRoot root;
    // A line buffer too small for any header: the first line fails in the producer.
    ASSERT_TRUE(startLoggingThread(4096, 1024, 40));
    logError(0, "first after the failure");
    EXPECT_FALSE(loggingThreadRunning());
    logError(0, "second");
    stopLoggingThread();
    std::vector<std::string> lines = readLines(root.log());
    ASSERT_EQ(lines.size(), 3u + 5u);
    EXPECT_THAT(lines[3], EndsWith(": Logging thread failed to write to queue."));
    EXPECT_THAT(lines[4], EndsWith(": Logging thread invalid header."));
    EXPECT_THAT(lines[5], EndsWith(": first after the failure")) << "the failed line itself is not lost";
    EXPECT_THAT(lines[6], EndsWith(": second"));
    EXPECT_THAT(lines[7], EndsWith(": Logging thread normal shutdown."));
}

TEST(LoggingThread, ProducersOnManyThreadsLoseNoLineAndKeepTheSequenceInOrder) {
    TempRoot root;
    // A ring that holds every line even if the thread wrote none: no line is dropped as too many.
    ASSERT_TRUE(startLoggingThread(4 << 20, LogConstants::PASS_SIZE, LogConstants::LINE_SIZE));
    // Across 999 -> 1000 and 9999 -> 10000 the sequence number grows a digit while lines are in
    // flight, so some are formatted for a number they do not get.
    constexpr int THREADS = 4;
    constexpr int LINES = 3000;
    std::vector<std::thread> producers;
    for (int t = 0; t < THREADS; ++t) {
        producers.emplace_back([t] {
            for (int i = 0; i < LINES; ++i) logInfo(0, "producer %d line %05d", t, i);
        });
    }
    for (std::thread& p : producers) p.join();
    stopLoggingThread();
    std::vector<std::string> lines = readLines(root.log());
    std::set<std::string> seen;
    for (size_t i = 1; i < lines.size(); ++i) {
        ASSERT_EQ(sequenceOf(lines[i]), sequenceOf(lines[i - 1]) + 1) << lines[i];
        size_t at = lines[i].find(": producer ");
        if (at != std::string::npos) seen.insert(lines[i].substr(at));
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(THREADS * LINES)) << "every line reached the file once";
}

TEST(LoggingThread, ASmallRingReusedWhileTheThreadWritesKeepsEveryLineWhole) {
    TempRoot root;
    // The ring goes round many times while producers fill it and the thread copies out of it: a
    // byte written over before it was copied shows as a broken line.
    ASSERT_TRUE(startLoggingThread(8192, 2048, LogConstants::LINE_SIZE));
    constexpr int THREADS = 4;
    constexpr int LINES = 4000;
    std::vector<std::thread> producers;
    for (int t = 0; t < THREADS; ++t) {
        producers.emplace_back([t] {
            for (int i = 0; i < LINES; ++i)
                logInfo(0, "producer %d line %05d %s", t, i, std::string(60, 'a' + t).c_str());
        });
    }
    for (std::thread& p : producers) p.join();
    stopLoggingThread();
    std::vector<std::string> lines = readLines(root.log());
    int last[THREADS] = {-1, -1, -1, -1};
    size_t written = 0;
    for (size_t i = 4; i + 1 < lines.size(); ++i) {
        ASSERT_GT(sequenceOf(lines[i]), sequenceOf(lines[i - 1])) << lines[i];
        if (lines[i].find(PrintQueue::FULL_LINE) != std::string::npos) continue;
        int t = -1;
        int n = -1;
        char tail[128] = {};
        size_t at = lines[i].find(": producer ");
        ASSERT_NE(at, std::string::npos) << lines[i];
        ASSERT_EQ(sscanf(lines[i].c_str() + at, ": producer %d line %d %127s", &t, &n, tail), 3) << lines[i];
        ASSERT_TRUE(0 <= t && t < THREADS) << lines[i];
        EXPECT_EQ(tail, std::string(60, 'a' + t)) << lines[i];
        EXPECT_GT(n, last[t]) << lines[i];
        last[t] = n;
        ++written;
    }
    EXPECT_GT(written, 0u);
    // The shutdown line takes its turn in the ring like any other: when the ring is still full it
    // is dropped, and the notice of the drop ends the file.
    EXPECT_THAT(lines.back(), AnyOf(EndsWith(": Logging thread normal shutdown."),
                                    HasSubstr(PrintQueue::FULL_LINE)));
}

TEST(LoggingThread, AHeldFileFollowsARotationMadeElsewhere) {
    TempRoot root;
    LogFileRecord* record = logFileRecordFor(LogConstants::ALL_LEVELS);
    KeptLogFile kept;
    const std::string first = "kept first\n";
    const std::string second = "kept second\n";
    writeLogPass(*record, first.data(), static_cast<int>(first.size()), kept);
    rotateLogFile(*record, false);
    writeLogPass(*record, second.data(), static_cast<int>(second.size()), kept);
    EXPECT_THAT(readText(root.log("PreviousLog1.txt")), HasSubstr(first));
    EXPECT_EQ(readText(root.log()), second) << "the second pass went to the new current file";
}

TEST(LoggingThread, ProducersFasterThanTheFileAreHeldBackRatherThanDropped) {
    TempRoot root;
    // The service's own ring, filled by four threads far faster than one thread writes it out.
    ASSERT_TRUE(startLoggingThread());
    constexpr int THREADS = 4;
    constexpr int LINES = 10000;
    std::vector<std::thread> producers;
    for (int t = 0; t < THREADS; ++t) {
        producers.emplace_back([t] {
            for (int i = 0; i < LINES; ++i)
                logInfo(0, "producer %d line %05d %s", t, i, std::string(100, 'a' + t).c_str());
        });
    }
    for (std::thread& p : producers) p.join();
    stopLoggingThread();
    // Several files' worth: the lines go on across the rotations.
    const std::vector<std::string> lines = linesOfEveryFile(root);
    size_t written = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        ASSERT_EQ(sequenceOf(lines[i]), sequenceOf(lines[i - 1]) + 1) << lines[i];
        ASSERT_THAT(lines[i], Not(HasSubstr(PrintQueue::FULL_LINE)));
        if (lines[i].find(": producer ") != std::string::npos) ++written;
    }
    EXPECT_EQ(written, static_cast<size_t>(THREADS * LINES));
    EXPECT_THAT(lines.back(), EndsWith(": Logging thread normal shutdown."));
}

TEST(LoggingThread, AThreadThatCannotWriteHasLinesDroppedAfterAWaitAndNoneOnceItWritesAgain) {
    TempRoot root;
    logInfo(0, "before the thread");
    // The current file becomes a pipe nobody reads: the thread blocks opening it for its first pass.
    std::filesystem::remove(root.log());
    ASSERT_EQ(mkfifo(root.log().c_str(), 0600), 0);
    ASSERT_TRUE(startLoggingThread());

    constexpr int STALLED = 2000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < STALLED; ++i) logInfo(0, "stalled %04d %s", i, std::string(100, 's').c_str());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(LogConstants::FULL_RING_WAIT_MS))
        << "the first line that found the ring full waited for the thread";

    std::mutex mutex;
    std::string received;
    std::thread reader([&] {
        std::ifstream in(root.log(), std::ios::binary);
        char buffer[4096];
        while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
            std::lock_guard<std::mutex> lock(mutex);
            received.append(buffer, static_cast<size_t>(in.gcount()));
        }
    });
    ASSERT_TRUE(tamsel::test::waitFor([&] {
        std::lock_guard<std::mutex> lock(mutex);
        return !received.empty();
    }));
    constexpr int RESUMED = 3000;
    for (int i = 0; i < RESUMED; ++i) logInfo(0, "resumed %04d %s", i, std::string(100, 'r').c_str());
    stopLoggingThread();
    reader.join();

    // The stalled lines up to the full ring are kept in order, the rest leave notices and gaps; once
    // the thread writes again every line is kept.
    const std::vector<std::string> lines = splitLines(received);
    int stalled = 0;
    int resumed = 0;
    int notices = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            ASSERT_GT(sequenceOf(lines[i]), sequenceOf(lines[i - 1])) << lines[i];
        }
        if (lines[i].find(PrintQueue::FULL_LINE) != std::string::npos) {
            EXPECT_EQ(resumed, 0) << "a line dropped after the thread wrote again";
            ++notices;
        } else if (lines[i].find(": stalled ") != std::string::npos) {
            EXPECT_EQ(notices, 0) << "a stalled line kept after the first drop: " << lines[i];
            EXPECT_EQ(sequenceOf(lines[i]) - sequenceOf(lines[0]), stalled) << lines[i];
            ++stalled;
        } else if (lines[i].find(": resumed ") != std::string::npos) {
            ++resumed;
        }
    }
    EXPECT_GT(stalled, 0);
    EXPECT_LT(stalled, STALLED);
    EXPECT_GE(notices, 1);
    EXPECT_EQ(resumed, RESUMED) << "no resumed line was dropped";
    EXPECT_THAT(lines.back(), EndsWith(": Logging thread normal shutdown."));
}
