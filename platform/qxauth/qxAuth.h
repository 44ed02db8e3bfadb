#pragma once
// qxAuth: the 802.1X/EAP authentication library as the engine uses it, declared once for the
// engine and for the stand-in that serves it from the lab. Every function, callback, record and
// code the engine calls is here, with each open meaning decided.
//
// Conventions
// - Every function but the *String ones returns an int: QX_OK (0), or a negative QX_ERR_* code.
// - Handles are created through an out-pointer and destroyed through a pointer to the caller's
//   copy, which the destroy call sets to 0 / null.
// - Callbacks run on the library's thread (the lab thread) with the context registered with them
//   first. A callback may call the library. No callback of a port or of its EAP instance follows
//   its detach or destroy, and none at all follows qxExit().
// - Texts are NUL-terminated 8-bit strings. Records are little-endian with the fixed offsets that
//   the static_asserts below check; the layouts assume a 64-bit platform where a record holds a
//   pointer.
// - Every speed the library reports is in kbit/s.
//
// The stand-in (libqxAuth) serves every call from the lab (platform/lab): each call is recorded
// and can be told to fail.
#include <cstddef>
#include <cstdint>

static_assert(sizeof(void*) == 8, "qxAuth records are laid out for a 64-bit platform");
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "qxAuth records are little-endian");

extern "C" {

// ---------------------------------------------------------------------------------------------
// Result codes (qxErrorString gives the name as the text, "QX_ERR_UNKNOWN" for any other value)
// ---------------------------------------------------------------------------------------------
enum {
    QX_OK = 0,
    QX_ERR_FAILURE = -1,           // the call failed for a reason of its own
    QX_ERR_NOT_INITIALIZED = -2,   // before qxInit, or after qxExit
    QX_ERR_BUFFER_TOO_SMALL = -3,  // the length or count out-parameter holds what is needed
    QX_ERR_INV_PARAM = -4,         // a null pointer, a bad value, a handle of another kind or destroyed
    QX_ERR_NOT_SUPPORTED = -15,    // e.g. qxSmartCardInit where there are no smart cards
    QX_ERR_ALREADY_SET = -19,      // qxLogSetPcapFile: a capture file is set already
    QX_ERR_NOT_FOUND = -21,        // an adapter, field, PAC field or certificate that is not there
    QX_ERR_NO_INFO = -22,          // no association information or location answer (yet)
    QX_ERR_UNDECIDED = -24,        // qxCredServerVerifyCA: the library has not decided on the server
    QX_ERR_NO_PRIVATE_KEY = -25,
    QX_ERR_WRONG_PIN = -29,
    QX_ERR_INV_SYNC = -30,        // an answer to a request that is no longer open
    QX_ERR_NOT_APPLICABLE = -32,  // the trust agent's entries: nothing to do (not a failure)
    QX_ERR_CANCELED = -35,        // an answer to a request the library has cancelled
    QX_ERR_CARD_BLOCKED = -36,
};

const char* qxErrorString(int code);

// ---------------------------------------------------------------------------------------------
// Start, version, exit and the global callback
// ---------------------------------------------------------------------------------------------

// Global event kinds (qxEventString: the names below; "QX_EVENT_UNKNOWN" otherwise).
enum {
    // The symbolic names of the adapters present: each text NUL-terminated, `length` bytes in
    // all. Sent once after qxInit and again on each change of the set. A symbolic name is the
    // 38-character GUID in braces of the lab adapter's `name`.
    QX_EVENT_ADAPTER_LIST = 1,
    // The identifiers of the inserted smart cards, in the same form; sent after a successful
    // qxSmartCardInit and on each change.
    QX_EVENT_SMART_CARD_LIST = 2,
    // An adapter's IP configuration changed; data and length are 0. The engine ignores it.
    QX_EVENT_IP_CONFIG_CHANGED = 3,
};

typedef void (*QX_GLOBAL_CALLBACK)(void* context, int kind, const void* data, int length);

// Given to qxInit.
typedef struct QX_INIT {
    void* context;
    QX_GLOBAL_CALLBACK callback;
} QX_INIT;

// Reads the lab; a lab that cannot be read fails the start with QX_ERR_FAILURE and names the
// problem (file and line) on standard error.
int qxInit(const QX_INIT* init);
// After it no callback runs; it waits for one in progress unless called from inside it.
int qxExit(void);
const char* qxEventString(int kind);

// Filled by qxVersion: what the lab's <library> says.
typedef struct QX_VERSION {
    int32_t major;
    int32_t minor;
    int32_t patch;
    int32_t build;
    int64_t built;  // build time, seconds since 1970 (UTC)
} QX_VERSION;

int qxVersion(QX_VERSION* version);

// ---------------------------------------------------------------------------------------------
// The library's own log
// ---------------------------------------------------------------------------------------------

// Levels 1 to 15 (qxLogLevelString: the names below; "QX_LOG_UNKNOWN" otherwise). The engine
// enables 1 to 14; 15 (every frame in hexadecimal) is never enabled by it.
enum {
    QX_LOG_ERROR = 1,
    QX_LOG_WARNING = 2,
    QX_LOG_INFO = 3,
    QX_LOG_DEBUG = 4,
    QX_LOG_PORT = 5,
    QX_LOG_ASSOCIATION = 6,
    QX_LOG_SCAN = 7,
    QX_LOG_EAP = 8,
    QX_LOG_CREDENTIAL = 9,
    QX_LOG_CERTIFICATE = 10,
    QX_LOG_SMART_CARD = 11,
    QX_LOG_IP = 12,
    QX_LOG_CAPTURE = 13,
    QX_LOG_PLUGIN = 14,
    QX_LOG_FRAMES = 15,
};

typedef struct QX_LOG_LINE {
    int32_t level;
    uint32_t number;       // the line's number in the library's own count
    int64_t time;          // seconds since 1970 (UTC)
    const char* fileName;  // the library's source file
    int32_t line;
} QX_LOG_LINE;

typedef void (*QX_LOG_CALLBACK)(void* context, const QX_LOG_LINE* line, const char* message);

int qxLogSet(void* context, QX_LOG_CALLBACK callback);
// enable: 1 on, 0 off. Lines of a level come only while it is on.
int qxLogEnable(int level, int enable);
const char* qxLogLevelString(int level);
// Capture of one port's EAPOL frames into a pcap file of at most maxBytes; a null file switches
// it off. QX_ERR_ALREADY_SET while a file is set.
int qxLogSetPcapFile(const char* portName, const char* fileName, int maxBytes);

// ---------------------------------------------------------------------------------------------
// EAP methods, smart cards and the trust agent
// ---------------------------------------------------------------------------------------------

// The context is the caller's; the library keeps it for the method's or cards' callbacks.
int qxSmartCardInit(void* context);
int qxEapLEAPInit(void* context);
int qxEapFASTInit(void* context);
int qxEapMSCHAPv2Init(void* context);
int qxEapGTCInit(void* context);
int qxEapPEAPInit(void* context);
int qxEapTLSInit(void* context);
int qxEapMD5Init(void* context);
int qxEapTTLSInit(void* context);

// The record qxTlvInit fills for the trust agent, handed to it unchanged. The agent refuses
// (QX_ERR_INV_PARAM) a record whose tag, version or check is not what qxTlvInit writes.
typedef struct QX_TLV {
    uint32_t tag;      // QX_TLV_TAG
    uint32_t version;  // QX_TLV_VERSION
    uint32_t issuer;   // the process that made it
    uint32_t serial;   // counts the records the library made
    uint8_t nonce[8];
    uint32_t check;  // qxTlvCheck() of the 24 bytes before it
} QX_TLV;

enum : uint32_t { QX_TLV_TAG = 0x56545851u /* "QXTV" */, QX_TLV_VERSION = 1 };

int qxTlvInit(QX_TLV* tlv);

// FNV-1a over the record's first 24 bytes: the check both sides compute.
inline uint32_t qxTlvCheck(const QX_TLV* tlv) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(tlv);
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < offsetof(QX_TLV, check); ++i) hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

