#pragma once
// A port test whose library requests are made into the engine's credential requests, on a wired
// lab whose PEAP-MSCHAPv2 authenticator knows alice with the password "secret" and presents the
// server certificate of writeServerCertificates.
#include <string>

#include "tests/support/LabBuilder.h"
#include "tests/vel/port/PortTestSupport.h"
#include "vel/port/PortCredentialRequestMaker.h"

namespace tamsel::test {

class RequestMakerPortTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        previous = PortCredentialRequestMaker::install();
    }
    void TearDown() override {
        PortTest::TearDown();
        PortCredentialRequestMaker::restore(previous);
    }

    // eth0 with the authenticator; the server's CA is in caStore ("LOCAL_MACHINE/ROOT", ...).
    static LabBuilder peapLab(const std::string& caStore, LabBuilder::Attributes more = {}) {
        LabBuilder builder;
        builder.wiredAdapter(1, "eth0");
        LabBuilder::Attributes authenticator = {{"on", "eth0"},
                                                {"method", "peap"},
                                                {"identity", "alice"},
                                                {"password", "secret"},
                                                {"serverCertificate", "server.pem"}};
        authenticator.insert(authenticator.end(), more.begin(), more.end());
        builder.add("authenticator", std::move(authenticator));
        builder.add("certificateStore", {{"store", caStore}, {"file", "ca.pem"}});
        return builder;
    }
    // Runs the lab and the engine until the port reports the end of the authentication, moving the
    // clock on once the conversation has had time to end by itself (a request left unanswered).
    void runToOutcome() {
        bool done = false;
        for (int round = 0; round < 40 && !done; ++round) {
            settle();
            if (round > 20) advance(1);
            for (const std::string& line : listener->lines)
                done = done || line == "state 14 0" || line.rfind("state 17", 0) == 0;
        }
    }

    PortCredentialRequestMaker::Installed previous;
};

}  // namespace tamsel::test
