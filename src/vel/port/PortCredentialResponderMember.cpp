#include "vel/port/PortCredentialResponderMember.h"

#include <vector>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/multithread/EventQueue.h"
#include "vel/port/PortCredentialRequestEvents.h"
#include "vel/port/PortEvents.h"
#include "vel/port/PortManager.h"
#include "vel/string/TagMacAddr.h"

#define EXCEPTION_REPORT(function, code) reportFunctionException(__FILE__, __LINE__, function, code)
#define ERROR_REPORT(function, code) NvoError(__FILE__, __LINE__, function, code)

namespace {

PortCredentialResponderMember::RequestMaker Maker = nullptr;

const char* const REQUEST_TYPE_NAMES[] = {
    "QX_CRED_CRED_CANCELED",
    "QX_CRED_SESSION_START",
    "QX_CRED_IDENTITY",
    "QX_CRED_EAP_METHODS",
    "QX_CRED_PASSWORD",
    "QX_CRED_PASSWORD_CHANGE",
    "QX_CRED_PASSWORD_RETRY",
    "QX_CRED_SERVER_VERIFY",
    "QX_CRED_USER_CERT",
    "QX_CRED_EAP_NOTIFICATION",
    "QX_CRED_EAP_FAST_PAC",
    "QX_CRED_EAP_FAST_PAC_TYPES",
    "QX_CRED_EAP_FAST_PAC_SAVE",
    "QX_CRED_EAP_SIM_ALT_IDENTITY_SAVE",
    "QX_CRED_EAP_TTLS_TUNNEL_METHOD",
    "QX_CRED_CRED_MACHINE_IDENTITY",
    "QX_CRED_EAP_FAST_PROVISION_MODES",
};

constexpr std::int32_t FAST_MODE_UNAUTHENTICATED = 1;

// Types after which the outer EAP type is recorded once per authentication.
bool recordsEapMethod(std::int32_t type) {
    return (type >= QX_CRED_PASSWORD && type <= QX_CRED_USER_CERT) ||
           (type >= QX_CRED_EAP_FAST_PAC && type <= QX_CRED_EAP_FAST_PAC_SAVE) ||
           (type >= QX_CRED_EAP_TTLS_TUNNEL_METHOD && type <= QX_CRED_EAP_FAST_PROVISION_MODES);
}

// A byte field of the library in two calls: its length, then its bytes.
template <typename Char, typename Query>
bool readField(Query query, const char* lengthFunction, const char* function, bool absentAllowed,
               std::vector<Char>* bytes) {
    std::int32_t length = 0;
    std::int32_t result = query(nullptr, &length);
    if (absentAllowed && result == QX_ERR_NOT_FOUND) return false;
    if (result != QX_OK) {
        EXCEPTION_REPORT(lengthFunction, result);
        return false;
    }
    if (length <= 0) return false;
    bytes->assign(static_cast<size_t>(length), 0);
    result = query(bytes->data(), &length);
    if (absentAllowed && result == QX_ERR_NOT_FOUND) return false;
    if (result != QX_OK) {
        EXCEPTION_REPORT(function, result);
        return false;
    }
    bytes->resize(static_cast<size_t>(length));
    return true;
}

// Text up to its first NUL.
Ascii textOf(const std::vector<char>& bytes) {
    if (bytes.empty()) return Ascii("");
    size_t length = 0;
    while (length < bytes.size() && bytes[length] != 0) ++length;
    return Ascii(bytes.data(), static_cast<std::int32_t>(length));
}

}  // namespace

PortCredentialResponderMember::RequestMaker PortCredentialResponderMember::setRequestMaker(
    RequestMaker maker) {
    RequestMaker previous = Maker;
    Maker = maker;
    return previous;
}

const char* PortCredentialResponderMember::requestTypeName(std::int32_t type) {
    if (type < QX_CRED_CRED_CANCELED || type > QX_CRED_EAP_FAST_PROVISION_MODES) return "unknown";
    return REQUEST_TYPE_NAMES[type - 1];
}