// The trust agent's entries, looked up by name in the plug-in "qxTivra" (libqxTivra.so). Both
// answer QX_ERR_NOT_APPLICABLE when there is nothing for them to do.
typedef int (*QX_TIVRA_INIT2)(QX_TLV* tlv, const char* name);
typedef int (*QX_TIVRA_EXIT)(void);
#define QX_TIVRA_MODULE_NAME "qxTivra"
#define QX_TIVRA_INIT2_NAME "qxTivraInit2"
#define QX_TIVRA_EXIT_NAME "qxTivraExit"

// ---------------------------------------------------------------------------------------------
// Handles of credentials, certificates and certificate stores
// ---------------------------------------------------------------------------------------------

// One handle type, tagged with its kind in the top byte and numbered in the rest; 0 is none.
// A handle of another kind, or one destroyed, is refused with QX_ERR_INV_PARAM.
typedef uint32_t QX_HANDLE;

enum {
    QX_HANDLE_IDENTITY = 1,
    QX_HANDLE_PASSWORD = 2,
    QX_HANDLE_PIN = 3,
    QX_HANDLE_PSK = 4,
    QX_HANDLE_PAC = 5,
    QX_HANDLE_CERTIFICATE = 6,
    QX_HANDLE_STORE = 7,
};

inline int qxHandleKind(QX_HANDLE handle) {
    return static_cast<int>(handle >> 24);
}
inline uint32_t qxHandleNumber(QX_HANDLE handle) {
    return handle & 0xFFFFFFu;
}

