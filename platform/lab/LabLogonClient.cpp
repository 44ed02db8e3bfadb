#include "platform/lab/LabLogonClient.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/base/Process.h"
#include "platform/base/XmlText.h"
#include "platform/lab/Lab.h"
#include "platform/travik/travik_ipc.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace lab {

namespace {

using E = ConnApiElements;
using M = ConnApiMessages;

const char* const PRE_LOGON_DONE = "preLogonDone";
const char* const PASSWORD_EXPIRED = "passwordExpired";

void report(const char* what, int code) {
    std::fprintf(stderr, "lab: logon client: %s (%d)\n", what, code);
}

std::string localName(const xmlNode* node) {
    return reinterpret_cast<const char*>(node->name);
}

std::string textOf(xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content == nullptr ? "" : reinterpret_cast<const char*>(content);
    xmlFree(content);
    return text;
}

xmlNode* firstElement(xmlNode* node) {
    for (; node != nullptr; node = node->next)
        if (node->type == XML_ELEMENT_NODE) return node;
    return nullptr;
}

// The first element of that local name below the node, depth first.
xmlNode* findElement(xmlNode* node, const char* name) {
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (localName(child) == name) return child;
        if (xmlNode* found = findElement(child, name)) return found;
    }
    return nullptr;
}

int32_t numberOf(const std::map<std::string, std::string>& children, const char* name) {
    auto found = children.find(name);
    return found == children.end() ? 0
                                   : static_cast<int32_t>(std::strtol(found->second.c_str(), nullptr, 10));
}

bool named(const PipeMessage& message, int32_t command) {
    return message.name == M::name(command);
}

}  // namespace

LogonClient::LogonClient(std::string pipeName) : m_pipeName(std::move(pipeName)) {
    m_worker = std::thread([this] { run(); });
}

LogonClient::~LogonClient() {
    stop();
}

void LogonClient::logon(const LogonAccount& account) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_commands.push_back({true, account});
    m_changed.notify_all();
}

void LogonClient::logoff() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_commands.push_back({false, {}});
    m_changed.notify_all();
}

void LogonClient::stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_commands.clear();
        // Whatever the threads wait in on the pipe ends with a cancellation.
        if (m_handle != nullptr) ipcCancel(m_handle);
        m_changed.notify_all();
    }
    if (m_worker.joinable()) m_worker.join();
    if (m_receiver.joinable()) m_receiver.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    ipcDestroy(&m_handle);
    m_connected = false;
}

std::string LogonClient::envelope(int32_t command, int32_t sequenceNumber, const MessageChildren& children) {
    using C = ConnApiConstants;
    const std::string env = C::SOAP_ENV_PREFIX;
    const std::string name = M::name(command) == nullptr ? "" : M::name(command);
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    text += "<" + env + ":" + C::ENVELOPE_ELEMENT + " xmlns:" + env + "=\"" + C::SOAP_ENVELOPE_NAMESPACE_URI +
            "\" xmlns=\"" + C::NAMESPACE_URI + "\" " + C::ENCODING_STYLE_ATTRIBUTE + "=\"" +
            C::SOAP_ENCODING_NAMESPACE_URI + "\">\n";
    text += "<" + env + ":" + C::BODY_ELEMENT + ">\n";
    text += "<" + name + ">\n";
    text += std::string("<") + C::SEQUENCE_NUMBER_ELEMENT + ">" + std::to_string(sequenceNumber) + "</" +
            C::SEQUENCE_NUMBER_ELEMENT + ">\n";
    for (const auto& [child, value] : children)
        text += "<" + child + ">" + base::xmlEscaped(value) + "</" + child + ">\n";
    text += "</" + name + ">\n";
    text += "</" + env + ":" + C::BODY_ELEMENT + ">\n";
    text += "</" + env + ":" + C::ENVELOPE_ELEMENT + ">\n";
    return text;
}

