#include "tests/support/TestPki.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <fstream>
#include <stdexcept>

namespace tamsel::test {

namespace {

constexpr const char* UPN_OID = "1.3.6.1.4.1.311.20.2.3";

void check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("test PKI: ") + what);
}

std::shared_ptr<EVP_PKEY> newKey() {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    check(key != nullptr, "key");
    return std::shared_ptr<EVP_PKEY>(key, EVP_PKEY_free);
}

std::string bioText(BIO* bio) {
    char* data = nullptr;
    long length = BIO_get_mem_data(bio, &data);
    std::string text(data, static_cast<size_t>(length));
    BIO_free(bio);
    return text;
}

void setTime(ASN1_TIME* field, const std::string& text) {
    check(ASN1_TIME_set_string_X509(field, text.c_str()) == 1, "time");
}

void addName(X509_NAME* name, const char* field, const std::string& value) {
    if (value.empty()) return;
    check(X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                     reinterpret_cast<const unsigned char*>(value.c_str()), -1, -1, 0) == 1,
          "name");
}

void fillName(X509_NAME* name, const CertificateSpec& spec) {
    // Domain components from the top: corp.example is DC=example, then DC=corp.
    std::vector<std::string> parts;
    for (size_t at = 0; !spec.domain.empty();) {
        size_t dot = spec.domain.find('.', at);
        parts.push_back(spec.domain.substr(at, dot == std::string::npos ? std::string::npos : dot - at));
        if (dot == std::string::npos) break;
        at = dot + 1;
    }
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) addName(name, "DC", *it);
    addName(name, "O", spec.organization);
    addName(name, "OU", spec.unit);
    addName(name, "CN", spec.commonName);
}

void addExtension(X509* certificate, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
    check(extension != nullptr, "extension");
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

void addAlternativeNames(X509* certificate, const CertificateSpec& spec) {
    GENERAL_NAMES* names = GENERAL_NAMES_new();
    auto addText = [&](int type, const std::string& text) {
        GENERAL_NAME* name = GENERAL_NAME_new();
        ASN1_IA5STRING* value = ASN1_IA5STRING_new();
        ASN1_STRING_set(value, text.data(), static_cast<int>(text.size()));
        GENERAL_NAME_set0_value(name, type, value);
        sk_GENERAL_NAME_push(names, name);
    };
    if (!spec.upn.empty()) {
        GENERAL_NAME* name = GENERAL_NAME_new();
        ASN1_TYPE* value = ASN1_TYPE_new();
        ASN1_UTF8STRING* text = ASN1_UTF8STRING_new();
        ASN1_STRING_set(text, spec.upn.data(), static_cast<int>(spec.upn.size()));
        ASN1_TYPE_set(value, V_ASN1_UTF8STRING, text);
        check(GENERAL_NAME_set0_othername(name, OBJ_txt2obj(UPN_OID, 1), value) == 1, "UPN");
        sk_GENERAL_NAME_push(names, name);
    }
    for (const std::string& dns : spec.dnsNames) addText(GEN_DNS, dns);
    for (const std::string& email : spec.emails) addText(GEN_EMAIL, email);
    if (sk_GENERAL_NAME_num(names) > 0) X509_add1_ext_i2d(certificate, NID_subject_alt_name, names, 0, 0);
    GENERAL_NAMES_free(names);
}

void addKeyUsage(X509* certificate, int bits) {
    if (bits < 0) return;
    ASN1_BIT_STRING* usage = ASN1_BIT_STRING_new();
    for (int bit = 0; bit < 9; ++bit)
        if ((bits & (1 << bit)) != 0) ASN1_BIT_STRING_set_bit(usage, bit, 1);
    X509_add1_ext_i2d(certificate, NID_key_usage, usage, 1, 0);
    ASN1_BIT_STRING_free(usage);
}

void addExtendedUsages(X509* certificate, const std::vector<std::string>& oids) {
    if (oids.empty()) return;
    EXTENDED_KEY_USAGE* usages = EXTENDED_KEY_USAGE_new();
    for (const std::string& oid : oids) sk_ASN1_OBJECT_push(usages, OBJ_txt2obj(oid.c_str(), 1));
    X509_add1_ext_i2d(certificate, NID_ext_key_usage, usages, 0, 0);
    EXTENDED_KEY_USAGE_free(usages);
}

TestCertificate make(const CertificateSpec& spec, X509* issuer, EVP_PKEY* issuerKey,
                     std::shared_ptr<EVP_PKEY> key) {
    std::shared_ptr<X509> certificate(X509_new(), X509_free);
    X509* x = certificate.get();
    X509_set_version(x, 2);
    long serial = spec.serial;
    if (serial == 0) {
        check(RAND_bytes(reinterpret_cast<unsigned char*>(&serial), sizeof serial) == 1, "serial");
        serial = (serial & 0x7FFFFFFFFFFFL) | 1;
    }
    ASN1_INTEGER_set(X509_get_serialNumber(x), serial);
    setTime(X509_getm_notBefore(x), spec.notBefore);
    setTime(X509_getm_notAfter(x), spec.notAfter);
    X509_set_pubkey(x, key.get());
    fillName(X509_get_subject_name(x), spec);
    X509_set_issuer_name(x, issuer != nullptr ? X509_get_subject_name(issuer) : X509_get_subject_name(x));
    X509* signer = issuer != nullptr ? issuer : x;
    addExtension(x, signer, NID_basic_constraints, spec.ca ? "critical,CA:TRUE" : "CA:FALSE");
    addExtension(x, signer, NID_subject_key_identifier, "hash");
    if (issuer != nullptr) addExtension(x, signer, NID_authority_key_identifier, "keyid");
    addKeyUsage(x, spec.keyUsage);
    addExtendedUsages(x, spec.extendedUsages);
    addAlternativeNames(x, spec);
    check(X509_sign(x, issuerKey != nullptr ? issuerKey : key.get(), EVP_sha256()) > 0, "sign");
    return TestCertificate(certificate, key);
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    check(out.good(), "write");
}

}  // namespace