int qxIdentityCreate(QX_HANDLE* identity, const uint8_t* bytes, int length);
int qxIdentityDestroy(QX_HANDLE* identity);
int qxPasswordCreate(QX_HANDLE* password, const uint8_t* bytes, int length);
int qxPasswordDestroy(QX_HANDLE* password);
int qxPinCreate(QX_HANDLE* pin, const char* text, int length);
int qxPinDestroy(QX_HANDLE* pin);
// The pairwise master key of a pass phrase (8 to 63 characters) over an SSID (1 to 32 bytes):
// PBKDF2-HMAC-SHA1, 4096 rounds, 32 bytes.
int qxRsnPskCreate(QX_HANDLE* psk, const char* passPhrase, const uint8_t* ssid, int ssidLength);
// A key given as its bytes (32, or a WEP key of 5 or 13).
int qxRsnBinPskCreate(QX_HANDLE* psk, const uint8_t* key, int length);
int qxRsnPskDestroy(QX_HANDLE* psk);
int qxEapFASTPacCreate(QX_HANDLE* pac, const uint8_t* key, int keyLength, const uint8_t* opaque,
                       int opaqueLength);
int qxEapFASTPacDestroy(QX_HANDLE* pac);

// Certificate stores: the six OS stores "certStore://winsys/{CURRENT_USER,LOCAL_MACHINE}/{MY,CA,
// ROOT}" and smart cards "certStore://scard/<id>"; another URL is QX_ERR_NOT_FOUND.
int qxCertStoreUrlCreate(QX_HANDLE* store, const char* url);
int qxCertStoreMemCreate(QX_HANDLE* store, const char* pemText, int length);
int qxCertStoreDestroy(QX_HANDLE* store);
// Hashes of QX_CERT_HASH_LENGTH bytes back to back; count: in, room; out, how many there are
// (QX_ERR_BUFFER_TOO_SMALL when they do not fit).
int qxCertStoreGetCertList(QX_HANDLE store, uint8_t* hashes, int* count);
int qxCertStoreUrlScardString(const char* cardId, char* buffer, int* length);
int qxSmartCardGetRegisteredName(const char* cardId, char* buffer, int* length);

enum { QX_CERT_HASH_LENGTH = 20 };  // SHA-1 of the DER

int qxCertCreate(QX_HANDLE* certificate, QX_HANDLE store, const uint8_t* hash, int length);
int qxCertDestroy(QX_HANDLE* certificate);
// Value `index` of a field (0, 1, ... until QX_ERR_NOT_FOUND); length: in, room; out, the text's
// length (QX_ERR_BUFFER_TOO_SMALL when it does not fit).
int qxCertGetField(QX_HANDLE certificate, int fieldId, int index, char* buffer, int* length);
int qxCertGetKeyUsage(QX_HANDLE certificate, int* usage);
// pin may be 0. QX_ERR_NO_PRIVATE_KEY, QX_ERR_WRONG_PIN, QX_ERR_CARD_BLOCKED, QX_ERR_NOT_FOUND
// (card removed).
int qxCertLoadPrivateKey(QX_HANDLE certificate, QX_HANDLE pin);
// complete: 1 when the chain built from the stores ends in a self-signed certificate.
int qxCertLoadChain(QX_HANDLE certificate, const QX_HANDLE* stores, int count, int* complete);

// Field identifiers of qxCertGetField.
enum {
    QX_CERT_SERIAL = 1000,       // hexadecimal
    QX_CERT_SUBJECT = 2000,      // RFC 2253 text
    QX_CERT_SUBJECT_CN = 2001,   // each common name
    QX_CERT_SUBJECT_DC = 2002,   // the domain components joined by "."
    QX_CERT_SUBJECT_ORG = 2003,  // O, then OU values
    QX_CERT_UPN = 3000,          // the first UPN, else the e-mail alternative name
    QX_CERT_ALT_NAMES = 3001,    // DNS, then e-mail alternative names
    QX_CERT_ISSUER = 4000,
    QX_CERT_ISSUER_CN = 4001,
    QX_CERT_ISSUER_DC = 4002,
    QX_CERT_ISSUER_ORG = 4003,
    QX_CERT_ISSUER_ALT_NAMES = 5000,
    QX_CERT_NOT_BEFORE = 6000,  // the DER time text
    QX_CERT_NOT_AFTER = 6001,
    QX_CERT_EXTENDED_KEY_USAGE = 7000,  // OIDs in dotted form
    QX_CERT_SIGNATURE_ALGORITHM = 8000,
};

// Key usage bits: bit n is RFC 5280's bit n; 0 when the certificate has no key usage.
enum {
    QX_KEY_USAGE_DIGITAL_SIGNATURE = 0x01,
    QX_KEY_USAGE_NON_REPUDIATION = 0x02,
    QX_KEY_USAGE_KEY_ENCIPHERMENT = 0x04,
    QX_KEY_USAGE_DATA_ENCIPHERMENT = 0x08,
    QX_KEY_USAGE_KEY_AGREEMENT = 0x10,
    QX_KEY_USAGE_KEY_CERT_SIGN = 0x20,
    QX_KEY_USAGE_CRL_SIGN = 0x40,
};

// ---------------------------------------------------------------------------------------------
// Adapters: attributes and scans (by symbolic name)
// ---------------------------------------------------------------------------------------------

typedef struct QX_PORT_ATTR {
    char description[256];
    uint8_t macAddress[6];
    uint8_t reserved[2];
    uint32_t mtu;
    uint32_t flags;  // QX_ATTR_*
} QX_PORT_ATTR;

