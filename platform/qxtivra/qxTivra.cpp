// The trust-agent plug-in "qxTivra" (libqxTivra.so), loaded by name. It takes the record the
// authentication library made with qxTlvInit and nothing else; its calls join the lab of the
// program that loaded it (PluginCall: the plug-in links no lab of its own).
#include <mutex>
#include <string>

#include "platform/lab/PluginCall.h"
#include "platform/qxauth/qxAuth.h"

namespace {

std::mutex Mutex;
bool Initialized = false;

bool fromTheLibrary(const QX_TLV* tlv) {
    return tlv->tag == QX_TLV_TAG && tlv->version == QX_TLV_VERSION && tlv->check == qxTlvCheck(tlv);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int qxTivraInit2(QX_TLV* tlv, const char* name) {
    lab::PluginCall call(QX_TIVRA_INIT2_NAME,
                         (tlv != nullptr ? "&tlv#" + std::to_string(tlv->serial) : "NULL") + ", " +
                             lab::PluginCall::quoted(name));
    if (call.injected()) return call.result();
    if (tlv == nullptr || name == nullptr || !fromTheLibrary(tlv)) return call.finish(QX_ERR_INV_PARAM);
    std::lock_guard<std::mutex> lock(Mutex);
    if (Initialized) return call.finish(QX_ERR_NOT_APPLICABLE);
    Initialized = true;
    return call.finish(QX_OK);
}

extern "C" __attribute__((visibility("default"))) int qxTivraExit(void) {
    lab::PluginCall call(QX_TIVRA_EXIT_NAME, "");
    if (call.injected()) return call.result();
    std::lock_guard<std::mutex> lock(Mutex);
    if (!Initialized) return call.finish(QX_ERR_NOT_APPLICABLE);
    Initialized = false;
    return call.finish(QX_OK);
}
