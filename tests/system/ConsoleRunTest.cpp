#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <optional>

#include "service/ServiceConstants.h"
#include "tests/support/UnwritableFolder.h"
#include "tests/system/ServiceLog.h"
#include "tests/system/ServiceProcess.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const char* const USAGE =
    "Usage: \n"
    "Varnel_NvoClient.exe  -install   \n"
    "Varnel_NvoClient.exe  -uninstall \n"
    "Varnel_NvoClient.exe  -run       \n";

const char* const RUNNING = "Running Varnel Tamsel...\nUse Ctrl+C or Ctrl+Break to stop Varnel Tamsel.\n";

class Usage : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(Usage, AnyOtherCommandLinePrintsTheUsage) {
    TempRoot root;
    auto [code, output] = runToEnd(root, GetParam());
    EXPECT_EQ(code, 0);
    EXPECT_EQ(output, USAGE);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, Usage,
                         testing::Values(std::vector<std::string>{"-x"}, std::vector<std::string>{"-RUN"},
                                         std::vector<std::string>{"run"}, std::vector<std::string>{""},
                                         std::vector<std::string>{"-run", "-install"},
                                         std::vector<std::string>{"-install", "a", "b"}));

struct DebugCase {
    const char* name;
    const char* content;  // null: no debug file
    bool infoLines;
    bool debugLines;
};

void PrintTo(const DebugCase& c, std::ostream* out) {
    *out << c.name;
}

class DebugFile : public testing::TestWithParam<DebugCase> {};

TEST_P(DebugFile, ChoosesTheLevelsThatAreLogged) {
    const DebugCase& c = GetParam();
    TempRoot root;
    if (c.content != nullptr) root.write("veldebug.txt", c.content);
    ServiceProcess service(root, {"-run"});
    ASSERT_TRUE(waitFor([&] { return service.outputHas(RUNNING); })) << service.output();
    // Stopped at once: the stop is kept until the service is ready to end, so the whole
    // start-up and shut-down is logged under the level read.
    service.signal(SIGINT);
    ASSERT_EQ(service.waitForExit(), 0) << service.output();
    EXPECT_THAT(service.output(), HasSubstr("Varnel Tamsel is stopped.\n"));
    std::string log = root.logText();
    EXPECT_EQ(countOf(log, "]: Starting tamselsvc.exe: 5.1.1.18\n"), c.infoLines ? 1 : 0) << log;
    EXPECT_EQ(countOf(log, "]: Normal Shutdown: 5.1.1.18\n"), c.infoLines ? 1 : 0) << log;
    EXPECT_EQ(countOf(log, "]: Logging thread successfully started.\n"), c.debugLines ? 1 : 0) << log;
    EXPECT_EQ(countOf(log, "]: OneTimeTimerStartEventImpl event processed\n"), c.debugLines ? 1 : 0) << log;
}

INSTANTIATE_TEST_SUITE_P(Levels, DebugFile,
                         testing::Values(DebugCase{"none", nullptr, true, true},
                                         DebugCase{"hexInfo", "0x4", true, false},
                                         DebugCase{"decimalDebug", "8", false, true},
                                         DebugCase{"hexWithPipeIn", "0x104", true, false},
                                         DebugCase{"pipeInOnly", "0x100", false, false},
                                         DebugCase{"text", "verbose", true, true}));

