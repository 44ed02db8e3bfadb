#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/base/Utf16.h"
#include "platform/ndis/Kernel.h"

namespace {

std::string NativePath(const UNICODE_STRING* name) {
    std::u16string text(name->Buffer, name->Length / 2);
    if (text.rfind(u"\\??\\", 0) == 0) text = text.substr(4);
    return base::utf16ToUtf8(text);
}

thread_local CallerFileAccess::Opener t_callerOpener;

}  // namespace

CallerFileAccess::CallerFileAccess(Opener opener) : m_previous(std::move(t_callerOpener)) {
    t_callerOpener = std::move(opener);
}

CallerFileAccess::~CallerFileAccess() {
    t_callerOpener = std::move(m_previous);
}

NTSTATUS ZwCreateFile(void** handle, const UNICODE_STRING* name) {
    *handle = nullptr;
    if (!name || !name->Buffer || name->Length == 0) return STATUS_INVALID_PARAMETER;
    std::string path = NativePath(name);
    int fd = t_callerOpener ? t_callerOpener(path)
                            : ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0 && !t_callerOpener) fd = -errno;
    if (fd < 0) return fd == -EACCES || fd == -EPERM ? STATUS_ACCESS_DENIED : STATUS_UNSUCCESSFUL;
    *handle = reinterpret_cast<void*>(intptr_t(fd) + 1);
    return STATUS_SUCCESS;
}

NTSTATUS ZwWriteFile(void* handle, const void* data, ULONG length) {
    int fd = int(reinterpret_cast<intptr_t>(handle) - 1);
    auto* bytes = static_cast<const char*>(data);
    while (length > 0) {
        ssize_t n = ::write(fd, bytes, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return STATUS_UNSUCCESSFUL;
        bytes += n;
        length -= ULONG(n);
    }
    return STATUS_SUCCESS;
}

NTSTATUS ZwClose(void* handle) {
    if (!handle) return STATUS_INVALID_HANDLE;
    ::close(int(reinterpret_cast<intptr_t>(handle) - 1));
    return STATUS_SUCCESS;
}
