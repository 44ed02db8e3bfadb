#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/AtomicWrite.h"
#include "platform/base/FailureInjection.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestText.h"

namespace tamsel::test {
namespace {

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicWriteTest, ReplacesTheFileAndLeavesNothingElse) {
    TempHome home("base-write");
    std::string target = home.file("state");
    ASSERT_EQ(base::writeFileAtomically(target, "first"), 0);
    ASSERT_EQ(base::writeFileAtomically(target, std::string("sec\0ond", 7)), 0);
    EXPECT_EQ(readText(target), std::string("sec\0ond", 7));
    EXPECT_EQ(folderEntries(home.path()), std::vector<std::string>{"state"});
}

TEST(AtomicWriteTest, NewFileTakesTheMode) {
    TempHome home("base-mode");
    std::string target = home.file("secret");
    ASSERT_EQ(base::writeFileAtomically(target, "k", 0600), 0);
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(AtomicWriteTest, FailedRenameLeavesTheTargetAndNoTemporary) {
    TempHome home("base-fail");
    // A folder with an entry cannot be replaced by a file.
    std::filesystem::create_directories(home.file("target/inside"));
    EXPECT_EQ(base::writeFileAtomically(home.file("target"), "data"), EISDIR);
    EXPECT_EQ(folderEntries(home.path()), std::vector<std::string>{"target"});
    EXPECT_EQ(base::writeFileAtomically(home.file("missing/file"), "data"), ENOENT);
}

TEST(AtomicWriteTest, FailsOnDemandWithoutTouchingTheFile) {
    TempHome home("base-inject");
    std::string target = home.file("state");
    ASSERT_EQ(base::writeFileAtomically(target, "kept"), 0);
    base::failNext("writeFileAtomically", ENOSPC, 1);
    EXPECT_EQ(base::writeFileAtomically(target, "lost"), ENOSPC);
    EXPECT_EQ(readText(target), "kept");
    EXPECT_EQ(base::writeFileAtomically(target, "next"), 0);
    base::clearFailures();
}

TEST(AtomicWriteTest, ConcurrentWritersNeverShowAPartialFile) {
    TempHome home("base-race");
    std::string target = home.file("state");
    const std::string a(64 * 1024, 'a');
    const std::string b(64 * 1024, 'b');
    ASSERT_EQ(base::writeFileAtomically(target, a), 0);
    std::atomic<bool> done{false};
    std::atomic<int> failures{0};
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            for (int i = 0; i < 25; ++i)
                if (base::writeFileAtomically(target, (w + i) % 2 ? a : b) != 0) ++failures;
        });
    }
    int torn = 0;
    std::thread reader([&] {
        while (!done) {
            std::string seen = readText(target);
            if (seen != a && seen != b) ++torn;
        }
    });
    for (auto& t : writers) t.join();
    done = true;
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(folderEntries(home.path()), std::vector<std::string>{"state"});
}

TEST(AtomicWriteTest, TemporaryNamesAreUniquePerCall) {
    std::string first = base::temporaryNameFor("/x/file");
    std::string second = base::temporaryNameFor("/x/file");
    EXPECT_NE(first, second);
    EXPECT_EQ(first.rfind("/x/file." + std::to_string(::getpid()) + ".", 0), 0u);
    EXPECT_EQ(first.substr(first.size() - 4), ".tmp");
}

}  // namespace
}  // namespace tamsel::test
