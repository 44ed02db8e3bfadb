// Authentication on a port of the stand-in: the key handshake of a personal network, the
// conversation of the network's authenticator as credential requests, and the library's questions
// and answers about an open request. Everything here runs under the lab's lock; the callbacks go
// out on the lab thread.
#include <openssl/evp.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/lab/Lab.h"
#include "platform/lab/LabSchema.h"
#include "platform/qxauth/QxCertificateFiles.h"
#include "platform/qxauth/QxLibrary.h"
#include "platform/qxauth/QxPorts.h"

namespace qxauth {

struct Step {
    int type;
    int level;
};

// One run of an authenticator's method on a port, from its start to its outcome.
struct Conversation {
    std::weak_ptr<PortRecord> port;
    lab::Element authenticator;
    uint64_t epoch = 0;
    std::vector<Step> steps;
    size_t next = 0;
    // The open request: sync 0 when none.
    int sync = 0;
    Step open = {0, 0};
    bool answered = false;
    // Syncs the library cancelled: answers to them are QX_ERR_CANCELED.
    std::vector<int> cancelled;
    // What the engine gave.
    std::string identity;
    std::string secret;
    bool secretRight = false;
    // The engine gave the machine's identity: the machine's password is the one expected.
    bool machine = false;
    bool failed = false;
    int failStatus = QX_PORT_STATUS_EAP_FAILURE;
    bool retried = false;
    bool fastPacValid = false;
    int provisionMode = 0;
    bool inTunnel = false;
};

namespace {

lab::Lab& theLab() {
    return lab::Lab::instance();
}

int SyncCounter = 0;

int eapTypeOf(const std::string& method) {
    static const std::pair<const char*, int> TYPES[] = {{"md5", 4},       {"gtc", 6},           {"tls", 13},
                                                        {"leap", 17},     {"ttls", 21},         {"peap", 25},
                                                        {"mschapv2", 26}, {"eap-mschapv2", 26}, {"fast", 43}};
    for (const auto& [name, type] : TYPES)
        if (method == name) return type;
    return 0;
}

bool isTunnel(const std::string& method) {
    return method == "peap" || method == "ttls" || method == "fast" || method == "tls";
}

// The key the lab derives for a FAST PAC of this authenticator, unless it names one.
std::vector<uint8_t> pacKeyOf(const lab::Element& authenticator) {
    if (authenticator.has("pacKey")) return authenticator.bytes("pacKey");
    std::vector<uint8_t> key(32);
    std::string seed = "pac:" + authenticator.text("on");
    for (size_t i = 0; i < key.size(); ++i) key[i] = static_cast<uint8_t>(seed[i % seed.size()] + i);
    return key;
}

std::vector<uint8_t> pacOpaqueOf(const lab::Element& authenticator, const std::string& identity) {
    std::string text = "opaque:" + authenticator.text("on") + ":" + identity;
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> aidOf(const lab::Element& authenticator) {
    std::string text = "aid:" + authenticator.text("on");
    text.resize(16, '.');
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The inner EAP type of a tunnel method (0 for a non-EAP TTLS method).
int innerTypeOf(const lab::Element& authenticator) {
    std::string method = authenticator.text("method");
    std::string inner = authenticator.has("inner") ? authenticator.text("inner") : "mschapv2";
    if (method == "ttls") return inner == "eap-mschapv2" ? 26 : 0;
    return eapTypeOf(inner);
}

bool machineOnly(const lab::Element& authenticator) {
    return authenticator.has("machineIdentity") && !authenticator.has("identity");
}

// The inner part of a tunnel: identity, EAP methods for an EAP inner method, then the password,
// certificate or token code.
void appendInner(const lab::Element& authenticator, std::vector<Step>* steps) {
    std::string inner = authenticator.has("inner") ? authenticator.text("inner") : "mschapv2";
    steps->push_back({QX_CRED_IDENTITY, 1});
    if (authenticator.text("method") != "ttls" || inner == "eap-mschapv2")
        steps->push_back({QX_CRED_EAP_METHODS, 1});
    steps->push_back({inner == "tls" ? QX_CRED_USER_CERT : QX_CRED_PASSWORD, 1});
}

std::vector<Step> stepsOf(const lab::Element& authenticator, bool resumed) {
    std::string method = authenticator.text("method");
    std::vector<Step> steps;
    if (isTunnel(method)) steps.push_back({QX_CRED_SESSION_START, 0});
    steps.push_back({machineOnly(authenticator) ? QX_CRED_CRED_MACHINE_IDENTITY : QX_CRED_IDENTITY, 0});
    steps.push_back({QX_CRED_EAP_METHODS, 0});
    if (method == "tls") {
        steps.push_back({QX_CRED_SERVER_VERIFY, 0});
        steps.push_back({QX_CRED_USER_CERT, 0});
    } else if (method == "peap" || method == "ttls") {
        steps.push_back({QX_CRED_SERVER_VERIFY, 0});
        if (method == "ttls") steps.push_back({QX_CRED_EAP_TTLS_TUNNEL_METHOD, 0});
        if (!resumed) appendInner(authenticator, &steps);
    } else if (method == "fast") {
        // What follows the PAC depends on the answer (advance()).
        steps.push_back({QX_CRED_EAP_FAST_PAC, 0});
    } else {
        steps.push_back({QX_CRED_PASSWORD, 0});
    }
    return steps;
}

void append(std::vector<uint8_t>* bytes, std::initializer_list<uint8_t> list) {
    for (uint8_t byte : list) bytes->push_back(byte);
}

// An EAPOL frame of the simulated exchange for the capture file: Ethernet, EAPOL, EAP header.
void capture(const PortRecord& port, int code, int eapType, int sync) {
    std::vector<uint8_t> frame;
    append(&frame, {0x01, 0x80, 0xC2, 0x00, 0x00, 0x03});
    const lab::Element* adapter = adapterOfPort(port);
    std::vector<uint8_t> mac = adapter != nullptr ? adapter->bytes("mac") : std::vector<uint8_t>(6);
    mac.resize(6);
    frame.insert(frame.end(), mac.begin(), mac.end());
    append(&frame, {0x88, 0x8E, 0x02, 0x00, 0x00, 0x05, static_cast<uint8_t>(code),
                    static_cast<uint8_t>(sync), 0x00, 0x05, static_cast<uint8_t>(eapType)});
    captureFrame(port.name, frame);
}

void sendRequest(const PortPtr& port, const QX_CRED_REQUEST& request) {
    EapPtr eap = eapOf(port->eap);
    if (!eap) return;
    theLab().schedule(0, [port, eap, request] {
        port->gate.deliver([&] {
            eap->gate.deliver([&] {
                QX_CRED_REQUEST copy = request;
                eap->callback(eap->context, QX_EAP_CB_CRED_REQUEST, &copy);
            });
        });
    });
}

void finish(const PortPtr& port, bool success);
void issueNext(const PortPtr& port);

// The outcome of the conversation: success, or the failure status, then the held period.
void finish(const PortPtr& port, bool success) {
    std::shared_ptr<Conversation> conversation = port->conversation;
    if (!conversation) return;
    port->conversation.reset();
    const lab::Element& authenticator = conversation->authenticator;
    std::string outcome = authenticator.text("outcome");
    if (outcome == "accept") success = true;
    if (outcome == "reject") success = false;
    capture(*port, success ? 3 : 4, 0, conversation->sync);
    if (success) {
        notifyEapStatus(port, QX_EAP_STATUS_SUCCESS);
        setPortState(port, QX_PORT_STATE_AUTHENTICATED, QX_PORT_STATUS_SUCCESS);
        return;
    }
    int status = conversation->failStatus;
    if (status == QX_PORT_STATUS_EAP_FAILURE)
        notifyEapStatus(
            port, conversation->inTunnel ? QX_EAP_STATUS_PROTECTED_FAILURE : QX_EAP_STATUS_CLEARTEXT_FAILURE);
    setPortState(port, QX_PORT_STATE_HELD, status);
    uint64_t epoch = port->epoch;
    theLab().schedule(static_cast<int64_t>(port->config.heldPeriod) * 1000, [port, epoch] {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        if (port->epoch == epoch && portOf(reinterpret_cast<QX_PORT>(port.get())) && port->linkUp &&
            port->authMode == QX_PORT_AUTH_8021X)
            startAuthentication(port);
    });
}

// The server takes the new password for good: the next authentication gives it, and it has not
// expired.
void keepNewPassword(const lab::Element& authenticator) {
    const std::string on = authenticator.text("on");
    lab::World& world = theLab().world();
    std::string error;
    if (!world.set("authenticator", on, {{"password", authenticator.text("newPassword")}}, &error) ||
        !world.unset("authenticator", on, "newPassword", &error))
        log(QX_LOG_CREDENTIAL, "%s: the new password is not kept: %s", on.c_str(), error.c_str());
}

// The first failure decides the status.
void fail(Conversation& conversation, int status = QX_PORT_STATUS_EAP_FAILURE) {
    if (conversation.failed) return;
    conversation.failed = true;
    conversation.failStatus = status;
}

// After an answer to the open request is complete: what it decides, and what comes next.
void advance(const PortPtr& port, const std::shared_ptr<Conversation>& conversation) {
    const lab::Element& authenticator = conversation->authenticator;
    Step step = conversation->open;
    bool answered = conversation->answered;
    conversation->sync = 0;
    switch (step.type) {
        case QX_CRED_IDENTITY:
        case QX_CRED_CRED_MACHINE_IDENTITY:
            if (!answered) fail(*conversation);
            break;
        case QX_CRED_SERVER_VERIFY:
            if (!answered) fail(*conversation, QX_PORT_STATUS_SERVER_REJECTED);
            if (conversation->failed) {
                finish(port, false);
                return;
            }
            conversation->inTunnel = true;
            break;
        case QX_CRED_PASSWORD:
        case QX_CRED_PASSWORD_RETRY:
            if (!answered || !conversation->secretRight) {
                if (answered && authenticator.flag("retry") && !conversation->retried) {
                    conversation->retried = true;
                    conversation->steps.insert(
                        conversation->steps.begin() + static_cast<long>(conversation->next),
                        Step{QX_CRED_PASSWORD_RETRY, step.level});
                    break;
                }
                fail(*conversation);
            } else if (authenticator.has("newPassword") && step.type == QX_CRED_PASSWORD &&
                       !conversation->machine && !machineOnly(authenticator)) {
                // The user's password has expired, not the machine's.
                conversation->steps.insert(
                    conversation->steps.begin() + static_cast<long>(conversation->next),
                    Step{QX_CRED_PASSWORD_CHANGE, step.level});
            }
            break;
        case QX_CRED_PASSWORD_CHANGE:
            if (!answered || !conversation->secretRight) {
                fail(*conversation);
                break;
            }
            keepNewPassword(authenticator);
            break;
        case QX_CRED_USER_CERT:
            if (!answered || !conversation->secretRight) fail(*conversation);
            break;
        case QX_CRED_EAP_FAST_PAC: {
            std::vector<Step>& steps = conversation->steps;
            if (conversation->fastPacValid) {
                conversation->inTunnel = true;
                appendInner(authenticator, &steps);
                break;
            }
            if (answered) notifyEapStatus(port, QX_EAP_STATUS_INVALID_PAC);
            steps.push_back({QX_CRED_EAP_FAST_PROVISION_MODES, 0});
            break;
        }
        case QX_CRED_EAP_FAST_PROVISION_MODES: {
            std::string provisioning = authenticator.text("provisioning");
            int wanted = provisioning == "unauthenticated" ? QX_FAST_PROVISION_UNAUTHENTICATED
                         : provisioning == "authenticated" ? QX_FAST_PROVISION_AUTHENTICATED
                                                           : 0;
            if (wanted == 0 || conversation->provisionMode != wanted) {
                fail(*conversation, QX_PORT_STATUS_METHOD_REFUSED);
                finish(port, false);
                return;
            }
            std::vector<Step>& steps = conversation->steps;
            if (wanted == QX_FAST_PROVISION_AUTHENTICATED) steps.push_back({QX_CRED_SERVER_VERIFY, 0});
            steps.push_back({QX_CRED_EAP_FAST_PAC_TYPES, 0});
            appendInner(authenticator, &steps);
            steps.push_back({QX_CRED_EAP_FAST_PAC_SAVE, 0});
            conversation->inTunnel = true;
            break;
        }
        case QX_CRED_EAP_FAST_PAC_SAVE:
            // Provisioning never authenticates: the method starts again with the new PAC.
            if (!conversation->failed) {
                conversation->steps = stepsOf(authenticator, false);
                conversation->next = 0;
                conversation->inTunnel = false;
                conversation->fastPacValid = false;
            }
            break;
        default:
            break;
    }
    if (conversation->failed &&
        (step.type == QX_CRED_PASSWORD || step.type == QX_CRED_PASSWORD_RETRY ||
         step.type == QX_CRED_PASSWORD_CHANGE || step.type == QX_CRED_USER_CERT ||
         step.type == QX_CRED_IDENTITY || step.type == QX_CRED_CRED_MACHINE_IDENTITY)) {
        finish(port, false);
        return;
    }
    issueNext(port);
}

void issueNext(const PortPtr& port) {
    std::shared_ptr<Conversation> conversation = port->conversation;
    if (!conversation) return;
    if (conversation->next >= conversation->steps.size()) {
        finish(port, !conversation->failed);
        return;
    }
    Step step = conversation->steps[conversation->next++];
    conversation->open = step;
    conversation->answered = false;
    conversation->secretRight = false;
    conversation->sync = ++SyncCounter;
    if (conversation->sync >= 0x7FFFFFF0) SyncCounter = 0;
    const lab::Element& authenticator = conversation->authenticator;
    int value = step.level == 0 ? eapTypeOf(authenticator.text("method")) : innerTypeOf(authenticator);
    QX_CRED_REQUEST request = {
        conversation->sync, step.type, step.level, 0, step.type == QX_CRED_PASSWORD_RETRY ? 1 : 0, value};
    log(QX_LOG_CREDENTIAL, "%s: request %d at level %d, sync %d", port->name.c_str(), step.type, step.level,
        conversation->sync);
    capture(*port, 1, value, conversation->sync);
    if (port->state != QX_PORT_STATE_AUTHENTICATING)
        setPortState(port, QX_PORT_STATE_AUTHENTICATING, QX_PORT_STATUS_IN_PROGRESS);
    sendRequest(port, request);
    // Unanswered past the authenticator's time: the request is cancelled and the port held.
    int sync = conversation->sync;
    std::weak_ptr<Conversation> weak = conversation;
    theLab().schedule(authenticator.integer("answerTimeoutMs"), [port, weak, sync] {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        std::shared_ptr<Conversation> current = weak.lock();
        if (!current || current != port->conversation || current->sync != sync) return;
        current->cancelled.push_back(sync);
        current->sync = 0;
        sendRequest(port, QX_CRED_REQUEST{sync, QX_CRED_CRED_CANCELED, current->open.level, 0, 0, 0});
        fail(*current, QX_PORT_STATUS_TIMEOUT);
        finish(port, false);
    });
}

// The conversation of a request by sync: QX_OK, or why the sync is refused.
int openRequest(QX_EAP eap, int sync, std::shared_ptr<Conversation>* conversation, PortPtr* port) {
    if (!initialized()) return QX_ERR_NOT_INITIALIZED;
    EapPtr record = eapOf(eap);
    if (!record) return QX_ERR_INV_PARAM;
    PortPtr owner = portOf(record->port);
    if (!owner || !owner->conversation) return QX_ERR_INV_SYNC;
    std::shared_ptr<Conversation> current = owner->conversation;
    if (std::find(current->cancelled.begin(), current->cancelled.end(), sync) != current->cancelled.end())
        return QX_ERR_CANCELED;
    if (sync == 0 || current->sync != sync) return QX_ERR_INV_SYNC;
    *conversation = current;
    if (port != nullptr) *port = owner;
    return QX_OK;
}

// A question about an open request: recorded, refused for a sync that is not open, else answered
// by the body under the lab's lock.
template <typename Body>
int question(const char* function, std::string arguments, QX_EAP eap, int sync, Body body) {
    lab::Call call(function, std::move(arguments));
    if (call.injected()) return call.result();
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    std::shared_ptr<Conversation> conversation;
    int result = openRequest(eap, sync, &conversation, nullptr);
    if (result != QX_OK) return call.finish(result);
    return body(call, *conversation);
}

std::string eapText(int sync) {
    return lab::format("eap, %d", sync);
}

// An answer: marks the request answered when it is open.
template <typename Check>
int answer(const char* function, QX_EAP eap, int sync, const std::string& arguments, Check check) {
    lab::Call call(function, eapText(sync) + arguments);
    if (call.injected()) return call.result();
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    std::shared_ptr<Conversation> conversation;
    PortPtr port;
    int result = openRequest(eap, sync, &conversation, &port);
    if (result != QX_OK) return call.finish(result);
    result = check(*conversation);
    if (result != QX_OK) return call.finish(result);
    conversation->answered = true;
    capture(*port, 2,
            conversation->open.level == 0 ? eapTypeOf(conversation->authenticator.text("method"))
                                          : innerTypeOf(conversation->authenticator),
            sync);
    return call.finish(QX_OK);
}

std::string textOf(const HandleValue& value) {
    return std::string(value.bytes.begin(), value.bytes.end());
}

using Ders = std::vector<std::vector<uint8_t>>;

void appendFile(const lab::Element& element, const char* attribute, Ders* ders) {
    if (!element.has(attribute)) return;
    for (const LabCertificate& c : certificatesOfFile(element.text(attribute), "")) ders->push_back(c.der);
}

// What the authenticator shows: its server's certificate (the file's first), then the rest of that
// file and its chain file.
Ders serverCertificates(const lab::Element& authenticator) {
    Ders ders;
    appendFile(authenticator, "serverCertificate", &ders);
    appendFile(authenticator, "serverChain", &ders);
    return ders;
}

// What the CA stores the engine gave the EAP instance hold now.
Ders trustedCertificates(QX_EAP eap) {
    Ders ders;
    EapPtr record = eapOf(eap);
    if (!record) return ders;
    for (QX_HANDLE store : record->stores) {
        Ders held;
        if (storeValue(store, &held)) ders.insert(ders.end(), held.begin(), held.end());
    }
    return ders;
}

// The server's chain over what it sends and what the engine trusts; empty without a server
// certificate.
Ders serverChain(QX_EAP eap, const lab::Element& authenticator) {
    Ders shown = serverCertificates(authenticator);
    if (shown.empty()) return shown;
    Ders pool = shown;
    Ders trusted = trustedCertificates(eap);
    pool.insert(pool.end(), trusted.begin(), trusted.end());
    return chainOf(shown.front(), pool);
}

bool contains(const Ders& ders, const std::vector<uint8_t>& der) {
    return std::find(ders.begin(), ders.end(), der) != ders.end();
}

template <typename T>
int lengthQuestion(lab::Call& call, const T* bytes, size_t size, T* buffer, int* length) {
    if (length == nullptr) return call.finish(QX_ERR_INV_PARAM);
    int needed = static_cast<int>(size);
    if (buffer == nullptr) {
        *length = needed;
        return call.finish(QX_OK);
    }
    if (*length < needed) {
        *length = needed;
        return call.finish(QX_ERR_BUFFER_TOO_SMALL);
    }
    if (size > 0) std::memcpy(buffer, bytes, size);
    *length = needed;
    return call.finish(QX_OK);
}

}  // namespace

void startAuthentication(const PortPtr& port) {
    stopAuthentication(port, true);
    const lab::Element* adapter = adapterOfPort(*port);
    if (adapter == nullptr) return;
    const lab::Element* point = accessPointOf(*port);
    bool personal = false;
    if (point != nullptr)
        for (const std::string& word : lab::splitWords(point->text("security"))) {
            int association = 0;
            int encryption = 0;
            if (lab::securityMode(word, &association, &encryption) && (association == 5 || association == 7))
                personal = true;
        }
    if (personal) {
        // The key handshake: the engine's master key must be the access point's.
        std::vector<uint8_t> expected(32);
        if (point->has("psk")) {
            expected = point->bytes("psk");
        } else {
            std::string phrase = point->text("passphrase");
            std::string ssid = point->text("ssid");
            PKCS5_PBKDF2_HMAC(phrase.c_str(), static_cast<int>(phrase.size()),
                              reinterpret_cast<const unsigned char*>(ssid.data()),
                              static_cast<int>(ssid.size()), 4096, EVP_sha1(), 32, expected.data());
        }
        HandleValue key;
        bool right = handleValue(port->psk, QX_HANDLE_PSK, &key) && key.bytes == expected;
        for (int message = 1; message <= (right ? 4 : 2); ++message) capture(*port, 1, 3, message);
        setPortState(port, right ? QX_PORT_STATE_AUTHENTICATED : QX_PORT_STATE_HELD,
                     right ? QX_PORT_STATUS_SUCCESS : QX_PORT_STATUS_KEY_MISMATCH);
        return;
    }
    setPortState(port, QX_PORT_STATE_CONNECTING, QX_PORT_STATUS_IN_PROGRESS);
    const lab::Element* authenticator = authenticatorOf(*port);
    uint64_t epoch = port->epoch;
    if (authenticator == nullptr || authenticator->text("outcome") == "silent") {
        // EAPOL-Start maxStart times, nobody answers: held without an authenticator.
        int64_t waitMs = static_cast<int64_t>(port->config.startPeriod) * port->config.maxStart * 1000;
        theLab().schedule(waitMs, [port, epoch] {
            std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
            if (port->epoch == epoch && portOf(reinterpret_cast<QX_PORT>(port.get())))
                setPortState(port, QX_PORT_STATE_HELD, QX_PORT_STATUS_NO_AUTHENTICATOR);
        });
        return;
    }
    auto conversation = std::make_shared<Conversation>();
    conversation->port = port;
    conversation->authenticator = *authenticator;
    conversation->epoch = epoch;
    conversation->steps = stepsOf(*authenticator, false);
    port->conversation = conversation;
    std::weak_ptr<Conversation> weak = conversation;
    theLab().schedule(authenticator->integer("delayMs"), [port, weak] {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        std::shared_ptr<Conversation> current = weak.lock();
        if (current && current == port->conversation) issueNext(port);
    });
}

void stopAuthentication(const PortPtr& port, bool cancelRequest) {
    std::shared_ptr<Conversation> conversation = port->conversation;
    port->conversation.reset();
    if (!conversation || conversation->sync == 0) return;
    int sync = conversation->sync;
    conversation->cancelled.push_back(sync);
    conversation->sync = 0;
    if (cancelRequest)
        sendRequest(port, QX_CRED_REQUEST{sync, QX_CRED_CRED_CANCELED, conversation->open.level, 0, 0, 0});
}

}  // namespace qxauth

using namespace qxauth;

int qxCredGetEapMethod(QX_EAP eap, int sync, QX_EAP_METHOD* method, int level) {
    return question("qxCredGetEapMethod", lab::format("eap, %d, &method, %d", sync, level), eap, sync,
                    [&](lab::Call& call, Conversation& conversation) {
                        if (method == nullptr || level < 0 || level > conversation.open.level)
                            return call.finish(QX_ERR_INV_PARAM);
                        method->vendorId = 0;
                        method->type = level == 0 ? eapTypeOf(conversation.authenticator.text("method"))
                                                  : innerTypeOf(conversation.authenticator);
                        return call.finish(QX_OK);
                    });
}

int qxCredGetIdentityPrompt(QX_EAP eap, int sync, char* buffer, int* length) {
    return question("qxCredGetIdentityPrompt", lab::format("eap, %d", sync), eap, sync,
                    [&](lab::Call& call, Conversation&) {
                        static const char PROMPT[] = "Identity:";
                        return lengthQuestion(call, PROMPT, sizeof PROMPT, buffer, length);
                    });
}

int qxCredGetPasswordPrompt(QX_EAP eap, int sync, char* buffer, int* length) {
    return question("qxCredGetPasswordPrompt", lab::format("eap, %d", sync), eap, sync,
                    [&](lab::Call& call, Conversation&) {
                        static const char PROMPT[] = "Password:";
                        return lengthQuestion(call, PROMPT, sizeof PROMPT, buffer, length);
                    });
}

int qxCredServerGetCert(QX_HANDLE* certificate, QX_EAP eap, int sync) {
    return question("qxCredServerGetCert", lab::format("&certificate, eap, %d", sync), eap, sync,
                    [&](lab::Call& call, Conversation& conversation) {
                        if (certificate == nullptr) return call.finish(QX_ERR_INV_PARAM);
                        Ders shown = serverCertificates(conversation.authenticator);
                        if (shown.empty()) return call.finish(QX_ERR_NOT_FOUND);
                        QX_HANDLE handle = makeCertificateHandle(shown.front());
                        if (handle == 0) return call.finish(QX_ERR_FAILURE);
                        *certificate = handle;
                        call.setArguments(lab::format("&%s, eap, %d", handleText(handle).c_str(), sync));
                        return call.finish(QX_OK);
                    });
}

int qxCredServerVerifyChain(QX_EAP eap, int sync, int* chainIsValid) {
    return question("qxCredServerVerifyChain", lab::format("eap, %d, &valid", sync), eap, sync,
                    [&](lab::Call& call, Conversation& conversation) {
                        if (chainIsValid == nullptr) return call.finish(QX_ERR_INV_PARAM);
                        // Valid when the chain reaches a certificate of the stores the engine gave.
                        Ders trusted = trustedCertificates(eap);
                        bool valid = false;
                        for (const std::vector<uint8_t>& der : serverChain(eap, conversation.authenticator))
                            valid = valid || contains(trusted, der);
                        *chainIsValid = valid ? 1 : 0;
                        return call.finish(QX_OK);
                    });
}

int qxCredServerVerifyCA(QX_EAP eap, int sync, QX_HANDLE certificate, int* inChain) {
    return question("qxCredServerVerifyCA",
                    lab::format("eap, %d, %s, &inChain", sync, handleText(certificate).c_str()), eap, sync,
                    [&](lab::Call& call, Conversation& conversation) {
                        if (inChain == nullptr) return call.finish(QX_ERR_INV_PARAM);
                        std::vector<uint8_t> der;
                        if (!certificateValue(certificate, &der, nullptr, nullptr))
                            return call.finish(QX_ERR_INV_PARAM);
                        // Without CA stores the library cannot say.
                        if (eapOf(eap)->stores.empty()) return call.finish(QX_ERR_UNDECIDED);
                        *inChain = contains(serverChain(eap, conversation.authenticator), der) ? 1 : 0;
                        return call.finish(QX_OK);
                    });
}

int qxCredGetEapFASTAID(QX_EAP eap, int sync, uint8_t* buffer, int* length) {
    return question("qxCredGetEapFASTAID", lab::format("eap, %d", sync), eap, sync,
                    [&](lab::Call& call, Conversation& conversation) {
                        std::vector<uint8_t> aid = aidOf(conversation.authenticator);
                        return lengthQuestion(call, aid.data(), aid.size(), buffer, length);
                    });
}

int qxCredGetEapFASTMode(QX_EAP eap, int sync, int* mode) {
    return question("qxCredGetEapFASTMode", lab::format("eap, %d, &mode", sync), eap, sync,
                    [&](lab::Call& call, Conversation& conversation) {
                        if (mode == nullptr) return call.finish(QX_ERR_INV_PARAM);
                        *mode = conversation.provisionMode;
                        return call.finish(QX_OK);
                    });
}

namespace {

// A field of the PAC the open save request carries.
int pacField(const char* function, QX_EAP eap, int sync, int field, void* buffer, int* length) {
    return question(
        function, lab::format("eap, %d", sync), eap, sync, [&](lab::Call& call, Conversation& conversation) {
            if (conversation.open.type != QX_CRED_EAP_FAST_PAC_SAVE) return call.finish(QX_ERR_NOT_FOUND);
            const lab::Element& authenticator = conversation.authenticator;
            std::vector<uint8_t> bytes;
            switch (field) {
                case 0:
                    bytes = aidOf(authenticator);
                    break;
                case 1:
                    // The lab's PACs carry no AID information.
                    return call.finish(QX_ERR_NOT_FOUND);
                case 2: {
                    std::string iid = conversation.identity;
                    bytes.assign(iid.begin(), iid.end());
                    bytes.push_back(0);
                    break;
                }
                case 3:
                    bytes = pacKeyOf(authenticator);
                    break;
                default:
                    bytes = pacOpaqueOf(authenticator, conversation.identity);
                    break;
            }
            return lengthQuestion(call, bytes.data(), bytes.size(), static_cast<uint8_t*>(buffer), length);
        });
}

}  // namespace

int qxCredGetEapFASTPacAID(QX_EAP eap, int sync, uint8_t* buffer, int* length) {
    return pacField("qxCredGetEapFASTPacAID", eap, sync, 0, buffer, length);
}
int qxCredGetEapFASTPacAIDInfo(QX_EAP eap, int sync, char* buffer, int* length) {
    return pacField("qxCredGetEapFASTPacAIDInfo", eap, sync, 1, buffer, length);
}
int qxCredGetEapFASTPacIID(QX_EAP eap, int sync, char* buffer, int* length) {
    return pacField("qxCredGetEapFASTPacIID", eap, sync, 2, buffer, length);
}
int qxCredGetEapFASTPacKey(QX_EAP eap, int sync, uint8_t* buffer, int* length) {
    return pacField("qxCredGetEapFASTPacKey", eap, sync, 3, buffer, length);
}
int qxCredGetEapFASTPacOpaque(QX_EAP eap, int sync, uint8_t* buffer, int* length) {
    return pacField("qxCredGetEapFASTPacOpaque", eap, sync, 4, buffer, length);
}

int qxCredGetEapFASTPacLifeTime(QX_EAP eap, int sync, int32_t* lifetime) {
    return question("qxCredGetEapFASTPacLifeTime", lab::format("eap, %d", sync), eap, sync,
                    [&](lab::Call& call, Conversation&) {
                        if (lifetime == nullptr) return call.finish(QX_ERR_INV_PARAM);
                        *lifetime = 0;
                        return call.finish(QX_OK);
                    });
}

int qxCredGetEapFASTPacType(QX_EAP eap, int sync, int* type) {
    return question("qxCredGetEapFASTPacType", lab::format("eap, %d", sync), eap, sync,
                    [&](lab::Call& call, Conversation& conversation) {
                        if (type == nullptr) return call.finish(QX_ERR_INV_PARAM);
                        std::vector<std::string> types =
                            lab::splitWords(conversation.authenticator.text("pacTypes"));
                        *type = types.empty() ? QX_PAC_TYPE_TUNNEL : std::atoi(types.front().c_str());
                        return call.finish(QX_OK);
                    });
}

int qxCredEapMethods(QX_EAP eap, int sync, const QX_EAP_METHOD* methods, int count) {
    std::string list;
    for (int i = 0; methods != nullptr && i < count && i < 32; ++i)
        list.append(i > 0 ? " " : "").append(std::to_string(methods[i].type));
    return answer("qxCredEapMethods", eap, sync, lab::format(", {%s}, %d", list.c_str(), count),
                  [&](Conversation& conversation) {
                      if (count < 0 || (count > 0 && methods == nullptr)) return int(QX_ERR_INV_PARAM);
                      int wanted = conversation.open.level == 0
                                       ? eapTypeOf(conversation.authenticator.text("method"))
                                       : innerTypeOf(conversation.authenticator);
                      bool offered = false;
                      for (int i = 0; i < count; ++i) offered = offered || methods[i].type == wanted;
                      if (!offered) fail(conversation, QX_PORT_STATUS_METHOD_REFUSED);
                      return int(QX_OK);
                  });
}

int qxCredEapTTLSTunnelMethod(QX_EAP eap, int sync, int method) {
    return answer("qxCredEapTTLSTunnelMethod", eap, sync, lab::format(", %d", method), [&](Conversation&) {
        return method >= QX_TTLS_CHAP && method <= QX_TTLS_EAP ? int(QX_OK) : int(QX_ERR_INV_PARAM);
    });
}

namespace {

int credentialAnswer(const char* function, QX_EAP eap, int sync, QX_HANDLE handle, int kind, bool machine) {
    return answer(function, eap, sync, ", " + handleText(handle), [&](Conversation& conversation) {
        HandleValue value;
        if (!handleValue(handle, kind, &value)) return int(QX_ERR_INV_PARAM);
        const lab::Element& authenticator = conversation.authenticator;
        std::string text = textOf(value);
        Step step = conversation.open;
        if (kind == QX_HANDLE_IDENTITY) {
            conversation.identity = text;
            std::string expected =
                machine ? authenticator.text("machineIdentity") : authenticator.text("identity");
            // An outer identity in front of a tunnel may be anonymous unless the lab names it.
            bool outerOfTunnel = step.level == 0 && isTunnel(authenticator.text("method")) &&
                                 authenticator.text("method") != "tls";
            if (outerOfTunnel) {
                expected = authenticator.has("outerIdentity") ? authenticator.text("outerIdentity") : text;
            } else if (!machine && authenticator.has("machineIdentity") &&
                       text == authenticator.text("machineIdentity")) {
                // A server of machines and users takes the machine's account in a plain identity
                // answer too, as the machine's connection before logon gives it.
                expected = text;
                conversation.machine = true;
            } else if (machine) {
                conversation.machine = true;
            }
            if (text != expected) fail(conversation);
        } else {
            std::string expected = machineOnly(authenticator) || conversation.machine
                                       ? authenticator.text("machinePassword")
                                   : step.type == QX_CRED_PASSWORD_CHANGE ? authenticator.text("newPassword")
                                   : authenticator.has("passcode") && innerTypeOf(authenticator) == 6
                                       ? authenticator.text("passcode")
                                       : authenticator.text("password");
            conversation.secretRight = text == expected;
        }
        return int(QX_OK);
    });
}

}  // namespace

int qxCredIdentity(QX_EAP eap, int sync, QX_HANDLE identity) {
    return credentialAnswer("qxCredIdentity", eap, sync, identity, QX_HANDLE_IDENTITY, false);
}

int qxCredMachineIdentity(QX_EAP eap, int sync, QX_HANDLE identity) {
    return credentialAnswer("qxCredMachineIdentity", eap, sync, identity, QX_HANDLE_IDENTITY, true);
}

int qxCredPassword(QX_EAP eap, int sync, QX_HANDLE password) {
    return credentialAnswer("qxCredPassword", eap, sync, password, QX_HANDLE_PASSWORD, false);
}

int qxCredSessionStart(QX_EAP eap, int sync, int full) {
    return answer("qxCredSessionStart", eap, sync, lab::format(", %d", full),
                  [&](Conversation& conversation) {
                      if (full != 0 && full != 1) return int(QX_ERR_INV_PARAM);
                      // A resumed session skips the inner method.
                      if (full == 0 && conversation.authenticator.flag("resume") && conversation.next == 1) {
                          std::string method = conversation.authenticator.text("method");
                          if (method == "peap" || method == "ttls")
                              conversation.steps = stepsOf(conversation.authenticator, true);
                      }
                      return int(QX_OK);
                  });
}

int qxCredCertStore(QX_EAP eap, const QX_HANDLE* stores, int count) {
    std::string list;
    for (int i = 0; stores != nullptr && i < count && i < 4; ++i)
        list.append(i > 0 ? " " : "").append(handleText(stores[i]));
    lab::Call call("qxCredCertStore", lab::format("eap, {%s}, %d", list.c_str(), count));
    if (call.injected()) return call.result();
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    EapPtr record = eapOf(eap);
    if (!record || count < 0 || count > 4 || (count > 0 && stores == nullptr))
        return call.finish(QX_ERR_INV_PARAM);
    record->stores.assign(stores, stores + count);
    return call.finish(QX_OK);
}

int qxCredEapFASTPac(QX_EAP eap, int sync, QX_HANDLE pac) {
    return answer("qxCredEapFASTPac", eap, sync, ", " + handleText(pac), [&](Conversation& conversation) {
        if (pac == 0) return int(QX_OK);
        HandleValue value;
        if (!handleValue(pac, QX_HANDLE_PAC, &value)) return int(QX_ERR_INV_PARAM);
        conversation.fastPacValid =
            value.bytes == pacKeyOf(conversation.authenticator) && value.opaque.size() > 0 &&
            std::string(value.opaque.begin(), value.opaque.end())
                    .rfind("opaque:" + conversation.authenticator.text("on") + ":", 0) == 0;
        return int(QX_OK);
    });
}

int qxCredEapFASTProvisionModes(QX_EAP eap, int sync, const int* modes, int count) {
    std::string list;
    for (int i = 0; modes != nullptr && i < count && i < 4; ++i)
        list.append(i > 0 ? " " : "").append(std::to_string(modes[i]));
    return answer("qxCredEapFASTProvisionModes", eap, sync, lab::format(", {%s}, %d", list.c_str(), count),
                  [&](Conversation& conversation) {
                      if (count < 0 || count > 2 || (count > 0 && modes == nullptr))
                          return int(QX_ERR_INV_PARAM);
                      std::string provisioning = conversation.authenticator.text("provisioning");
                      int wanted = provisioning == "unauthenticated" ? QX_FAST_PROVISION_UNAUTHENTICATED
                                   : provisioning == "authenticated" ? QX_FAST_PROVISION_AUTHENTICATED
                                                                     : 0;
                      for (int i = 0; i < count; ++i)
                          if (modes[i] == wanted) conversation.provisionMode = wanted;
                      return int(QX_OK);
                  });
}

int qxCredEapFASTPacTypes(QX_EAP eap, int sync, const int* types, int count) {
    std::string list;
    for (int i = 0; types != nullptr && i < count && i < 4; ++i)
        list.append(i > 0 ? " " : "").append(std::to_string(types[i]));
    return answer("qxCredEapFASTPacTypes", eap, sync, lab::format(", {%s}, %d", list.c_str(), count),
                  [&](Conversation&) {
                      return count < 0 || count > 2 || (count > 0 && types == nullptr) ? int(QX_ERR_INV_PARAM)
                                                                                       : int(QX_OK);
                  });
}

int qxCredServerVerified(QX_EAP eap, int sync, int verified) {
    return answer("qxCredServerVerified", eap, sync, lab::format(", %d", verified),
                  [&](Conversation& conversation) {
                      if (verified != 1) fail(conversation, QX_PORT_STATUS_SERVER_REJECTED);
                      return int(QX_OK);
                  });
}

int qxCredUserCert(QX_EAP eap, int sync, QX_HANDLE certificate) {
    return answer("qxCredUserCert", eap, sync, ", " + handleText(certificate),
                  [&](Conversation& conversation) {
                      std::vector<uint8_t> der;
                      bool keyLoaded = false;
                      if (!certificateValue(certificate, &der, &keyLoaded, nullptr))
                          return int(QX_ERR_INV_PARAM);
                      // The server takes a certificate whose key signs and, when it names one, whose
                      // issuer is its client CA.
                      bool accepted = keyLoaded;
                      if (accepted && conversation.authenticator.has("clientCa")) {
                          Ders cas;
                          appendFile(conversation.authenticator, "clientCa", &cas);
                          Ders chain = chainOf(der, cas);
                          accepted = chain.size() > 1;
                      }
                      conversation.secretRight = accepted;
                      return int(QX_OK);
                  });
}

int qxCredDeferred(QX_EAP eap, int sync) {
    return question("qxCredDeferred", eapText(sync), eap, sync,
                    [](lab::Call& call, Conversation&) { return call.finish(QX_OK); });
}

int qxCredComplete(QX_EAP eap, int sync, int noResponse) {
    lab::Call call("qxCredComplete", eapText(sync) + lab::format(", %d", noResponse));
    if (call.injected()) return call.result();
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    std::shared_ptr<Conversation> conversation;
    PortPtr port;
    int result = openRequest(eap, sync, &conversation, &port);
    if (result != QX_OK) return call.finish(result);
    if (noResponse == 1) conversation->answered = false;
    // The next step comes as the authenticator's next message, after the answer went out.
    std::weak_ptr<Conversation> weak = conversation;
    conversation->sync = 0;
    theLab().schedule(conversation->authenticator.integer("delayMs"), [port, weak] {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        std::shared_ptr<Conversation> current = weak.lock();
        if (current && current == port->conversation) advance(port, current);
    });
    return call.finish(QX_OK);
}
