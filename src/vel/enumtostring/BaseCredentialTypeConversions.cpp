#include "vel/enumtostring/BaseCredentialTypeConversions.h"

namespace basecredential {

const EnumTextRow CREDENTIAL_TYPE[] = {{1, "password"}, {2, "certificate"}, {3, "token"}, {0, nullptr}};

const char* CredentialTypeToText(std::int32_t value) {
    return EnumTable::toText(CREDENTIAL_TYPE, value, __FILE__, __LINE__,
                             "CredentialTypeToText: Unknown credential type.");
}

std::int32_t TextToCredentialType(const char* text, std::int32_t length) {
    return EnumTable::toValue(CREDENTIAL_TYPE, text, length, __FILE__, __LINE__,
                              "TextToCredentialType: Unknown credential type.");
}

}  // namespace basecredential
