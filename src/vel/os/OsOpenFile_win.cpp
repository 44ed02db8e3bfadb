#include "vel/os/OsOpenFile_win.h"

#include "runtime/lum/Assert.h"

namespace {

OsOpenFileResult_win open(const Unicode& path, OsOpenFileResult_win::OpenType type, winfile::DWORD access,
                          winfile::DWORD share, winfile::DWORD disposition) {
    WinHandle_win wrapper;
    winfile::DWORD systemError = 0;
    winfile::HANDLE handle = winfile::CreateFileW(path.text(), access, share, nullptr, disposition,
                                                  winfile::FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != winfile::INVALID_HANDLE_VALUE) {
        wrapper.set(handle);
    } else {
        systemError = winfile::GetLastError();
    }
    if (!wrapper.exists()) return OsOpenFileResult_win(type, path, systemError);
    return OsOpenFileResult_win(type, path, wrapper);
}

}  // namespace

OsOpenFileResult_win osOpenFile(const Unicode& path) {
    return open(path, OsOpenFileResult_win::READ, winfile::GENERIC_READ, winfile::FILE_SHARE_READ,
                winfile::OPEN_EXISTING);
}

OsOpenFileResult_win osCreateFile(const Unicode& path) {
    return open(path, OsOpenFileResult_win::WRITE, winfile::GENERIC_WRITE, winfile::FILE_SHARE_WRITE,
                winfile::CREATE_ALWAYS);
}

OsFileInformationResult_win osGetFileInformation(const WinHandle_win& handle) {
    winfile::BY_HANDLE_FILE_INFORMATION information{};
    if (!winfile::GetFileInformationByHandle(handle.handle(), &information)) {
        return OsFileInformationResult_win(winfile::GetLastError());
    }
    return OsFileInformationResult_win(information);
}

OsReadFileResult_win osReadFile(const WinHandle_win& handle, std::uint8_t* buffer,
                                std::int32_t bufferLength) {
    if (!LUM_ASSERT(buffer && bufferLength > 0)) {
        return OsReadFileResult_win::failure(winfile::ERROR_INVALID_PARAMETER, "ReadFile");
    }
    winfile::DWORD read = 0;
    if (!winfile::ReadFile(handle.handle(), buffer, static_cast<winfile::DWORD>(bufferLength), &read,
                           nullptr)) {
        return OsReadFileResult_win::failure(winfile::GetLastError(), "ReadFile");
    }
    return OsReadFileResult_win::success(static_cast<std::int32_t>(read));
}

OsReadFileResult_win osWriteFile(const WinHandle_win& handle, const std::uint8_t* buffer,
                                 std::int32_t bufferLength) {
    if (!LUM_ASSERT(buffer && bufferLength >= 0)) {
        return OsReadFileResult_win::failure(winfile::ERROR_INVALID_PARAMETER, "WriteFile");
    }
    winfile::DWORD written = 0;
    if (!winfile::WriteFile(handle.handle(), buffer, static_cast<winfile::DWORD>(bufferLength), &written,
                            nullptr)) {
        return OsReadFileResult_win::failure(winfile::GetLastError(), "WriteFile");
    }
    return OsReadFileResult_win::success(static_cast<std::int32_t>(written));
}

OsReadFileResult_win osFlushFile(const WinHandle_win& handle) {
    if (!winfile::FlushFileBuffers(handle.handle())) {
        return OsReadFileResult_win::failure(winfile::GetLastError(), "FlushFileBuffers");
    }
    return OsReadFileResult_win::success(0);
}

OsCloseHandleResult_win osCloseHandle(WinHandle_win& handle) {
    if (!LUM_ASSERT_TEXT(handle.exists(), "m->m_exists == WinHandleImpl_win::EXISTS")) {
        return OsCloseHandleResult_win(handle.handle(), winfile::ERROR_INVALID_HANDLE);
    }
    winfile::HANDLE value = handle.handle();
    winfile::DWORD error = winfile::CloseHandle(value) ? 0 : winfile::GetLastError();
    // Closed or not, the handle is not ours to close again.
    handle.reset();
    return OsCloseHandleResult_win(value, error);
}
