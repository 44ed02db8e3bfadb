#pragma once
// The port manager's credential answers as a record of calls, for tests of credential requests and
// of what answers them.
#include <string>
#include <vector>

#include "vel/credrequest/CredentialAnswers.h"
#include "vel/reference/ReferenceImpl.h"

namespace tamsel::test {

// The port manager's answers as a record of calls.
class RecordingAnswersImpl : public ReferenceImpl, public CredentialAnswersInterface {
public:
    REFERENCE_IMPL_FORWARDS

    int credDeferred(int sync) override { return note("deferred", sync); }
    int credComplete(int sync, bool responded) override {
        return note("complete", sync, responded ? "responded" : "no response");
    }
    int sendEapMethods(int sync, const QX_EAP_METHOD* methods, int count) override {
        std::string list;
        for (int i = 0; i < count; ++i)
            list += (i > 0 ? "," : "") + std::to_string(methods[i].vendorId) + ":" +
                    std::to_string(methods[i].type);
        return note("eapMethods", sync, list);
    }
    int sendTtlsMethod(int sync, int method) override { return note("ttls", sync, std::to_string(method)); }
    int sendIdentity(int sync, QX_HANDLE identity) override {
        return note("identity", sync, handle(identity));
    }
    int sendPassword(int sync, QX_HANDLE password) override {
        return note("password", sync, handle(password));
    }
    int sendSessionStart(int sync, bool full, const CertificateStore&) override {
        return note("sessionStart", sync, full ? "full" : "resume");
    }
    int sendEapFastPac(int sync, QX_HANDLE pac) override { return note("pac", sync, std::to_string(pac)); }
    int sendEapFastProvisionModes(int sync, const int* modes, int count) override {
        return note("provisionModes", sync, list(modes, count));
    }
    int sendMachineIdentity(int sync, QX_HANDLE identity) override {
        return note("machineIdentity", sync, handle(identity));
    }
    int sendServerVerified(int sync, bool verified) override {
        return note("verified", sync, verified ? "1" : "0");
    }
    int sendUserCert(int sync, QX_HANDLE certificate) override {
        return note("userCert", sync, handle(certificate));
    }
    int sendEapFastPacTypes(int sync, const int* types, int count) override {
        return note("pacTypes", sync, list(types, count));
    }
    int serverVerifyCa(int sync, const Certificate&) override { return note("verifyCa", sync); }

    std::vector<std::string> calls;

private:
    int note(const char* what, int sync, const std::string& detail = "") {
        calls.push_back(std::string(what) + "(" + std::to_string(sync) +
                        (detail.empty() ? "" : ", " + detail) + ")");
        return 0;
    }
    static std::string handle(QX_HANDLE h) { return h != 0 ? "handle" : "0"; }
    static std::string list(const int* values, int count) {
        std::string out;
        for (int i = 0; i < count; ++i) out += (i > 0 ? "," : "") + std::to_string(values[i]);
        return out;
    }
};

}  // namespace tamsel::test