std::vector<std::int32_t> PortCredentialResponderMember::eapTypes(std::int32_t sync, std::int32_t level) {
    std::vector<std::int32_t> types;
    for (std::int32_t at = 0; at <= level; ++at) {
        QX_EAP_METHOD method = {};
        std::int32_t result = m_portManager->port()->getEapMethod(sync, &method, at);
        if (result != QX_OK) {
            ERROR_REPORT("qxCredGetEapMethod", result);
            method.type = 0;
        }
        LUM_ASSERT_TEXT(method.vendorId == 0, "eapMethod.vendorId == 0");
        types.push_back(method.type);
    }
    return types;
}

Ascii PortCredentialResponderMember::prompt(std::int32_t sync, bool password) {
    char buffer[PROMPT_BYTES] = {};
    std::int32_t length = PROMPT_BYTES;
    NvoPortImpl* port = m_portManager->port().impl();
    std::int32_t result = password ? port->getPasswordPrompt(sync, buffer, &length)
                                   : port->getIdentityPrompt(sync, buffer, &length);
    if (result == QX_ERR_INV_SYNC) {
        // The library took the request back (the link went, the session was reset) before it was
        // read: its cancel follows, and nothing is wrong with either side.
        logInfo(0, "Credential request %d was withdrawn before its prompt was read", sync);
        return Ascii("");
    }
    if (result != QX_OK) {
        EXCEPTION_REPORT(password ? "qxCredGetPasswordPrompt" : "qxCredGetIdentityPrompt", result);
        return Ascii("");
    }
    buffer[PROMPT_BYTES - 1] = 0;
    return Ascii(buffer);
}

ByteArray PortCredentialResponderMember::eapFastAid(std::int32_t sync) {
    NvoPortImpl* port = m_portManager->port().impl();
    std::vector<std::uint8_t> aid;
    readField<std::uint8_t>(
        [&](std::uint8_t* buffer, std::int32_t* length) { return port->getEapFastAid(sync, buffer, length); },
        "qxCredGetEapFastAid length", "qxCredGetEapFastAid", false, &aid);
    return ByteArray(aid.data(), static_cast<std::int32_t>(aid.size()));
}

void PortCredentialResponderMember::recordEapMethod(std::int32_t sync, std::int32_t type) {
    if (type == QX_CRED_SESSION_START) {
        m_eapMethodKnown = false;
        return;
    }
    if (!recordsEapMethod(type) || m_eapMethodKnown) return;
    m_eapMethod = eapTypes(sync, 0).front();
    m_eapMethodKnown = true;
}

