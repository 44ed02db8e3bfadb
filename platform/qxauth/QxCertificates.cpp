// Certificate stores, certificates, their private keys and chains: the lab's OS stores and smart
// cards, and memory stores over PEM texts. A store handle keeps its URL and looks at the lab at
// each use, so a store follows the lab's changes; a certificate handle keeps its certificate.
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <map>
#include <mutex>

#include "platform/lab/Lab.h"
#include "platform/qxauth/QxCertificateFiles.h"
#include "platform/qxauth/QxLibrary.h"
#include "platform/win/WinImpersonation.h"

namespace qxauth {

namespace {

constexpr const char* OS_PREFIX = "certStore://winsys/";
constexpr const char* CARD_PREFIX = "certStore://scard/";
constexpr const char* USER_SCOPE = "CURRENT_USER/";
constexpr const char* OS_STORES[] = {"CURRENT_USER/MY",  "CURRENT_USER/CA",  "CURRENT_USER/ROOT",
                                     "LOCAL_MACHINE/MY", "LOCAL_MACHINE/CA", "LOCAL_MACHINE/ROOT"};
constexpr int MAX_CHAIN = 10;
constexpr int MAX_PEM = 1 << 20;

struct StoreEntry {
    std::string url;  // "PEM" for a memory store
    std::vector<LabCertificate> memory;
};

struct CertificateEntry {
    LabCertificate certificate;
    std::string cardId;  // empty outside a smart card
    bool keyLoaded = false;
    std::vector<std::vector<uint8_t>> chain;
};

struct Tables {
    std::mutex mutex;
    std::map<QX_HANDLE, StoreEntry> stores;
    std::map<QX_HANDLE, CertificateEntry> certificates;
    std::map<std::string, int> wrongPins;  // by card id, since the last right PIN
};

Tables& tables() {
    static Tables t;
    return t;
}

lab::Lab& theLab() {
    return lab::Lab::instance();
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string hexOf(const uint8_t* bytes, int length) {
    static const char* DIGITS = "0123456789abcdef";
    std::string text;
    for (int i = 0; i < length; ++i) {
        text.push_back(DIGITS[bytes[i] >> 4]);
        text.push_back(DIGITS[bytes[i] & 15]);
    }
    return text;
}

bool isOsStore(const std::string& url) {
    if (!startsWith(url, OS_PREFIX)) return false;
    std::string name = url.substr(std::char_traits<char>::length(OS_PREFIX));
    for (const char* store : OS_STORES)
        if (name == store) return true;
    return false;
}

// The lab's card of a store URL, or null; call under the lab's lock.
const lab::Element* cardOfUrl(const std::string& url) {
    if (!startsWith(url, CARD_PREFIX)) return nullptr;
    return theLab().world().find("smartCard", url.substr(std::char_traits<char>::length(CARD_PREFIX)));
}

// What a store holds now. A user's store shows nothing to a thread that wears no user's token.
std::vector<LabCertificate> contents(const StoreEntry& store) {
    if (store.url == "PEM") return store.memory;
    std::vector<LabCertificate> out;
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    if (isOsStore(store.url)) {
        std::string name = store.url.substr(std::char_traits<char>::length(OS_PREFIX));
        if (startsWith(name, USER_SCOPE) && winfile::impersonation::impersonatedSource() == 0) return out;
        for (const lab::Element& element : theLab().world().all("certificateStore")) {
            if (element.text("store") != name) continue;
            for (LabCertificate& c : certificatesOfFile(element.text("file"), element.text("password")))
                out.push_back(std::move(c));
        }
    } else if (const lab::Element* card = cardOfUrl(store.url)) {
        // A card's PKCS#12 file is opened with its PIN, as its keys are behind it.
        if (card->flag("inserted") && card->has("file"))
            out = certificatesOfFile(card->text("file"), card->text("pin"));
    }
    return out;
}

bool storeOf(QX_HANDLE handle, StoreEntry* store) {
    if (!handleValue(handle, QX_HANDLE_STORE, nullptr)) return false;
    std::lock_guard<std::mutex> lock(tables().mutex);
    auto it = tables().stores.find(handle);
    if (it == tables().stores.end()) return false;
    *store = it->second;
    return true;
}

bool certificateOf(QX_HANDLE handle, CertificateEntry* entry) {
    if (!handleValue(handle, QX_HANDLE_CERTIFICATE, nullptr)) return false;
    std::lock_guard<std::mutex> lock(tables().mutex);
    auto it = tables().certificates.find(handle);
    if (it == tables().certificates.end()) return false;
    *entry = it->second;
    return true;
}

int newStore(lab::Call& call, QX_HANDLE* out, StoreEntry store, const std::string& arguments) {
    QX_HANDLE handle = makeHandle(HandleValue{QX_HANDLE_STORE, {store.url.begin(), store.url.end()}, {}});
    if (handle == 0) return call.finish(QX_ERR_FAILURE);
    {
        std::lock_guard<std::mutex> lock(tables().mutex);
        tables().stores[handle] = std::move(store);
    }
    *out = handle;
    call.setArguments(handleReference(&handle) + arguments);
    return call.finish(QX_OK);
}

// The issuer of a certificate among the pool: one whose subject names it and whose key signed it.
const LabCertificate* issuerIn(const std::vector<LabCertificate>& pool, X509* subject) {
    for (const LabCertificate& candidate : pool)
        if (X509_check_issued(candidate.x509.get(), subject) == X509_V_OK) return &candidate;
    return nullptr;
}

bool selfSigned(X509* x509) {
    return X509_check_issued(x509, x509) == X509_V_OK;
}

// The chain of a certificate over a pool: the certificate, then each issuer found, up to a
// self-signed one; *ended tells whether it reached one.
std::vector<std::vector<uint8_t>> chainOver(const LabCertificate& subject,
                                            const std::vector<LabCertificate>& pool, bool* ended) {
    std::vector<std::vector<uint8_t>> chain = {subject.der};
    X509* at = subject.x509.get();
    *ended = selfSigned(at);
    for (int links = 0; !*ended && links < MAX_CHAIN; ++links) {
        const LabCertificate* issuer = issuerIn(pool, at);
        if (issuer == nullptr) break;
        chain.push_back(issuer->der);
        at = issuer->x509.get();
        *ended = selfSigned(at);
    }
    return chain;
}

// A certificate of a DER; false when the bytes are not one.
bool parsed(const std::vector<uint8_t>& der, LabCertificate* certificate) {
    const unsigned char* at = der.data();
    X509* x509 = d2i_X509(nullptr, &at, static_cast<long>(der.size()));
    if (x509 == nullptr) return false;
    *certificate = labCertificate(std::shared_ptr<X509>(x509, X509_free), false);
    return true;
}

}  // namespace

int copyText(const std::string& text, char* buffer, int* length) {
    if (length == nullptr || *length < 0 || (buffer == nullptr && *length > 0)) return QX_ERR_INV_PARAM;
    int needed = static_cast<int>(text.size());
    int room = *length;
    *length = needed;
    if (buffer == nullptr || room < needed + 1) return QX_ERR_BUFFER_TOO_SMALL;
    text.copy(buffer, text.size());
    buffer[needed] = '\0';
    return QX_OK;
}

void stopCertificates() {
    Tables& t = tables();
    std::lock_guard<std::mutex> lock(t.mutex);
    for (const auto& [handle, store] : t.stores) dropHandle(handle, QX_HANDLE_STORE);
    for (const auto& [handle, certificate] : t.certificates) dropHandle(handle, QX_HANDLE_CERTIFICATE);
    std::map<QX_HANDLE, StoreEntry>().swap(t.stores);
    std::map<QX_HANDLE, CertificateEntry>().swap(t.certificates);
    std::map<std::string, int>().swap(t.wrongPins);
}

bool certificateValue(QX_HANDLE certificate, std::vector<uint8_t>* der, bool* keyLoaded,
                      std::vector<std::vector<uint8_t>>* chain) {
    CertificateEntry entry;
    if (!certificateOf(certificate, &entry)) return false;
    if (der != nullptr) *der = entry.certificate.der;
    if (keyLoaded != nullptr) *keyLoaded = entry.keyLoaded;
    if (chain != nullptr) *chain = entry.chain;
    return true;
}

bool storeValue(QX_HANDLE store, std::vector<std::vector<uint8_t>>* ders) {
    StoreEntry entry;
    if (!storeOf(store, &entry)) return false;
    ders->clear();
    for (const LabCertificate& c : contents(entry)) ders->push_back(c.der);
    return true;
}

std::vector<std::vector<uint8_t>> chainOf(const std::vector<uint8_t>& der,
                                          const std::vector<std::vector<uint8_t>>& pool) {
    std::vector<LabCertificate> candidates;
    for (const std::vector<uint8_t>& bytes : pool) {
        LabCertificate candidate;
        if (parsed(bytes, &candidate)) candidates.push_back(std::move(candidate));
    }
    LabCertificate subject;
    if (!parsed(der, &subject)) return {};
    bool ended = false;
    return chainOver(subject, candidates, &ended);
}

QX_HANDLE makeCertificateHandle(const std::vector<uint8_t>& der) {
    LabCertificate certificate;
    if (!parsed(der, &certificate)) return 0;
    QX_HANDLE handle = makeHandle(HandleValue{QX_HANDLE_CERTIFICATE, der, {}});
    if (handle == 0) return 0;
    std::lock_guard<std::mutex> lock(tables().mutex);
    tables().certificates[handle] = CertificateEntry{std::move(certificate), {}, false, {}};
    return handle;
}

}  // namespace qxauth

using namespace qxauth;

int qxCertStoreUrlCreate(QX_HANDLE* store, const char* url) {
    std::string arguments = ", " + lab::quoted(url);
    lab::Call call("qxCertStoreUrlCreate", "&store" + arguments);
    if (call.injected()) return call.result();
    if (store == nullptr || url == nullptr) return call.finish(QX_ERR_INV_PARAM);
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    std::string text = url;
    if (!isOsStore(text)) {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        const lab::Element* card = cardOfUrl(text);
        if (card == nullptr || !card->flag("inserted")) return call.finish(QX_ERR_NOT_FOUND);
    }
    return newStore(call, store, StoreEntry{text, {}}, arguments);
}

int qxCertStoreMemCreate(QX_HANDLE* store, const char* pemText, int length) {
    std::string arguments = lab::format(", pem, %d", length);
    lab::Call call("qxCertStoreMemCreate", "&store" + arguments);
    if (call.injected()) return call.result();
    if (store == nullptr || pemText == nullptr || length <= 0 || length > MAX_PEM)
        return call.finish(QX_ERR_INV_PARAM);
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    std::vector<LabCertificate> certificates =
        certificatesOfPem(std::string(pemText, static_cast<size_t>(length)));
    if (certificates.empty()) return call.finish(QX_ERR_FAILURE);
    return newStore(call, store, StoreEntry{"PEM", std::move(certificates)}, arguments);
}

int qxCertStoreDestroy(QX_HANDLE* store) {
    lab::Call call("qxCertStoreDestroy", handleReference(store));
    if (call.injected()) return call.result();
    if (store == nullptr || !dropHandle(*store, QX_HANDLE_STORE)) return call.finish(QX_ERR_INV_PARAM);
    {
        std::lock_guard<std::mutex> lock(tables().mutex);
        tables().stores.erase(*store);
    }
    *store = 0;
    return call.finish(QX_OK);
}

int qxCertStoreGetCertList(QX_HANDLE store, uint8_t* hashes, int* count) {
    lab::Call call("qxCertStoreGetCertList",
                   lab::format("%s, hashes, %d", handleText(store).c_str(), count != nullptr ? *count : -1));
    if (call.injected()) return call.result();
    StoreEntry entry;
    if (count == nullptr || *count < 0 || (hashes == nullptr && *count > 0) || !storeOf(store, &entry))
        return call.finish(QX_ERR_INV_PARAM);
    std::vector<LabCertificate> certificates = contents(entry);
    int room = *count;
    *count = static_cast<int>(certificates.size());
    if (room < *count) return call.finish(QX_ERR_BUFFER_TOO_SMALL);
    for (size_t i = 0; i < certificates.size(); ++i)
        std::copy(certificates[i].hash.begin(), certificates[i].hash.end(), hashes + i * QX_CERT_HASH_LENGTH);
    return call.finish(QX_OK);
}

int qxCertCreate(QX_HANDLE* certificate, QX_HANDLE store, const uint8_t* hash, int length) {
    std::string hashText = hash != nullptr && length == QX_CERT_HASH_LENGTH ? hexOf(hash, length) : "?";
    std::string arguments = lab::format(", %s, %s, %d", handleText(store).c_str(), hashText.c_str(), length);
    lab::Call call("qxCertCreate", "&certificate" + arguments);
    if (call.injected()) return call.result();
    StoreEntry entry;
    if (certificate == nullptr || hash == nullptr || length != QX_CERT_HASH_LENGTH || !storeOf(store, &entry))
        return call.finish(QX_ERR_INV_PARAM);
    for (const LabCertificate& c : contents(entry)) {
        if (!std::equal(c.hash.begin(), c.hash.end(), hash)) continue;
        QX_HANDLE handle = makeHandle(HandleValue{QX_HANDLE_CERTIFICATE, c.der, {}});
        if (handle == 0) return call.finish(QX_ERR_FAILURE);
        std::string cardId = startsWith(entry.url, CARD_PREFIX)
                                 ? entry.url.substr(std::char_traits<char>::length(CARD_PREFIX))
                                 : std::string();
        {
            std::lock_guard<std::mutex> lock(tables().mutex);
            tables().certificates[handle] = CertificateEntry{c, cardId, false, {}};
        }
        *certificate = handle;
        call.setArguments(handleReference(&handle) + arguments);
        return call.finish(QX_OK);
    }
    return call.finish(QX_ERR_NOT_FOUND);
}

int qxCertDestroy(QX_HANDLE* certificate) {
    lab::Call call("qxCertDestroy", handleReference(certificate));
    if (call.injected()) return call.result();
    if (certificate == nullptr || !dropHandle(*certificate, QX_HANDLE_CERTIFICATE))
        return call.finish(QX_ERR_INV_PARAM);
    {
        std::lock_guard<std::mutex> lock(tables().mutex);
        tables().certificates.erase(*certificate);
    }
    *certificate = 0;
    return call.finish(QX_OK);
}

int qxCertGetField(QX_HANDLE certificate, int fieldId, int index, char* buffer, int* length) {
    lab::Call call("qxCertGetField", lab::format("%s, %d, %d, buffer, %d", handleText(certificate).c_str(),
                                                 fieldId, index, length != nullptr ? *length : -1));
    if (call.injected()) return call.result();
    CertificateEntry entry;
    if (index < 0 || !certificateOf(certificate, &entry)) return call.finish(QX_ERR_INV_PARAM);
    std::vector<std::string> values;
    if (!fieldValues(entry.certificate.x509.get(), fieldId, &values) ||
        index >= static_cast<int>(values.size()))
        return call.finish(QX_ERR_NOT_FOUND);
    return call.finish(copyText(values[static_cast<size_t>(index)], buffer, length));
}

int qxCertGetKeyUsage(QX_HANDLE certificate, int* usage) {
    lab::Call call("qxCertGetKeyUsage", handleText(certificate) + ", &usage");
    if (call.injected()) return call.result();
    CertificateEntry entry;
    if (usage == nullptr || !certificateOf(certificate, &entry)) return call.finish(QX_ERR_INV_PARAM);
    *usage = keyUsageBits(entry.certificate.x509.get());
    return call.finish(QX_OK);
}

int qxCertLoadPrivateKey(QX_HANDLE certificate, QX_HANDLE pin) {
    lab::Call call("qxCertLoadPrivateKey", handleText(certificate) + ", " + handleText(pin));
    if (call.injected()) return call.result();
    CertificateEntry entry;
    HandleValue pinValue;
    if (!certificateOf(certificate, &entry) || (pin != 0 && !handleValue(pin, QX_HANDLE_PIN, &pinValue)))
        return call.finish(QX_ERR_INV_PARAM);
    if (!entry.cardId.empty()) {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        const lab::Element* card = theLab().world().find("smartCard", entry.cardId);
        if (card == nullptr || !card->flag("inserted")) return call.finish(QX_ERR_NOT_FOUND);
        std::lock_guard<std::mutex> tablesLock(tables().mutex);
        int& wrong = tables().wrongPins[entry.cardId];
        if (card->flag("blocked") || wrong >= card->integer("tries")) return call.finish(QX_ERR_CARD_BLOCKED);
        std::string given(pinValue.bytes.begin(), pinValue.bytes.end());
        if (pin == 0 || given != card->text("pin")) {
            ++wrong;
            return call.finish(QX_ERR_WRONG_PIN);
        }
        wrong = 0;
    }
    // A store's own key needs no PIN: the PIN is ignored there.
    if (!entry.certificate.hasKey) return call.finish(QX_ERR_NO_PRIVATE_KEY);
    std::lock_guard<std::mutex> lock(tables().mutex);
    auto it = tables().certificates.find(certificate);
    if (it == tables().certificates.end()) return call.finish(QX_ERR_INV_PARAM);
    it->second.keyLoaded = true;
    return call.finish(QX_OK);
}

int qxCertLoadChain(QX_HANDLE certificate, const QX_HANDLE* stores, int count, int* complete) {
    std::string arguments = handleText(certificate) + ", [";
    for (int i = 0; stores != nullptr && i < count && i < 16; ++i)
        arguments += (i > 0 ? ", " : "") + handleText(stores[i]);
    lab::Call call("qxCertLoadChain", arguments + lab::format("], %d, &complete", count));
    if (call.injected()) return call.result();
    CertificateEntry entry;
    if (complete == nullptr || count < 0 || (stores == nullptr && count > 0) ||
        !certificateOf(certificate, &entry))
        return call.finish(QX_ERR_INV_PARAM);
    std::vector<LabCertificate> pool;
    for (int i = 0; i < count; ++i) {
        StoreEntry store;
        if (!storeOf(stores[i], &store)) return call.finish(QX_ERR_INV_PARAM);
        for (LabCertificate& c : contents(store)) pool.push_back(std::move(c));
    }
    bool ended = false;
    std::vector<std::vector<uint8_t>> chain = chainOver(entry.certificate, pool, &ended);
    {
        std::lock_guard<std::mutex> lock(tables().mutex);
        auto it = tables().certificates.find(certificate);
        if (it == tables().certificates.end()) return call.finish(QX_ERR_INV_PARAM);
        it->second.chain = std::move(chain);
    }
    *complete = ended ? 1 : 0;
    return call.finish(QX_OK);
}
