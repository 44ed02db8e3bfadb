#pragma once
// Store types, status codes, the library's field identifiers as the engine reads them and the
// internal error number of every place a certificate call fails.
#include <cstdint>

class CertificateConstants {
public:
    // Store types (CertificateStoreImpl::type()).
    static constexpr int STORE_BASE = 0;
    static constexpr int STORE_URL = 1;
    static constexpr int STORE_SMART_CARD = 2;
    static constexpr int STORE_BASE64 = 4;
    static constexpr int STORE_USER_PERSONAL = 5;
    static constexpr int STORE_USER_INTERMEDIATE_CA = 6;
    static constexpr int STORE_USER_ROOT_CA = 7;
    static constexpr int STORE_MACHINE_PERSONAL = 8;
    static constexpr int STORE_MACHINE_INTERMEDIATE_CA = 9;
    static constexpr int STORE_MACHINE_ROOT_CA = 10;

    // Results of the certificate operations (certificateStatusToText).
    static constexpr int OK = 0;
    static constexpr int ERR_UNUSABLE = 1;
    static constexpr int ERR_NO_HANDLE = 2;
    static constexpr int ERR_NOT_FOUND = 3;
    static constexpr int ERR_WRONG_PIN = 4;
    static constexpr int ERR_CARD_BLOCKED = 5;
    static constexpr int ERR_NO_PRIVATE_KEY = 6;
    static constexpr int ERR_INTERNAL_ERROR = 7;

    static constexpr int HASH_LENGTH = 20;
    static constexpr int INITIAL_HASH_ROOM = 10;
    static constexpr int FIELD_BUFFER = 512;
    static constexpr int NAME_BUFFER = 256;

    static constexpr const char* EKU_SMART_CARD_LOGON = "1.3.6.1.4.1.311.20.2.2";
    static constexpr const char* EKU_CLIENT_AUTH = "1.3.6.1.5.5.7.3.2";
    static constexpr std::int32_t KEY_USAGE_DIGITAL_SIGNATURE = 0x01;

    static constexpr int ERROR_CERT_DESTROY = 110;
    static constexpr int ERROR_PIN_CREATE = 186;
    static constexpr int ERROR_PIN_DESTROY = 187;
    static constexpr int ERROR_CERT_CREATE = 196;
    static constexpr int ERROR_STORE_DESTROY = 197;
    static constexpr int ERROR_GET_CERT_LIST = 198;
    static constexpr int ERROR_MEM_CREATE = 199;
    static constexpr int ERROR_URL_CREATE = 200;
    static constexpr int ERROR_SCARD_STRING = 202;
    static constexpr int ERROR_REGISTERED_NAME = 203;
    static constexpr int ERROR_LOAD_PRIVATE_KEY = 204;
    static constexpr int ERROR_LOAD_CHAIN = 205;
};

// "OK", "ERR_UNUSABLE", ... and "ERR_UNKNOWN" for any other value.
const char* certificateStatusToText(int status);

// A failed library call: its internal error number and "<function>() error <code> [<file>:<line>]".
void logCertificateCallFailure(int number, const char* function, int code, const char* file, int line);
