// Certificates of the lab's files and their X.509 fields, read with OpenSSL.
#include "platform/qxauth/QxCertificateFiles.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/x509v3.h>

#include <fstream>
#include <iterator>

namespace qxauth {

namespace {

constexpr const char* UPN_OID = "1.3.6.1.4.1.311.20.2.3";

std::shared_ptr<X509> own(X509* x509) {
    return std::shared_ptr<X509>(x509, X509_free);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::string();
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string utf8(const ASN1_STRING* value) {
    unsigned char* text = nullptr;
    int length = ASN1_STRING_to_UTF8(&text, value);
    if (length < 0) return std::string();
    std::string out(reinterpret_cast<char*>(text), static_cast<size_t>(length));
    OPENSSL_free(text);
    return out;
}

std::string bioText(BIO* bio) {
    char* data = nullptr;
    long length = BIO_get_mem_data(bio, &data);
    std::string text(data, static_cast<size_t>(length));
    BIO_free(bio);
    return text;
}

std::vector<LabCertificate> fromPem(const std::string& text, bool withKeys) {
    std::vector<LabCertificate> out;
    BIO* bio = BIO_new_mem_buf(text.data(), static_cast<int>(text.size()));
    STACK_OF(X509_INFO)* infos = PEM_X509_INFO_read_bio(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
    if (infos == nullptr) return out;
    std::vector<EVP_PKEY*> keys;
    for (int i = 0; i < sk_X509_INFO_num(infos); ++i) {
        X509_INFO* info = sk_X509_INFO_value(infos, i);
        if (info->x_pkey != nullptr && info->x_pkey->dec_pkey != nullptr)
            keys.push_back(info->x_pkey->dec_pkey);
    }
    for (int i = 0; i < sk_X509_INFO_num(infos); ++i) {
        X509_INFO* info = sk_X509_INFO_value(infos, i);
        if (info->x509 == nullptr) continue;
        bool hasKey = false;
        for (EVP_PKEY* key : keys)
            hasKey = hasKey || (withKeys && X509_check_private_key(info->x509, key) == 1);
        X509_up_ref(info->x509);
        out.push_back(labCertificate(own(info->x509), hasKey));
    }
    sk_X509_INFO_pop_free(infos, X509_INFO_free);
    return out;
}

std::vector<LabCertificate> fromPkcs12(const std::string& bytes, const std::string& password) {
    std::vector<LabCertificate> out;
    const unsigned char* at = reinterpret_cast<const unsigned char*>(bytes.data());
    PKCS12* p12 = d2i_PKCS12(nullptr, &at, static_cast<long>(bytes.size()));
    if (p12 == nullptr) return out;
    EVP_PKEY* key = nullptr;
    X509* certificate = nullptr;
    STACK_OF(X509)* others = nullptr;
    if (PKCS12_parse(p12, password.c_str(), &key, &certificate, &others) == 1) {
        if (certificate != nullptr)
            out.push_back(labCertificate(own(certificate),
                                         key != nullptr && X509_check_private_key(certificate, key) == 1));
        for (int i = 0; i < sk_X509_num(others); ++i) {
            X509* other = sk_X509_value(others, i);
            X509_up_ref(other);
            out.push_back(labCertificate(own(other), false));
        }
    }
    EVP_PKEY_free(key);
    sk_X509_pop_free(others, X509_free);
    PKCS12_free(p12);
    return out;
}

// The names of one kind (GEN_*) of an alternative-names extension, in order.
std::vector<std::string> alternativeNames(X509* x509, int nid, int type) {
    std::vector<std::string> out;
    auto* names = static_cast<GENERAL_NAMES*>(X509_get_ext_d2i(x509, nid, nullptr, nullptr));
    for (int i = 0; i < sk_GENERAL_NAME_num(names); ++i) {
        GENERAL_NAME* name = sk_GENERAL_NAME_value(names, i);
        if (name->type != type) continue;
        if (type == GEN_OTHERNAME) {
            char oid[80];
            OBJ_obj2txt(oid, sizeof oid, name->d.otherName->type_id, 1);
            ASN1_TYPE* value = name->d.otherName->value;
            if (std::string(oid) == UPN_OID && value->type == V_ASN1_UTF8STRING)
                out.push_back(utf8(value->value.utf8string));
        } else {
            out.push_back(utf8(name->d.ia5));
        }
    }
    GENERAL_NAMES_free(names);
    return out;
}

std::vector<std::string> nameEntries(X509_NAME* name, std::initializer_list<int> nids) {
    std::vector<std::string> out;
    for (int nid : nids) {
        for (int at = X509_NAME_get_index_by_NID(name, nid, -1); at >= 0;
             at = X509_NAME_get_index_by_NID(name, nid, at))
            out.push_back(utf8(X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, at))));
    }
    return out;
}

// Domain components from the most significant: DC=example, DC=corp is "corp.example".
std::vector<std::string> domain(X509_NAME* name) {
    std::vector<std::string> parts = nameEntries(name, {NID_domainComponent});
    if (parts.empty()) return {};
    std::string joined;
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) joined += (joined.empty() ? "" : ".") + *it;
    return {joined};
}

std::string rfc2253(X509_NAME* name) {
    BIO* bio = BIO_new(BIO_s_mem());
    X509_NAME_print_ex(bio, name, 0, XN_FLAG_RFC2253);
    return bioText(bio);
}

std::string timeText(const ASN1_TIME* time) {
    return std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(time)),
                       static_cast<size_t>(ASN1_STRING_length(time)));
}

std::vector<std::string> nonEmpty(std::string value) {
    if (value.empty()) return {};
    return {value};
}

std::vector<std::string> concat(std::vector<std::string> first, const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

}  // namespace

