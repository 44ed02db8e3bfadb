#include "vel/credmgr/Credential.h"

#include <string>
#include <vector>

#include "runtime/lum/Assert.h"
#include "vel/credmgr/CredentialAsciiPskImpl.h"
#include "vel/credmgr/CredentialCertificateImpl.h"
#include "vel/credmgr/CredentialHexPskImpl.h"
#include "vel/credmgr/CredentialIdentityImpl.h"
#include "vel/credmgr/CredentialPacImpl.h"
#include "vel/credmgr/CredentialPasswordImpl.h"
#include "vel/credmgr/CredentialPinImpl.h"
#include "vel/credmgr/CredentialProxy.h"
#include "vel/credmgr/PacFile.h"
#include "vel/credmgr/StoredCredentialText.h"

namespace {

const char LEGACY_ASCII_TAG[] = "psk_ascii";
const char LEGACY_HEX_TAG[] = "psk_hex";
const std::size_t LEGACY_FIELD_COUNT = 4;
const std::size_t LEGACY_TAG_FIELD = 2;
const std::size_t LEGACY_KEY_FIELD = 3;

// Slash-separated fields, empty ones dropped; the text after the last slash counts only when it
// starts with a key tag, and is then split into the tag and the key.
std::vector<std::string> legacyFields(const std::string& text) {
    std::vector<std::string> fields;
    std::string field;
    for (char c : text) {
        if (c != '/') {
            field += c;
            continue;
        }
        if (!field.empty()) fields.push_back(field);
        field.clear();
    }
    for (const char* tag : {LEGACY_ASCII_TAG, LEGACY_HEX_TAG}) {
        if (field.compare(0, std::char_traits<char>::length(tag), tag) == 0) {
            const std::size_t tagLength = std::char_traits<char>::length(tag);
            fields.push_back(field.substr(0, tagLength));
            fields.push_back(field.substr(tagLength));
            break;
        }
    }
    return fields;
}

}  // namespace

Credential::Credential(const ByteArray& storedText)
    : Reference(new CredentialImpl(storedText), Reference::TAKE_OVER) {}

Credential Credential::newIdentity(const Ascii& identity) {
    return Credential(new CredentialIdentityImpl(identity));
}

Credential Credential::newPassword(const Ascii& password) {
    return Credential(new CredentialPasswordImpl(password));
}

Credential Credential::newPin(const Ascii& pin) {
    return Credential(new CredentialPinImpl(pin));
}

Credential Credential::newAsciiPsk(const Ascii& passPhrase, const ByteArray& ssid) {
    return Credential(new CredentialAsciiPskImpl(passPhrase, ssid));
}

Credential Credential::newHexPsk(int isPlain, const ByteArray& bytes) {
    if (isPlain == 1) return Credential(new CredentialHexPskImpl(bytes));
    return Credential(new CredentialHexPskImpl(bytes, CredentialImpl::STORED_TEXT));
}

Credential Credential::newCertificate(const ByteArray& hash) {
    return Credential(new CredentialCertificateImpl(hash));
}

Credential Credential::newPac(const ByteArray& key, const ByteArray& opaque, const ByteArray& aid,
                              const Ascii& iid, const Ascii& aidInfo, const PacLifetime& lifetime,
                              std::int32_t pacType) {
    PacFields fields;
    fields.key = key;
    fields.opaque = opaque;
    fields.aid = aid;
    fields.iid = iid;
    fields.aidInfo = aidInfo;
    fields.lifetime = lifetime;
    fields.pacType = pacType;
    return Credential(new CredentialPacImpl(fields));
}

Credential Credential::newPac(bool fromFile, const ByteArray& bytes, const Ascii& password) {
    if (!fromFile) return Credential(new CredentialPacImpl(bytes, CredentialImpl::STORED_TEXT));
    PacFields fields = PacFile::readPacFromFile(bytes, password);
    fields.pacType = PacFields::TUNNEL_PAC;
    return Credential(new CredentialPacImpl(fields));
}

