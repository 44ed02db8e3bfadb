#pragma once
// The fields of an EAP-FAST Protected Access Credential.
#include <cstdint>

#include "vel/credmgr/CredentialImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

struct PacFields {
    static constexpr std::int32_t TUNNEL_PAC = 1;

    ByteArray key;
    // The whole PAC-Opaque TLV with its type and length.
    ByteArray opaque;
    ByteArray aid;
    Ascii iid;
    Ascii aidInfo;
    PacLifetime lifetime;
    std::int32_t pacType = TUNNEL_PAC;
};