void PortCredentialResponderMember::credentialRequest(const QX_CRED_REQUEST* qxReq) {
    if (!LUM_ASSERT(qxReq)) return;
    VelAdapter adapter = m_portManager->adapter();
    PortManagerImpl* manager = m_portManager;
    std::int32_t sync = qxReq->sync;
    std::int32_t type = qxReq->type;
    std::int32_t level = qxReq->level;
    bool flag = qxReq->flag != 0;
    if (!LUM_ASSERT_TEXT(type >= QX_CRED_CRED_CANCELED && type <= QX_CRED_EAP_FAST_PROVISION_MODES,
                         "req->type"))
        return;
    if (!LUM_ASSERT(Maker != nullptr)) return;
    Reference request = Maker(adapter, manager, sync, type, level, qxReq->value);
    // The outer method is read while the request is surely open: once its event is posted, the
    // engine may answer and complete it before this thread goes on.
    if (type != QX_CRED_SESSION_START) recordEapMethod(sync, type);
    std::int32_t generation = manager->generation();
    TagMacAddr mac(adapter.impl()->macAddress(), 0);
    Tags tags(mac);
    switch (type) {
        case QX_CRED_CRED_CANCELED:
            logDebug("In PortCredentialResponderMember::requestCanceled");
            postEvent(
                MessageEvent(new PortCredentialRequestCanceledImpl(adapter, manager, generation, request)));
            break;
        case QX_CRED_SESSION_START:
            postEvent(MessageEvent(new PortCredentialRequestSessionStartImpl(adapter, manager, generation,
                                                                             request, m_eapMethod)));
            break;
        case QX_CRED_IDENTITY: {
            Ascii text = prompt(sync, false);
            if (level != 0) {
                logInfoTagged(tags, 1280, "%s: Inner Identity/(Username) requested.", manager->name());
            } else {
                logInfoTagged(tags, 1281, "%s: Identity requested", manager->name());
            }
            postEvent(MessageEvent(new PortCredentialRequestIdentityImpl(
                adapter, manager, generation, request, level, qxReq->value, flag, text)));
            break;
        }
        case QX_CRED_EAP_METHODS: {
            std::vector<std::int32_t> types = eapTypes(sync, level);
            if (level >= 1 && types[0] == AdapterConstants::EAP_FAST) {
                std::int32_t mode = 0;
                std::int32_t result = manager->port()->getEapFastMode(sync, &mode);
                if (result != QX_OK) EXCEPTION_REPORT("qxCredGetEapFastMode", result);
                if (result == QX_OK && mode == FAST_MODE_UNAUTHENTICATED) {
                    logInfo(1282, "%s: FAST: Phase 1 tunnel established for unauthenticated provisioning",
                            manager->name());
                    m_unauthenticatedProvisioning = true;
                }
            }
            std::int32_t suggested = types[static_cast<size_t>(level)];
            logInfoTagged(tags, 1283, "%s: EAP suggested by server: %s", manager->name(),
                          EnumTable::textOrNumber(EapTypeToText, suggested).c_str());
            postEvent(MessageEvent(new PortCredentialRequestEapTypesImpl(
                adapter, manager, generation, request, PortCredentialRequestEapTypesImpl::EAP_METHODS,
                types)));
            break;
        }
        case QX_CRED_PASSWORD:
        case QX_CRED_PASSWORD_CHANGE:
        case QX_CRED_PASSWORD_RETRY: {
            Ascii text = prompt(sync, true);
            std::vector<std::int32_t> types;
            if (type == QX_CRED_PASSWORD) types = eapTypes(sync, level);
            auto kind = type == QX_CRED_PASSWORD          ? PortCredentialRequestPasswordImpl::PASSWORD
                        : type == QX_CRED_PASSWORD_CHANGE ? PortCredentialRequestPasswordImpl::PASSWORD_CHANGE
                                                          : PortCredentialRequestPasswordImpl::PASSWORD_RETRY;
            postEvent(MessageEvent(new PortCredentialRequestPasswordImpl(adapter, manager, generation,
                                                                         request, kind, text, types)));
            break;
        }
        case QX_CRED_SERVER_VERIFY: {
            std::int32_t chainIsValid = 1;
            std::int32_t result = manager->port()->serverVerifyChain(sync, &chainIsValid);
            if (result != QX_OK && result != QX_ERR_CANCELED)
                EXCEPTION_REPORT("qxCredServerVerifyChain", result);
            std::vector<std::int32_t> types = eapTypes(sync, level);
            QX_HANDLE certificate = 0;
            result = manager->port()->serverGetCert(sync, &certificate);
            if (result != QX_OK && result != QX_ERR_CANCELED) EXCEPTION_REPORT("qxCredServerCert", result);
            postEvent(MessageEvent(new PortCredentialRequestServerVerificationImpl(
                adapter, manager, generation, request, certificate, types, chainIsValid)));
            break;
        }
        case QX_CRED_USER_CERT:
            postEvent(MessageEvent(new PortCredentialRequestEapTypesImpl(
                adapter, manager, generation, request, PortCredentialRequestEapTypesImpl::USER_CERTIFICATE,
                eapTypes(sync, level))));
            break;
        case QX_CRED_EAP_NOTIFICATION:
        case QX_CRED_EAP_SIM_ALT_IDENTITY_SAVE:
            logError(1284, "Internal error %d, contact software manufacturer",
                     INTERNAL_ERROR_NOT_IMPLEMENTED);
            logDebug("%s: not implemented port credential request '%s'", manager->name(),
                     type == QX_CRED_EAP_NOTIFICATION ? "QX_CRED_NOTIFICATION" : "QX_CRED_ALT_IDENTITY_SAVE");
            break;
        case QX_CRED_EAP_FAST_PAC:
        case QX_CRED_EAP_FAST_PAC_TYPES:
            postEvent(MessageEvent(new PortCredentialRequestFastImpl(
                adapter, manager, generation, request,
                type == QX_CRED_EAP_FAST_PAC ? PortCredentialRequestFastImpl::FAST_PAC
                                             : PortCredentialRequestFastImpl::FAST_PAC_TYPES,
                eapFastAid(sync))));
            break;
        case QX_CRED_EAP_FAST_PAC_SAVE:
            postPacSave(sync, request, generation);
            break;
        case QX_CRED_EAP_TTLS_TUNNEL_METHOD:
            LUM_ASSERT_TEXT(level == 0, "eapLevel == 0");
            LUM_ASSERT_TEXT(eapTypes(sync, 0).front() == AdapterConstants::EAP_TTLS,
                            "eapMethod(sync, 0) == AdapterConstants::EAP_TTLS");
            postEvent(MessageEvent(
                new PortCredentialRequestFastImpl(adapter, manager, generation, request,
                                                  PortCredentialRequestFastImpl::TTLS_METHOD, ByteArray())));
            break;
        case QX_CRED_CRED_MACHINE_IDENTITY:
            logInfo(1285, "Machine identity requested");
            postEvent(MessageEvent(new PortCredentialRequestMachineIdentityImpl(
                adapter, manager, generation, request, level, qxReq->value, flag)));
            break;
        case QX_CRED_EAP_FAST_PROVISION_MODES:
            postEvent(MessageEvent(new PortCredentialRequestFastImpl(
                adapter, manager, generation, request, PortCredentialRequestFastImpl::FAST_PROVISION_MODES,
                ByteArray())));
            break;
        default:
            break;
    }
    if (type == QX_CRED_SESSION_START) recordEapMethod(sync, type);
}

