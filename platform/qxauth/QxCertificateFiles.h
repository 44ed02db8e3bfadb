#pragma once
// Inside the stand-in: the certificates the lab's stores and cards hold, read with OpenSSL from
// PEM or PKCS#12 files, and the X.509 fields and key usage that qxCertGetField and
// qxCertGetKeyUsage report.
#include <openssl/x509.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/qxauth/qxAuth.h"

namespace qxauth {

struct LabCertificate {
    std::shared_ptr<X509> x509;
    std::vector<uint8_t> der;
    std::array<uint8_t, QX_CERT_HASH_LENGTH> hash{};  // SHA-1 of the DER
    bool hasKey = false;
};

// Every certificate of a PEM or PKCS#12 file (a PKCS#12 file with its password), each marked with
// whether the file holds its private key. Empty when the file cannot be read.
std::vector<LabCertificate> certificatesOfFile(const std::string& path, const std::string& password);
// The certificates of a PEM text (no keys); empty when there are none.
std::vector<LabCertificate> certificatesOfPem(const std::string& text);
LabCertificate labCertificate(std::shared_ptr<X509> x509, bool hasKey);

// The values of a field (QX_CERT_*), in order; false for an unknown field.
bool fieldValues(X509* x509, int fieldId, std::vector<std::string>* values);
// RFC 5280's key usage bits as QX_KEY_USAGE_* (bit n is bit n); 0 without the extension.
int keyUsageBits(X509* x509);

}  // namespace qxauth
