#include "vel/ipcmsghandlers/SavableNetworkRule.h"

#include "runtime/lum/Log.h"
#include "vel/enumtostring/BaseCredentialTypeConversions.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/xml/Xml_Auth.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

using C = XmlAuthenticationConstants;

namespace {

constexpr std::int32_t OPEN = 1;
constexpr std::int32_t WPA_ENTERPRISE = 6;
constexpr std::int32_t WPA2_ENTERPRISE = 8;
constexpr std::int32_t QUILLAN_ENTERPRISE = 9;
constexpr std::int32_t WEP = 2;

const char* pairText(std::int32_t association, std::int32_t encryption) {
    for (const AssociationModeRow* row = conversiontables::ASSOCIATION_MODE; row->text; ++row)
        if (row->association == association && row->encryption == encryption) return row->text;
    return "unknown";
}

std::int32_t refused(const char* handler, const char* reason, const char* what,
                     const char* credential = nullptr) {
    if (credential != nullptr) {
        logInfo(0, "%s : %s with credential type %s cannot be kept %s", handler, what, credential, reason);
    } else {
        logInfo(0, "%s : %s %s", handler, what, reason);
    }
    return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
}

}  // namespace

bool SavableNetworkRule::takesEapMethod(std::int32_t association, std::int32_t encryption) {
    return (association == OPEN && encryption == WEP) || needsEapMethod(association);
}

bool SavableNetworkRule::needsEapMethod(std::int32_t association) {
    return association == WPA_ENTERPRISE || association == WPA2_ENTERPRISE ||
           association == QUILLAN_ENTERPRISE;
}

std::int32_t SavableNetworkRule::check(const char* handler, const Shape& shape) {
    const char* pair = pairText(shape.association, shape.encryption);
    if (shape.eapMethod == 0) {
        if (!shape.wireless) return 0;
        if (needsEapMethod(shape.association)) return refused(handler, "needs an EAP method", pair);
        if (shape.association == OPEN && shape.encryption == WEP && !shape.hasKey)
            return refused(handler, "needs a WEP key or an EAP method", pair);
        // The file keeps a WEP key as one of 5 or 13 bytes, a pre-shared key as a pass phrase.
        if (shape.hasKey && shape.wepKey != (shape.encryption == WEP))
            return refused(handler, shape.wepKey ? "takes no WEP key" : "takes a WEP key", pair);
        return 0;
    }
    const char* method = EapTypeToText(shape.eapMethod);
    if (!Xml_Auth::carries(shape.eapMethod, shape.credentialType,
                           shape.wireless ? C::MEDIA_WIRELESS : C::MEDIA_WIRED)) {
        const char* credential =
            shape.credentialType == 0 ? "none" : basecredential::CredentialTypeToText(shape.credentialType);
        return refused(handler, shape.wireless ? "on a wireless network" : "on a wired network", method,
                       credential);
    }
    if (!shape.wireless) return 0;
    if (!takesEapMethod(shape.association, shape.encryption))
        return refused(handler, "takes no EAP method", pair);
    if (shape.hasKey && !needsEapMethod(shape.association))
        return refused(handler, "with an EAP method takes no static key", pair);
    return 0;
}
