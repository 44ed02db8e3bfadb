#pragma once
// What the builder events of client certificates need from outside: the network that takes their
// results, and the logged-on user whose token they wear for the user's stores.
#include <cstdint>
#include <vector>

#include "platform/win/WinFile.h"
#include "vel/certificate/Certificate.h"
#include "vel/reference/ElementInterface.h"

class ClientCertificateHandlerInterface : public ElementInterface {
public:
    // A chosen certificate prepared for use, with its status (CertificateConstants).
    virtual void clientCertificateCompleted(const Certificate& certificate, int status) = 0;
    // The user's certificates a network may offer.
    virtual void certificateListReady(const std::vector<Certificate>& certificates) = 0;
};

class LogonUserTokenInterface : public ElementInterface {
public:
    // The token the logon client gave with the user's session and its process; false when no user is
    // logged on.
    virtual bool userToken(winfile::HANDLE* token, std::uint32_t* processId) = 0;
};