enum : uint32_t {
    QX_ATTR_8023 = 1u << 0,
    QX_ATTR_80211A = 1u << 1,
    QX_ATTR_80211B = 1u << 2,
    QX_ATTR_80211G = 1u << 3,
    QX_ATTR_80211N = 1u << 4,
    QX_ATTR_WIRELESS = 0x1Eu,  // any of the four bands
    QX_ATTR_ENC_NONE = 1u << 8,
    QX_ATTR_ENC_WEP = 1u << 9,
    QX_ATTR_ENC_TKIP = 1u << 10,
    QX_ATTR_ENC_AES = 1u << 11,
    QX_ATTR_AUTH_OPEN = 1u << 16,
    QX_ATTR_AUTH_SHARED = 1u << 17,
    QX_ATTR_AUTH_WPA_1X = 1u << 18,
    QX_ATTR_AUTH_WPA_PSK = 1u << 19,
    QX_ATTR_AUTH_WPA_QUILLAN = 1u << 20,
    QX_ATTR_AUTH_11I_1X = 1u << 21,
    QX_ATTR_AUTH_11I_PSK = 1u << 22,
    QX_ATTR_AUTH_11I_QUILLAN = 1u << 23,
    QX_ATTR_LOCATION = 1u << 24,
};

// QX_ERR_NOT_FOUND once the adapter has gone.
int qxGetPortAttr(const char* portName, QX_PORT_ATTR* attributes);

// One seen network in the list of qxGetPortSsidList.
typedef struct QX_RSN_SUMMARY {
    uint32_t version;
    uint32_t bits;  // QX_SUITE_* and QX_AKM_*
} QX_RSN_SUMMARY;

typedef struct QX_SSID_ENTRY {
    uint8_t ssid[32];
    uint32_t ssidLength;
    uint8_t bssid[6];
    uint8_t reserved[2];
    uint32_t flags;  // QX_SSID_*
    QX_RSN_SUMMARY wpa;
    QX_RSN_SUMMARY rsn;
    uint32_t value;         // kept with the entry
    uint32_t locationBits;  // location capability bits 3 to 14
    uint32_t channel;
    int32_t signal;  // dBm
    int32_t snr;     // dB: how far the signal stands above the noise floor
} QX_SSID_ENTRY;

enum : uint32_t {
    QX_SSID_PRIVACY = 1u << 0,
    QX_SSID_SKIP = 1u << 1,  // not to be listed
    QX_SSID_ESS = 1u << 2,
    QX_SSID_IBSS = 1u << 3,
    QX_SSID_WPA = 1u << 4,  // `wpa` holds the WPA element
    QX_SSID_RSN = 1u << 5,  // `rsn` holds the RSN element
};

enum : uint32_t {
    QX_SUITE_TKIP = 0x40,
    QX_SUITE_CCMP = 0x80,
    QX_AKM_8021X = 0x800,
    QX_AKM_PSK = 0x1000,
    QX_AKM_QUILLAN = 0x2000,
};

// With a null buffer, length becomes the bytes the list needs; with a buffer too small,
// QX_ERR_BUFFER_TOO_SMALL and the same.
int qxGetPortSsidList(const char* portName, void* buffer, int* length);

// ---------------------------------------------------------------------------------------------
// Ports and EAP instances
// ---------------------------------------------------------------------------------------------

typedef struct QX_PORT_RECORD* QX_PORT;
typedef struct QX_EAP_RECORD* QX_EAP;

// Port notifications (the port callback's type).
enum {
    QX_PORT_EVENT_LINK_MODE = 1,       // QX_PORT_LINK_MODE
    QX_PORT_EVENT_STATE_STATUS = 2,    // QX_PORT_STATE_STATUS
    QX_PORT_EVENT_STATUS = 3,          // QX_PORT_STATE_STATUS, state word not meaningful
    QX_PORT_EVENT_LOCATION = 4,        // QX_LOC_RESPONSE and its items
    QX_PORT_EVENT_LOCATION_ERROR = 5,  // QX_LOC_ERR_RESPONSE
};

typedef void (*QX_PORT_CALLBACK)(void* context, int type, const void* data, int length);

// Link modes.
enum {
    QX_LINK_ASSOCIATING = 1,
    QX_LINK_UP = 2,  // value: link speed in kbit/s
    QX_LINK_DOWN = 3,
};

typedef struct QX_PORT_LINK_MODE {
    int32_t mode;
    int32_t value;
} QX_PORT_LINK_MODE;

// Port states (qxPortStateString: the names below, "QX_PORT_STATE_UNKNOWN" otherwise).
enum {
    QX_PORT_STATE_DISCONNECTED = 1,
    QX_PORT_STATE_CONNECTING = 2,
    QX_PORT_STATE_AUTHENTICATED = 3,
    QX_PORT_STATE_AUTHENTICATING = 4,
    QX_PORT_STATE_HELD = 5,
};

