#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <regex>
#include <set>
#include <string>

#include "tests/runtime/lum/LumTestSupport.h"

extern char** environ;

using ::testing::HasSubstr;

namespace {

int runProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::string program = LUM_PROGRAM_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Every line of the files, oldest file first.
std::vector<std::string> allLines(const TempRoot& root) {
    std::vector<std::string> lines;
    for (int n = 9; n >= 1; --n) {
        std::string name = root.log("PreviousLog" + std::to_string(n) + ".txt");
        if (!fileExists(name)) continue;
        for (const std::string& line : readLines(name)) lines.push_back(line);
    }
    for (const std::string& line : readLines(root.log())) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(Program, WritesRotatesAndReportsNoLeaks) {
    TempRoot root;
    ASSERT_EQ(runProgram({"400", "30000"}), 0);
    EXPECT_TRUE(fileExists(root.log("PreviousLog1.txt"))) << "the size limit was passed";
    std::vector<std::string> lines = allLines(root);
    const std::regex format(R"(^\d+: \S+: [A-Z][a-z]{2} \d{2} \d{4} \d{2}:\d{2}:\d{2}\.\d{3} [+-]\d{4}: )"
                            R"(%BRISEL-\d-[A-Z]+_MSG: %\[tid=\d+\]: .*$)");
    std::set<std::string> workerLines;
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(std::regex_match(lines[i], format)) << lines[i];
        if (i > 0) {
            EXPECT_EQ(sequenceOf(lines[i]), sequenceOf(lines[i - 1]) + 1) << lines[i];
        }
        size_t at = lines[i].find("]: worker ");
        if (at != std::string::npos) workerLines.insert(lines[i].substr(at));
    }
    EXPECT_EQ(workerLines.size(), 800u);
    // The last lines may close the previous file when they reached the limit exactly.
    ASSERT_GE(lines.size(), 2u);
    EXPECT_THAT(lines[lines.size() - 2], testing::EndsWith("]: No memory leaks detected"));
    EXPECT_THAT(lines.back(), testing::EndsWith("]: Logging thread normal shutdown."));
}

TEST(Program, DeliberateLeakIsReportedAtExit) {
    TempRoot root;
    ASSERT_EQ(runProgram({"10", "2097152", "leak"}), 0);
    std::string text = readText(root.log());
    EXPECT_THAT(text, testing::ContainsRegex(
                          "Ostrum:MEMLEAK:1: context vel, m0x[0-9a-f]+ travik: +LumNew.cpp:[0-9]+ +len 32"));
    EXPECT_THAT(
        text,
        HasSubstr("]: 1 memory leak(s) detected, consult Ostrum log message(s) above for detailed report\n"));
}
