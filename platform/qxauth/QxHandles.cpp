// Identity, password, PIN, pre-shared key and PAC handles: the library keeps the value behind each
// kind-tagged number until the handle is destroyed. They need no running lab.
#include <openssl/evp.h>

#include <map>
#include <mutex>

#include "platform/lab/LabCalls.h"
#include "platform/qxauth/QxLibrary.h"

namespace qxauth {

namespace {

constexpr uint32_t NUMBER_LIMIT = 0xFFFFFF;
constexpr int PSK_ROUNDS = 4096;
constexpr int PMK_LENGTH = 32;
constexpr int PAC_KEY_LENGTH = 32;
constexpr int TEXT_LIMIT = 4096;

const char* KIND_NAMES[] = {"0", "identity", "password", "pin", "psk", "pac", "certificate", "store"};

struct Table {
    std::mutex mutex;
    std::map<QX_HANDLE, HandleValue> values;
    uint32_t next[8] = {1, 1, 1, 1, 1, 1, 1, 1};
};

Table& table() {
    static Table t;
    return t;
}

std::string textOf(const uint8_t* bytes, int length) {
    if (bytes == nullptr || length <= 0 || length > TEXT_LIMIT) return std::string();
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
}

// The create functions: check, make the handle, write it to the caller.
int create(lab::Call& call, QX_HANDLE* out, HandleValue value, const std::string& arguments) {
    QX_HANDLE handle = makeHandle(std::move(value));
    if (handle == 0) return call.finish(QX_ERR_FAILURE);
    *out = handle;
    call.setArguments(handleReference(&handle) + arguments);
    return call.finish(QX_OK);
}

int destroy(const char* function, QX_HANDLE* handle, int kind) {
    lab::Call call(function, handleReference(handle));
    if (call.injected()) return call.result();
    if (handle == nullptr || !dropHandle(*handle, kind)) return call.finish(QX_ERR_INV_PARAM);
    *handle = 0;
    return call.finish(QX_OK);
}

bool badLength(const uint8_t* bytes, int length, int minimum) {
    return length < minimum || length > TEXT_LIMIT || (length > 0 && bytes == nullptr);
}

// A password or PIN: recorded by its length only.
int createSecret(const char* function, QX_HANDLE* out, int kind, const uint8_t* bytes, int length,
                 int minimum) {
    std::string arguments =
        ", " + lab::secret(length > 0 ? static_cast<size_t>(length) : 0) + ", " + std::to_string(length);
    lab::Call call(function, std::string("&") + KIND_NAMES[kind] + arguments);
    if (call.injected()) return call.result();
    if (out == nullptr || badLength(bytes, length, minimum)) return call.finish(QX_ERR_INV_PARAM);
    return create(call, out, HandleValue{kind, std::vector<uint8_t>(bytes, bytes + length), {}}, arguments);
}

}  // namespace

QX_HANDLE makeHandle(HandleValue value) {
    if (value.kind < QX_HANDLE_IDENTITY || value.kind > QX_HANDLE_STORE) return 0;
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    for (uint32_t tries = 0; tries < NUMBER_LIMIT; ++tries) {
        uint32_t number = t.next[value.kind];
        t.next[value.kind] = number >= NUMBER_LIMIT ? 1 : number + 1;
        QX_HANDLE handle = (static_cast<QX_HANDLE>(value.kind) << 24) | number;
        if (t.values.count(handle) != 0) continue;
        t.values.emplace(handle, std::move(value));
        return handle;
    }
    return 0;
}

bool handleValue(QX_HANDLE handle, int kind, HandleValue* value) {
    if (handle == 0 || qxHandleKind(handle) != kind) return false;
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.values.find(handle);
    if (it == t.values.end()) return false;
    if (value != nullptr) *value = it->second;
    return true;
}

bool dropHandle(QX_HANDLE handle, int kind) {
    if (handle == 0 || qxHandleKind(handle) != kind) return false;
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    return t.values.erase(handle) == 1;
}

std::string handleText(QX_HANDLE handle) {
    int kind = qxHandleKind(handle);
    if (handle == 0 || kind > QX_HANDLE_STORE) return lab::format("0x%x", handle);
    return std::string(KIND_NAMES[kind]) + "#" + std::to_string(qxHandleNumber(handle));
}

std::string handleReference(const QX_HANDLE* handle) {
    if (handle == nullptr) return "NULL";
    // Appended, not prefixed: GCC 12 warns falsely about a text put in front of a string.
    std::string text = "&";
    text += handleText(*handle);
    return text;
}

}  // namespace qxauth

using namespace qxauth;

