#pragma once
#include <cstdio>
#include <string>

namespace base {

// The whole file into `contents`: 0, or the errno (ENOENT when there is none).
int readFile(const std::string& path, std::string& contents);

// The file opened for appending as fopen(path, "a") does, made with the mode when missing; an
// existing file of ours loses any permission the mode does not give, so that a file made by an
// older, laxer version is closed too. Null (errno set) when it cannot be opened.
std::FILE* openForAppend(const std::string& path, unsigned mode);

// An exclusive advisory lock on a lock file, made when missing, held while the object lives; the
// system drops it when the holder dies. Waits for another holder.
class FileLock {
public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // 0 once held, else the errno of the failed open or lock.
    int error() const { return m_error; }

private:
    int m_fd = -1;
    int m_error = 0;
};

}  // namespace base
