#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/LogCapture.h"
#include "tests/support/TestText.h"
#include "tests/vel/credrequest/RecordingAnswers.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/credrequest/CredentialRequestProxy.h"

namespace tamsel::test {
namespace {

class CredentialRequestTest : public RuntimeTest {};

TEST_F(CredentialRequestTest, AnswersGoThroughThePortAndTheRequestCompletesOnce) {
    using V = std::vector<std::string>;
    using Act = std::function<void(CredentialRequestImpl&)>;
    struct Row {
        const char* what;
        int type;
        int level;
        Act act;
        V calls;           // after the request is let go
        std::string line;  // in the log, or ""
    };
    const Row rows[] = {
        {"a cancellation is neither deferred nor completed",
         QX_CRED_CRED_CANCELED,
         0,
         [](CredentialRequestImpl& r) { r.complete(true); },
         {},
         ""},
        {"a PAC save nobody answers completes as responded",
         QX_CRED_EAP_FAST_PAC_SAVE,
         0,
         [](CredentialRequestImpl&) {},
         {"deferred(7)", "complete(7, responded)"},
         ""},
        {"nothing answered: no response on the last release",
         QX_CRED_PASSWORD,
         0,
         [](CredentialRequestImpl&) {},
         {"deferred(7)", "complete(7, no response)"},
         ""},
        {"two answers go out until complete; after it none",
         QX_CRED_SERVER_VERIFY,
         0,
         [](CredentialRequestImpl& r) {
             r.sendServerVerified(true);
             r.sendServerVerified(false);
             r.complete(false);
             EXPECT_EQ(r.sendServerVerified(true), 0);
             r.complete(false);
         },
         {"deferred(7)", "verified(7, 1)", "verified(7, 0)", "complete(7, responded)"},
         ""},
        {"a password at level 0",
         QX_CRED_PASSWORD,
         0,
         [](CredentialRequestImpl& r) { r.sendPassword(Credential::newPassword("secret")); },
         {"deferred(7)", "password(7, handle)", "complete(7, responded)"},
         ": Password sent\n"},
        {"a password in the tunnel",
         QX_CRED_PASSWORD,
         1,
         [](CredentialRequestImpl& r) { r.sendPassword(Credential::newPassword("secret")); },
         {"deferred(7)", "password(7, handle)", "complete(7, responded)"},
         "Protected password sent."},
        {"a certificate without a handle is not sent",
         QX_CRED_USER_CERT,
         0,
         [](CredentialRequestImpl& r) {
             r.sendUserCertificate(
                 Certificate::create(ByteArray("12345678901234567890"), CertificateStore::base()));
         },
         {"deferred(7)", "complete(7, no response)"},
         ""},
        {"unauthenticated provisioning allowed",
         QX_CRED_EAP_FAST_PROVISION_MODES,
         0,
         [](CredentialRequestImpl& r) { r.sendProvisionModes(true); },
         {"deferred(7)", "provisionModes(7, 2,1)", "complete(7, responded)"},
         "eth-a: FAST: unauthenticated provisioning supported"},
        {"authenticated provisioning only",
         QX_CRED_EAP_FAST_PROVISION_MODES,
         0,
         [](CredentialRequestImpl& r) { r.sendProvisionModes(false); },
         {"deferred(7)", "provisionModes(7, 2)", "complete(7, responded)"},
         ""},
        {"no methods: nothing sent",
         QX_CRED_EAP_METHODS,
         0,
         [](CredentialRequestImpl& r) { r.sendEapMethods({}); },
         {"deferred(7)", "complete(7, no response)"},
         "eth-a: EAP requested by client: \n"},
        {"methods, one without a name",
         QX_CRED_EAP_METHODS,
         0,
         [](CredentialRequestImpl& r) {
             r.sendEapMethods({13, 99});
         },
         {"deferred(7)", "eapMethods(7, 0:13,0:99)", "complete(7, responded)"},
         " 99\n"},
        {"session start, full",
         QX_CRED_SESSION_START,
         0,
         [](CredentialRequestImpl& r) { r.sendSessionStart(false, CertificateStore::base()); },
         {"deferred(7)", "sessionStart(7, resume)", "complete(7, responded)"},
         "eth-a: Allowing session resumption"},
        {"identity",
         QX_CRED_IDENTITY,
         0,
         [](CredentialRequestImpl& r) { r.sendIdentity(Credential::newIdentity("alice")); },
         {"deferred(7)", "identity(7, handle)", "complete(7, responded)"},
         "eth-a: Identity sent"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto* answers = new RecordingAnswersImpl;
        {
            LogCapture log(root.log());
            VelAdapter adapter = VelAdapter::create("eth-a");
            CredentialRequestProxy proxy(CredentialRequest::create(adapter, answers, 7, row.type, row.level));
            row.act(*proxy.credentialRequest().impl());
            adapter.impl()->clearReferences();
            proxy.clear();  // the last release
            EXPECT_TRUE(log.contains(row.line)) << log.text();
        }
        EXPECT_EQ(answers->calls, row.calls);
        answers->release();
    }
}

}  // namespace
}  // namespace tamsel::test
