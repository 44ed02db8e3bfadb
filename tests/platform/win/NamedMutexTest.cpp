#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/win/NamedMutex.h"
#include "tests/platform/win/WinServiceTestSupport.h"

using namespace winsvc;

namespace {

constexpr const char* NAME = "Global\\{test-mutex}";

TEST(NamedMutex, IsALockFileInTheRunFolder) {
    TempRoot root;
    MUTEX_HANDLE mutex = CreateMutex(nullptr, 0, NAME);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(std::string(mutexLockPath(mutex)), root.path() + "/run/Global_{test-mutex}.lock");
    EXPECT_TRUE(std::filesystem::exists(mutexLockPath(mutex)));
    EXPECT_TRUE(CloseHandle(mutex));
}

TEST(NamedMutex, OneHolderAtATime) {
    TempRoot root;
    MUTEX_HANDLE first = CreateMutex(nullptr, 0, NAME);
    MUTEX_HANDLE second = CreateMutex(nullptr, 0, NAME);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_EQ(WaitForSingleObject(first, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(second, 50), WAIT_TIMEOUT);
    EXPECT_TRUE(ReleaseMutex(first));
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(second));
    CloseHandle(first);
    CloseHandle(second);
}

TEST(NamedMutex, ReleaseByNonOwnerIsRefused) {
    TempRoot root;
    MUTEX_HANDLE mutex = CreateMutex(nullptr, 0, NAME);
    ASSERT_NE(mutex, nullptr);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    CloseHandle(mutex);
}

TEST(NamedMutex, OwnedAtCreationIsNotOffered) {
    TempRoot root;
    EXPECT_EQ(CreateMutex(nullptr, 1, NAME), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(NamedMutex, HolderThatDiesLeavesItFree) {
    TempRoot root;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t holder = fork();
    if (holder == 0) {
        MUTEX_HANDLE mutex = CreateMutex(nullptr, 0, NAME);
        if (mutex == nullptr || WaitForSingleObject(mutex, INFINITE) != WAIT_OBJECT_0) _exit(1);
        char byte = 1;
        if (write(ready[1], &byte, 1) != 1) _exit(1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);

    MUTEX_HANDLE mutex = CreateMutex(nullptr, 0, NAME);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT);
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(WaitForSingleObject(mutex, 5000), WAIT_OBJECT_0);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

}  // namespace