// Port statuses (qxPortStatusString: the names below, "QX_PORT_STATUS_UNKNOWN" otherwise).
// HELD with LINK_DOWN, NO_AUTHENTICATOR, LOGOFF or SUPERSEDED is not a failed authentication.
enum {
    QX_PORT_STATUS_LINK_DOWN = 100,
    QX_PORT_STATUS_LINK_UP = 101,
    QX_PORT_STATUS_SUCCESS = 200,
    QX_PORT_STATUS_EAP_FAILURE = 201,
    QX_PORT_STATUS_TIMEOUT = 202,
    QX_PORT_STATUS_NO_AUTHENTICATOR = 203,
    QX_PORT_STATUS_LOGOFF = 204,
    QX_PORT_STATUS_SERVER_REJECTED = 205,
    QX_PORT_STATUS_CANCELED = 206,
    QX_PORT_STATUS_METHOD_REFUSED = 207,
    QX_PORT_STATUS_REAUTHENTICATING = 600,
    QX_PORT_STATUS_IN_PROGRESS = 601,
    QX_PORT_STATUS_KEY_MISMATCH = 700,
    QX_PORT_STATUS_SUPERSEDED = 710,
};

typedef struct QX_PORT_STATE_STATUS {
    int32_t state;
    int32_t status;
} QX_PORT_STATE_STATUS;

// A location answer: this fixed part, then its items. Item offsets count from the end of the
// fixed part; 0 means absent for all but the data item, which is always there.
typedef struct QX_LOC_RESPONSE {
    uint16_t sequence;  // the query's
    uint16_t reserved0;
    int32_t format;  // 1 CIVIC, 2 GEO, 3 Varnel
    int32_t encoding;
    uint32_t dataOffset;  // uint16 length, then the bytes
    uint32_t reserved16;
    uint32_t signatureOffset;  // uint8 signature type, uint8 length, then the bytes
    uint32_t reserved24;
    uint32_t idOffset;  // uint16 length, then the location identifier's text
    uint32_t reserved32;
    uint32_t accuracyOffset;  // int32
} QX_LOC_RESPONSE;

enum { QX_LOC_RESPONSE_MIN_LENGTH = 44 };

typedef struct QX_LOC_ERR_RESPONSE {
    int32_t error;
    int32_t sequence;  // the 16-bit number of the QX_LOCATION_QUERY it answers
} QX_LOC_ERR_RESPONSE;

// EAP callback types; data is a QX_CRED_REQUEST* or an int* holding a QX_EAP_STATUS_*.
enum {
    QX_EAP_CB_CRED_REQUEST = 1,
    QX_EAP_CB_STATUS = 2,
};

typedef void (*QX_EAP_CALLBACK)(void* context, int type, void* data);

// EAP statuses (qxEapStatusString: the names below, "QX_EAP_STATUS_UNKNOWN" otherwise).
enum {
    QX_EAP_STATUS_METHOD_SELECTED = 300,
    QX_EAP_STATUS_TUNNEL_UP = 301,
    QX_EAP_STATUS_INVALID_PAC = 318,
    QX_EAP_STATUS_SUCCESS = 400,
    QX_EAP_STATUS_PROTECTED_FAILURE = 401,
    QX_EAP_STATUS_CLEARTEXT_FAILURE = 402,
};

// EAP levels 1 to 15 (0 is the outer method; 15 is never enabled).
enum { QX_EAP_LEVEL_MAX = 15 };

// A credential request of the EAP callback. The library waits for its answer (by sync) and for
// qxCredComplete; an answer to a request no longer open is QX_ERR_INV_SYNC, one to a request the
// library cancelled QX_ERR_CANCELED.
typedef struct QX_CRED_REQUEST {
    int32_t sync;
    int32_t type;   // QX_CRED_*
    int32_t level;  // 0 outer, 1 and more inside a tunnel
    int32_t reserved;
    int32_t flag;   // 1: asked again (e.g. after a wrong answer)
    int32_t value;  // the EAP type at that level
} QX_CRED_REQUEST;

enum {
    QX_CRED_CRED_CANCELED = 1,
    QX_CRED_SESSION_START = 2,
    QX_CRED_IDENTITY = 3,
    QX_CRED_EAP_METHODS = 4,
    QX_CRED_PASSWORD = 5,
    QX_CRED_PASSWORD_CHANGE = 6,
    QX_CRED_PASSWORD_RETRY = 7,
    QX_CRED_SERVER_VERIFY = 8,
    QX_CRED_USER_CERT = 9,
    QX_CRED_EAP_NOTIFICATION = 10,
    QX_CRED_EAP_FAST_PAC = 11,
    QX_CRED_EAP_FAST_PAC_TYPES = 12,
    QX_CRED_EAP_FAST_PAC_SAVE = 13,
    QX_CRED_EAP_SIM_ALT_IDENTITY_SAVE = 14,
    QX_CRED_EAP_TTLS_TUNNEL_METHOD = 15,
    QX_CRED_CRED_MACHINE_IDENTITY = 16,
    QX_CRED_EAP_FAST_PROVISION_MODES = 17,
};