std::optional<PipeMessage> LogonClient::read(const std::string& payload) {
    // No network, no entities substituted; a document type is refused below.
    xmlDoc* document = xmlReadMemory(payload.data(), static_cast<int>(payload.size()), nullptr, nullptr,
                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (document == nullptr) return std::nullopt;
    std::optional<PipeMessage> message;
    xmlNode* root = xmlDocGetRootElement(document);
    xmlNode* body = root == nullptr || document->intSubset != nullptr
                        ? nullptr
                        : findElement(root, ConnApiConstants::BODY_ELEMENT);
    xmlNode* element = body == nullptr ? nullptr : firstElement(body->children);
    if (element != nullptr) {
        message.emplace();
        message->name = localName(element);
        for (xmlNode* child = firstElement(element->children); child != nullptr;
             child = firstElement(child->next))
            message->children[localName(child)] = textOf(child);
        // A fault carries the number of the request in its detail.
        if (xmlNode* number = findElement(element, ConnApiConstants::SEQUENCE_NUMBER_ELEMENT))
            message->sequenceNumber = static_cast<int32_t>(std::strtol(textOf(number).c_str(), nullptr, 0));
    }
    xmlFreeDoc(document);
    return message;
}

void LogonClient::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_stopping || !m_commands.empty(); });
        if (m_stopping) return;
        Command command = std::move(m_commands.front());
        m_commands.pop_front();
        if (!connect(lock)) continue;
        lock.unlock();
        if (command.logon) {
            runLogon(command.account);
        } else {
            runLogoff();
        }
        lock.lock();
    }
}

// Under the lock, which it leaves while it waits; true once connected.
bool LogonClient::connect(std::unique_lock<std::mutex>& lock) {
    if (m_connected) return true;
    // The receiver of a connection that went away has ended or is about to.
    if (m_receiver.joinable()) {
        lock.unlock();
        m_receiver.join();
        lock.lock();
    }
    ipcDestroy(&m_handle);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(CONNECT_TIMEOUT_MS);
    int result = IPC_ERR_NOT_LISTENING;
    while (!m_stopping) {
        result = ipcNamedPipeClient_create(&m_handle, m_pipeName.c_str());
        if (result == IPC_OK) {
            IpcHandle* handle = m_handle;
            lock.unlock();
            result = ipcConnect(handle);
            lock.lock();
            if (result == IPC_OK && !m_stopping) {
                m_connected = true;
                m_receiver = std::thread([this, handle] { receive(handle); });
                return true;
            }
            ipcDestroy(&m_handle);
        }
        if (result != IPC_ERR_NOT_LISTENING && result != IPC_ERR_NO_CONNECTION) break;
        // Nobody serves the pipe yet: the service is still starting.
        if (std::chrono::steady_clock::now() >= deadline) break;
        m_changed.wait_for(lock, std::chrono::milliseconds(CONNECT_RETRY_MS), [this] { return m_stopping; });
    }
    if (!m_stopping) report("the service's pipe cannot be reached", result);
    return false;
}

