#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>
#include <regex>
#include <string>

#include "ostrum.h"
#include "runtime/lum/Log.h"
#include "tests/runtime/lum/LumTestSupport.h"

using ::testing::ContainsRegex;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// Lines written by the test itself, without the banner.
std::vector<std::string> messageLines(const std::string& path) {
    std::vector<std::string> lines;
    for (const std::string& line : readLines(path)) {
        if (line.find("-----------------") == std::string::npos &&
            line.find("5.1.1.18 win.x86") == std::string::npos)
            lines.push_back(line);
    }
    return lines;
}

}  // namespace

TEST(Log, LineHasSequenceHostTimeSeverityThreadAndMessage) {
    TempRoot root;
    logError(12, "disk %s is %d%% full", "C:", 93);
    std::vector<std::string> lines = messageLines(root.log());
    ASSERT_EQ(lines.size(), 1u);
    std::smatch m;
    const std::regex format(
        R"(^(\d+): (\S+): ([A-Z][a-z]{2} \d{2} \d{4} \d{2}:\d{2}:\d{2}\.\d{3} [+-]\d{4}): %BRISEL-3-ERROR_MSG: )"
        R"(%\[tid=(\d+)\]: disk C: is 93% full$)");
    ASSERT_TRUE(std::regex_match(lines[0], m, format)) << lines[0];
    char host[300] = "";
    gethostname(host, sizeof host);
    EXPECT_EQ(m[2].str(), host);
    OsThreadId self = 0;
    osThreadSelf(&self);
    EXPECT_EQ(std::stoul(m[4].str()), static_cast<unsigned long>(self)) << "ostrum's number of the thread";
}