typedef struct QX_EAP_METHOD {
    int32_t vendorId;  // 0 for the standard types
    int32_t type;      // EAP type (4 MD5, 6 GTC, 13 TLS, 17 LEAP, 21 TTLS, 25 PEAP, 26 MSCHAPv2, 43 FAST)
} QX_EAP_METHOD;

// EAP-FAST provisioning modes and PAC types.
enum {
    QX_FAST_PROVISION_UNAUTHENTICATED = 1,
    QX_FAST_PROVISION_AUTHENTICATED = 2,
};
enum {
    QX_PAC_TYPE_TUNNEL = 1,
    QX_PAC_TYPE_MACHINE = 2,
};

// TTLS inner methods of qxCredEapTTLSTunnelMethod.
enum {
    QX_TTLS_CHAP = 1,
    QX_TTLS_MSCHAP = 2,
    QX_TTLS_MSCHAPV2 = 3,
    QX_TTLS_PAP = 4,
    QX_TTLS_EAP = 5,
};

// Association (by the library's mode and encryption numbers).
enum {
    QX_ASSOC_SHARED = 1,
    QX_ASSOC_OPEN = 2,
    QX_ASSOC_WPA_ENTERPRISE = 10,
    QX_ASSOC_WPA_PERSONAL = 11,
    QX_ASSOC_WPA_QUILLAN = 12,
    QX_ASSOC_WPA2_ENTERPRISE = 20,
    QX_ASSOC_WPA2_PERSONAL = 21,
    QX_ASSOC_WPA2_QUILLAN = 22,
};
enum {
    QX_ADHOC_SHARED = 1,
    QX_ADHOC_OPEN = 2,
};
enum {
    QX_ENCRYPTION_NONE = 1,
    QX_ENCRYPTION_WEP = 2,
    QX_ENCRYPTION_TKIP = 3,
    QX_ENCRYPTION_AES = 4,
};

typedef struct QX_ASSOCIATE {
    uint8_t ssid[32];
    uint32_t ssidLength;
    uint32_t mode;          // QX_ASSOC_*
    uint32_t encryption;    // QX_ENCRYPTION_*
    uint32_t wepKeyLength;  // 5 or 13
    uint8_t wepKey[13];
    uint8_t reserved61[3];
    uint32_t wepKeyPresent;  // 1
    uint8_t reserved68[72];
} QX_ASSOCIATE;

typedef struct QX_ADHOC {
    uint8_t ssid[32];
    uint32_t ssidLength;
    uint32_t reserved36;
    uint32_t mode;  // QX_ADHOC_*
    uint32_t encryption;
    uint32_t wepKeyLength;
    uint8_t wepKey[13];
    uint8_t reserved65[3];
    uint32_t wepKeyPresent;
    uint8_t reserved72[72];
} QX_ADHOC;

// Seconds of the 802.1X port timers.
typedef struct QX_8021X_CFG {
    int32_t authPeriod;
    int32_t heldPeriod;
    int32_t startPeriod;
    int32_t maxStart;  // EAPOL-Starts before the port holds with NO_AUTHENTICATOR
} QX_8021X_CFG;

// Wireless: the associated point; wired: only linkSpeed is set.
typedef struct QX_ASSOCIATION_INFO {
    uint8_t ssid[32];
    uint32_t ssidLength;
    uint8_t bssid[6];
    uint8_t reserved[2];
    int32_t channel;
    int32_t linkSpeed;  // kbit/s
    int32_t signal;     // dBm
} QX_ASSOCIATION_INFO;

typedef struct QX_LOCATION_QUERY {
    uint16_t sequence;
    uint16_t reserved;
    uint32_t flags;  // QX_LOCATION_*
    int32_t format;  // as the answer's
    int32_t encoding;
    int32_t resolution;
} QX_LOCATION_QUERY;

enum : uint32_t {
    QX_LOCATION_SECURE_ONLY = 0x1,
    QX_LOCATION_SIGNATURE = 0x2,
    QX_LOCATION_ID = 0x4,
};

// Modes of qxPortAuth.
enum {
    QX_PORT_AUTH_8021X = 1,  // run 802.1X (EAP, or a personal network's key handshake)
    QX_PORT_AUTH_OPEN = 2,   // pass traffic, no port states
    QX_PORT_AUTH_CLOSED = 3,
};

int qxEapCreate(QX_EAP* eap, void* context, QX_EAP_CALLBACK callback);
int qxEapDestroy(QX_EAP* eap);
int qxPortAttach(QX_PORT* port, const char* portName, QX_EAP eap, void* context, QX_PORT_CALLBACK callback);
int qxPortDetach(QX_PORT* port);

