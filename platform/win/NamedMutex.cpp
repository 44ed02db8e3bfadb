#include "platform/win/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "platform/base/Root.h"

namespace winsvc {

struct MutexRecord {
    int fd;
    bool owned;
    std::string path;
};

static DWORD errnoError(int error) {
    return error == EACCES || error == EPERM ? ERROR_ACCESS_DENIED
                                             : ERROR_ERRNO_FLAG | static_cast<DWORD>(error);
}

MUTEX_HANDLE CreateMutex(void*, BOOL initialOwner, const char* name) {
    if (initialOwner || name == nullptr || name[0] == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string folder = base::rootFolder(base::RootFolders::RUN);
    if (folder.empty()) {
        SetLastError(errnoError(errno));
        return nullptr;
    }
    std::string file = name;
    for (char& c : file) {
        if (c == '\\' || c == '/') c = '_';
    }
    std::string path = folder + "/" + file + ".lock";
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetLastError(errnoError(errno));
        return nullptr;
    }
    return new MutexRecord{fd, false, path};
}

DWORD WaitForSingleObject(MUTEX_HANDLE mutex, DWORD milliseconds) {
    if (mutex == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    if (milliseconds == INFINITE) {
        int rc;
        do {
            rc = flock(mutex->fd, LOCK_EX);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            SetLastError(errnoError(errno));
            return WAIT_FAILED;
        }
        mutex->owned = true;
        return WAIT_OBJECT_0;
    }
    // flock has no time-out of its own: try again in short steps until the deadline.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (flock(mutex->fd, LOCK_EX | LOCK_NB) == 0) {
            mutex->owned = true;
            return WAIT_OBJECT_0;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            SetLastError(errnoError(errno));
            return WAIT_FAILED;
        }
        if (std::chrono::steady_clock::now() >= deadline) return WAIT_TIMEOUT;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

BOOL ReleaseMutex(MUTEX_HANDLE mutex) {
    if (mutex == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!mutex->owned || flock(mutex->fd, LOCK_UN) != 0) {
        // Releasing a mutex the caller does not own is refused, as the system does.
        SetLastError(mutex->owned ? errnoError(errno) : ERROR_NOT_OWNER);
        return 0;
    }
    mutex->owned = false;
    return 1;
}

BOOL CloseHandle(MUTEX_HANDLE mutex) {
    if (mutex == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    close(mutex->fd);
    delete mutex;
    return 1;
}

const char* mutexLockPath(MUTEX_HANDLE mutex) {
    return mutex != nullptr ? mutex->path.c_str() : "";
}

}  // namespace winsvc
