#pragma once
// Credential types, the storage tags of their stored vectors and the internal error number of every
// place a credential operation fails.

class CredentialConstants {
public:
    static constexpr int TYPE_INVALID = -1;  // a stored text that could not be read
    static constexpr int TYPE_PASSWORD = 0;
    static constexpr int TYPE_IDENTITY = 1;
    static constexpr int TYPE_PIN = 2;
    static constexpr int TYPE_ASCII_PSK = 3;
    static constexpr int TYPE_HEX_PSK = 4;
    static constexpr int TYPE_CERTIFICATE_HASH = 5;
    static constexpr int TYPE_PAC = 6;

    // Second element of a stored vector; readers never look at it.
    static constexpr const char* TAG_DISC = "Disc";
    static constexpr const char* TAG_DISK = "Disk";  // the PIN's
    static constexpr const char* TAG_OS_USER_STORE = "OsUserStore";

    // Elements of a stored vector: type text, tag, value (the ASCII PSK: SSID, then pass phrase).
    static constexpr int VECTOR_LENGTH = 3;
    static constexpr int ASCII_PSK_VECTOR_LENGTH = 4;
    static constexpr int ASCII_PSK_SSID_ELEMENT = 2;

    // Operations asked of a kind that does not have them.
    static constexpr int ERROR_VOLATILE_H = 123;
    static constexpr int ERROR_NOT_IDENTITY = 124;
    static constexpr int ERROR_NOT_PASSWORD_OR_PIN = 125;
    static constexpr int ERROR_NOT_PSK = 126;
    static constexpr int ERROR_NOT_PAC_EXPIRED = 127;
    static constexpr int ERROR_NOT_PAC_AID = 128;
    static constexpr int ERROR_NOT_PAC_AID_INFO = 129;
    static constexpr int ERROR_NOT_PAC_IID = 130;
    static constexpr int ERROR_NOT_PAC_LIFETIME = 131;
    static constexpr int ERROR_NOT_PAC_TYPE = 132;
    static constexpr int ERROR_NOT_CERTIFICATE = 184;
    static constexpr int ERROR_GENERIC_TEXT = 194;

    // Identity.
    static constexpr int ERROR_IDENTITY_ENCRYPT = 118;
    static constexpr int ERROR_IDENTITY_DECRYPT = 119;
    static constexpr int ERROR_IDENTITY_DESTROY = 120;
    static constexpr int ERROR_IDENTITY_INVALID = 121;
    static constexpr int ERROR_IDENTITY_CREATE = 122;
    // Password.
    static constexpr int ERROR_PASSWORD_ENCRYPT = 142;
    static constexpr int ERROR_PASSWORD_DECRYPT = 143;
    static constexpr int ERROR_PASSWORD_DESTROY = 144;
    static constexpr int ERROR_PASSWORD_INVALID = 145;
    static constexpr int ERROR_PASSWORD_CREATE = 146;
    // PIN.
    static constexpr int ERROR_PIN_DESTROY = 187;
    static constexpr int ERROR_PIN_INVALID = 190;
    static constexpr int ERROR_PIN_DECRYPT = 191;
    static constexpr int ERROR_PIN_ENCRYPT = 192;
    // Certificate hash.
    static constexpr int ERROR_CERTIFICATE_ENCRYPT = 109;
    static constexpr int ERROR_CERTIFICATE_INVALID = 188;
    static constexpr int ERROR_CERTIFICATE_DECRYPT = 189;
    // ASCII pre-shared key.
    static constexpr int ERROR_ASCII_PSK_ENCRYPT = 104;
    static constexpr int ERROR_ASCII_PSK_DESTROY = 105;
    static constexpr int ERROR_ASCII_PSK_DECRYPT = 106;
    static constexpr int ERROR_ASCII_PSK_INVALID = 107;
    static constexpr int ERROR_ASCII_PSK_CREATE = 108;
    // Hexadecimal pre-shared key.
    static constexpr int ERROR_HEX_PSK_ENCRYPT = 113;
    static constexpr int ERROR_HEX_PSK_DECRYPT = 114;
    static constexpr int ERROR_HEX_PSK_CREATE = 115;
    static constexpr int ERROR_HEX_PSK_DESTROY = 116;
    static constexpr int ERROR_HEX_PSK_INVALID = 117;
    // PAC.
    static constexpr int ERROR_PAC_DECRYPT = 138;
    static constexpr int ERROR_PAC_ENCRYPT = 139;
    static constexpr int ERROR_PAC_CREATE = 140;
    static constexpr int ERROR_PAC_INVALID = 141;
    static constexpr int ERROR_PAC_DESTROY = 137;
};