void PortCredentialResponderMember::postPacSave(std::int32_t sync, const Reference& request,
                                                std::int32_t generation) {
    NvoPortImpl* port = m_portManager->port().impl();
    std::int32_t lifetime = 0;
    std::int32_t result = port->getEapFastPacLifetime(sync, &lifetime);
    if (result != QX_OK && result != QX_ERR_NOT_FOUND)
        EXCEPTION_REPORT("qxCredGetEapFastPacLifeTime", result);
    std::int32_t pacType = 0;
    result = port->getEapFastPacType(sync, &pacType);
    if (result != QX_OK && result != QX_ERR_NOT_FOUND) EXCEPTION_REPORT("qxCredGetEapFastPacType", result);
    std::vector<char> aidInfo;
    readField<char>([&](char* b, std::int32_t* l) { return port->getEapFastPacAidInfo(sync, b, l); },
                    "qxCredGetEapFastPacAidInfo length", "qxCredGetEapFastPacAidInfo", true, &aidInfo);
    std::vector<char> iid;
    readField<char>([&](char* b, std::int32_t* l) { return port->getEapFastPacIid(sync, b, l); },
                    "qxCredGetEapFastPacIid length", "qxCredGetEapFastPacIid", false, &iid);
    std::vector<std::uint8_t> aid;
    readField<std::uint8_t>(
        [&](std::uint8_t* b, std::int32_t* l) { return port->getEapFastPacAid(sync, b, l); },
        "qxCredGetEapFastPacAid length", "qxCredGetEapFastPacAid", false, &aid);
    std::vector<std::uint8_t> opaque;
    readField<std::uint8_t>(
        [&](std::uint8_t* b, std::int32_t* l) { return port->getEapFastPacOpaque(sync, b, l); },
        "qxCredGetEapFastPacOpaque length", "qxCredGetEapFastPacOpaque", false, &opaque);
    std::vector<std::uint8_t> key;
    readField<std::uint8_t>(
        [&](std::uint8_t* b, std::int32_t* l) { return port->getEapFastPacKey(sync, b, l); },
        "qxCredGetEapFastPacKey length", "qxCredGetEapFastPacKey", false, &key);
    PacLifetime pacLifetime;
    pacLifetime.first = lifetime;
    Credential pac = Credential::newPac(ByteArray(key.data(), static_cast<std::int32_t>(key.size())),
                                        ByteArray(opaque.data(), static_cast<std::int32_t>(opaque.size())),
                                        ByteArray(aid.data(), static_cast<std::int32_t>(aid.size())),
                                        textOf(iid), textOf(aidInfo), pacLifetime, pacType);
    postEvent(MessageEvent(new PortCredentialRequestEapFastPacSaveImpl(
        m_portManager->adapter(), m_portManager, generation, request, pac)));
    logInfo(1286, m_unauthenticatedProvisioning ? "Completed unauthenticated provisioning."
                                                : "Completed authenticated provisioning.");
}
