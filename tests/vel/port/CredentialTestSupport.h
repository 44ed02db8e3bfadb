#pragma once
// A stand-in for the engine's credential request object (deferred at creation, answers through the
// port manager, completed once) and a responder that records what reached it or answers from a
// script, as a network would.
#include <functional>
#include <string>
#include <vector>

#include "platform/qxauth/QxLibrary.h"
#include "tests/support/TestPki.h"
#include "vel/adapter/AdapterSubscriber.h"
#include "vel/port/CredentialResponder.h"
#include "vel/port/PortCredentialResponderMember.h"
#include "vel/port/PortManager.h"

namespace tamsel::test {

// A CA ("Corp Root") and the certificate it issued to radius.corp.example, written below the
// folder as "ca.pem" and "server.pem" for an authenticator's serverCertificate; the CA is returned.
template <typename Folder>
TestCertificate writeServerCertificates(const Folder& folder) {
    CertificateSpec caSpec;
    caSpec.commonName = "Corp Root";
    caSpec.ca = true;
    TestCertificate ca = TestPki::selfSigned(caSpec);
    CertificateSpec serverSpec;
    serverSpec.commonName = "radius.corp.example";
    folder.write("ca.pem", ca.pem());
    folder.write("server.pem", TestPki::issue(serverSpec, ca).pem());
    return ca;
}

class FakeRequestImpl : public ReferenceImpl {
public:
    FakeRequestImpl(PortManagerImpl* portManager, std::int32_t sync, std::int32_t type, std::int32_t level)
        : m_portManager(portManager), sync(sync), type(type), level(level) {
        if (type != QX_CRED_CRED_CANCELED) m_portManager.get()->credDeferred(sync);
    }
    ~FakeRequestImpl() override { complete(false); }

    // Runs one answer on the port manager and marks the request answered.
    void answer(const std::function<void(PortManagerImpl*, std::int32_t)>& send) {
        if (completed) return;
        send(m_portManager.get(), sync);
        answered = true;
    }
    void complete(bool responded) {
        if (completed || type == QX_CRED_CRED_CANCELED) return;
        completed = true;
        m_portManager.get()->credComplete(sync, responded || answered);
    }

    static Reference make(const VelAdapter&, PortManagerImpl* portManager, std::int32_t sync,
                          std::int32_t type, std::int32_t level, std::int32_t) {
        return Reference(new FakeRequestImpl(portManager, sync, type, level), Reference::TAKE_OVER);
    }
    static FakeRequestImpl* of(const Reference& request) {
        return static_cast<FakeRequestImpl*>(static_cast<ReferenceImpl*>(request.m));
    }

    PortManagerProxy m_portManager;
    std::int32_t sync;
    std::int32_t type;
    std::int32_t level;
    bool answered = false;
    bool completed = false;
};

// Records every request it gets as "<operation> <data>"; keeps the requests it is told to hold.
class RecordingResponderImpl : public ReferenceImpl,
                               public AdapterSubscriberInterface,
                               public CredentialResponderInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void eapStatus(const VelAdapter&, std::int32_t) override {}
    void adapterStateChanged(const VelAdapter&, std::int32_t, std::int32_t) override {}
    CredentialResponderInterface* credentialResponderForAdapter(const VelAdapter&) override { return this; }
    bool isAuthenticationNetwork() override { return true; }

    static std::string join(const std::vector<std::int32_t>& types) {
        std::string text;
        for (std::int32_t type : types) text += (text.empty() ? "" : ",") + std::to_string(type);
        return text;
    }
    void note(const std::string& line, const Reference& request) {
        lines.push_back(line);
        requests.push_back(request);
    }

    void requestEapMethods(const Reference& r, const std::vector<std::int32_t>& types) override {
        note("eapMethods " + join(types), r);
    }
    void requestTtlsTunnelMethod(const Reference& r) override { note("ttlsMethod", r); }
    void requestIdentity(const Reference& r, std::int32_t level, std::int32_t value, bool flag,
                         const Ascii& prompt) override {
        note("identity " + std::to_string(level) + " " + std::to_string(value) + " " + std::to_string(flag) +
                 " " + prompt.text(),
             r);
    }
    void requestPassword(const Reference& r, const Ascii& prompt,
                         const std::vector<std::int32_t>& types) override {
        note(std::string("password ") + prompt.text() + " " + join(types), r);
    }
    void requestPasswordChange(const Reference& r, const Ascii& prompt) override {
        note(std::string("passwordChange ") + prompt.text(), r);
    }
    void requestPasswordRetry(const Reference& r, const Ascii& prompt) override {
        note(std::string("passwordRetry ") + prompt.text(), r);
    }
    void requestSessionStart(const Reference& r, std::int32_t eapMethod) override {
        note("sessionStart " + std::to_string(eapMethod), r);
    }
    void requestEapFastPac(const Reference& r, const ByteArray& aid) override {
        note("fastPac " + std::string(aid.text(), static_cast<size_t>(aid.length())), r);
    }
    void requestEapFastProvisionModes(const Reference& r) override { note("provisionModes", r); }
    void handleAuthenticationNotification(const Reference& r, const Credential& pac) override {
        pacs.push_back(pac);
        note(std::string("pacSave ") + pac.iid().text() + " [" + pac.aidInfo().text() + "]", r);
    }
    void requestMachineIdentity(const Reference& r, std::int32_t level, std::int32_t value,
                                bool flag) override {
        note("machineIdentity " + std::to_string(level) + " " + std::to_string(value) + " " +
                 std::to_string(flag),
             r);
    }
    void requestServerVerify(const Reference& r, QX_HANDLE certificate,
                             const std::vector<std::int32_t>& types, std::int32_t chainIsValid) override {
        // 1 when the certificate's handle is live while the responder holds it.
        const bool live = qxauth::handleValue(certificate, QX_HANDLE_CERTIFICATE, nullptr);
        note("serverVerify " + std::to_string(live) + " " + join(types) + " " + std::to_string(chainIsValid),
             r);
    }
    void requestUserCertificate(const Reference& r, const std::vector<std::int32_t>& types) override {
        note("userCertificate " + join(types), r);
    }
    void requestEapFastPacTypes(const Reference& r, const ByteArray& aid) override {
        note("pacTypes " + std::string(aid.text(), static_cast<size_t>(aid.length())), r);
    }
    void requestCredCanceled(const Reference& r) override { note("canceled", r); }

    std::vector<std::string> lines;
    std::vector<Reference> requests;
    std::vector<Credential> pacs;
};

}  // namespace tamsel::test
