#pragma once
// The base credential source has its own credential-type vocabulary; it shares the function names
// of the stored-credential table, so it lives in a namespace of its own.
#include <cstdint>

#include "vel/enumtostring/EnumTable.h"

namespace basecredential {

extern const EnumTextRow CREDENTIAL_TYPE[];

const char* CredentialTypeToText(std::int32_t value);
std::int32_t TextToCredentialType(const char* text, std::int32_t length = -1);

}  // namespace basecredential