int qxPortAssociate(QX_PORT port, const QX_ASSOCIATE* record);
int qxPortAdhoc(QX_PORT port, const QX_ADHOC* record);
int qxPortDisassociate(QX_PORT port);
int qxPortRadioOff(QX_PORT port);
int qxPortSsidScan(QX_PORT port);
// enable: 1 checks the RSN element of probe answers against the beacon's, 0 does not.
int qxRsnProbeIeVerifyEnable(QX_PORT port, int enable);
int qx8021xCfg(QX_PORT port, const QX_8021X_CFG* config);
int qxCredRsnPsk(QX_PORT port, QX_HANDLE psk);
int qxPortAuth(QX_PORT port, int mode);
// Stops the authentication (an open request is cancelled; DISCONNECTED, LOGOFF) until the next
// qxPortAuth starts it.
int qxPortAuthReset(QX_PORT port);
int qxPortGetAssociationInfo(QX_PORT port, QX_ASSOCIATION_INFO* info);
int qxPortGetLinkSpeed(QX_PORT port, int32_t* kbps);
// state: 1 link up, 0 down.
int qxPortGetLinkState(QX_PORT port, int32_t* state);
// The answer comes as a port notification 4 (or 5); QX_ERR_NO_INFO when there is none.
int qxPortGetLocation(QX_PORT port, const QX_LOCATION_QUERY* query);

const char* qxPortStateString(int state);
const char* qxPortStatusString(int status);
const char* qxEapStatusString(int status);

// Questions about an open credential request (by sync). Buffers: length in, room; out, the bytes
// written, or needed with QX_ERR_BUFFER_TOO_SMALL (a null buffer asks only the length).
int qxCredGetEapMethod(QX_EAP eap, int sync, QX_EAP_METHOD* method, int level);
int qxCredGetIdentityPrompt(QX_EAP eap, int sync, char* buffer, int* length);
int qxCredGetPasswordPrompt(QX_EAP eap, int sync, char* buffer, int* length);
int qxCredServerGetCert(QX_HANDLE* certificate, QX_EAP eap, int sync);
int qxCredServerVerifyChain(QX_EAP eap, int sync, int* chainIsValid);
int qxCredServerVerifyCA(QX_EAP eap, int sync, QX_HANDLE certificate, int* inChain);
int qxCredGetEapFASTAID(QX_EAP eap, int sync, uint8_t* buffer, int* length);
// mode: QX_FAST_PROVISION_*
int qxCredGetEapFASTMode(QX_EAP eap, int sync, int* mode);
// The fields of a PAC to save (QX_CRED_EAP_FAST_PAC_SAVE); an absent field is QX_ERR_NOT_FOUND.
int qxCredGetEapFASTPacAID(QX_EAP eap, int sync, uint8_t* buffer, int* length);
int qxCredGetEapFASTPacAIDInfo(QX_EAP eap, int sync, char* buffer, int* length);
int qxCredGetEapFASTPacIID(QX_EAP eap, int sync, char* buffer, int* length);
int qxCredGetEapFASTPacKey(QX_EAP eap, int sync, uint8_t* buffer, int* length);
// Seconds since 1970; 0 when the PAC does not expire.
int qxCredGetEapFASTPacLifeTime(QX_EAP eap, int sync, int32_t* lifetime);
int qxCredGetEapFASTPacOpaque(QX_EAP eap, int sync, uint8_t* buffer, int* length);
int qxCredGetEapFASTPacType(QX_EAP eap, int sync, int* type);

// Answers to an open credential request.
int qxCredEapMethods(QX_EAP eap, int sync, const QX_EAP_METHOD* methods, int count);
int qxCredEapTTLSTunnelMethod(QX_EAP eap, int sync, int method);
int qxCredIdentity(QX_EAP eap, int sync, QX_HANDLE identity);
int qxCredMachineIdentity(QX_EAP eap, int sync, QX_HANDLE identity);
int qxCredPassword(QX_EAP eap, int sync, QX_HANDLE password);
// full: 1 asks for a full authentication, 0 lets the server resume the session.
int qxCredSessionStart(QX_EAP eap, int sync, int full);
// The CA stores the server's certificate is checked against (at most 4 handles).
int qxCredCertStore(QX_EAP eap, const QX_HANDLE* stores, int count);
int qxCredEapFASTPac(QX_EAP eap, int sync, QX_HANDLE pac);
int qxCredEapFASTProvisionModes(QX_EAP eap, int sync, const int* modes, int count);
int qxCredEapFASTPacTypes(QX_EAP eap, int sync, const int* types, int count);
int qxCredServerVerified(QX_EAP eap, int sync, int verified);
int qxCredUserCert(QX_EAP eap, int sync, QX_HANDLE certificate);
int qxCredDeferred(QX_EAP eap, int sync);
// Ends the request; noResponse 1 when nothing was answered.
int qxCredComplete(QX_EAP eap, int sync, int noResponse);

// ---------------------------------------------------------------------------------------------
// IP configuration and DHCP (by symbolic name)
// ---------------------------------------------------------------------------------------------

typedef struct QX_IP_CONFIG {
    uint8_t address[4];
    uint8_t mask[4];
    uint8_t gateway[4];
    uint8_t server[4];  // the DHCP server
    int32_t leaseSec;
    int32_t dhcpEnabled;
} QX_IP_CONFIG;