LabCertificate labCertificate(std::shared_ptr<X509> x509, bool hasKey) {
    LabCertificate out;
    unsigned char* bytes = nullptr;
    int length = i2d_X509(x509.get(), &bytes);
    if (length > 0) {
        out.der.assign(bytes, bytes + length);
        OPENSSL_free(bytes);
    }
    unsigned int size = 0;
    EVP_Digest(out.der.data(), out.der.size(), out.hash.data(), &size, EVP_sha1(), nullptr);
    out.x509 = std::move(x509);
    out.hasKey = hasKey;
    return out;
}

std::vector<LabCertificate> certificatesOfFile(const std::string& path, const std::string& password) {
    // Read at each use: a lab may change its files while it runs, and nothing outlives the call.
    std::string bytes = readFile(path);
    return bytes.find("-----BEGIN") != std::string::npos ? fromPem(bytes, true) : fromPkcs12(bytes, password);
}

std::vector<LabCertificate> certificatesOfPem(const std::string& text) {
    return fromPem(text, false);
}

bool fieldValues(X509* x509, int fieldId, std::vector<std::string>* values) {
    X509_NAME* subject = X509_get_subject_name(x509);
    X509_NAME* issuer = X509_get_issuer_name(x509);
    switch (fieldId) {
        case QX_CERT_SERIAL: {
            BIGNUM* number = ASN1_INTEGER_to_BN(X509_get0_serialNumber(x509), nullptr);
            char* hex = BN_bn2hex(number);
            *values = nonEmpty(hex != nullptr ? hex : "");
            OPENSSL_free(hex);
            BN_free(number);
            return true;
        }
        case QX_CERT_SUBJECT:
            *values = nonEmpty(rfc2253(subject));
            return true;
        case QX_CERT_SUBJECT_CN:
            *values = nameEntries(subject, {NID_commonName});
            return true;
        case QX_CERT_SUBJECT_DC:
            *values = domain(subject);
            return true;
        case QX_CERT_SUBJECT_ORG:
            *values = nameEntries(subject, {NID_organizationName, NID_organizationalUnitName});
            return true;
        case QX_CERT_UPN: {
            std::vector<std::string> upn = alternativeNames(x509, NID_subject_alt_name, GEN_OTHERNAME);
            std::vector<std::string> email = alternativeNames(x509, NID_subject_alt_name, GEN_EMAIL);
            *values = !upn.empty()     ? nonEmpty(upn[0])
                      : !email.empty() ? nonEmpty(email[0])
                                       : std::vector<std::string>{};
            return true;
        }
        case QX_CERT_ALT_NAMES:
            *values = concat(alternativeNames(x509, NID_subject_alt_name, GEN_DNS),
                             alternativeNames(x509, NID_subject_alt_name, GEN_EMAIL));
            return true;
        case QX_CERT_ISSUER:
            *values = nonEmpty(rfc2253(issuer));
            return true;
        case QX_CERT_ISSUER_CN:
            *values = nameEntries(issuer, {NID_commonName});
            return true;
        case QX_CERT_ISSUER_DC:
            *values = domain(issuer);
            return true;
        case QX_CERT_ISSUER_ORG:
            *values = nameEntries(issuer, {NID_organizationName, NID_organizationalUnitName});
            return true;
        case QX_CERT_ISSUER_ALT_NAMES:
            *values = concat(alternativeNames(x509, NID_issuer_alt_name, GEN_DNS),
                             alternativeNames(x509, NID_issuer_alt_name, GEN_EMAIL));
            return true;
        case QX_CERT_NOT_BEFORE:
            *values = nonEmpty(timeText(X509_get0_notBefore(x509)));
            return true;
        case QX_CERT_NOT_AFTER:
            *values = nonEmpty(timeText(X509_get0_notAfter(x509)));
            return true;
        case QX_CERT_EXTENDED_KEY_USAGE: {
            values->clear();
            auto* usages =
                static_cast<EXTENDED_KEY_USAGE*>(X509_get_ext_d2i(x509, NID_ext_key_usage, nullptr, nullptr));
            for (int i = 0; i < sk_ASN1_OBJECT_num(usages); ++i) {
                char oid[80];
                OBJ_obj2txt(oid, sizeof oid, sk_ASN1_OBJECT_value(usages, i), 1);
                values->push_back(oid);
            }
            EXTENDED_KEY_USAGE_free(usages);
            return true;
        }
        case QX_CERT_SIGNATURE_ALGORITHM: {
            int nid = X509_get_signature_nid(x509);
            *values = nonEmpty(nid != NID_undef ? OBJ_nid2ln(nid) : "");
            return true;
        }
        default:
            return false;
    }
}

int keyUsageBits(X509* x509) {
    // OpenSSL keeps the first octet's bits from the high end and decipherOnly in the second.
    struct Bit {
        uint32_t openssl;
        int rfc;
    };
    static const Bit BITS[] = {{KU_DIGITAL_SIGNATURE, 0}, {KU_NON_REPUDIATION, 1}, {KU_KEY_ENCIPHERMENT, 2},
                               {KU_DATA_ENCIPHERMENT, 3}, {KU_KEY_AGREEMENT, 4},   {KU_KEY_CERT_SIGN, 5},
                               {KU_CRL_SIGN, 6},          {KU_ENCIPHER_ONLY, 7},   {KU_DECIPHER_ONLY, 8}};
    if ((X509_get_extension_flags(x509) & EXFLAG_KUSAGE) == 0) return 0;
    uint32_t usage = X509_get_key_usage(x509);
    int bits = 0;
    for (const Bit& bit : BITS)
        if ((usage & bit.openssl) != 0) bits |= 1 << bit.rfc;
    return bits;
}

}  // namespace qxauth
