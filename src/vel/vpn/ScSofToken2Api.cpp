#include "vel/vpn/ScSofToken2Api.h"

#include "platform/base/Win32Error.h"
#include "platform/softtoken/SofTokApi.h"
#include "platform/win/Module.h"
#include "runtime/lum/Log.h"

namespace {

// One library per process, as its own data is.
struct Library {
    win::HMODULE module = nullptr;
    InitializeSofTokLibFunction initialize = nullptr;
    ReadTokenDataSofTokLibFunction readTokenData = nullptr;
    WriteTokenDataSofTokLibFunction writeTokenData = nullptr;
    GetTokenTypeSofTokLibFunction getTokenType = nullptr;
    GetDESSilverPasswordSofTokLibFunction getPassword = nullptr;
    GetLastIOErrorSofTokLibFunction getLastIoError = nullptr;
    HasPinExpiredSofTokLibFunction hasPinExpired = nullptr;
};
Library g_library;

template <typename Function>
Function entry(const char* name) {
    return reinterpret_cast<Function>(win::GetProcAddress(g_library.module, name));
}

void freeLibrary() {
    if (win::FreeLibrary(g_library.module)) {
        logInfo(0, "Unloaded library %s", ScSofToken2Api::LIBRARY_NAME);
    } else {
        logError(0, "Failed to unload library %s: error code %d", ScSofToken2Api::LIBRARY_NAME,
                 static_cast<int>(base::win32::GetLastError()));
    }
    g_library = Library{};
}

}  // namespace

bool ScSofToken2Api::load() {
    if (g_library.module != nullptr) {
        logWarning(0, "WARNING: ScSofToken2Api initialize attempted multiple times");
        return false;
    }
    g_library.module = win::LoadLibraryA(LIBRARY_NAME);
    if (g_library.module == nullptr) {
        logError(0, "Error loading library %s", LIBRARY_NAME);
        return false;
    }
    logInfo(0, "Loaded Library %s", LIBRARY_NAME);
    g_library.initialize = entry<InitializeSofTokLibFunction>("InitializeSofTokLib");
    g_library.readTokenData = entry<ReadTokenDataSofTokLibFunction>("ReadTokenDataSofTokLib");
    g_library.writeTokenData = entry<WriteTokenDataSofTokLibFunction>("WriteTokenDataSofTokLib");
    g_library.getTokenType = entry<GetTokenTypeSofTokLibFunction>("GetTokenTypeSofTokLib");
    g_library.getPassword = entry<GetDESSilverPasswordSofTokLibFunction>("GetDESSilverPasswordSofTokLib");
    g_library.getLastIoError = entry<GetLastIOErrorSofTokLibFunction>("GetLastIOErrorSofTokLib");
    g_library.hasPinExpired = entry<HasPinExpiredSofTokLibFunction>("HasPinExpiredSofTokLib");
    if (!g_library.initialize || !g_library.readTokenData || !g_library.writeTokenData ||
        !g_library.getTokenType || !g_library.getPassword || !g_library.getLastIoError ||
        !g_library.hasPinExpired) {
        logError(0, "ScSofToken2Api : not all function addresses obtained - releasing %s", LIBRARY_NAME);
        freeLibrary();
        return false;
    }
    logInfo(0, "ScSofToken2Api : %s function addresses obtained", LIBRARY_NAME);
    int rc = g_library.initialize();
    if (rc != 0) {
        logError(0, "ScSofToken2Api : ERROR %d initialized API - releasing %s", rc, LIBRARY_NAME);
        freeLibrary();
        return false;
    }
    logInfo(0, "ScSofToken2Api : API Initialized");
    return true;
}

void ScSofToken2Api::unload() {
    if (g_library.module != nullptr) freeLibrary();
}

int ScSofToken2Api::passcode(const Ascii& user, const Ascii& pin, Ascii& passcode) {
    if (g_library.module == nullptr) return NO_LIBRARY;
    char text[ERROR_TEXT_SIZE] = "";
    if (g_library.readTokenData(user.text()) != 0) {
        int error = g_library.getLastIoError(text, sizeof text);
        logError(0, "ScSofToken2Api : Failed to load data for user; error [%d]: %s", error, text);
        return FAILED;
    }
    int type = g_library.getTokenType();
    if (type != TOKEN_TYPE) {
        logError(0, "ScSofToken2Api : unsupported token type %d", type);
        return FAILED;
    }
    char buffer[SOFTOK_PASSCODE_SIZE] = "";
    int rc = g_library.getPassword(buffer, sizeof buffer, pin.text());
    if (rc != 0) {
        if (g_library.hasPinExpired()) {
            logError(0, "ScSofToken2Api : failed to get passcode : PIN expired");
            return PIN_EXPIRED;
        }
        if (rc == INCORRECT_PIN) {
            logError(0, "ScSofToken2Api : failed to get passcode : incorrect PIN");
        } else {
            logError(0, "ScSofToken2Api : failed to get passcode : error code %d", rc);
        }
        return FAILED;
    }
    if (g_library.writeTokenData(user.text()) != 0) {
        int error = g_library.getLastIoError(text, sizeof text);
        logError(0, "ScSofToken2Api : Failed to save data for user; error [%d]: %s", error, text);
        return FAILED;
    }
    // A library that fills the whole buffer still gives a terminated passcode.
    buffer[SOFTOK_PASSCODE_SIZE - 1] = 0;
    passcode = Ascii(buffer);
    return GENERATED;
}
