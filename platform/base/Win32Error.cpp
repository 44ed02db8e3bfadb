#include "platform/base/Win32Error.h"

#include <cerrno>

namespace base::win32 {
namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
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

DWORD accessDeniedOr(int error, DWORD otherwise) {
    return error == EACCES || error == EPERM || error == EROFS ? ERROR_ACCESS_DENIED : otherwise;
}

}  // namespace base::win32
