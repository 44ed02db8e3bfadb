#pragma once
// A run-time of its own on a lab in manual mode with the authentication library started: the
// machine's stores hold a CA, the machine's certificate with its key and, when asked, eleven more;
// the user's personal store holds alice's certificate with its key; card1 ("Alice card", PIN
// 1234, two tries) holds a smart-card logon certificate, card2 has no registered name.
#include <optional>
#include <string>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "platform/lab/Lab.h"
#include "platform/qxauth/qxAuth.h"
#include "platform/win/WinImpersonation.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestPki.h"
#include "tests/support/TestText.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/certificate/Certificate.h"
#include "vel/certificate/SmartCardList.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/WorkerQueue.h"

namespace tamsel::test {

class CertificateLabTest : public RuntimeTest {
public:
    void SetUp() override {
        RuntimeTest::SetUp();
        lab::clearCalls();
        base::clearFailures();
        lab::Lab::instance().setManual(true);
        CertificateSpec rootSpec;
        rootSpec.commonName = "Test Root";
        rootSpec.ca = true;
        rootSpec.keyUsage = 0x60;
        ca = TestPki::selfSigned(rootSpec);
        CertificateSpec machineSpec;
        machineSpec.commonName = "host.corp.example";
        machineSpec.dnsNames = {"host.corp.example"};
        machineSpec.extendedUsages = {EKU_CLIENT_AUTH};
        machine = TestPki::issue(machineSpec, ca);
        CertificateSpec userSpec;
        userSpec.commonName = "alice";
        userSpec.domain = "corp.example";
        userSpec.extendedUsages = {EKU_CLIENT_AUTH};
        user = TestPki::issue(userSpec, ca);
        CertificateSpec cardSpec = userSpec;
        cardSpec.commonName = "alice card";
        cardSpec.extendedUsages = {EKU_CLIENT_AUTH, EKU_SMART_CARD_LOGON};
        card = TestPki::issue(cardSpec, ca);
        root.write("ca.pem", ca.pem());
        root.write("host.pem", machine.pem() + machine.keyPem());
        root.write("alice.pem", user.pem() + user.keyPem());
        root.write("card.p12", card.pkcs12("1234"));
        builder.add("certificateStore", {{"store", "LOCAL_MACHINE/ROOT"}, {"file", "ca.pem"}})
            .add("certificateStore", {{"store", "LOCAL_MACHINE/MY"}, {"file", "host.pem"}})
            .add("certificateStore", {{"store", "CURRENT_USER/MY"}, {"file", "alice.pem"}})
            .add("smartCard", {{"id", "card1"},
                               {"name", "Alice card"},
                               {"file", "card.p12"},
                               {"pin", "1234"},
                               {"tries", "2"}})
            .add("smartCard", {{"id", "card2"}, {"file", "card.p12"}, {"pin", "1234"}});
    }
    void TearDown() override {
        if (started) qxExit();
        while (lab::Lab::instance().running()) lab::Lab::instance().release();
        lab::Lab::instance().setManual(false);
        base::clearFailures();
        RuntimeTest::TearDown();
    }

    // Eleven more certificates in the machine's personal store.
    void addElevenMachineCertificates() {
        std::string eleven;
        for (int i = 0; i < 11; ++i) {
            CertificateSpec spec;
            spec.commonName = "bulk " + std::to_string(i);
            eleven += TestPki::issue(spec, ca).pem();
        }
        root.write("eleven.pem", eleven);
        builder.add("certificateStore", {{"store", "LOCAL_MACHINE/MY"}, {"file", "eleven.pem"}});
    }
    void start() {
        builder.writeTo(root.path() + "/lab.xml");
        QX_INIT init = {nullptr, [](void*, int, const void*, int) {}};
        ASSERT_EQ(qxInit(&init), QX_OK);
        started = true;
    }
    std::string command(const std::string& line) { return lab::Lab::instance().command(line); }
    int callsOf(const std::string& prefix) {
        int n = 0;
        for (const std::string& line : lab::recordedCalls()) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }
    // Calls that begin and end so (handle numbers count across the process).
    int callsOf(const std::string& prefix, const std::string& suffix) {
        int n = 0;
        for (const std::string& line : lab::recordedCalls())
            n += line.rfind(prefix, 0) == 0 && line.size() >= prefix.size() + suffix.size() &&
                         line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0
                     ? 1
                     : 0;
        return n;
    }
    std::string log() { return readText(root.log()); }

    // A certificate of a memory store made here, with a handle and, unless told, its properties.
    Certificate memory(const CertificateSpec& spec, bool properties = true) {
        TestCertificate issued = TestPki::issue(spec, ca);
        AsciiVector pem;
        pem.add(Ascii(issued.pem().c_str()));
        std::vector<uint8_t> hash = issued.hash();
        Certificate c = Certificate::create(ByteArray(hash.data(), 20), CertificateStore::base64(pem));
        EXPECT_EQ(c.createHandle(), 0);
        if (properties) c.populateX509();
        return c;
    }

    // The calling thread wears a user's token while it lives.
    class Impersonation {
    public:
        Impersonation() {
            winfile::DuplicateHandle(winfile::GetCurrentProcess(), reinterpret_cast<winfile::HANDLE>(0x44),
                                     winfile::GetCurrentProcess(), &m_token, 0, false, 0);
            winfile::ImpersonateLoggedOnUser(m_token);
        }
        ~Impersonation() {
            winfile::RevertToSelf();
            winfile::CloseHandle(m_token);
        }

    private:
        winfile::HANDLE m_token = nullptr;
    };

    LabBuilder builder;
    TestCertificate ca, machine, user, card;
    bool started = false;
};

// The same, started, with the real engine and worker queues and the smart-card list.
class CertificateQueuesTest : public CertificateLabTest {
public:
    void SetUp() override {
        CertificateLabTest::SetUp();
        arrange();
        start();
        initializer = new RecordingInitializerImpl;
        events = EventQueue::Create(initializer);
        workers = WorkerQueue::Create();
        list = SmartCardList::create();
    }
    void TearDown() override {
        workers.stop();
        events.stop();
        list->clearReferences();
        list.reset();
        workers.reset();
        events.reset();
        initializer->release();
        CertificateLabTest::TearDown();
    }
    // What a test adds to the lab before the library starts.
    virtual void arrange() {}
    static AsciiVector ids(std::initializer_list<const char*> texts) {
        AsciiVector v;
        for (const char* t : texts) v.add(Ascii(t));
        return v;
    }
    // An update, and the wait until its result was taken or refused.
    bool updateAndWait(std::initializer_list<const char*> cards, int number) {
        list->update(ids(cards));
        return waitFor([&] {
            return countOf(log(), "smart card list update #" + std::to_string(number) + " completed.") == 1;
        });
    }

    RecordingInitializerImpl* initializer = nullptr;
    EventQueue events;
    WorkerQueue workers;
    // Empty until made: a default handle binds to an existing singleton.
    std::optional<SmartCardList> list;
};

}  // namespace tamsel::test