int qxIpDhcpIsEnabled(const char* portName, int* enabled);
// Asks for an address (blocking); QX_ERR_FAILURE when nobody answers.
int qxIpReconnect(const char* portName);
int qxIpDhcpRenew(const char* portName);
int qxIpDhcpRelease(const char* portName);
int qxIpIsConnected(const char* portName, int* connected);
int qxIpGetConfig(const char* portName, QX_IP_CONFIG* config);

}  // extern "C"

// Layouts the engine reads and writes by field.
static_assert(sizeof(QX_INIT) == 16 && offsetof(QX_INIT, callback) == 8);
static_assert(sizeof(QX_VERSION) == 24 && offsetof(QX_VERSION, build) == 12 &&
              offsetof(QX_VERSION, built) == 16);
static_assert(sizeof(QX_LOG_LINE) == 32 && offsetof(QX_LOG_LINE, number) == 4 &&
              offsetof(QX_LOG_LINE, time) == 8 && offsetof(QX_LOG_LINE, fileName) == 16 &&
              offsetof(QX_LOG_LINE, line) == 24);
static_assert(sizeof(QX_TLV) == 28 && offsetof(QX_TLV, nonce) == 16 && offsetof(QX_TLV, check) == 24);
static_assert(sizeof(QX_PORT_ATTR) == 272 && offsetof(QX_PORT_ATTR, macAddress) == 256 &&
              offsetof(QX_PORT_ATTR, mtu) == 264 && offsetof(QX_PORT_ATTR, flags) == 268);
static_assert(sizeof(QX_SSID_ENTRY) == 84 && offsetof(QX_SSID_ENTRY, ssidLength) == 32 &&
              offsetof(QX_SSID_ENTRY, bssid) == 36 && offsetof(QX_SSID_ENTRY, flags) == 44 &&
              offsetof(QX_SSID_ENTRY, wpa) == 48 && offsetof(QX_SSID_ENTRY, rsn) == 56 &&
              offsetof(QX_SSID_ENTRY, value) == 64 && offsetof(QX_SSID_ENTRY, locationBits) == 68 &&
              offsetof(QX_SSID_ENTRY, channel) == 72 && offsetof(QX_SSID_ENTRY, signal) == 76 &&
              offsetof(QX_SSID_ENTRY, snr) == 80);
static_assert(sizeof(QX_PORT_LINK_MODE) == 8 && sizeof(QX_PORT_STATE_STATUS) == 8 &&
              sizeof(QX_LOC_ERR_RESPONSE) == 8);
static_assert(sizeof(QX_LOC_RESPONSE) == 40 && offsetof(QX_LOC_RESPONSE, format) == 4 &&
              offsetof(QX_LOC_RESPONSE, dataOffset) == 12 &&
              offsetof(QX_LOC_RESPONSE, signatureOffset) == 20 && offsetof(QX_LOC_RESPONSE, idOffset) == 28 &&
              offsetof(QX_LOC_RESPONSE, accuracyOffset) == 36);
static_assert(sizeof(QX_CRED_REQUEST) == 24 && offsetof(QX_CRED_REQUEST, level) == 8 &&
              offsetof(QX_CRED_REQUEST, flag) == 16 && offsetof(QX_CRED_REQUEST, value) == 20);
static_assert(sizeof(QX_EAP_METHOD) == 8 && offsetof(QX_EAP_METHOD, type) == 4);
static_assert(sizeof(QX_ASSOCIATE) == 140 && offsetof(QX_ASSOCIATE, mode) == 36 &&
              offsetof(QX_ASSOCIATE, encryption) == 40 && offsetof(QX_ASSOCIATE, wepKeyLength) == 44 &&
              offsetof(QX_ASSOCIATE, wepKey) == 48 && offsetof(QX_ASSOCIATE, wepKeyPresent) == 64);
static_assert(sizeof(QX_ADHOC) == 144 && offsetof(QX_ADHOC, reserved36) == 36 &&
              offsetof(QX_ADHOC, mode) == 40 && offsetof(QX_ADHOC, encryption) == 44 &&
              offsetof(QX_ADHOC, wepKeyLength) == 48 && offsetof(QX_ADHOC, wepKey) == 52 &&
              offsetof(QX_ADHOC, wepKeyPresent) == 68);
static_assert(sizeof(QX_8021X_CFG) == 16);
static_assert(sizeof(QX_ASSOCIATION_INFO) == 56 && offsetof(QX_ASSOCIATION_INFO, bssid) == 36 &&
              offsetof(QX_ASSOCIATION_INFO, channel) == 44 &&
              offsetof(QX_ASSOCIATION_INFO, linkSpeed) == 48 && offsetof(QX_ASSOCIATION_INFO, signal) == 52);
static_assert(sizeof(QX_LOCATION_QUERY) == 20 && offsetof(QX_LOCATION_QUERY, flags) == 4 &&
              offsetof(QX_LOCATION_QUERY, resolution) == 16);
static_assert(sizeof(QX_IP_CONFIG) == 24 && offsetof(QX_IP_CONFIG, leaseSec) == 16);
