#pragma once
// Certificates for tests, made with OpenSSL: a subject with chosen names, alternative names, key
// usage, extended key usages and validity, signed by a CA of the same kind or by itself. Keys are
// P-256, quick enough to make in a test. `tamsel_test_pki DIR` writes the standard set that the
// sample lab, the system tests and scripts/run use (tests/data/pki).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef struct x509_st X509;
typedef struct evp_pkey_st EVP_PKEY;

namespace tamsel::test {

struct CertificateSpec {
    std::string commonName;
    std::string domain;  // "corp.example": DC=corp, DC=example
    std::string organization;
    std::string unit;
    std::vector<std::string> dnsNames;
    std::vector<std::string> emails;
    std::string upn;                            // a user principal name alternative name
    std::vector<std::string> extendedUsages;    // dotted OIDs
    int keyUsage = -1;                          // bit n = RFC 5280's bit n; -1: no extension
    std::string notBefore = "20000101000000Z";  // GeneralizedTime texts
    std::string notAfter = "20601231235959Z";
    bool ca = false;
    long serial = 0;  // 0: a random one
};

class TestCertificate {
public:
    TestCertificate() = default;
    TestCertificate(std::shared_ptr<X509> certificate, std::shared_ptr<EVP_PKEY> key)
        : m_certificate(std::move(certificate)), m_key(std::move(key)) {}

    X509* x509() const { return m_certificate.get(); }
    EVP_PKEY* key() const { return m_key.get(); }
    std::string pem() const;
    std::string keyPem() const;
    std::vector<uint8_t> der() const;
    // SHA-1 of the DER, as the authentication library names certificates.
    std::vector<uint8_t> hash() const;
    std::string hashHex() const;
    // A PKCS#12 file of the certificate, its key and the chain certificates.
    std::string pkcs12(const std::string& password, const std::vector<TestCertificate>& chain = {}) const;

private:
    std::shared_ptr<X509> m_certificate;
    std::shared_ptr<EVP_PKEY> m_key;
};

class TestPki {
public:
    // Signed by its own key.
    static TestCertificate selfSigned(const CertificateSpec& spec);
    static TestCertificate issue(const CertificateSpec& spec, const TestCertificate& issuer);
};

// The extended key usages the engine looks for.
constexpr const char* EKU_CLIENT_AUTH = "1.3.6.1.5.5.7.3.2";
constexpr const char* EKU_SERVER_AUTH = "1.3.6.1.5.5.7.3.1";
constexpr const char* EKU_SMART_CARD_LOGON = "1.3.6.1.4.1.311.20.2.2";

// Writes the standard set into a folder; the names of its files are the constants below.
void writeStandardPki(const std::string& folder);

namespace pki {
constexpr const char* PASSWORD = "secret";  // of every PKCS#12 file of the set
constexpr const char* CA = "ca.pem";
constexpr const char* SERVER = "radius.pem";  // radius.corp.example, with its key and the CA
constexpr const char* SERVER_KEY = "radius-key.pem";
constexpr const char* WRONG_SERVER = "wrongname.pem";  // wrong.example.net, its key in the file
constexpr const char* WRONG_SERVER_KEY = "wrongname-key.pem";
constexpr const char* USER = "alice.pem";  // certificate and key
constexpr const char* USER_P12 = "alice.p12";
constexpr const char* MACHINE = "host.pem";  // host.corp.example, certificate and key
constexpr const char* MACHINE_P12 = "host.p12";
constexpr const char* EXPIRED_USER = "expired.pem";  // expired in 2001, certificate and key
constexpr const char* CARD_P12 =
    "card.p12";  // smart-card logon and client authentication, opened with the PIN
constexpr const char* CARD_PIN = "1234";
}  // namespace pki

}  // namespace tamsel::test
