#pragma once
// Follows the user's logon as the logon client's single-sign-on requests report it and relates it
// to the configuration's behaviour at logon: decides when the pre-logon phase is over and tells
// the tray programs ("preLogonDone"), passes logon and logoff on to every network and to the VPN
// manager, reports the service running once the machine connection is made, and answers whether a
// user session is open. One per service; engine event-queue thread.
#include <atomic>
#include <cstdint>

#include "vel/configuration/ActiveConfigurationSubscriberInterface.h"
#include "vel/configuration/Configuration.h"
#include "vel/configuration/ConfigurationSubscriberInterface.h"
#include "vel/logon/LogonConstants.h"
#include "vel/logon/ServiceStatus.h"
#include "vel/network/LogonStatus.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class LogonStateMachineImpl : public ReferenceImpl,
                              public ConfigurationSubscriberInterface,
                              public ActiveConfigurationSubscriberInterface,
                              public LogonStatusInterface,
                              public LogonUserTokenInterface {
public:
    using Action = void (LogonStateMachineImpl::*)();

    // Whether a row's new state is in place while its action runs, or only afterwards.
    enum class SetState { BEFORE_ACTION, AFTER_ACTION };

    // One transition: in this state, on this input (a request code, a configuration state or a
    // behaviour at logon), run the action and move to the next state (0: stay).
    struct Row {
        std::int32_t state;
        std::int32_t input;
        Action action;
        std::int32_t next;
        SetState setState;
    };

    LogonStateMachineImpl() = default;
    ~LogonStateMachineImpl() override;

    void addRef() override { ReferenceImpl::addRef(); }
    void release() override { ReferenceImpl::release(); }
    void release2() override { ReferenceImpl::release2(); }
    // Lets the service status go.
    void clearReferences() override;

    // Reported to when the service counts as running; may be null.
    void setServiceStatus(ServiceStatusInterface* status);

    void handleSsoRequest(std::int32_t code);
    // While pre-logon runs, the logon client hears "preLogonDone" with the current pre-logon actions.
    void sendPreLogonDoneIfWaiting();
    // The value of the last pre-logon actions request; the one before it stays as the previous.
    void setPrelogonActions(std::int32_t value);
    void setUserSessionActionA(std::int32_t value) { m_userSessionActionA = value; }
    void setUserSessionActionB(std::int32_t value) { m_userSessionActionB = value; }
    std::int32_t userSessionActionA() const { return m_userSessionActionA; }
    std::int32_t userSessionActionB() const { return m_userSessionActionB; }
    std::int32_t prelogonActions() const { return m_prelogonActions; }
    std::int32_t previousPrelogonActions() const { return m_previousPrelogonActions; }
    std::int32_t state() const { return m_state; }

    // NO_USER_SESSION before anybody logs on, USER_SESSION from the logon attempt on; 0 (and a
    // broken invariant) in a state of no meaning.
    std::int32_t getLogonContext() override;
    bool isUserLoggedOn() const;
    LogonUserTokenInterface* userTokenSource() override { return this; }
    std::int32_t userSessionReference() override { return m_userSessionActionA; }
    // Action A as the internal file kept it; the session itself starts with the next user-session
    // request, whose token 0 (a tray program's, which knows none) keeps it.
    void restoreUserSessionReference(std::int32_t reference) override {
        m_userSessionActionA = reference;
        m_keptReference = reference;
    }
    // The token and process the logon client gave with the user's session, while it lasts.
    bool userToken(winfile::HANDLE* token, std::uint32_t* processId) override;

    // As a follower of the configuration in force: its top state changed.
    void configurationEvent(std::int32_t state) override;
    void networkStateChanged(std::int32_t, const VelAdapter&, const Network&) override {}
    void configurationCredentialRequest(const Network&, const ElementVector&, std::int32_t, std::int32_t,
                                        std::int32_t, const Ascii&) override {}
    void changePasswordResult(std::int32_t, std::int32_t) override {}

    // Another configuration is in force: its behaviour at logon applies, and the machine follows it.
    void activeConfigurationChanged() override;
    void userConfigurationChanged() override {}

    // The actions of the tables.
    void nothing() {}
    void prelogonStarted();
    void userAction();
    // The logoff, then the user-session values are forgotten.
    void userLogoff();
    void sendPreLogonDonePrevious();
    void sendPreLogonDoneCurrent();
    void userLogoffAndSendPreLogonDone();
    void reportMachineConnected();
    void prelogonCompleted();

    static std::atomic<LogonStateMachineImpl*> Singleton;

private:
    // The configuration in force, or an empty handle.
    static Configuration activeConfiguration();
    // Runs the row of (state, input); nothing when the table has none.
    void runRow(const Row* rows, std::size_t count, std::int32_t input);
    void sendPreLogonDone(std::int32_t value);
    void reportServiceRunning();
    // Every network and the VPN manager hear that the user logged off.
    void tellLogoff();
    void clearUserSessionActions();
    void connectionBehaviorChanged();
    // A session reference that changed with a request is written to the internal file at once.
    void keepSessionReference();

    std::int32_t m_state = LogonConstants::AFTER_LOGON_NO_USER;
    std::int32_t m_prelogonActions = 0;
    std::int32_t m_previousPrelogonActions = 0;
    std::int32_t m_userSessionActionA = 0;
    std::int32_t m_userSessionActionB = 0;
    // The session reference the internal file holds, as far as this service wrote or read it.
    std::int32_t m_keptReference = 0;
    Reference m_serviceStatus;
};

class LogonStateMachine : public Reference {
public:
    // Makes the singleton in "after logon, no user" ("Singleton == null"), reporting to the status.
    static LogonStateMachine create(ServiceStatusInterface* status);
    // Binds to the singleton ("Singleton != null"); empty when there is none.
    LogonStateMachine();

    ActiveConfigurationSubscriberInterface* asConfigurationSubscriber() const { return impl(); }
    LogonStatusInterface* asLogonStatus() const { return impl(); }
    void handleSsoRequest(std::int32_t code) const { impl()->handleSsoRequest(code); }
    void sendPreLogonDoneIfWaiting() const { impl()->sendPreLogonDoneIfWaiting(); }
    void setPrelogonActions(std::int32_t value) const { impl()->setPrelogonActions(value); }
    void setUserSessionActionA(std::int32_t value) const { impl()->setUserSessionActionA(value); }
    void setUserSessionActionB(std::int32_t value) const { impl()->setUserSessionActionB(value); }
    std::int32_t getUserSessionActionB() const { return impl()->userSessionActionB(); }
    // The logon attempt id the logon client gave with its last pre-logon actions request.
    std::int32_t currentLogonAttemptId() const { return impl()->prelogonActions(); }
    std::int32_t getLogonContext() const { return impl()->getLogonContext(); }
    std::int32_t getLogonStatus() const { return impl()->getLogonContext(); }
    bool isUserLoggedOn() const { return impl()->isUserLoggedOn(); }

    LogonStateMachineImpl* impl() const {
        return static_cast<LogonStateMachineImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    // Takes over the reference p carries; null leaves the handle empty.
    explicit LogonStateMachine(LogonStateMachineImpl* p);
};
