#include "platform/win/WinFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <limits.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

#include "platform/base/FailureInjection.h"
#include "platform/base/Folders.h"
#include "platform/base/Root.h"
#include "platform/base/Utf16.h"
#include "platform/win/WinHandle.h"

namespace winfile {
namespace {

// The call fails on demand, with the armed code as its last error.
bool injected(const char* call) {
    DWORD error = 0;
    if (!base::injectedFailure(call, error)) return false;
    SetLastError(error);
    return true;
}

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

bool failErrno() {
    return fail(errorFromErrno(errno));
}

std::string toDisk(const char16_t* path) {
    std::u16string_view text(path);
    std::string out = base::utf16ToUtf8(text);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

// Widens UTF-8 into a fixed Windows buffer; false when it does not fit.
bool toWide(const std::string& in, char16_t* out, std::size_t size) {
    std::u16string wide = base::utf8ToUtf16(in);
    if (wide.size() >= size) return false;
    std::copy(wide.begin(), wide.end(), out);
    out[wide.size()] = 0;
    return true;
}

bool parentExists(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos) return true;
    std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    struct stat st;
    return ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// ENOENT means "path not found" when a folder on the way is missing, as Windows tells them apart.
DWORD notFound(const std::string& path) {
    return parentExists(path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

bool failPath(const std::string& path) {
    return fail(errno == ENOENT ? notFound(path) : errorFromErrno(errno));
}

// TAMSEL_TEST_KILL_IN_WRITE=<file>:<point> ends the process as kill -9 would at one point of a save
// of the file of that name: "half" once half its temporary file is written, "before" just before
// the temporary is renamed over it, "after" just after. Only tests of interrupted saves set it.
struct KillPoint {
    std::string file;
    std::string point;
};

const KillPoint& killPoint() {
    static const KillPoint point = [] {
        KillPoint parsed;
        const char* value = std::getenv("TAMSEL_TEST_KILL_IN_WRITE");
        std::string text = value ? value : "";
        std::string::size_type colon = text.rfind(':');
        if (colon == std::string::npos) return parsed;
        parsed.file = text.substr(0, colon);
        parsed.point = text.substr(colon + 1);
        return parsed;
    }();
    return point;
}

std::string lastPart(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The save of that file is at that point: the file itself, or one of its temporaries
// ("<file>.<pid>.<n>.tmp").
bool killsAt(const std::string& path, const char* point, bool temporary) {
    const KillPoint& kill = killPoint();
    if (kill.file.empty() || kill.point != point) return false;
    std::string name = lastPart(path);
    if (!temporary) return name == kill.file;
    const std::string suffix = ".tmp";
    return name.rfind(kill.file + ".", 0) == 0 && name.size() > suffix.size() &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

[[noreturn]] void killSelf() {
    ::kill(::getpid(), SIGKILL);
    ::_exit(128 + SIGKILL);
}

// The path an open file descriptor names, for the kill point of a temporary being written.
std::string pathOf(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[PATH_MAX];
    ssize_t length = ::readlink(link, target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

struct FindState {
    DIR* dir = nullptr;
    std::string pattern;
};

bool nextMatch(FindState* state, WIN32_FIND_DATAW* data) {
    while (dirent* entry = ::readdir(state->dir)) {
        if (::fnmatch(state->pattern.c_str(), entry->d_name, 0) != 0) continue;
        data->dwFileAttributes = entry->d_type == DT_DIR ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        if (!toWide(entry->d_name, data->cFileName, MAX_PATH)) continue;
        return true;
    }
    return fail(ERROR_NO_MORE_FILES);
}

}  // namespace

// DeviceIo.cpp: a "\\.\" name.
HANDLE openDevice(const char16_t* path);

HANDLE CreateFileW(const char16_t* path, DWORD access, DWORD, void*, DWORD creationDisposition, DWORD,
                   HANDLE) {
    if (!path) return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    if (injected("CreateFileW")) return INVALID_HANDLE_VALUE;
    if (std::u16string_view(path).rfind(u"\\\\.\\", 0) == 0) return openDevice(path);
    std::string disk = toDisk(path);
    int flags = O_CLOEXEC;
    if ((access & GENERIC_READ) && (access & GENERIC_WRITE)) {
        flags |= O_RDWR;
    } else if (access & GENERIC_WRITE) {
        flags |= O_WRONLY;
    } else {
        flags |= O_RDONLY;
    }
    switch (creationDisposition) {
        case CREATE_NEW:
            flags |= O_CREAT | O_EXCL;
            break;
        case CREATE_ALWAYS:
            flags |= O_CREAT | O_TRUNC;
            break;
        case OPEN_EXISTING:
            break;
        default:
            return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    }
    // What the service writes below its root holds configuration and saved secrets: a file made
    // here is its owner's alone, as the program-data folder's own rights keep it on Windows.
    int fd = ::open(disk.c_str(), flags, 0600);
    if (fd < 0) return failPath(disk), INVALID_HANDLE_VALUE;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    return handles::open(handles::Kind::File, fd);
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void*) {
    if (read) *read = 0;
    int fd = handles::fd(file, handles::Kind::File);
    if (fd < 0) return fail(ERROR_INVALID_HANDLE);
    if (injected("ReadFile")) return false;
    DWORD total = 0;
    auto* out = static_cast<char*>(buffer);
    while (total < toRead) {
        ssize_t n = ::read(fd, out + total, toRead - total);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failErrno();
        if (n == 0) break;
        total += static_cast<DWORD>(n);
    }
    if (read) *read = total;
    return true;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void*) {
    if (written) *written = 0;
    int fd = handles::fd(file, handles::Kind::File);
    if (fd < 0) return fail(ERROR_INVALID_HANDLE);
    if (injected("WriteFile")) return false;
    DWORD total = 0;
    auto* in = static_cast<const char*>(buffer);
    if (!killPoint().file.empty() && killsAt(pathOf(fd), "half", true)) {
        // Half on disk, as a save cut short by the system leaves it.
        if (::write(fd, in, toWrite / 2) >= 0) ::fsync(fd);
        killSelf();
    }
    while (total < toWrite) {
        ssize_t n = ::write(fd, in + total, toWrite - total);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (written) *written = total;
            return failErrno();
        }
        total += static_cast<DWORD>(n);
    }
    if (written) *written = total;
    return true;
}

BOOL FlushFileBuffers(HANDLE file) {
    int fd = handles::fd(file, handles::Kind::File);
    if (fd < 0) return fail(ERROR_INVALID_HANDLE);
    if (injected("FlushFileBuffers")) return false;
    return ::fsync(fd) == 0 ? true : failErrno();
}

BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* information) {
    int fd = handles::fd(file, handles::Kind::File);
    if (fd < 0 || !information) return fail(ERROR_INVALID_HANDLE);
    if (injected("GetFileInformationByHandle")) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0) return failErrno();
    auto size = static_cast<std::uint64_t>(st.st_size);
    information->dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    information->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    information->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    information->nNumberOfLinks = static_cast<DWORD>(st.st_nlink);
    return true;
}

BOOL CloseHandle(HANDLE handle) {
    if (injected("CloseHandle")) return false;
    return handles::close(handle) ? true : fail(ERROR_INVALID_HANDLE);
}

DWORD GetFileAttributesW(const char16_t* path) {
    if (!path) return fail(ERROR_INVALID_PARAMETER), INVALID_FILE_ATTRIBUTES;
    std::string disk = toDisk(path);
    struct stat st;
    if (::stat(disk.c_str(), &st) != 0) return failPath(disk), INVALID_FILE_ATTRIBUTES;
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0;
    if (!(st.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL SetFileAttributesW(const char16_t* path, DWORD attributes) {
    if (!path) return fail(ERROR_INVALID_PARAMETER);
    std::string disk = toDisk(path);
    struct stat st;
    if (::stat(disk.c_str(), &st) != 0) return failPath(disk);
    mode_t mode = st.st_mode & 07777;
    mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~0222) : (mode | S_IWUSR);
    return ::chmod(disk.c_str(), mode) == 0 ? true : failErrno();
}

BOOL DeleteFileW(const char16_t* path) {
    if (!path) return fail(ERROR_INVALID_PARAMETER);
    std::string disk = toDisk(path);
    return ::unlink(disk.c_str()) == 0 ? true : failPath(disk);
}

namespace {

BOOL move(const char16_t* existing, const char16_t* target, DWORD flags) {
    std::string from = toDisk(existing);
    std::string to = toDisk(target);
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0) return failPath(from);
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
        // link() refuses an existing target atomically, where a test-then-rename would race.
        if (!S_ISDIR(st.st_mode)) {
            if (::link(from.c_str(), to.c_str()) != 0)
                return errno == ENOENT ? fail(ERROR_PATH_NOT_FOUND) : failErrno();
            return ::unlink(from.c_str()) == 0 ? true : failErrno();
        }
        if (::lstat(to.c_str(), &st) == 0) return fail(ERROR_ALREADY_EXISTS);
    }
    if (::rename(from.c_str(), to.c_str()) != 0) return errno == ENOENT ? failPath(to) : failErrno();
    return true;
}

}  // namespace

BOOL MoveFileW(const char16_t* existing, const char16_t* target) {
    if (!existing || !target) return fail(ERROR_INVALID_PARAMETER);
    if (injected("MoveFileW")) return false;
    return move(existing, target, 0);
}

BOOL MoveFileExW(const char16_t* existing, const char16_t* target, DWORD flags) {
    if (!existing || !target) return fail(ERROR_INVALID_PARAMETER);
    if (injected("MoveFileExW")) return false;
    if (killPoint().file.empty()) return move(existing, target, flags);
    std::string to = toDisk(target);
    if (killsAt(to, "before", false)) killSelf();
    BOOL moved = move(existing, target, flags);
    if (moved && killsAt(to, "after", false)) killSelf();
    return moved;
}

BOOL CreateDirectoryW(const char16_t* path, void*) {
    if (!path) return fail(ERROR_INVALID_PARAMETER);
    if (injected("CreateDirectoryW")) return false;
    std::string disk = toDisk(path);
    while (disk.size() > 1 && disk.back() == '/') disk.pop_back();
    if (::mkdir(disk.c_str(), 0755) == 0) return true;
    return errno == ENOENT ? fail(ERROR_PATH_NOT_FOUND) : failErrno();
}

HANDLE FindFirstFileW(const char16_t* pattern, WIN32_FIND_DATAW* data) {
    if (!pattern || !data) return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    if (injected("FindFirstFileW")) return INVALID_HANDLE_VALUE;
    std::string disk = toDisk(pattern);
    std::string::size_type slash = disk.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : disk.substr(0, slash));
    auto* state = new FindState;
    state->pattern = slash == std::string::npos ? disk : disk.substr(slash + 1);
    if (state->pattern == "*.*") state->pattern = "*";
    state->dir = ::opendir(folder.c_str());
    if (!state->dir) {
        DWORD error = errno == ENOENT ? ERROR_PATH_NOT_FOUND : errorFromErrno(errno);
        delete state;
        return fail(error), INVALID_HANDLE_VALUE;
    }
    if (!nextMatch(state, data)) {
        ::closedir(state->dir);
        delete state;
        return fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
    }
    return handles::open(handles::Kind::Find, -1, state);
}

BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data) {
    auto* state = static_cast<FindState*>(handles::object(find, handles::Kind::Find));
    if (!state || !data) return fail(ERROR_INVALID_HANDLE);
    return nextMatch(state, data);
}

BOOL FindClose(HANDLE find) {
    auto* state = static_cast<FindState*>(handles::object(find, handles::Kind::Find));
    if (!state) return fail(ERROR_INVALID_HANDLE);
    ::closedir(state->dir);
    delete state;
    handles::close(find);
    return true;
}

long SHGetFolderPathW(void*, int folder, HANDLE, DWORD, char16_t* path) {
    if (!path) return E_FAIL;
    path[0] = 0;
    if (injected("SHGetFolderPathW")) return E_FAIL;
    std::string result;
    switch (folder & 0xFF) {
        case CSIDL_COMMON_APPDATA:
            result = base::programDataRoot();
            if ((folder & CSIDL_FLAG_CREATE) && !base::makeFolders(result)) return E_FAIL;
            break;
        case CSIDL_PROGRAM_FILES:
            result = base::programDataRoot() + "/c/Program Files";
            break;
        default:
            return E_FAIL;
    }
    if (result.empty() || !toWide(result, path, MAX_PATH)) return E_FAIL;
    return S_OK;
}

BOOL SHGetSpecialFolderPathW(void* window, char16_t* path, int folder, BOOL create) {
    return SHGetFolderPathW(window, folder | (create ? CSIDL_FLAG_CREATE : 0), nullptr, 0, path) == S_OK;
}

DWORD GetModuleFileNameW(void*, char16_t* path, DWORD size) {
    std::string exe = base::executablePath();
    if (exe.empty() || !path || size == 0) return fail(ERROR_INVALID_PARAMETER), 0;
    if (!toWide(exe, path, size)) return fail(ERROR_INSUFFICIENT_BUFFER), 0;
    DWORD length = 0;
    while (path[length]) ++length;
    return length;
}

DWORD FormatMessageA(DWORD flags, const void*, DWORD messageId, DWORD, char* buffer, DWORD size, void*) {
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !buffer || size == 0)
        return fail(ERROR_INVALID_PARAMETER), 0;
    const char* text = nullptr;
    switch (messageId) {
        case ERROR_SUCCESS:
            text = "The operation completed successfully.\r\n";
            break;
        case ERROR_FILE_NOT_FOUND:
            text = "The system cannot find the file specified.\r\n";
            break;
        case ERROR_PATH_NOT_FOUND:
            text = "The system cannot find the path specified.\r\n";
            break;
        case ERROR_ACCESS_DENIED:
            text = "Access is denied.\r\n";
            break;
        case ERROR_INVALID_HANDLE:
            text = "The handle is invalid.\r\n";
            break;
        case ERROR_NO_MORE_FILES:
            text = "There are no more files.\r\n";
            break;
        case ERROR_INVALID_PARAMETER:
            text = "The parameter is incorrect.\r\n";
            break;
        case ERROR_DISK_FULL:
            text = "There is not enough space on the disk.\r\n";
            break;
        case ERROR_ALREADY_EXISTS:
            text = "Cannot create a file when that file already exists.\r\n";
            break;
        default:
            if ((messageId & ERROR_ERRNO_FLAG) && (messageId & ~ERROR_ERRNO_FLAG) < 4096) {
                text = std::strerror(static_cast<int>(messageId & ~ERROR_ERRNO_FLAG));
            }
            break;
    }
    if (!text) return fail(ERROR_MR_MID_NOT_FOUND), 0;
    std::size_t length = std::strlen(text);
    if (length + 1 > size) return fail(ERROR_INSUFFICIENT_BUFFER), 0;
    std::memcpy(buffer, text, length + 1);
    return static_cast<DWORD>(length);
}

}  // namespace winfile