TEST(Log, TimeZoneFieldIsTheOffsetOfLocalTimeFromUtc) {
    const char* saved = getenv("TZ");
    std::string previous = saved ? saved : "";
    struct Case {
        const char* tz;
        const char* field;
    } cases[] = {{"CET-1", "+0100:"}, {"UTC0", "+0000:"}, {"EST5", "-0500:"}, {"NPT-5:45", "+0545:"}};
    for (const Case& c : cases) {
        setenv("TZ", c.tz, 1);
        tzset();
        TempRoot root;
        logInfo(0, "zone");
        std::vector<std::string> lines = messageLines(root.log());
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_THAT(lines[0], HasSubstr(std::string(c.field) + " %BRISEL")) << c.tz;
    }
    if (saved)
        setenv("TZ", previous.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(Log, LevelNamesMapToTheSeverityTable) {
    TempRoot root;
    struct Case {
        const char* levelName;
        const char* severity;
    } cases[] = {{"FATAL", "%BRISEL-0-FATAL_MSG:"},       {"ALERT", "%BRISEL-1-ALERT_MSG:"},
                 {"CRITICAL", "%BRISEL-2-CRITICAL_MSG:"}, {"ERR", "%BRISEL-3-ERROR_MSG:"},
                 {"WRN", "%BRISEL-4-WARNING_MSG:"},       {"NOTICE", "%BRISEL-5-NOTICE_MSG:"},
                 {"INF", "%BRISEL-6-INFO_MSG:"},          {"DBG", "%BRISEL-7-DEBUG_MSG:"},
                 {"nonsense", "%BRISEL-7-DEBUG_MSG:"}};
    for (const Case& c : cases) logMasked(LogConstants::LEVEL_ERROR, c.levelName, "level %s", c.levelName);
    std::vector<std::string> lines = messageLines(root.log());
    ASSERT_EQ(lines.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_THAT(lines[i], HasSubstr(cases[i].severity));
        EXPECT_THAT(lines[i], EndsWith(std::string("level ") + cases[i].levelName));
    }
}

TEST(Log, MaskSelectsTheLevelsWritten) {
    struct Case {
        int mask;
        std::vector<std::string> expected;
    } cases[] = {
        {0, {}},
        {LogConstants::LEVEL_ERROR, {"error"}},
        {LogConstants::LEVEL_WARNING | LogConstants::LEVEL_DEBUG, {"warning", "debug"}},
        {LogConstants::INITIAL_MASK, {"error", "warning", "info", "debug"}},
        {LogConstants::LEVEL_QUEUE_LOAD, {"queue"}},
    };
    for (const Case& c : cases) {
        TempRoot root;
        setLogLevelMask(c.mask);
        logError(1, "error");
        logWarning(2, "warning");
        logInfo(3, "info");
        logDebug("debug");
        logMasked(LogConstants::LEVEL_QUEUE_LOAD, "INF", "queue");
        std::vector<std::string> lines = messageLines(root.log());
        ASSERT_EQ(lines.size(), c.expected.size()) << "mask " << c.mask;
        for (size_t i = 0; i < lines.size(); ++i) EXPECT_THAT(lines[i], EndsWith(": " + c.expected[i]));
        if (c.mask == 0) {
            EXPECT_FALSE(fileExists(root.log())) << "mask 0 must not even rotate or write the banner";
        }
    }
}

TEST(Log, MessageIsCutAt799CharactersAndControlCharactersBlanked) {
    TempRoot root;
    std::string long900(900, 'x');
    logInfo(0, "%s", long900.c_str());
    std::string exact799(799, 'y');
    logInfo(0, "%s", exact799.c_str());
    logInfo(0,
            "a\tb\nc\x7f"
            "d\x1f"
            "e");
    std::string text = readText(root.log());
    EXPECT_THAT(text, HasSubstr(": " + std::string(799, 'x') + "...\n"));
    EXPECT_THAT(text, Not(HasSubstr(std::string(800, 'x'))));
    EXPECT_THAT(text, HasSubstr(": " + exact799 + "\n"));
    EXPECT_THAT(text, HasSubstr(": a b c d e\n"));
}

TEST(Log, TagsFollowTheThreadTagUnlessTheLineWouldBeTooLong) {
    TempRoot root;
    Tag adapter("adapter", "eth0");
    Tag network("network", "Office");
    Tag missing("port", nullptr);
    Tags tags(adapter, network);
    tags.add(missing);
    logInfoTagged(tags, 0, "associated");
    logMaskedTagged(LogConstants::LEVEL_INFO, tags, "%s", std::string(790, 'z').c_str());
    logInfoTagged(tags, 0, "%s", "");
    std::vector<std::string> lines = messageLines(root.log());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_THAT(lines[0],
                ContainsRegex(
                    R"(%BRISEL-6-INFO_MSG: %\[tid=[0-9]+\]\[adapter=eth0\]\[network=Office\]: associated$)"));
    EXPECT_THAT(lines[1], ContainsRegex(R"(%\[tid=[0-9]+\]: z{790}$)"));
    EXPECT_THAT(lines[2], ContainsRegex(R"(%\[tid=[0-9]+\]: $)"));
}

TEST(Log, TagListsCloseWithAColonOrPrintNothing) {
    Tag adapter("adapter", "eth0");
    Tag network("network", "Office");
    Tag missing("port", nullptr);
    Tags both(adapter, network);
    Tags withMissing(adapter, missing);
    Tags none;
    const struct {
        const char* what;
        const Tags& tags;
        size_t size;
        std::string expected;
    } cases[] = {
        {"two tags", both, 64, "[adapter=eth0][network=Office]:"},
        {"exactly room for both, the colon and the zero", both, 32, "[adapter=eth0][network=Office]:"},
        {"the second tag does not fit", both, 31, ""},
        {"a tag without value", withMissing, 64, "[adapter=eth0]:"},
        {"no tags", none, 64, ":"},
        {"no room beyond the reserve", none, 2, ""},
    };
    for (const auto& c : cases) {
        char buffer[64];
        memset(buffer, '#', sizeof buffer);
        int n = c.tags.print(buffer, c.size);
        EXPECT_EQ(std::string(buffer), c.expected) << c.what;
        EXPECT_EQ(n, static_cast<int>(c.expected.size())) << c.what;
    }
}

TEST(Log, SequenceNumbersCountEveryLineOfTheFile) {
    TempRoot root;
    for (int i = 0; i < 20; ++i) logInfo(0, "line %d", i);
    std::vector<std::string> lines = readLines(root.log());
    ASSERT_EQ(lines.size(), 23u);  // banner and 20 lines
    for (size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(sequenceOf(lines[i]), sequenceOf(lines[i - 1]) + 1);
}

TEST(Log, FirstLineMovesThePreviousRunAsideAndWritesTheBanner) {
    TempRoot root;
    std::filesystem::create_directories(root.logs());
    { std::ofstream(root.log()) << "previous run\n"; }
    { std::ofstream(root.log("PreviousLog1.txt")) << "run before\n"; }
    logWarning(0, "first");
    EXPECT_EQ(readText(root.log("PreviousLog1.txt")), "previous run\n");
    EXPECT_EQ(readText(root.log("PreviousLog2.txt")), "run before\n");
    std::vector<std::string> lines = readLines(root.log());
    ASSERT_EQ(lines.size(), 4u);
    const char* banner[] = {"-----------------", "5.1.1.18 win.x86 2009-10-26 14:19:14", "-----------------"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_THAT(lines[i], HasSubstr("%BRISEL-6-INFO_MSG:"));
        EXPECT_THAT(lines[i], EndsWith(std::string(": ") + banner[i]));
    }
    EXPECT_THAT(lines[3], EndsWith(": first"));
}

TEST(Log, SizeLimitRotatesThroughTheNumberedFiles) {
    const LogFileSpec spec = {LogConstants::FOLDER_PROGRAM_DATA,
                              LogConstants::ALL_LEVELS,
                              "CurrentLog.txt",
                              "PreviousLog*.txt",
                              3,
                              1000};
    TempRoot root(spec);
    for (int i = 0; i < 60; ++i) logInfo(0, "filler line number %03d with some text", i);
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(fileExists(root.log("PreviousLog" + std::to_string(n) + ".txt")));
    EXPECT_FALSE(fileExists(root.log("PreviousLog4.txt")));
    // Newest lines in the current file, older ones in files with higher numbers; no banner after
    // the first rotation, and no line lost between the files kept.
    std::vector<std::string> order = {"PreviousLog3.txt", "PreviousLog2.txt", "PreviousLog1.txt",
                                      "CurrentLog.txt"};
    long last = -1;
    for (const std::string& name : order) {
        std::vector<std::string> lines = readLines(root.log(name));
        ASSERT_FALSE(lines.empty()) << name;
        EXPECT_GE(readText(root.log(name)).size(), name == "CurrentLog.txt" ? 0u : 1000u) << name;
        for (const std::string& line : lines) {
            EXPECT_THAT(line, Not(HasSubstr("5.1.1.18"))) << name;
            if (last >= 0) {
                EXPECT_EQ(sequenceOf(line), last + 1) << name;
            }
            last = sequenceOf(line);
        }
    }
    EXPECT_THAT(readLines(root.log()).back(), EndsWith("number 059 with some text"));
}

TEST(Log, RecordsTakeTheLevelsOfTheirMask) {
    const LogFileSpec specs[] = {
        {LogConstants::FOLDER_PROGRAM_DATA, LogConstants::LEVEL_ERROR, "Errors.txt", nullptr, 1, 0},
        {LogConstants::FOLDER_PROGRAM_DATA, LogConstants::ALL_LEVELS, "Other.txt", "Other*.txt", 1, 0},
    };
    TempRoot root;
    configureLogFiles(specs, 2);
    logError(0, "bad");
    logInfo(0, "fine");
    std::vector<std::string> errors = readLines(root.log("Errors.txt"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_THAT(errors[0], EndsWith(": bad"));
    EXPECT_THAT(readText(root.log("Other.txt")), HasSubstr(": fine\n"));
    EXPECT_THAT(readText(root.log("Other.txt")), Not(HasSubstr("bad")));
}
