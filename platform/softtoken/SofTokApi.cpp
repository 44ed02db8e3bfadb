// The library's entry points: each hands its call to the process's token library. Every call can
// be made to fail and is recorded by the lab of the program that loaded the library, which also
// gives the tokens.
#include "platform/softtoken/SofTokApi.h"

#include <dlfcn.h>

#include <string>

#include "platform/lab/PluginCall.h"
#include "platform/softtoken/TokenLibrary.h"

#define SOFTOK_EXPORT __attribute__((visibility("default")))

using lab::PluginCall;
using softtoken::TokenLibrary;

namespace {

// The tokens as the program's lab has them now; without a lab, those set before.
void takeTokensFromTheLab() {
    using Sync = void (*)();
    auto sync = reinterpret_cast<Sync>(::dlsym(RTLD_DEFAULT, "tamsel_lab_soft_tokens_sync"));
    if (sync != nullptr) sync();
}

}  // namespace

extern "C" {

SOFTOK_EXPORT int InitializeSofTokLib() {
    PluginCall call("InitializeSofTokLib", "");
    if (call.injected()) return call.result();
    return call.finish(TokenLibrary::instance().initialize());
}

SOFTOK_EXPORT int ReadTokenDataSofTokLib(const char* user) {
    PluginCall call("ReadTokenDataSofTokLib", PluginCall::quoted(user));
    if (call.injected()) return call.result();
    takeTokensFromTheLab();
    return call.finish(TokenLibrary::instance().readTokenData(user));
}

SOFTOK_EXPORT int WriteTokenDataSofTokLib(const char* user) {
    PluginCall call("WriteTokenDataSofTokLib", PluginCall::quoted(user));
    if (call.injected()) return call.result();
    return call.finish(TokenLibrary::instance().writeTokenData(user));
}

SOFTOK_EXPORT int GetTokenTypeSofTokLib() {
    PluginCall call("GetTokenTypeSofTokLib", "");
    if (call.injected()) return call.result();
    return call.finish(TokenLibrary::instance().tokenType());
}

SOFTOK_EXPORT int GetDESSilverPasswordSofTokLib(char* passcode, int size, const char* pin) {
    PluginCall call("GetDESSilverPasswordSofTokLib", std::string(passcode ? "&passcode" : "NULL") + ", " +
                                                         std::to_string(size) + ", " +
                                                         PluginCall::secret(pin));
    if (call.injected()) return call.result();
    return call.finish(TokenLibrary::instance().passcode(passcode, size, pin));
}

SOFTOK_EXPORT int GetLastIOErrorSofTokLib(char* text, int size) {
    PluginCall call("GetLastIOErrorSofTokLib",
                    std::string(text ? "&text" : "NULL") + ", " + std::to_string(size));
    if (call.injected()) return call.result();
    return call.finish(TokenLibrary::instance().lastIoError(text, size));
}

SOFTOK_EXPORT int HasPinExpiredSofTokLib() {
    PluginCall call("HasPinExpiredSofTokLib", "");
    if (call.injected()) return call.result();
    return call.finish(TokenLibrary::instance().hasPinExpired());
}
}