void LogonClient::receive(IpcHandle* handle) {
    std::string bytes;
    char chunk[4096];
    while (true) {
        int count = 0;
        int result = ipcRecv(handle, chunk, sizeof chunk, &count);
        if (result != IPC_OK) break;
        bytes.append(chunk, static_cast<size_t>(count));
        bool refused = false;
        while (!bytes.empty()) {
            ConnApiFrame::HeaderReading header = ConnApiFrame::readHeader(
                reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()), 0, nullptr);
            if (header.status == ConnApiFrame::HeaderStatus::NEVER) {
                refused = true;
                break;
            }
            if (header.status == ConnApiFrame::HeaderStatus::INCOMPLETE) break;
            size_t end = static_cast<size_t>(header.headerLength) + static_cast<size_t>(header.messageLength);
            if (bytes.size() < end) break;
            std::string payload =
                bytes.substr(static_cast<size_t>(header.headerLength), header.messageLength);
            bytes.erase(0, end);
            if (std::optional<PipeMessage> message = read(payload)) answer(*message);
        }
        if (refused) {
            report("the service's framing is not understood", 0);
            break;
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_connected = false;
    m_changed.notify_all();
}

void LogonClient::answer(const PipeMessage& message) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (named(message, M::GET_LOGON_USERNAME_AND_PASSWORD_REQUEST)) {
        if (!m_account) return;
        LogonAccount& account = *m_account;
        // The server asked for a new password: from now on it is the password.
        if (m_passwordExpired) commitNewPassword(account);
        MessageChildren children = {
            {E::USERNAME, account.user}, {E::DOMAIN, account.domain}, {E::PASSWORD, account.password}};
        lock.unlock();
        send(M::GET_LOGON_USERNAME_AND_PASSWORD_RESPONSE, message.sequenceNumber, children);
        return;
    }
    if (named(message, M::GET_LOGON_SMART_CARD_PIN_REQUEST)) {
        if (!m_account) return;
        MessageChildren children = {{E::PIN, m_account->pin}};
        lock.unlock();
        send(M::GET_LOGON_SMART_CARD_PIN_RESPONSE, message.sequenceNumber, children);
        return;
    }
    if (named(message, M::LOGON_EVENT)) {
        auto type = message.children.find(E::EVENT_TYPE);
        if (type == message.children.end()) return;
        if (type->second == PRE_LOGON_DONE && numberOf(message.children, E::LOGON_ATTEMPT_ID) == m_attempt)
            m_preLogonDone = true;
        m_changed.notify_all();
        if (type->second == PASSWORD_EXPIRED && m_account) {
            m_passwordExpired = true;
            changePassword(lock, numberOf(message.children, E::LOGON_ATTEMPT_ID));
        }
        return;
    }
    const bool changed = named(message, M::SSO_CHANGE_PASSWORD_RESPONSE);
    if (m_changeSequence != 0 && message.sequenceNumber == m_changeSequence &&
        (changed || message.name == ConnApiConstants::FAULT_ELEMENT)) {
        // Nobody waits for this reply: the receive thread sent the request.
        m_changeSequence = 0;
        if (changed && m_account) commitNewPassword(*m_account);
        return;
    }
    // Replies and faults go to the request that waits for them; the service's other events and
    // requests are not the logon component's.
    const std::string& name = message.name;
    const std::string reply = "Response";
    bool isReply =
        name.size() > reply.size() && name.compare(name.size() - reply.size(), reply.size(), reply) == 0;
    if (!isReply && name != ConnApiConstants::FAULT_ELEMENT) return;
    m_replies[message.sequenceNumber] = message;
    m_changed.notify_all();
}

void LogonClient::changePassword(std::unique_lock<std::mutex>& lock, int32_t attempt) {
    const LogonAccount& account = *m_account;
    // Without a new password the user has none to give: the change is left to the service's
    // timeout, and a later credential request still gets the old password.
    if (account.newPassword.empty()) return;
    MessageChildren children = {{E::CHANGE_PASSWORD_ATTEMPT_ID, std::to_string(attempt)},
                                {E::USERNAME, account.user},
                                {E::DOMAIN, account.domain},
                                {E::PASSWORD, account.newPassword},
                                {E::OLD_PASSWORD, account.password}};
    const int32_t sequenceNumber = ++m_sequence;
    m_changeSequence = sequenceNumber;
    lock.unlock();
    send(M::SSO_CHANGE_PASSWORD_REQUEST, sequenceNumber, children);
}

void LogonClient::commitNewPassword(LogonAccount& account) {
    if (!account.newPassword.empty()) {
        account.password = account.newPassword;
        account.newPassword.clear();
    }
    m_passwordExpired = false;
}

bool LogonClient::send(int32_t command, int32_t sequenceNumber, const MessageChildren& children) {
    std::string frame = ConnApiFrame::frame(envelope(command, sequenceNumber, children));
    IpcHandle* handle = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_connected) return false;
        handle = m_handle;
    }
    std::lock_guard<std::mutex> sending(m_sendMutex);
    int result = ipcSend(handle, frame.data(), static_cast<int>(frame.size()));
    if (result != IPC_OK) report("a message could not be sent", result);
    return result == IPC_OK;
}

std::optional<PipeMessage> LogonClient::request(int32_t command, const MessageChildren& children) {
    int32_t sequenceNumber = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        sequenceNumber = ++m_sequence;
    }
    if (!send(command, sequenceNumber, children)) return std::nullopt;
    std::unique_lock<std::mutex> lock(m_mutex);
    bool answered = m_changed.wait_for(lock, std::chrono::milliseconds(REPLY_TIMEOUT_MS), [&] {
        return m_stopping || !m_connected || m_replies.count(sequenceNumber) != 0;
    });
    auto reply = m_replies.find(sequenceNumber);
    if (!answered || reply == m_replies.end()) {
        if (!m_stopping) report("no reply to a request", command);
        return std::nullopt;
    }
    PipeMessage message = std::move(reply->second);
    m_replies.erase(reply);
    return message;
}

