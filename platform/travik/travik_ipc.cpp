// Named pipes over Unix domain stream sockets. A connected end's receive blocks in the read itself,
// one system call per wake-up; a cancel shuts the socket down, which ends that read at once. Every
// other blocking call polls its descriptor together with the handle's cancel descriptor, an eventfd
// that stays readable once written. The cancelled flag, asked first, makes every later call end.
#include "platform/travik/travik_ipc.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "platform/base/Folders.h"
#include "platform/base/Root.h"

namespace {

enum class Kind { SERVER, ACCEPTED, CLIENT };

// The instances of one server: shared by the server handle and its accepted handles, which may
// outlive it.
struct Instances {
    std::mutex mutex;
    int alive = 0;
    int limit = 0;
    // Written when an accepted handle goes, so that an accept waiting for a free instance wakes.
    int freedFd = -1;
    ~Instances() {
        if (freedFd >= 0) close(freedFd);
    }
};

void closeIfOpen(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

bool setNonBlocking(int fd) {
    int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool fillAddress(const std::string& path, sockaddr_un* address) {
    std::memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof(address->sun_path)) return false;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

// A server serves below its own root; a client looks for the service's root.
std::string pipePath(const std::string& root, const char* name) {
    return root + "/" + base::RootFolders::RUN + "/" + name;
}

bool nameValid(const char* name) {
    return name != nullptr && name[0] != '\0' && std::strchr(name, '/') == nullptr;
}

int disconnectResult(int error) {
    switch (error) {
        case ECONNRESET:
        case EPIPE:
        case ENOTCONN:
        case ECONNABORTED:
        case ESHUTDOWN:
            return IPC_ERR_NO_CONNECTION;
        default:
            return IPC_ERR_SYSTEM;
    }
}

}  // namespace

struct IpcHandle {
    Kind kind;
    int fd = -1;
    int cancelFd = -1;
    std::atomic<bool> canceled{false};
    // Orders a cancel against a connect that publishes the socket, so that one of them shuts the
    // socket down.
    std::mutex cancelMutex;
    std::string path;
    // Server: the lock that tells a live server from a stale socket file.
    int lockFd = -1;
    std::shared_ptr<Instances> instances;

    explicit IpcHandle(Kind k) : kind(k) {}
    ~IpcHandle() {
        closeIfOpen(fd);
        closeIfOpen(cancelFd);
        closeIfOpen(lockFd);
    }
};

namespace {

IpcHandle* newHandle(Kind kind) {
    auto* h = new (std::nothrow) IpcHandle(kind);
    if (h == nullptr) return nullptr;
    h->cancelFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (h->cancelFd < 0) {
        delete h;
        return nullptr;
    }
    return h;
}

// Waits until fd shows one of events or the handle is cancelled. 0 ready, else a result code.
int waitFor(IpcHandle* h, int fd, short events) {
    for (;;) {
        if (h->canceled.load()) return IPC_ERR_CANCELED;
        pollfd fds[2] = {{fd, events, 0}, {h->cancelFd, POLLIN, 0}};
        int n = poll(fds, 2, -1);
        if (n < 0) {
            if (errno == EINTR) continue;
            return IPC_ERR_SYSTEM;
        }
        if (fds[1].revents != 0 || h->canceled.load()) return IPC_ERR_CANCELED;
        // Hang-up and error are ready as well: the next call on the socket tells which it is.
        if (fds[0].revents != 0) return IPC_OK;
    }
}

// Ends a read blocked on a connected socket; the peer sees the pipe closed, as it would at once
// anyway when the cancelled end is destroyed.
void shutDownConnected(IpcHandle* h) {
    if (h->kind != Kind::SERVER && h->fd >= 0) shutdown(h->fd, SHUT_RDWR);
}

// Connected sockets block: a receive waits in its read; every send passes MSG_DONTWAIT.
bool setBlocking(int fd) {
    int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

// Takes the name's lock, or tells that a live server holds it.
int lockName(IpcHandle* h) {
    std::string lockPath = h->path + ".lock";
    h->lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, IPC_PIPE_MODE);
    if (h->lockFd < 0) return IPC_ERR_SYSTEM;
    if (flock(h->lockFd, LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK ? IPC_ERR_IN_USE : IPC_ERR_SYSTEM;
    return IPC_OK;
}

// Binds under a private name, sets mode and group there, then moves the socket into place, so
// that it is never reachable with wider access.
int bindSocket(IpcHandle* h) {
    std::string temporary = h->path + "." + std::to_string(getpid()) + ".new";
    sockaddr_un address;
    if (!fillAddress(temporary, &address)) return IPC_ERR_ARGUMENT;
    unlink(temporary.c_str());
    if (bind(h->fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) return IPC_ERR_SYSTEM;
    int result = IPC_OK;
    if (chmod(temporary.c_str(), IPC_PIPE_MODE) != 0) result = IPC_ERR_SYSTEM;
    if (result == IPC_OK) {
        group entry;
        group* found = nullptr;
        char buffer[4096];
        // Without the group only the owner can talk to the service; that is safe, so a failure
        // to hand the socket to the group is not fatal.
        if (getgrnam_r(IPC_PIPE_GROUP, &entry, buffer, sizeof(buffer), &found) == 0 && found != nullptr) {
            if (chown(temporary.c_str(), static_cast<uid_t>(-1), found->gr_gid) != 0) {
                // keep the owner-only socket
            }
        }
        // The lock is held: any socket file at the final name was left by a dead server.
        if (rename(temporary.c_str(), h->path.c_str()) != 0) result = IPC_ERR_SYSTEM;
    }
    if (result != IPC_OK) unlink(temporary.c_str());
    return result;
}

}  // namespace

extern "C" {

int ipcPipePath(const char* name, char* buffer, int size) {
    if (!nameValid(name) || buffer == nullptr || size < 1) return IPC_ERR_ARGUMENT;
    std::string path = pipePath(base::programDataRoot(), name);
    if (path.size() + 1 > static_cast<size_t>(size)) return IPC_ERR_ARGUMENT;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return IPC_OK;
}

int ipcNamedPipeServer_create(IpcHandle** handle, const char* name, int instances) {
    if (handle == nullptr || *handle != nullptr || !nameValid(name) || instances < 1) return IPC_ERR_ARGUMENT;
    std::string root = base::programDataRoot();
    if (!base::makeFolders(root + "/" + base::RootFolders::RUN)) return IPC_ERR_SYSTEM;
    IpcHandle* h = newHandle(Kind::SERVER);
    if (h == nullptr) return IPC_ERR_SYSTEM;
    h->path = pipePath(root, name);
    sockaddr_un probe;
    int result = fillAddress(h->path, &probe) ? IPC_OK : IPC_ERR_ARGUMENT;
    if (result == IPC_OK) result = lockName(h);
    if (result == IPC_OK) {
        h->fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (h->fd < 0) result = IPC_ERR_SYSTEM;
    }
    if (result == IPC_OK) result = bindSocket(h);
    if (result == IPC_OK && listen(h->fd, SOMAXCONN) != 0) result = IPC_ERR_SYSTEM;
    if (result == IPC_OK) {
        h->instances = std::make_shared<Instances>();
        h->instances->limit = instances;
        h->instances->freedFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (h->instances->freedFd < 0) result = IPC_ERR_SYSTEM;
    }
    if (result != IPC_OK) {
        if (result != IPC_ERR_IN_USE && h->lockFd >= 0 && h->fd >= 0) unlink(h->path.c_str());
        delete h;
        return result;
    }
    *handle = h;
    return IPC_OK;
}

int ipcAccept(IpcHandle** handle, IpcHandle* server) {
    if (handle == nullptr || *handle != nullptr || server == nullptr || server->kind != Kind::SERVER)
        return IPC_ERR_ARGUMENT;
    Instances& instances = *server->instances;
    for (;;) {
        if (server->canceled.load()) return IPC_ERR_CANCELED;
        bool full;
        {
            std::lock_guard<std::mutex> lock(instances.mutex);
            full = instances.alive >= instances.limit;
        }
        if (full) {
            int waited = waitFor(server, instances.freedFd, POLLIN);
            if (waited != IPC_OK) return waited;
            uint64_t drained;
            if (read(instances.freedFd, &drained, sizeof(drained)) < 0) {
                // nothing to drain: another wake-up took it; the count is asked again anyway
            }
            continue;
        }
        int waited = waitFor(server, server->fd, POLLIN);
        if (waited != IPC_OK) return waited;
        int fd = accept4(server->fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EAGAIN || errno == EINTR || errno == ECONNABORTED) continue;
            return IPC_ERR_SYSTEM;
        }
        IpcHandle* h = newHandle(Kind::ACCEPTED);
        if (h == nullptr) {
            close(fd);
            return IPC_ERR_SYSTEM;
        }
        if (!setBlocking(fd)) {
            close(fd);
            delete h;
            return IPC_ERR_SYSTEM;
        }
        h->fd = fd;
        h->instances = server->instances;
        {
            std::lock_guard<std::mutex> lock(instances.mutex);
            ++instances.alive;
        }
        *handle = h;
        return IPC_OK;
    }
}

int ipcNamedPipeClient_create(IpcHandle** handle, const char* name) {
    if (handle == nullptr || *handle != nullptr || !nameValid(name)) return IPC_ERR_ARGUMENT;
    IpcHandle* h = newHandle(Kind::CLIENT);
    if (h == nullptr) return IPC_ERR_SYSTEM;
    h->path = pipePath(base::clientRoot(), name);
    sockaddr_un probe;
    if (!fillAddress(h->path, &probe)) {
        delete h;
        return IPC_ERR_ARGUMENT;
    }
    *handle = h;
    return IPC_OK;
}

int ipcConnect(IpcHandle* client) {
    if (client == nullptr || client->kind != Kind::CLIENT) return IPC_ERR_ARGUMENT;
    if (client->canceled.load()) return IPC_ERR_CANCELED;
    if (client->fd >= 0) return IPC_OK;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return IPC_ERR_SYSTEM;
    sockaddr_un address;
    fillAddress(client->path, &address);
    // Non-blocking so that a full backlog is "not there yet" instead of a wait that no cancel
    // could end; a Unix socket connect completes at once otherwise.
    setNonBlocking(fd);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        int error = errno;
        close(fd);
        switch (error) {
            case ENOENT:
            case ECONNREFUSED:
            case EAGAIN:
                return IPC_ERR_NOT_LISTENING;
            case EACCES:
            case EPERM:
                return IPC_ERR_NO_CONNECTION;
            default:
                return IPC_ERR_SYSTEM;
        }
    }
    if (!setBlocking(fd)) {
        close(fd);
        return IPC_ERR_SYSTEM;
    }
    std::lock_guard<std::mutex> lock(client->cancelMutex);
    if (client->canceled.load()) {
        close(fd);
        return IPC_ERR_CANCELED;
    }
    client->fd = fd;
    return IPC_OK;
}

int ipcRecv(IpcHandle* handle, void* buffer, int capacity, int* count) {
    if (handle == nullptr || handle->kind == Kind::SERVER || buffer == nullptr || capacity < 1 ||
        count == nullptr)
        return IPC_ERR_ARGUMENT;
    *count = 0;
    for (;;) {
        if (handle->canceled.load()) return IPC_ERR_CANCELED;
        if (handle->fd < 0) return IPC_ERR_NO_CONNECTION;
        ssize_t n = recv(handle->fd, buffer, static_cast<size_t>(capacity), 0);
        // A cancel's shutdown looks like the peer's close: the flag tells them apart.
        if (handle->canceled.load()) return IPC_ERR_CANCELED;
        if (n > 0) {
            *count = static_cast<int>(n);
            return IPC_OK;
        }
        if (n == 0) return IPC_ERR_PEER_CLOSED;
        if (errno == EINTR) continue;
        return disconnectResult(errno);
    }
}

int ipcSend(IpcHandle* handle, const void* bytes, int length) {
    if (handle == nullptr || handle->kind == Kind::SERVER || (bytes == nullptr && length > 0) || length < 0)
        return IPC_ERR_ARGUMENT;
    const char* p = static_cast<const char*>(bytes);
    size_t left = static_cast<size_t>(length);
    for (;;) {
        if (handle->canceled.load()) return IPC_ERR_CANCELED;
        if (handle->fd < 0) return IPC_ERR_NO_CONNECTION;
        if (left == 0) return IPC_OK;
        ssize_t n = send(handle->fd, p, left, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0) {
            p += n;
            left -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return disconnectResult(errno);
        int waited = waitFor(handle, handle->fd, POLLOUT);
        if (waited != IPC_OK) return waited;
    }
}

int ipcTrySend(IpcHandle* handle, const void* first, int firstLength, const void* second, int secondLength,
               int* sent) {
    if (sent != nullptr) *sent = 0;
    if (handle == nullptr || handle->kind == Kind::SERVER || sent == nullptr || firstLength < 0 ||
        secondLength < 0 || (first == nullptr && firstLength > 0) || (second == nullptr && secondLength > 0))
        return IPC_ERR_ARGUMENT;
    if (handle->canceled.load()) return IPC_ERR_CANCELED;
    if (handle->fd < 0) return IPC_ERR_NO_CONNECTION;
    // Both pieces in one call: a frame's header and payload leave together without a copy.
    iovec pieces[2] = {{const_cast<void*>(first), static_cast<size_t>(firstLength)},
                       {const_cast<void*>(second), static_cast<size_t>(secondLength)}};
    msghdr message = {};
    message.msg_iov = pieces;
    message.msg_iovlen = 2;
    for (;;) {
        ssize_t n = sendmsg(handle->fd, &message, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n >= 0) {
            *sent = static_cast<int>(n);
            return IPC_OK;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return IPC_OK;
        return disconnectResult(errno);
    }
}

int ipcCancel(IpcHandle* handle) {
    if (handle == nullptr) return IPC_ERR_ARGUMENT;
    {
        std::lock_guard<std::mutex> lock(handle->cancelMutex);
        handle->canceled.store(true);
        shutDownConnected(handle);
    }
    uint64_t one = 1;
    if (write(handle->cancelFd, &one, sizeof(one)) != static_cast<ssize_t>(sizeof(one)))
        return IPC_ERR_SYSTEM;
    return IPC_OK;
}

int ipcDestroy(IpcHandle** handle) {
    if (handle == nullptr) return IPC_ERR_ARGUMENT;
    IpcHandle* h = *handle;
    if (h == nullptr) return IPC_OK;
    *handle = nullptr;
    if (h->kind == Kind::SERVER) {
        // Still under the lock: the file at the name is ours.
        unlink(h->path.c_str());
    }
    if (h->kind == Kind::ACCEPTED) {
        closeIfOpen(h->fd);
        std::lock_guard<std::mutex> lock(h->instances->mutex);
        --h->instances->alive;
        uint64_t one = 1;
        if (write(h->instances->freedFd, &one, sizeof(one)) < 0) {
            // the counter only wakes a waiting accept; it reads the count itself
        }
    }
    delete h;
    return IPC_OK;
}

}  // extern "C"
