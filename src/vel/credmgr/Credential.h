#pragma once
// The value handle of a credential, its factories and the stored-text helpers that need no
// credential.
#include "vel/credmgr/CredentialImpl.h"
#include "vel/reference/Reference.h"

class CredentialProxy;

class Credential : public Reference {
public:
    // Empty: every operation asserts.
    Credential() = default;
    // Takes over the creator's reference of a new credential.
    explicit Credential(CredentialImpl* impl) : Reference(impl, Reference::TAKE_OVER) {}
    // Generic: the type comes from the stored text's own vector (-1 when it cannot be read).
    explicit Credential(const ByteArray& storedText);

    // From plain values, protected at once.
    static Credential newIdentity(const Ascii& identity);
    static Credential newPassword(const Ascii& password);
    static Credential newPin(const Ascii& pin);
    static Credential newAsciiPsk(const Ascii& passPhrase, const ByteArray& ssid);
    // isPlain 1: `bytes` is the key; 0: `bytes` is an existing stored text, kept unchanged.
    static Credential newHexPsk(int isPlain, const ByteArray& bytes);
    static Credential newCertificate(const ByteArray& hash);
    static Credential newPac(const ByteArray& key, const ByteArray& opaque, const ByteArray& aid,
                             const Ascii& iid, const Ascii& aidInfo, const PacLifetime& lifetime,
                             std::int32_t pacType);
    // fromFile false: `bytes` is a stored text; true: a PAC file read with the password (a tunnel
    // PAC whatever the file says). A refused file raises CredentialException.
    static Credential newPac(bool fromFile, const ByteArray& bytes, const Ascii& password);

    // From stored texts, kept unchanged.
    static Credential createIdentityFromText(const ByteArray& storedText);
    static Credential createPassword(const ByteArray& storedText);
    static Credential createPin(const ByteArray& storedText);
    static Credential createAsciiPsk(const ByteArray& storedText);
    static Credential createCertificate(const ByteArray& storedText);

    // The protection byte of a stored text (-1 when it holds none).
    static int encryptionType(const ByteArray& storedText);
    // Protects bytes with the system's data protection, in machine scope.
    static bool protectText(const ByteArray& bytes, ByteArray& out);
    static bool decryptToText(const ByteArray& storedText, Ascii& out);
    // A pre-shared key an older release stored as "…/…/psk_ascii<pass phrase>" or
    // "…/…/psk_hex<hex digits>"; nothing for any other text.
    static CredentialProxy convertLegacyPsk(const ByteArray& storedText, const ByteArray& ssid);

    std::int32_t type() const;
    ByteArray storedText() const;
    QX_HANDLE volatileH() const;
    CredentialProxy expand(const Ascii& pattern) const;
    Ascii identity() const;
    Ascii password() const;
    Ascii pin() const;
    ByteArray certificateHash() const;
    ByteArray psk() const;
    std::int32_t length() const;
    void setSsid(const ByteArray& ssid) const;
    void setWepValue(std::int32_t value) const;
    std::int32_t wepValue() const;
    bool expired() const;
    ByteArray aid() const;
    Ascii aidInfo() const;
    Ascii iid() const;
    PacLifetime lifetime() const;
    std::int32_t pacType() const;

    CredentialImpl* impl() const;
};