void LogonClient::runLogon(const LogonAccount& account) {
    int32_t attempt = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_account = account;
        m_passwordExpired = false;
        m_preLogonDone = false;
        attempt = ++m_attempt;
    }
    // Without a policy (a fault, no reply) the logon does not wait for the network.
    int32_t waitSeconds = 0;
    if (std::optional<PipeMessage> policy = request(M::SSO_LOGON_POLICY_REQUEST, {}))
        waitSeconds =
            numberOf(policy->children, E::MAX_NUMBER_OF_SECONDS_TO_WAIT_FOR_CONNECTION_BEFORE_LOGON);
    // The user's session comes in any case; only pre-logon actions the service took on are waited for.
    std::optional<PipeMessage> prelogon =
        request(M::SSO_PRELOGON_ACTIONS_REQUEST, {{E::LOGON_ATTEMPT_ID, std::to_string(attempt)}});
    if (!prelogon || !named(*prelogon, M::SSO_PRELOGON_ACTIONS_RESPONSE)) waitSeconds = 0;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(waitSeconds > 0 ? waitSeconds : 0),
                           [this] { return m_stopping || !m_connected || m_preLogonDone; });
        if (m_stopping || !m_connected) return;
    }
    request(M::SSO_USER_SESSION_ACTIONS_REQUEST,
            {{E::USER_TOKEN_HANDLE, std::to_string(TOKEN_BASE + attempt)},
             {E::USER_LOGON_PROCESS_ID, std::to_string(base::processId())}});
}

void LogonClient::runLogoff() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_account.reset();
        m_passwordExpired = false;
    }
    request(M::SSO_NO_USER_SESSION_REQUEST, {});
}

namespace {

std::mutex g_clientMutex;
LogonClient* g_client = nullptr;

LogonAccount accountOf(const Element& logon) {
    return {logon.text("user"), logon.text("domain"), logon.text("password"), logon.text("newPassword"),
            logon.text("pin")};
}

std::string logonCommand(const std::vector<std::string>& words) {
    if (words.size() < 3 || words.size() > 4) return "logon <user> <password> [domain]";
    LogonAccount account;
    // What the lab says of the user beyond the command: the new password and the PIN.
    if (const Element* known = Lab::instance().world().find("logon", words[1])) account = accountOf(*known);
    account.user = words[1];
    account.password = words[2];
    account.domain = words.size() == 4 ? words[3] : account.domain;
    std::lock_guard<std::mutex> lock(g_clientMutex);
    if (g_client == nullptr) return "no logon client runs";
    g_client->logon(account);
    return "";
}

std::string logoffCommand(const std::vector<std::string>& words) {
    if (words.size() != 1) return "logoff";
    std::lock_guard<std::mutex> lock(g_clientMutex);
    if (g_client == nullptr) return "no logon client runs";
    g_client->logoff();
    return "";
}

}  // namespace

void startLogonClient() {
    Lab& lab = Lab::instance();
    {
        std::lock_guard<std::mutex> lock(g_clientMutex);
        if (g_client != nullptr) return;
        g_client = new LogonClient(ConnApiConstants::PIPE_NAME);
    }
    lab.addCommand("logon",
                   [](const std::vector<std::string>& words, std::string*) { return logonCommand(words); });
    lab.addCommand("logoff",
                   [](const std::vector<std::string>& words, std::string*) { return logoffCommand(words); });
    std::lock_guard<std::recursive_mutex> lock(lab.mutex());
    for (const Element& logon : lab.world().all("logon")) {
        if (!logon.has("atMs")) continue;
        LogonAccount account = accountOf(logon);
        lab.schedule(logon.integer("atMs"), [account] {
            std::lock_guard<std::mutex> lock(g_clientMutex);
            if (g_client != nullptr) g_client->logon(account);
        });
    }
}

void stopLogonClient() {
    LogonClient* client = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_clientMutex);
        client = g_client;
        g_client = nullptr;
    }
    delete client;
}

}  // namespace lab
