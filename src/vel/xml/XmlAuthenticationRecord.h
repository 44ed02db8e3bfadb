#pragma once
// The authentication records of an 802.1X network as its elements give them: one EAP method with
// its settings, where its credentials come from, how the server is checked and, for a user
// record, how the user's credentials are collected and kept.
#include <cstdint>
#include <vector>

#include "vel/configuration/CertificateValidationParameters.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"
#include "vel/xml/Xml_EncryptedContent.h"

class XmlAuthenticationConstants {
public:
    // Record kinds.
    static constexpr std::int32_t RECORD_MACHINE = 1;
    static constexpr std::int32_t RECORD_USER = 2;
    // Network media of the reader.
    static constexpr std::int32_t MEDIA_WIRED = 1;
    static constexpr std::int32_t MEDIA_WIRELESS = 2;
    // Credential source kinds.
    static constexpr std::int32_t SOURCE_PROFILE = 1;
    static constexpr std::int32_t SOURCE_USER = 2;
    static constexpr std::int32_t SOURCE_LOGON = 3;
    static constexpr std::int32_t SOURCE_MACHINE = 6;
    // The one token source.
    static constexpr std::int32_t SOURCE_TOKEN = 2;
    // Credential kinds (of a method and of a collection behaviour; 0 is no collection).
    static constexpr std::int32_t CREDENTIAL_NONE = 0;
    static constexpr std::int32_t CREDENTIAL_PASSWORD = 1;
    static constexpr std::int32_t CREDENTIAL_CERTIFICATE = 2;
    static constexpr std::int32_t CREDENTIAL_TOKEN = 3;
    // Certificate sending modes of EAP-FAST.
    static constexpr std::int32_t SEND_VIA_INNER_METHOD = 1;
    static constexpr std::int32_t SEND_WHENEVER_REQUESTED = 3;
    static constexpr std::int32_t SEND_SECURELY_ONLY = 4;
    // Allowed certificate sources of a certificate collection.
    static constexpr std::int32_t SMART_CARD_ONLY = 1;
    static constexpr std::int32_t SMART_CARD_OR_OS = 3;
};

// One trusted EAP-FAST PAC: the PAC's Base64 text, its secret key and whether the PAC is a
// stored credential text.
struct XmlPacRecord {
    Ascii pac;
    Ascii secretKey;
    bool persistent = false;
};

// Where a method's credential comes from (a source kind), with the profile's password (a stored
// text with the persistent flag, or plain) or certificate identifier.
struct XmlCredentialSource {
    std::int32_t kind = 0;
    XmlContentValue value;
};

struct XmlMethodSettings {
    std::int32_t type = 0;
    XmlContentValue unprotectedIdentity;
    XmlContentValue protectedIdentity;
    XmlCredentialSource source;
    // Kept when the server certificate is validated.
    CertificateValidationParameters validation;
    bool fastReconnect = false;
    bool disableWhenSmartCard = false;
    bool allowUnauthPacProvisioning = false;
    bool usePac = false;
    std::vector<XmlPacRecord> trustedPacs;
    std::vector<std::int32_t> innerMethods;
    std::int32_t certificateSendingMode = 0;
    std::int32_t credentialKind = 0;
    bool validateServerCertificate = false;
    bool enablePosture = false;
};

// How the user's credentials are collected: kind (a credential kind, 0 none), the allowed
// certificate source, the credential storage and the smart-card PIN storage (1 forever,
// 2 until logout, 3 never, 0 none given).
struct XmlCollectionBehavior {
    std::int32_t kind = 0;
    std::int32_t allowedCertificateSource = 0;
    std::int32_t storage = 0;
    std::int32_t pinStorage = 0;
};

struct XmlAuthenticationRecord {
    std::int32_t kind = 0;
    XmlMethodSettings method;
    // A user record's only.
    XmlCollectionBehavior collection;
    bool extendUserConnectionBeyondLogoff = false;
};