TEST(ConsoleRun, StartsAndStopsInOrder) {
    TempRoot root;
    ServiceProcess service(root, {"-run"}, {{"TAMSEL_TEST_ONE_TIME_TIMER_S", "0"}});
    struct stat pipe = {};
    // The pipe opens last in the start-up.
    ASSERT_TRUE(waitFor([&] {
        return countOf(root.logText(), "]: OneTimeTimer timer expired\n") == 1 &&
               stat((root.path() + "/run/vel").c_str(), &pipe) == 0;
    })) << root.logText();
    EXPECT_TRUE(S_ISSOCK(pipe.st_mode));
    // A tray program still connected when the service stops is let go in the shut-down.
    int tray = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(tray, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    snprintf(address.sun_path, sizeof address.sun_path, "%s/run/vel", root.path().c_str());
    ASSERT_EQ(connect(tray, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << strerror(errno);
    EXPECT_TRUE(waitFor([&] { return countOf(root.logText(), "]: Accepted new connection\n") == 1; }));

    service.signal(SIGINT);
    ASSERT_EQ(service.waitForExit(), 0) << service.output();
    EXPECT_EQ(service.output(),
              std::string(RUNNING) + "Stopping Varnel Tamsel...\nVarnel Tamsel is stopped.\n");
    char byte;
    EXPECT_EQ(read(tray, &byte, 1), 0) << "the service closed the connection";
    close(tray);
    std::string log = root.logText();
    // One connection: a reader and a writer thread.
    expectOrderedRun(log, 2);
    std::vector<std::string> lines = messages(log);
    int expired = indexOf(lines, "OneTimeTimer timer expired");
    EXPECT_LT(indexOf(lines, "OneTimeTimerStartEventImpl event processed"), expired);
    EXPECT_LT(expired, indexOf(lines, "OneTimeTimerCancelEventImpl event created"));
    EXPECT_THAT(log, Not(HasSubstr("Set service status to running"))) << "a console run reports nothing";
    // A build that checks configurations with the published test key says so once, as a warning
    // right after the start line.
    const std::string warning = std::string("%BRISEL-4-WARNING_MSG: %[tid=");
    int warned = indexOf(lines, ServiceConstants::TEST_KEY_WARNING);
    EXPECT_EQ(countOf(log, ServiceConstants::TEST_KEY_WARNING), TAMSEL_CONFIG_KEY_IS_TEST ? 1 : 0);
    if (TAMSEL_CONFIG_KEY_IS_TEST) {
        EXPECT_EQ(warned, indexOf(lines, "Starting tamselsvc.exe: 5.1.1.18") + 1);
        EXPECT_THAT(log, HasSubstr(warning));
    }
}

class EarlyStop : public testing::TestWithParam<int> {};

TEST_P(EarlyStop, BeforeStartUpCompletesStillEndsInOrder) {
    TempRoot root;
    ServiceProcess service(root, {"-run"});
    ASSERT_TRUE(waitFor([&] { return service.outputHas(RUNNING); })) << service.output();
    service.signal(GetParam());
    ASSERT_EQ(service.waitForExit(), 0) << service.output();
    EXPECT_EQ(service.output(),
              std::string(RUNNING) + "Stopping Varnel Tamsel...\nVarnel Tamsel is stopped.\n");
    expectOrderedRun(root.logText());
}

// Ctrl+C, Ctrl+Break, and the console being closed.
INSTANTIATE_TEST_SUITE_P(ConsoleSignals, EarlyStop, testing::Values(SIGINT, SIGQUIT, SIGTERM),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGINT    ? "CtrlC"
                                                : info.param == SIGQUIT ? "CtrlBreak"
                                                                        : "Close");
                         });

// A first instance running, and a second one started beside it.
class TwoInstances : public testing::Test {
protected:
    void SetUp() override {
        first.emplace(root, std::vector<std::string>{"-run"});
        ASSERT_TRUE(waitFor(
            [&] { return countOf(root.logText(), "OneTimeTimerStartEventImpl event processed") == 1; }));
        second.emplace(root, std::vector<std::string>{"-run"});
        ASSERT_TRUE(waitFor([&] { return second->outputHas(RUNNING); })) << second->output();
    }

    TempRoot root;
    std::optional<ServiceProcess> first;
    std::optional<ServiceProcess> second;
};

TEST_F(TwoInstances, SecondWaitsUntilTheFirstIsGone) {
    // The instance lock is held by the first, and the second has not started logging.
    int lock =
        open((root.path() + "/run/Global_{1E3CE9C9-9712-49A6-B36A-90E00000E4C6}.lock").c_str(), O_RDWR);
    ASSERT_GE(lock, 0);
    EXPECT_NE(flock(lock, LOCK_EX | LOCK_NB), 0);
    close(lock);
    EXPECT_TRUE(second->running());
    EXPECT_EQ(countOf(root.logText(), "]: Starting tamselsvc.exe"), 1);

    first->signal(SIGINT);
    ASSERT_EQ(first->waitForExit(), 0);
    ASSERT_TRUE(waitFor([&] {
        return countOf(root.logText(), "OneTimeTimerStartEventImpl event processed") == 1 &&
               std::filesystem::exists(root.log("PreviousLog1.txt"));
    }));
    second->signal(SIGINT);
    ASSERT_EQ(second->waitForExit(), 0) << second->output();

    // Each run whole in a file of its own: the second rotated the log only after the first ended.
    std::string firstLog = root.logText("PreviousLog1.txt");
    std::string secondLog = root.logText();
    expectOrderedRun(firstLog);
    expectOrderedRun(secondLog);
    EXPECT_EQ(countOf(firstLog, "]: Starting tamselsvc.exe"), 1);
    EXPECT_EQ(countOf(secondLog, "]: Starting tamselsvc.exe"), 1);
}

TEST_F(TwoInstances, StopWhileWaitingForTheFirstEndsTheSecondTouchingNothing) {
    second->signal(SIGINT);
    ASSERT_EQ(second->waitForExit(std::chrono::seconds(10)), 0) << "still waiting: " << second->output();
    EXPECT_EQ(second->output(),
              std::string(RUNNING) + "Stopping Varnel Tamsel...\nVarnel Tamsel is stopped.\n");
    EXPECT_FALSE(std::filesystem::exists(root.log("PreviousLog1.txt"))) << "the first run's log was rotated";
    EXPECT_TRUE(first->running());
    // The first serves on undisturbed and ends whole.
    first->signal(SIGINT);
    ASSERT_EQ(first->waitForExit(), 0) << first->output();
    std::string log = root.logText();
    expectOrderedRun(log);
    EXPECT_EQ(countOf(log, "]: Starting tamselsvc.exe"), 1);
}

}  // namespace