int qxIdentityCreate(QX_HANDLE* identity, const uint8_t* bytes, int length) {
    std::string arguments = ", " + lab::quoted(textOf(bytes, length).c_str()) + ", " + std::to_string(length);
    lab::Call call("qxIdentityCreate", "&identity" + arguments);
    if (call.injected()) return call.result();
    if (identity == nullptr || badLength(bytes, length, 0)) return call.finish(QX_ERR_INV_PARAM);
    HandleValue value{QX_HANDLE_IDENTITY, std::vector<uint8_t>(bytes, bytes + length), {}};
    return create(call, identity, std::move(value), arguments);
}

int qxIdentityDestroy(QX_HANDLE* identity) {
    return destroy("qxIdentityDestroy", identity, QX_HANDLE_IDENTITY);
}

int qxPasswordCreate(QX_HANDLE* password, const uint8_t* bytes, int length) {
    return createSecret("qxPasswordCreate", password, QX_HANDLE_PASSWORD, bytes, length, 0);
}

int qxPasswordDestroy(QX_HANDLE* password) {
    return destroy("qxPasswordDestroy", password, QX_HANDLE_PASSWORD);
}

int qxPinCreate(QX_HANDLE* pin, const char* text, int length) {
    return createSecret("qxPinCreate", pin, QX_HANDLE_PIN, reinterpret_cast<const uint8_t*>(text), length, 1);
}

int qxPinDestroy(QX_HANDLE* pin) {
    return destroy("qxPinDestroy", pin, QX_HANDLE_PIN);
}

int qxRsnPskCreate(QX_HANDLE* psk, const char* passPhrase, const uint8_t* ssid, int ssidLength) {
    size_t phraseLength = passPhrase != nullptr ? std::char_traits<char>::length(passPhrase) : 0;
    std::string arguments = ", " + lab::secret(phraseLength) + ", " +
                            lab::quoted(textOf(ssid, ssidLength).c_str()) + ", " + std::to_string(ssidLength);
    lab::Call call("qxRsnPskCreate", "&psk" + arguments);
    if (call.injected()) return call.result();
    bool printable = true;
    for (size_t i = 0; i < phraseLength; ++i)
        printable = printable && passPhrase[i] >= 32 && passPhrase[i] <= 126;
    if (psk == nullptr || passPhrase == nullptr || phraseLength < 8 || phraseLength > 63 || !printable ||
        ssid == nullptr || ssidLength < 1 || ssidLength > 32)
        return call.finish(QX_ERR_INV_PARAM);
    std::vector<uint8_t> key(PMK_LENGTH);
    if (PKCS5_PBKDF2_HMAC(passPhrase, static_cast<int>(phraseLength), ssid, ssidLength, PSK_ROUNDS,
                          EVP_sha1(), PMK_LENGTH, key.data()) != 1)
        return call.finish(QX_ERR_FAILURE);
    return create(call, psk, HandleValue{QX_HANDLE_PSK, std::move(key), {}}, arguments);
}

int qxRsnBinPskCreate(QX_HANDLE* psk, const uint8_t* key, int length) {
    std::string arguments =
        ", " + lab::secret(length > 0 ? static_cast<size_t>(length) : 0) + ", " + std::to_string(length);
    lab::Call call("qxRsnBinPskCreate", "&psk" + arguments);
    if (call.injected()) return call.result();
    if (psk == nullptr || key == nullptr || (length != PMK_LENGTH && length != 5 && length != 13))
        return call.finish(QX_ERR_INV_PARAM);
    return create(call, psk, HandleValue{QX_HANDLE_PSK, std::vector<uint8_t>(key, key + length), {}},
                  arguments);
}

int qxRsnPskDestroy(QX_HANDLE* psk) {
    return destroy("qxRsnPskDestroy", psk, QX_HANDLE_PSK);
}

int qxEapFASTPacCreate(QX_HANDLE* pac, const uint8_t* key, int keyLength, const uint8_t* opaque,
                       int opaqueLength) {
    std::string arguments = lab::format(
        ", %s, %d, opaque, %d", lab::secret(keyLength > 0 ? static_cast<size_t>(keyLength) : 0).c_str(),
        keyLength, opaqueLength);
    lab::Call call("qxEapFASTPacCreate", "&pac" + arguments);
    if (call.injected()) return call.result();
    if (pac == nullptr || key == nullptr || keyLength != PAC_KEY_LENGTH || badLength(opaque, opaqueLength, 1))
        return call.finish(QX_ERR_INV_PARAM);
    HandleValue value{QX_HANDLE_PAC, std::vector<uint8_t>(key, key + keyLength),
                      std::vector<uint8_t>(opaque, opaque + opaqueLength)};
    return create(call, pac, std::move(value), arguments);
}

int qxEapFASTPacDestroy(QX_HANDLE* pac) {
    return destroy("qxEapFASTPacDestroy", pac, QX_HANDLE_PAC);
}
