#include "vel/ipcmsghandlers/NetworkKeyRule.h"

#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

namespace {

enum class KeyNeed { REFUSED, OPEN, REQUIRED, NONE, UNRECOGNIZED };

KeyNeed keyNeedOf(std::int32_t association) {
    switch (association) {
        case NetworkKeyRule::ASSOCIATION_NONE:
            return KeyNeed::REFUSED;
        case 1:
        case 3:
            return KeyNeed::OPEN;
        case 2:
        case 4:
        case 5:
        case 7:
            return KeyNeed::REQUIRED;
        case 6:
        case 8:
        case 9:
            return KeyNeed::NONE;
        default:
            return KeyNeed::UNRECOGNIZED;
    }
}

bool isShared(std::int32_t association) {
    return association == 2 || association == 4;
}

}  // namespace

std::int32_t NetworkKeyRule::check(const char* handler, std::int32_t association, std::int32_t encryption,
                                   bool hasKey) {
    switch (keyNeedOf(association)) {
        case KeyNeed::REFUSED:
            logInfo(0, "%s : association mode is NONE", handler);
            return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
        case KeyNeed::REQUIRED:
            if (hasKey) return 0;
            if (isShared(association)) {
                logInfo(0, "%s : shared association mode requires a WEP key", handler);
            } else {
                logInfo(0, "%s : WPA/WPA2 personal modes requires a PSK", handler);
            }
            return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
        case KeyNeed::UNRECOGNIZED:
            logInfo(0, "UNRECOGNIZED: association mode in %s: %s", handler,
                    AssociationModeToText(association, encryption));
            return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
        case KeyNeed::OPEN:
        case KeyNeed::NONE:
            break;
    }
    return 0;
}

bool NetworkKeyRule::takesKey(std::int32_t association, std::int32_t encryption) {
    switch (keyNeedOf(association)) {
        case KeyNeed::OPEN:
            return encryption == ENCRYPTION_WEP;
        case KeyNeed::REQUIRED:
            return true;
        default:
            return false;
    }
}

void NetworkKeyRule::store(const Network& network, const StaticKeyRecord& key) {
    AuthenticationParameters user = network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
    user.setStaticKey(key.bytes, key.kind);
    user.setStaticKeyValue(key.length);
    user.setCredentialType(CREDENTIAL_FROM_PROFILE);
}

bool NetworkKeyRule::holdsKey(const Network& network) {
    // A password is held in the same place; only a key counts.
    CredentialProxy held =
        network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER).getPasswordOrKeyCredential();
    if (!held.exists()) return false;
    const std::int32_t type = held.credential().type();
    return type == CredentialConstants::TYPE_ASCII_PSK || type == CredentialConstants::TYPE_HEX_PSK;
}
