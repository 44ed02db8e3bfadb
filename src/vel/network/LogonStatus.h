#pragma once
// Whether a user is logged on, as the logon component knows it. Networks ask it when they start,
// to choose between the machine's and the user's credentials; the engine installs the logon
// component, tests install a fake. With none installed nobody counts as logged on.
#include <cstdint>

#include "vel/credrequest/ClientCertificateHandler.h"
#include "vel/reference/ElementInterface.h"
#include "vel/reference/Installed.h"

class LogonStatusInterface : public ElementInterface {
public:
    static constexpr std::int32_t NO_USER_SESSION = 1;
    static constexpr std::int32_t USER_SESSION = 2;

    virtual std::int32_t getLogonContext() = 0;
    // Whose token the user's certificate stores are read with; null when the component has none.
    virtual LogonUserTokenInterface* userTokenSource() { return nullptr; }
    // The reference of the logged-on user's session (the logon client's token number), kept in the
    // internal file so that a service restarted during the session reads the user's stores at
    // once; 0 when there is none.
    virtual std::int32_t userSessionReference() { return 0; }
    virtual void restoreUserSessionReference(std::int32_t) {}
};

using InstalledLogonStatus = InstalledObject<LogonStatusInterface>;

class LogonStatus {
public:
    // The installed component's answer; NO_USER_SESSION when none is installed.
    static std::int32_t getLogonContext();
    // The installed component's token source; null when none is installed.
    static LogonUserTokenInterface* userTokenSource();
    // The installed component's session reference (0 when none is installed), and its restore.
    static std::int32_t userSessionReference();
    static void restoreUserSessionReference(std::int32_t reference);
};
