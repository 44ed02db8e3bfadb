#pragma once
// The port manager's credential answers: each sends one answer to an open credential request of
// the authentication library (by its sync) and logs its result. The port manager implements it;
// a credential request is the only caller.
#include <cstdint>

#include "platform/qxauth/qxAuth.h"
#include "vel/certificate/Certificate.h"
#include "vel/reference/ElementInterface.h"

class CredentialAnswersInterface : public ElementInterface {
public:
    virtual int credDeferred(int sync) = 0;
    // responded: something was answered.
    virtual int credComplete(int sync, bool responded) = 0;
    virtual int sendEapMethods(int sync, const QX_EAP_METHOD* methods, int count) = 0;
    virtual int sendTtlsMethod(int sync, int method) = 0;
    virtual int sendIdentity(int sync, QX_HANDLE identity) = 0;
    virtual int sendPassword(int sync, QX_HANDLE password) = 0;
    // full: the library must run a full authentication (no resumption); store: the CA certificates
    // the server is checked against (a null store for none).
    virtual int sendSessionStart(int sync, bool full, const CertificateStore& store) = 0;
    virtual int sendEapFastPac(int sync, QX_HANDLE pac) = 0;
    virtual int sendEapFastProvisionModes(int sync, const int* modes, int count) = 0;
    virtual int sendMachineIdentity(int sync, QX_HANDLE identity) = 0;
    virtual int sendServerVerified(int sync, bool verified) = 0;
    virtual int sendUserCert(int sync, QX_HANDLE certificate) = 0;
    virtual int sendEapFastPacTypes(int sync, const int* types, int count) = 0;
    virtual int serverVerifyCa(int sync, const Certificate& certificate) = 0;
};
