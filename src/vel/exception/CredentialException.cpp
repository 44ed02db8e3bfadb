#include "vel/exception/CredentialException.h"

#include "runtime/lum/Log.h"
#include "vel/exception/ExceptionConstants.h"

namespace {

// The text after the last separator, or the whole text when there is none or nothing follows it.
// Paths here are written with '/' as well as '\\'.
const char* baseName(const char* file) {
    if (!file) return "?";
    const char* slash = nullptr;
    for (const char* p = file; *p; ++p) {
        if (*p == '\\' || *p == '/') slash = p;
    }
    return slash && slash[1] ? slash + 1 : file;
}

}  // namespace

void CredentialException::report() const {
    logInternalError(ExceptionConstants::INTERNAL_ERROR_CREDENTIAL);
    logError(0, "CAUGHT: CredentialException in '%s' [%s:%d]: %s", m_function.text(), file(), line(),
             m_reason.text());
}

void CredentialException::raise(const char* file, int line, const Ascii& function, const Ascii& reason) {
    logInternalError(ExceptionConstants::INTERNAL_ERROR_CREDENTIAL);
    logError(0, "CredentialException for function '%s' => %s [%s:%d]", function.text(), reason.text(),
             baseName(file), line);
    throw CredentialException(file, line, function, reason);
}
