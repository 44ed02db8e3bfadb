#pragma once
// The lab's logon client: the machine's logon component as the service sees it, a client of the
// service's pipe. A logon asks the logon policy, sends the pre-logon actions with a new attempt
// id, waits at most the policy's wait for the service's "preLogonDone" of that attempt, then sends
// the user session actions with a token number of its own and its process id. From the start of a
// logon to the logoff it answers the service's logon credential and PIN requests, and a
// "passwordExpired" event with a password change request carrying the account's new password,
// which is the password from then on. A logoff sends the no-user-session request.
//
// Logons and logoffs queue and run one after another on the client's own thread, which connects
// when it needs to (and again after the service went away); the service's requests are answered
// from the receive thread.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct IpcHandle;

namespace lab {

struct LogonAccount {
    std::string user;
    std::string domain;
    std::string password;
    std::string newPassword;  // the answer after "passwordExpired"; empty: the password stays
    std::string pin;          // the answer to a logon PIN request
};

// The children of a message element after its sequence number, in order: name and text.
using MessageChildren = std::vector<std::pair<std::string, std::string>>;

// A message as read from the pipe: the local name of the body's element, its sequence number
// (also a fault's, from its detail) and its child elements' texts by local name.
struct PipeMessage {
    std::string name;
    int32_t sequenceNumber = 0;
    std::map<std::string, std::string> children;
};

class LogonClient {
public:
    // A client of the pipe of that name below the root.
    explicit LogonClient(std::string pipeName);
    ~LogonClient();
    LogonClient(const LogonClient&) = delete;
    LogonClient& operator=(const LogonClient&) = delete;

    void logon(const LogonAccount& account);
    void logoff();
    // Ends the connection and both threads; what is still queued is dropped.
    void stop();

    // The payload of a message as the client writes it: the SOAP envelope with the product's
    // default namespace, the message element of the command, its sequence number and children.
    static std::string envelope(int32_t command, int32_t sequenceNumber, const MessageChildren& children);
    // Reads a payload; nothing for what is not an envelope with a body element (a document type
    // included: it is not read).
    static std::optional<PipeMessage> read(const std::string& payload);

    // How long a request waits for its reply, and a logon or logoff for the pipe to be served.
    static constexpr int REPLY_TIMEOUT_MS = 30000;
    static constexpr int CONNECT_TIMEOUT_MS = 60000;
    static constexpr int CONNECT_RETRY_MS = 100;
    // Token numbers of the client's sessions start above this.
    static constexpr int32_t TOKEN_BASE = 0x5000;

private:
    struct Command {
        bool logon;
        LogonAccount account;
    };

    void run();
    void runLogon(const LogonAccount& account);
    void runLogoff();
    bool connect(std::unique_lock<std::mutex>& lock);
    void receive(IpcHandle* handle);
    void answer(const PipeMessage& message);
    // Sends a request and waits for its reply or fault; nothing when none came.
    std::optional<PipeMessage> request(int32_t command, const MessageChildren& children);
    bool send(int32_t command, int32_t sequenceNumber, const MessageChildren& children);
    // From the receive thread, under the lock, which it leaves to send: the password change request
    // of the attempt whose password expired. Its reply is taken by answer(), not waited for.
    void changePassword(std::unique_lock<std::mutex>& lock, int32_t attempt);
    // Under the lock: the new password becomes the password.
    void commitNewPassword(LogonAccount& account);

    const std::string m_pipeName;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Command> m_commands;
    bool m_stopping = false;
    IpcHandle* m_handle = nullptr;
    bool m_connected = false;
    std::thread m_receiver;
    // Replies by the sequence number of the request they answer, until it takes them.
    std::map<int32_t, PipeMessage> m_replies;
    int32_t m_sequence = 0;
    // The session: its account while a logon is on, the attempt and what the service said of it.
    std::optional<LogonAccount> m_account;
    int32_t m_attempt = 0;
    bool m_preLogonDone = false;
    bool m_passwordExpired = false;
    // The sequence number of the password change request sent and not yet answered; 0: none.
    int32_t m_changeSequence = 0;
    // Frames must not interleave on the stream: the worker and the receiver both send.
    std::mutex m_sendMutex;
    std::thread m_worker;
};

// The logon client of the running program: started by the authentication library when the lab
// runs on its own thread, with run/lab's "logon <user> <password> [domain]" and "logoff" and a
// logon for each <logon> element with its atMs; stopped at the library's exit.
void startLogonClient();
void stopLogonClient();

}  // namespace lab