Credential Credential::createIdentityFromText(const ByteArray& storedText) {
    return Credential(new CredentialIdentityImpl(storedText, CredentialImpl::STORED_TEXT));
}

Credential Credential::createPassword(const ByteArray& storedText) {
    return Credential(new CredentialPasswordImpl(storedText, CredentialImpl::STORED_TEXT));
}

Credential Credential::createPin(const ByteArray& storedText) {
    return Credential(new CredentialPinImpl(storedText, CredentialImpl::STORED_TEXT));
}

Credential Credential::createAsciiPsk(const ByteArray& storedText) {
    return Credential(new CredentialAsciiPskImpl(storedText, CredentialImpl::STORED_TEXT));
}

Credential Credential::createCertificate(const ByteArray& storedText) {
    return Credential(new CredentialCertificateImpl(storedText, CredentialImpl::STORED_TEXT));
}

int Credential::encryptionType(const ByteArray& storedText) {
    return StoredCredentialText::encryptionType(storedText);
}

bool Credential::protectText(const ByteArray& bytes, ByteArray& out) {
    return StoredCredentialText::protectDpapi(bytes, true, out);
}

bool Credential::decryptToText(const ByteArray& storedText, Ascii& out) {
    ByteArray plain;
    if (!StoredCredentialText::decrypt(storedText, plain)) return false;
    out = Ascii::fromByteArray(plain);
    return true;
}

CredentialProxy Credential::convertLegacyPsk(const ByteArray& storedText, const ByteArray& ssid) {
    Ascii text;
    if (!decryptToText(storedText, text)) return CredentialProxy();
    const std::vector<std::string> fields = legacyFields(std::string(text.text(), text.length()));
    if (fields.size() != LEGACY_FIELD_COUNT) return CredentialProxy();
    const std::string& tag = fields[LEGACY_TAG_FIELD];
    const std::string& key = fields[LEGACY_KEY_FIELD];
    if (tag == LEGACY_ASCII_TAG) {
        return CredentialProxy(newAsciiPsk(Ascii(key.data(), static_cast<std::int32_t>(key.size())), ssid));
    }
    if (tag == LEGACY_HEX_TAG) {
        return CredentialProxy(
            newHexPsk(1, ByteArray::fromHex(key.data(), static_cast<std::int32_t>(key.size()))));
    }
    return CredentialProxy();
}

CredentialImpl* Credential::impl() const {
    return static_cast<CredentialImpl*>(static_cast<ReferenceImpl*>(m));
}

std::int32_t Credential::type() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->type() : -1;
}

ByteArray Credential::storedText() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->storedText() : ByteArray();
}

QX_HANDLE Credential::volatileH() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->volatileH() : 0;
}

CredentialProxy Credential::expand(const Ascii& pattern) const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->expand(pattern) : CredentialProxy();
}

Ascii Credential::identity() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->identity() : Ascii();
}

Ascii Credential::password() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->password() : Ascii();
}

Ascii Credential::pin() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->pin() : Ascii();
}

ByteArray Credential::certificateHash() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->certificateHash() : ByteArray();
}

ByteArray Credential::psk() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->psk() : ByteArray();
}

std::int32_t Credential::length() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->length() : 0;
}

void Credential::setSsid(const ByteArray& ssid) const {
    if (LUM_ASSERT_TEXT(m, "m")) impl()->setSsid(ssid);
}

void Credential::setWepValue(std::int32_t value) const {
    if (LUM_ASSERT_TEXT(m, "m")) impl()->setWepValue(value);
}

std::int32_t Credential::wepValue() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->wepValue() : 0;
}

bool Credential::expired() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->expired() : true;
}

ByteArray Credential::aid() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->aid() : ByteArray();
}

Ascii Credential::aidInfo() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->aidInfo() : Ascii();
}

Ascii Credential::iid() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->iid() : Ascii();
}

PacLifetime Credential::lifetime() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->lifetime() : PacLifetime();
}

std::int32_t Credential::pacType() const {
    return LUM_ASSERT_TEXT(m, "m") ? impl()->pacType() : 1;
}
