#include "WinFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <limits.h>
#include <pwd.h>
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

#include "WinHandle.h"

namespace winfile {
namespace {

thread_local DWORD t_lastError = 0;

std::array<std::atomic<DWORD>, static_cast<std::size_t>(Call::COUNT)> g_failures{};

bool injected(Call call) {
    DWORD error = g_failures[static_cast<std::size_t>(call)].load();
    if (error == 0) return false;
    t_lastError = error;
    return true;
}

bool fail(DWORD error) {
    t_lastError = error;
    return false;
}

bool failErrno() {
    return fail(errorFromErrno(errno));
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string toDisk(const char16_t* path) {
    std::string out;
    for (const char16_t* p = path; *p; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(out, c == u'\\' ? U'/' : c);
    }
    return out;
}

// Widens UTF-8 into a fixed Windows buffer; false when it does not fit.
bool toWide(const std::string& in, char16_t* out, std::size_t size) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < in.size();) {
        unsigned char b = static_cast<unsigned char>(in[i]);
        char32_t c;
        int extra;
        if (b < 0x80) {
            c = b, extra = 0;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F, extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F, extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07, extra = 3;
        } else {
            c = 0xFFFD, extra = 0;
        }
        ++i;
        for (int k = 0; k < extra; ++k, ++i) {
            if (i >= in.size() || (static_cast<unsigned char>(in[i]) & 0xC0) != 0x80) {
                c = 0xFFFD;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(in[i]) & 0x3F);
        }
        if (c >= 0x10000) {
            if (n + 2 >= size) return false;
            c -= 0x10000;
            out[n++] = static_cast<char16_t>(0xD800 + (c >> 10));
            out[n++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            if (n + 1 >= size) return false;
            out[n++] = static_cast<char16_t>(c);
        }
    }
    if (n >= size) return false;
    out[n] = 0;
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

std::string programDataRoot() {
    if (const char* home = std::getenv("TAMSEL_HOME"); home && *home) return home;
    if (::geteuid() == 0) return "/var/lib/tamsel";
    const char* userHome = std::getenv("HOME");
    std::string base;
    if (userHome && *userHome) {
        base = userHome;
    } else if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir) {
        base = pw->pw_dir;
    }
    return base + "/.local/state/tamsel";
}

bool makeFolders(const std::string& path) {
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (partial.empty()) continue;
        if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

DWORD GetLastError() {
    return t_lastError;
}
void SetLastError(DWORD error) {
    t_lastError = error;
}

DWORD errorFromErrno(int error) {
    switch (error) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case EBUSY:
        case ETXTBSY:
            return ERROR_SHARING_VIOLATION;
        default:
            return ERROR_ERRNO_FLAG | static_cast<DWORD>(error);
    }
}

HANDLE CreateFileW(const char16_t* path, DWORD access, DWORD, void*, DWORD creationDisposition, DWORD,
                   HANDLE) {
    if (!path) return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    if (injected(Call::CreateFile)) return INVALID_HANDLE_VALUE;
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
    int fd = ::open(disk.c_str(), flags, 0644);
    if (fd < 0) return failPath(disk), INVALID_HANDLE_VALUE;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
    }
    t_lastError = ERROR_SUCCESS;
    return handles::open(handles::Kind::File, fd);
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void*) {
    if (read) *read = 0;
    int fd = handles::fd(file, handles::Kind::File);
    if (fd < 0) return fail(ERROR_INVALID_HANDLE);
    if (injected(Call::ReadFile)) return false;
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
    if (injected(Call::WriteFile)) return false;
    DWORD total = 0;
    auto* in = static_cast<const char*>(buffer);
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
    if (injected(Call::FlushFileBuffers)) return false;
    return ::fsync(fd) == 0 ? true : failErrno();
}

BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* information) {
    int fd = handles::fd(file, handles::Kind::File);
    if (fd < 0 || !information) return fail(ERROR_INVALID_HANDLE);
    if (injected(Call::GetFileInformation)) return false;
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
    if (injected(Call::CloseHandle)) return false;
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

BOOL MoveFileW(const char16_t* existing, const char16_t* target) {
    return MoveFileExW(existing, target, 0);
}

BOOL MoveFileExW(const char16_t* existing, const char16_t* target, DWORD flags) {
    if (!existing || !target) return fail(ERROR_INVALID_PARAMETER);
    if (injected(Call::MoveFile)) return false;
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

BOOL CreateDirectoryW(const char16_t* path, void*) {
    if (!path) return fail(ERROR_INVALID_PARAMETER);
    if (injected(Call::CreateDirectory)) return false;
    std::string disk = toDisk(path);
    while (disk.size() > 1 && disk.back() == '/') disk.pop_back();
    if (::mkdir(disk.c_str(), 0755) == 0) return true;
    return errno == ENOENT ? fail(ERROR_PATH_NOT_FOUND) : failErrno();
}

HANDLE FindFirstFileW(const char16_t* pattern, WIN32_FIND_DATAW* data) {
    if (!pattern || !data) return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    if (injected(Call::FindFirstFile)) return INVALID_HANDLE_VALUE;
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
    if (injected(Call::SHGetFolderPath)) return E_FAIL;
    std::string result;
    switch (folder & 0xFF) {
        case CSIDL_COMMON_APPDATA:
            result = programDataRoot();
            if ((folder & CSIDL_FLAG_CREATE) && !makeFolders(result)) return E_FAIL;
            break;
        case CSIDL_PROGRAM_FILES:
            result = programDataRoot() + "/c/Program Files";
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
    char exe[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0 || !path || size == 0) return fail(ERROR_INVALID_PARAMETER), 0;
    exe[n] = 0;
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
    if (!text) return fail(317 /* ERROR_MR_MID_NOT_FOUND */), 0;
    std::size_t length = std::strlen(text);
    if (length + 1 > size) return fail(ERROR_INSUFFICIENT_BUFFER), 0;
    std::memcpy(buffer, text, length + 1);
    return static_cast<DWORD>(length);
}

void failCall(Call call, DWORD error) {
    g_failures[static_cast<std::size_t>(call)].store(error);
}

void clearFailures() {
    for (auto& failure : g_failures) failure.store(0);
}

}  // namespace winfile
