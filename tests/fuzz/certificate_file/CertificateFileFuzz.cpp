// A certificate file of the lab's stores and cards as the authentication stand-in reads it: PEM,
// or PKCS#12 opened with the store's password (first byte even) or the card's PIN (odd); then
// every field and the key usage of each certificate found, as qxCertGetField asks them.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/qxauth/QxCertificateFiles.h"
#include "tests/fuzz/FuzzEnvironment.h"

namespace {

const int FIELDS[] = {QX_CERT_SERIAL,    QX_CERT_SUBJECT,          QX_CERT_SUBJECT_CN, QX_CERT_SUBJECT_DC,
                      QX_CERT_SUBJECT_ORG, QX_CERT_UPN,            QX_CERT_ALT_NAMES,  QX_CERT_ISSUER,
                      QX_CERT_ISSUER_CN,   QX_CERT_ISSUER_DC,      QX_CERT_ISSUER_ORG, QX_CERT_ISSUER_ALT_NAMES,
                      QX_CERT_NOT_BEFORE,  QX_CERT_NOT_AFTER,      QX_CERT_EXTENDED_KEY_USAGE,
                      QX_CERT_SIGNATURE_ALGORITHM};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 65536) return 0;
    const std::string path = tamsel::fuzz::fuzzRoot() + "/certificate";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    const std::string password = (data[0] & 1) != 0 ? "1234" : "secret";
    for (const qxauth::LabCertificate& certificate : qxauth::certificatesOfFile(path, password)) {
        if (!certificate.x509 || certificate.der.empty()) __builtin_trap();
        std::vector<std::string> values;
        for (int field : FIELDS) {
            if (!qxauth::fieldValues(certificate.x509.get(), field, &values)) __builtin_trap();
        }
        qxauth::keyUsageBits(certificate.x509.get());
    }
    qxauth::certificatesOfPem(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    return 0;
}