namespace {

TEST(ConsoleRun, PipeThatCannotBeServedEndsFatallyAfterAnOrderedTearDown) {
    TempRoot root;
    // Something that is not a socket holds the pipe's name.
    std::filesystem::create_directories(root.path() + "/run/vel");
    ServiceProcess service(root, {"-run"});
    EXPECT_EQ(service.waitForExit(), 1) << service.output();
    EXPECT_EQ(service.output(), std::string(RUNNING) + "Varnel Tamsel is stopped.\n");
    std::string log = root.logText();
    std::vector<std::string> lines = messages(log);
    int fatal = indexOf(lines, "Fatal Shutdown: 5.1.1.18");
    ASSERT_GE(fatal, 0) << log;
    EXPECT_LT(indexOf(lines, "CAUGHT: NvoException for function 'ipcNamedPipeServer_create'"), fatal);
    // What was created is torn down in the order of a normal end, before the run-time goes.
    std::vector<std::string> after(lines.begin() + fatal, lines.end());
    std::vector<std::string> started = threadIds(lines, "exec");
    std::vector<std::string> joined = threadIds(after, "join");
    ASSERT_EQ(started.size(), QUEUE_THREADS) << log;
    ASSERT_EQ(joined.size(), QUEUE_THREADS) << log;
    EXPECT_EQ(joined[0], started[EVENT_QUEUE_THREAD]);
    EXPECT_EQ(joined[1], started[ALTERNATE_QUEUE_THREAD]);
    EXPECT_GE(indexOf(after, "OneTimeTimerCancelEventImpl event processed"), 0);
    EXPECT_LT(indexOf(after, "Travik:DBG: stopped"), indexOf(after, "No memory leaks detected"));
    EXPECT_EQ(lines[lines.size() - 2], "Normal Shutdown: 5.1.1.18");
    EXPECT_THAT(log, Not(HasSubstr("Assertion")));
}

}  // namespace