std::string TestCertificate::pem() const {
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(bio, x509());
    return bioText(bio);
}

std::string TestCertificate::keyPem() const {
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(bio, key(), nullptr, nullptr, 0, nullptr, nullptr);
    return bioText(bio);
}

std::vector<uint8_t> TestCertificate::der() const {
    unsigned char* bytes = nullptr;
    int length = i2d_X509(x509(), &bytes);
    check(length > 0, "DER");
    std::vector<uint8_t> out(bytes, bytes + length);
    OPENSSL_free(bytes);
    return out;
}

std::vector<uint8_t> TestCertificate::hash() const {
    std::vector<uint8_t> bytes = der();
    std::vector<uint8_t> digest(20);
    unsigned int length = 0;
    check(EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha1(), nullptr) == 1, "hash");
    return digest;
}

std::string TestCertificate::hashHex() const {
    static const char* DIGITS = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : hash()) {
        text.push_back(DIGITS[byte >> 4]);
        text.push_back(DIGITS[byte & 15]);
    }
    return text;
}

std::string TestCertificate::pkcs12(const std::string& password,
                                    const std::vector<TestCertificate>& chain) const {
    STACK_OF(X509)* others = sk_X509_new_null();
    for (const TestCertificate& c : chain) sk_X509_push(others, c.x509());
    PKCS12* p12 = PKCS12_create(password.c_str(), "tamsel test", key(), x509(), others, 0, 0, 0, 0, 0);
    sk_X509_free(others);
    check(p12 != nullptr, "PKCS#12");
    BIO* bio = BIO_new(BIO_s_mem());
    i2d_PKCS12_bio(bio, p12);
    PKCS12_free(p12);
    return bioText(bio);
}

TestCertificate TestPki::selfSigned(const CertificateSpec& spec) {
    return make(spec, nullptr, nullptr, newKey());
}

TestCertificate TestPki::issue(const CertificateSpec& spec, const TestCertificate& issuer) {
    return make(spec, issuer.x509(), issuer.key(), newKey());
}

void writeStandardPki(const std::string& folder) {
    constexpr int DIGITAL_SIGNATURE = 0x01;
    constexpr int KEY_ENCIPHERMENT = 0x04;
    constexpr int CERT_SIGN = 0x20 | 0x40;
    auto path = [&](const char* name) { return folder + "/" + name; };

    CertificateSpec root;
    root.commonName = "Corp Example Root CA";
    root.organization = "Corp Example";
    root.ca = true;
    root.keyUsage = CERT_SIGN;
    root.notAfter = "20601231235959Z";
    TestCertificate ca = TestPki::selfSigned(root);
    writeFile(path(pki::CA), ca.pem());

    auto server = [&](const char* name, const char* file, const char* keyFile) {
        CertificateSpec spec;
        spec.commonName = name;
        spec.organization = "Corp Example";
        spec.dnsNames = {name};
        spec.keyUsage = DIGITAL_SIGNATURE | KEY_ENCIPHERMENT;
        spec.extendedUsages = {EKU_SERVER_AUTH};
        TestCertificate issued = TestPki::issue(spec, ca);
        writeFile(path(file), issued.pem());
        writeFile(path(keyFile), issued.keyPem());
    };
    server("radius.corp.example", pki::SERVER, pki::SERVER_KEY);
    server("wrong.example.net", pki::WRONG_SERVER, pki::WRONG_SERVER_KEY);

    CertificateSpec user;
    user.commonName = "alice";
    user.domain = "corp.example";
    user.upn = "alice@corp.example";
    user.emails = {"alice@corp.example"};
    user.keyUsage = DIGITAL_SIGNATURE | KEY_ENCIPHERMENT;
    user.extendedUsages = {EKU_CLIENT_AUTH};
    TestCertificate alice = TestPki::issue(user, ca);
    writeFile(path(pki::USER), alice.pem() + alice.keyPem());
    writeFile(path(pki::USER_P12), alice.pkcs12(pki::PASSWORD, {ca}));

    CertificateSpec machine;
    machine.commonName = "host.corp.example";
    machine.domain = "corp.example";
    machine.dnsNames = {"host.corp.example"};
    machine.keyUsage = DIGITAL_SIGNATURE | KEY_ENCIPHERMENT;
    machine.extendedUsages = {EKU_CLIENT_AUTH};
    TestCertificate host = TestPki::issue(machine, ca);
    writeFile(path(pki::MACHINE), host.pem() + host.keyPem());
    writeFile(path(pki::MACHINE_P12), host.pkcs12(pki::PASSWORD, {ca}));

    CertificateSpec old = user;
    old.commonName = "alice (2000)";
    old.notBefore = "20000101000000Z";
    old.notAfter = "20011231235959Z";
    TestCertificate expired = TestPki::issue(old, ca);
    writeFile(path(pki::EXPIRED_USER), expired.pem() + expired.keyPem());

    CertificateSpec card = user;
    card.commonName = "alice (card)";
    card.extendedUsages = {EKU_CLIENT_AUTH, EKU_SMART_CARD_LOGON};
    TestCertificate onCard = TestPki::issue(card, ca);
    writeFile(path(pki::CARD_P12), onCard.pkcs12(pki::CARD_PIN, {ca}));
}

}  // namespace tamsel::test
