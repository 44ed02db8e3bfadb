#include "vel/os/OsResult_win.h"

#include "runtime/lum/Assert.h"
#include "vel/os/SystemErrorText.h"
#include "vel/string/FormatBuffer.h"

bool OsResult_win::usable() const {
    return LUM_ASSERT(m_usuable);
}

std::int32_t OsReadFileResult_win::bytes() const {
    return usable() ? m_bytes : 0;
}

Ascii OsReadFileResult_win::description() const {
    FormatBuffer100 text("FAILED to %s; ", m_function);
    return text.ascii() + systemErrorText(m_systemError);
}

const winfile::BY_HANDLE_FILE_INFORMATION& OsFileInformationResult_win::information() const {
    usable();
    return m_information;
}

Ascii OsFileInformationResult_win::description() const {
    return Ascii("FAILED to GetFileInformationByHandle; ") + systemErrorText(m_systemError);
}

OsOpenFileResult_win::OsOpenFileResult_win(OpenType type, const Unicode& path, const WinHandle_win& handle)
    : OsResult_win(SUCCEEDED, 0), m_openType(type), m_openError(OTHER), m_path(path), m_handle(handle) {
    LUM_ASSERT(m_handle.exists());
}

OsOpenFileResult_win::OsOpenFileResult_win(OpenType type, const Unicode& path, std::uint32_t error)
    : OsResult_win(FAILED, error),
      m_openType(type),
      m_openError(error == winfile::ERROR_ACCESS_DENIED ? ACCESS_DENIED
                  : error == winfile::ERROR_FILE_NOT_FOUND || error == winfile::ERROR_PATH_NOT_FOUND
                      ? NOT_FOUND
                      : OTHER),
      m_path(path) {}

OsOpenFileResult_win::OpenError OsOpenFileResult_win::openError() const {
    usable();
    return m_openError;
}

WinHandle_win OsOpenFileResult_win::handle() const {
    usable();
    return m_handle;
}

Ascii OsOpenFileResult_win::description() const {
    Ascii path = Ascii::fromWide(m_path);
    Ascii head = m_openType == READ ? Ascii("Can't open file '") + path + Ascii("' for reading; ")
                                    : Ascii("Can't create file '") + path + Ascii("' for writing; ");
    return head + systemErrorText(m_systemError);
}

Ascii OsCloseHandleResult_win::description() const {
    FormatBuffer100 text("FAILED to CloseHandle H%p; ", m_handle);
    return text.ascii() + systemErrorText(m_systemError);
}
