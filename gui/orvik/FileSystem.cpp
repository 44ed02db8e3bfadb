#include "orvik/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "orvik/Conversions.h"
#include "orvik/Exception.h"
#include "orvik/PathName.h"
#include "orvik/Paths.h"
#include "orvik/Wildcard.h"

namespace orvik {

namespace {

constexpr std::size_t MAX_PATH_CHARS = 260;

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The name the system is given: backslashes are separators to this library.
std::string systemName(const std::string& path) {
    std::string name(path);
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// Parsing first fills in what parsing fills in and folds separators, as every query does.
bool status(const std::string& path, struct stat& info) {
    return ::stat(systemName(PathName(path).text()).c_str(), &info) == 0;
}

struct stat statusOrRaise(const std::string& path) {
    struct stat info {};
    if (::stat(systemName(path).c_str(), &info) != 0) {
        throw Exception("Filename or path could not be found: " + quoted(path));
    }
    return info;
}

std::string orDot(const std::string& text) {
    return text.empty() ? std::string(".") : text;
}

// The system's own search: "*.*" stands for every name, as the platforms with drive letters have it.
bool searchFinds(const std::string& pattern, const std::string& name) {
    return pattern == "*.*" || matchesWildcard(pattern, name);
}

bool isFolderEntry(const std::string& path) {
    struct stat info {};
    // Not following links keeps a tree operation inside the tree it was given.
    return ::lstat(systemName(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool copyContent(int source, int target) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(source, buffer, sizeof buffer);
        if (got == 0) {
            return true;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        ssize_t done = 0;
        while (done < got) {
            const ssize_t put = ::write(target, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            done += put;
        }
    }
}

}  // namespace

bool exists(const std::string& path) {
    struct stat info {};
    return status(path, info);
}

bool isFile(const std::string& path) {
    struct stat info {};
    return status(path, info) && S_ISREG(info.st_mode);
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return status(path, info) && S_ISDIR(info.st_mode);
}

bool isReadableFile(const std::string& path) {
    return isFile(path) && accessible(path, 4);
}

bool isReadableDirectory(const std::string& path) {
    const std::string folder = orDot(path);
    return isDirectory(folder) && accessible(folder, 4);
}

bool isWritableDirectory(const std::string& path) {
    const std::string folder = orDot(path);
    return isDirectory(folder) && accessible(folder, 2);
}

bool isWritableLocation(const std::string& path) {
    if (isFile(path)) {
        return accessible(path, 2);
    }
    return isWritableDirectory(orDot(directoryOf(path)));
}

bool accessible(const std::string& path, int mode) {
    if (::access(systemName(path).c_str(), mode) == 0) {
        return true;
    }
    if (errno == EACCES) {
        return false;
    }
    if (errno == ENOENT) {
        throw Exception("The path " + quoted(path) + " is invalid.");
    }
    throw Exception("Invalid error code.");
}

bool changeMode(const std::string& path, int mode) {
    if (::chmod(systemName(path).c_str(), static_cast<mode_t>(mode)) == 0) {
        return true;
    }
    if (errno == ENOENT) {
        throw Exception("The path " + quoted(path) + " is invalid.");
    }
    if (errno == EACCES || errno == EPERM) {
        throw Exception(quoted(path) + " permission denied.");
    }
    throw Exception("Invalid error code.");
}

std::uint64_t fileSize(const std::string& path) {
    return static_cast<std::uint64_t>(statusOrRaise(path).st_size);
}

std::int64_t creationTime(const std::string& path) {
    struct statx info {};
    if (::statx(AT_FDCWD, systemName(path).c_str(), 0, STATX_BTIME | STATX_CTIME, &info) != 0) {
        throw Exception("Filename or path could not be found: " + quoted(path));
    }
    // Not every file system records a birth time; the last status change is the nearest there is.
    return (info.stx_mask & STATX_BTIME) != 0 ? info.stx_btime.tv_sec : info.stx_ctime.tv_sec;
}

std::int64_t modificationTime(const std::string& path) {
    return statusOrRaise(path).st_mtime;
}

std::int64_t accessTime(const std::string& path) {
    return statusOrRaise(path).st_atime;
}

void createFile(const std::string& path) {
    if (exists(path)) {
        throw Exception(" File " + quoted(path) + " already exists!");
    }
    std::FILE* file = openFile(path, "w");
    if (file == nullptr) {
        throw Exception(" Cannot create file " + quoted(path) + "!");
    }
    std::fclose(file);
}

std::FILE* openFile(const std::string& path, const std::string& mode) {
    return std::fopen(systemName(path).c_str(), mode.c_str());
}

bool renameFile(const std::string& from, const std::string& to) {
    const std::string deniedText = "File or directory specified by " + quoted(to) +
                                   " already exists or could not be created (invalid path);" + "or " +
                                   quoted(from) + " is a directory and " + quoted(to) +
                                   " specifies a different path.";
    const bool sourceThere = exists(from);
    // The system here would replace an existing target; renaming never overwrites.
    if (sourceThere && exists(to)) {
        throw Exception(deniedText);
    }
    if (::rename(systemName(from).c_str(), systemName(to).c_str()) == 0) {
        return true;
    }
    switch (errno) {
        case ENOENT:
            if (!sourceThere) {
                throw Exception("File or path specified by " + quoted(from) + " not found.");
            }
            throw Exception(deniedText);
        case EACCES:
        case EPERM:
        case EEXIST:
        case ENOTEMPTY:
        case EISDIR:
        case ENOTDIR:
            throw Exception(deniedText);
        case EINVAL:
        case ENAMETOOLONG:
            throw Exception("Name contains invalid characters.");
        default:
            return false;
    }
}

bool moveFile(const std::string& from, const std::string& to) {
    if (isFile(to)) {
        throw Exception(" File " + quoted(to) + " already exists!");
    }
    if (absoluteFolder(directoryOf(from)) == absoluteFolder(directoryOf(to))) {
        return renameFile(from, to);
    }
    copyFile(from, to);
    deleteFile(from);
    return true;
}

void copyFile(const std::string& from, const std::string& to) {
    const auto fail = [&]() {
        return Exception("Couldn't copy file " + quoted(from) + " to file " + quoted(to) + ": " +
                         lastErrorText());
    };
    Descriptor source(::open(systemName(from).c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (source.get() < 0 || ::fstat(source.get(), &info) != 0) {
        throw fail();
    }
    if (!S_ISREG(info.st_mode)) {
        errno = EISDIR;
        throw fail();
    }
    const std::string target = systemName(to);
    bool copied = false;
    {
        Descriptor out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 0777));
        if (out.get() < 0) {
            throw fail();
        }
        copied = copyContent(source.get(), out.get());
    }
    if (!copied) {
        const int error = errno;
        ::unlink(target.c_str());
        errno = error;
        throw fail();
    }
}

void deleteFile(const std::string& path) {
    if (::unlink(systemName(path).c_str()) != 0) {
        throw Exception("Error deleting " + quoted(path) + ": " + lastErrorText());
    }
}

bool makeDirectory(const std::string& path) {
    if (::mkdir(systemName(path).c_str(), 0777) == 0) {
        return true;
    }
    if (errno == ENOENT) {
        throw Exception("The path " + quoted(path) + " was not found.");
    }
    if (errno == EEXIST) {
        throw Exception("Directory was not created because " + quoted(path) +
                        " is the name of an existing file, directory, or device.");
    }
    return false;
}

void makeDirectories(const std::string& path) {
    const PathName folder(absoluteFolder(path));
    std::string current = folder.root + "\\";
    if (!isDirectory(current)) {
        throw Exception(" Path " + quoted(path) + " invalid!");
    }
    for (const auto& component : folder.components) {
        current = joinPath(current, component);
        if (!isDirectory(current)) {
            makeDirectory(current);
        }
    }
}

bool removeDirectory(const std::string& path) {
    if (::rmdir(systemName(path).c_str()) == 0) {
        return true;
    }
    switch (errno) {
        case ENOENT:
            throw Exception("The path " + quoted(path) + " is invalid.");
        case EACCES:
            throw Exception("A program has an open handle to the directory.");
        case ENOTEMPTY:
        case EEXIST:
        case ENOTDIR:
        case EBUSY:
            throw Exception("The path " + quoted(path) +
                            " is not a directory; directory is not empty; or directory is either current "
                            "working directory or root directory.");
        default:
            return false;
    }
}

bool removeDirectoryTree(const std::string& path) {
    if (!isDirectory(path)) {
        throw Exception("Folder " + quoted(path) + " doesn't exist!");
    }
    for (const auto& name : listFiles(path)) {
        deleteFile(joinPath(path, name));
    }
    for (const auto& name : listFolders(path)) {
        removeDirectoryTree(joinPath(path, name));
    }
    return removeDirectory(path);
}

void copyDirectoryTree(const std::string& from, const std::string& to, bool recursive) {
    if (!isDirectory(from)) {
        throw Exception(" " + quoted(from) + " doesn't exist!");
    }
    if (!isDirectory(to)) {
        throw Exception(" " + quoted(to) + " doesn't exist!");
    }
    if (!isWritableDirectory(to)) {
        throw Exception(" Could not write to " + quoted(to) + "!");
    }
    for (const auto& name : listEntries(from)) {
        const std::string source = joinPath(from, name);
        const std::string target = joinPath(to, name);
        if (isFolderEntry(source)) {
            if (!isDirectory(target)) {
                makeDirectory(target);
            }
            if (recursive) {
                copyDirectoryTree(source, target, true);
            }
        } else {
            if (exists(target)) {
                deleteFile(target);
            }
            copyFile(source, target);
        }
    }
}

bool isDirectoryEmpty(const std::string& path) {
    return listDirectory(path, "*.*", true, true).empty();
}

std::vector<std::string> listDirectory(const std::string& path, const std::string& pattern, bool folders,
                                       bool files) {
    const std::string folder = orDot(path);
    const std::string search = joinPath(folder, pattern);
    if (pattern.empty() || pattern.find_first_of("\\/") != std::string::npos) {
        throw Exception("Invalid filename specification: " + quoted(search));
    }
    std::unique_ptr<DIR, DirCloser> dir(::opendir(systemName(folder).c_str()));
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return {};
        }
        throw Exception("Invalid filename specification: " + quoted(search));
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !searchFinds(pattern, name)) {
            continue;
        }
        if (isFolderEntry(joinPath(folder, name))) {
            if (folders) {
                names.push_back(name);
            }
        } else if (files && matchesWildcard(pattern, name)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> listFolders(const std::string& path) {
    return listDirectory(path, "*", true, false);
}

std::vector<std::string> listFiles(const std::string& path) {
    return listDirectory(path, "*", false, true);
}

std::vector<std::string> listEntries(const std::string& path) {
    return listDirectory(path, "*", true, true);
}

std::string currentDirectory() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr) {
        return std::string();
    }
    return buffer;
}

void setCurrentDirectory(const std::string& path) {
    if (toWide(withTrailingSeparator(path)).size() >= MAX_PATH_CHARS) {
        throw Exception("The path length should not exceed 260 chars including the final \"\\\": " +
                        quoted(path));
    }
    if (::chdir(systemName(path).c_str()) != 0) {
        throw Exception(" -- SetCurrentDirectory error " + toString(errno));
    }
}

std::string homeDirectory() {
    if (const char* home = std::getenv("HOME")) {
        return home;
    }
    const char* drive = std::getenv("HOMEDRIVE");
    const char* folder = std::getenv("HOMEPATH");
    if (drive != nullptr || folder != nullptr) {
        return std::string(drive != nullptr ? drive : "") + (folder != nullptr ? folder : "");
    }
    return "C:\\";
}

std::string findInList(const std::string& name, const std::string& list) {
    if (!directoryOf(name).empty()) {
        throw Exception("File name " + quoted(name) + " is invalid!");
    }
    std::vector<std::string> folders;
    tokenize(list, ";", folders, false);
    for (const auto& folder : folders) {
        const std::string candidate = joinPath(folder, name);
        if (isFile(candidate)) {
            return candidate;
        }
    }
    return std::string();
}

std::string findInPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    // PATH separates its folders with ":" here; the list form of this library uses ";".
    std::string folders = path != nullptr ? path : "";
    std::replace(folders.begin(), folders.end(), ':', ';');
    return findInList(name, ".;" + folders);
}

std::string programDirectory(const std::string& path) {
    const std::string folder = directoryOf(path);
    return folder.empty() ? directoryOf(findInPath(path)) : folder;
}

std::string lastErrorText(int code) {
    char buffer[256];
    std::string text = ::strerror_r(code, buffer, sizeof buffer);
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

std::string lastErrorText() {
    return lastErrorText(errno);
}

}  // namespace orvik