namespace {

// tamselsvc -run on the root, its console in the file; killed if it outlives the test.
tamsel::test::ChildProcess::Options consoleRun(const std::string& root, const std::string& console) {
    tamsel::test::ChildProcess::Options options;
    options.arguments = {"-run"};
    options.environment = {{"TAMSEL_HOME", root}};
    options.outputFile = console;
    options.errorToOutput = true;
    options.endSignal = SIGKILL;
    return options;
}

// A root the service cannot write: the console names the folder it could not make with the
// system's reason, nothing is started, and the run ends with a failure.
struct UnwritableRoot {
    const char* name;
    bool readOnly;  // else the root lies below a regular file
    const char* reason;
};

class UnwritableRootRun : public testing::TestWithParam<UnwritableRoot> {};

TEST_P(UnwritableRootRun, NamesWhatItCouldNotCreateAndFails) {
    const UnwritableRoot& c = GetParam();
    TempRoot folder;
    std::string root = folder.path() + "/root";
    if (c.readOnly) {
        std::filesystem::create_directories(root);
    } else {
        folder.write("file", "a file, not a folder\n");
        root = folder.path() + "/file/root";
    }
    tamsel::test::ChildProcess service;
    tamsel::test::ChildProcess::Options options = consoleRun(root, folder.file("console.txt"));
    if (c.readOnly) options.prepare = tamsel::test::readOnlyFolder(root);
    ASSERT_TRUE(service.start(TAMSELSVC_PATH, options));
    const int code = service.waitForExit(std::chrono::seconds(60));
    if (code == tamsel::test::CANNOT_MOUNT) GTEST_SKIP() << "this test may not mount a folder read-only";
    EXPECT_EQ(code, 1);
    const std::string console = readText(folder.file("console.txt"));
    EXPECT_THAT(console, HasSubstr("Varnel Tamsel cannot start: cannot create its instance lock in " + root +
                                   "/run: " + c.reason + "\n"))
        << console;
    EXPECT_THAT(console, testing::EndsWith("Varnel Tamsel is stopped.\n"));
    EXPECT_FALSE(std::filesystem::exists(root + "/logs"));
}

INSTANTIATE_TEST_SUITE_P(Roots, UnwritableRootRun,
                         testing::Values(UnwritableRoot{"ReadOnly", true, "Read-only file system"},
                                         UnwritableRoot{"BelowAFile", false, "Not a directory"}),
                         [](const testing::TestParamInfo<UnwritableRoot>& info) { return info.param.name; });

// A disk that is full at the start: the service runs without its log, and the console says once
// which file could not be written and why.
TEST(ConsoleRun, AFullDiskAtTheStartIsNamedOnTheConsoleOnce) {
    TempRoot folder;
    const std::string root = folder.path() + "/root";
    std::filesystem::create_directories(root);
    tamsel::test::ChildProcess service;
    tamsel::test::ChildProcess::Options options = consoleRun(root, folder.file("console.txt"));
    options.prepare = tamsel::test::fullFolder(root);
    ASSERT_TRUE(service.start(TAMSELSVC_PATH, options));
    const std::string said = "Cannot write the log file " + root + "/logs/CurrentLog.txt: No space left on device\n";
    const auto console = [&] { return readText(folder.file("console.txt")); };
    const bool told = waitFor([&] { return console().find(said) != std::string::npos || !service.running(); });
    if (!service.running() && service.waitForExit() == tamsel::test::CANNOT_MOUNT)
        GTEST_SKIP() << "this test may not mount a file system";
    EXPECT_TRUE(told) << console();
    ASSERT_TRUE(waitFor([&] { return console().find(RUNNING) != std::string::npos; })) << console();
    service.signal(SIGINT);
    EXPECT_EQ(service.waitForExit(), 0) << console();
    EXPECT_EQ(countOf(console(), "Cannot write the log file"), 1) << console();
}

}  // namespace
