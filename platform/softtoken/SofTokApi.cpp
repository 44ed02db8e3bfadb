// The library's entry points: each hands its call to the process's token library.
#include "platform/softtoken/SofTokApi.h"

#include "platform/softtoken/TokenLibrary.h"

#define SOFTOK_EXPORT __attribute__((visibility("default")))

using softtoken::TokenLibrary;

extern "C" {

SOFTOK_EXPORT int InitializeSofTokLib() {
    return TokenLibrary::instance().initialize();
}

SOFTOK_EXPORT int ReadTokenDataSofTokLib(const char* user) {
    return TokenLibrary::instance().readTokenData(user);
}

SOFTOK_EXPORT int WriteTokenDataSofTokLib(const char* user) {
    return TokenLibrary::instance().writeTokenData(user);
}

SOFTOK_EXPORT int GetTokenTypeSofTokLib() {
    return TokenLibrary::instance().tokenType();
}

SOFTOK_EXPORT int GetDESSilverPasswordSofTokLib(char* passcode, int size, const char* pin) {
    return TokenLibrary::instance().passcode(passcode, size, pin);
}

SOFTOK_EXPORT int GetLastIOErrorSofTokLib(char* text, int size) {
    return TokenLibrary::instance().lastIoError(text, size);
}

SOFTOK_EXPORT int HasPinExpiredSofTokLib() {
    return TokenLibrary::instance().hasPinExpired();
}
}
