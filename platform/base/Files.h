#pragma once
#include <string>

namespace base {

// The whole file into `contents`: 0, or the errno (ENOENT when there is none).
int readFile(const std::string& path, std::string& contents);

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
