#include "vel/exception/FileIOException.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/exception/ExceptionConstants.h"
#include "vel/string/Ascii.h"

void FileIOException::report() const {
    Ascii path = Ascii::fromWide(m_path);
    switch (m_fileIOExceptionType) {
        case CREATE:
            logInternalError(ExceptionConstants::INTERNAL_ERROR_FILE_CREATE);
            logError(0, "CAUGHT: Can't create \"%s\" [%s:%d]", path.text(), file(), line());
            break;
        case FLUSH:
            logInternalError(ExceptionConstants::INTERNAL_ERROR_FILE_FLUSH);
            logError(0, "CAUGHT: Can't flush \"%s\" [%s:%d]", path.text(), file(), line());
            break;
        case WRITE:
            logInternalError(ExceptionConstants::INTERNAL_ERROR_FILE_WRITE);
            logError(0, "CAUGHT: Can't write \"%s\" [%s:%d]", path.text(), file(), line());
            break;
        default:
            LUM_ASSERT_TEXT(false, "FileIOException.m_fileIOExceptionType");
            break;
    }
}

void FileIOException::raise(const char* file, int line, int kind, const Unicode& path) {
    throw FileIOException(file, line, kind, path);
}
