#include "vel/certificate/CertificateConstants.h"

#include "runtime/lum/Log.h"
#include "runtime/lum/RuntimeFolders.h"
#include "vel/exception/ExceptionConstants.h"

const char* certificateStatusToText(int status) {
    static const char* const TEXTS[] = {"OK",
                                        "ERR_UNUSABLE",
                                        "ERR_NO_HANDLE",
                                        "ERR_NOT_FOUND",
                                        "ERR_WRONG_PIN",
                                        "ERR_CARD_BLOCKED",
                                        "ERR_NO_PRIVATE_KEY",
                                        "ERR_INTERNAL_ERROR"};
    if (status < 0 || status >= static_cast<int>(sizeof TEXTS / sizeof TEXTS[0])) return "ERR_UNKNOWN";
    return TEXTS[status];
}

void logCertificateCallFailure(int number, const char* function, int code, const char* file, int line) {
    logInternalError(number);
    logError(0, "%s() error %d [%s:%d]", function, code, pathFileName(file), line);
}
