#include <gtest/gtest.h>
#include <unistd.h>

#include <mutex>
#include <optional>

#include "tests/support/TestText.h"
#include "tests/vel/certificate/CertificateLabTest.h"
#include "vel/certificate/CertificateConstants.h"
#include "vel/certificate/SmartCardList.h"
#include "vel/credrequest/ClientCertificateEvents.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/WorkerQueue.h"

namespace tamsel::test {
namespace {

using C = CertificateConstants;

// The network's side: what came back, and on which thread.
class RecordingNetworkImpl : public ReferenceImpl, public ClientCertificateHandlerInterface {
public:
    REFERENCE_IMPL_FORWARDS

    void clientCertificateCompleted(const Certificate& certificate, int status) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        completed.push_back({certificate, status});
    }
    void certificateListReady(const std::vector<Certificate>& certificates) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::string names;
        for (const Certificate& c : certificates)
            names += (names.empty() ? "" : ",") + std::string(c.subjectNames().get(0).text());
        lists.push_back(names);
    }
    size_t completions() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return completed.size();
    }
    size_t listCount() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return lists.size();
    }

    std::vector<std::pair<Certificate, int>> completed;
    std::vector<std::string> lists;

private:
    std::mutex m_mutex;
};

// The logon state machine's user token: present or not.
class FakeLogonImpl : public ReferenceImpl, public LogonUserTokenInterface {
public:
    REFERENCE_IMPL_FORWARDS
    bool userToken(winfile::HANDLE* token, std::uint32_t* processId) override {
        if (!loggedOn) return false;
        *token = reinterpret_cast<winfile::HANDLE>(0x44);
        *processId = static_cast<std::uint32_t>(::getpid());
        return true;
    }
    bool loggedOn = true;
};

class ClientCertificateEventsTest : public CertificateQueuesTest {
public:
    void SetUp() override {
        CertificateQueuesTest::SetUp();
        network = new RecordingNetworkImpl;
        logon = new FakeLogonImpl;
    }
    void TearDown() override {
        // Events still queued keep their own references until the queues end.
        network->completed.clear();
        network->release();
        logon->release();
        CertificateQueuesTest::TearDown();
    }
    // The status a completion gives, once it is back on the event queue.
    int completion(const Certificate& certificate, const char* pin, const CertificateStore& extra = {}) {
        size_t before = network->completions();
        workers.post(MessageEvent(
            new ClientCertificateCompletionRequestEventImpl(network, logon, certificate, Ascii(pin), extra)));
        EXPECT_TRUE(waitFor([&] { return network->completions() == before + 1; }));
        return network->completed.back().second;
    }
    std::string listFrom(int source) {
        size_t before = network->listCount();
        workers.post(MessageEvent(new CertificateListEventImpl(network, logon, source)));
        EXPECT_TRUE(waitFor([&] { return network->listCount() == before + 1; }));
        return network->lists.back();
    }
    Certificate of(const CertificateStore& store, const TestCertificate& c) {
        std::vector<uint8_t> hash = c.hash();
        return Certificate::create(ByteArray(hash.data(), 20), store);
    }

    RecordingNetworkImpl* network = nullptr;
    FakeLogonImpl* logon = nullptr;
};

TEST_F(ClientCertificateEventsTest, AUserCertificateIsCompletedWearingTheUsersTokenWithTheStoresInOrder) {
    Certificate alice = of(CertificateStore::userPersonal(), user);
    EXPECT_EQ(completion(alice, ""), C::OK);
    EXPECT_TRUE(alice.isPrivateKeyLoaded());
    EXPECT_TRUE(alice.hasCompleteChain());
    std::string text = log();
    size_t at = 0;
    for (const char* line :
         {"Impersonating user", "Creating client certificate handle...",
          "Client certificate handle has been created", "Populating client certificate X509 properties...",
          "Loading client certificate private key...", "Client certificate private key has been loaded",
          "Building client certificate chain", "store 'user root CA'", "store 'user intermediate CA'",
          "store 'user personal'", "store 'machine root CA'", "store 'machine intermediate CA'",
          "store 'machine personal'", "Complete client certificate chain has been built",
          "Deimpersonating user"}) {
        size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "\n" << text;
        at = found;
    }
    EXPECT_EQ(completion(alice, ""), C::OK);
    EXPECT_NE(log().find("Client certificate has already been completed"), std::string::npos);
    EXPECT_EQ(winfile::impersonation::openTokenCount(), 0);
}

TEST_F(ClientCertificateEventsTest, FailuresEndTheRunWithTheirStatus) {
    // Without a logged-on user the user's store shows nothing.
    logon->loggedOn = false;
    EXPECT_EQ(completion(of(CertificateStore::userPersonal(), user), ""), C::ERR_NOT_FOUND);
    EXPECT_NE(log().find("Client certificate handle has not been created"), std::string::npos);
    logon->loggedOn = true;
    // A card with a wrong PIN; then the right one, with the machine's stores only (no user's
    // stores without the user's token) and the extra store first.
    Certificate onCard = of(CertificateStore::smartCard("card1"), card);
    EXPECT_EQ(completion(onCard, "0000"), C::ERR_WRONG_PIN);
    EXPECT_NE(log().find("Loading client certificate private key with PIN..."), std::string::npos);
    EXPECT_NE(log().find("Client certificate private key has not been loaded"), std::string::npos);
    logon->loggedOn = false;
    LogCapture capture(root.log());
    EXPECT_EQ(completion(onCard, "1234", CertificateStore::machineRootCa()), C::OK);
    EXPECT_FALSE(capture.contains("user root CA")) << capture.text();
    EXPECT_EQ(countOf(capture.text(), "Considering certificate store 'machine root CA'"), 2);
    // The machine's certificate has no chain to a root of its own store when the root store fails.
    base::failNext("qxCertLoadChain", static_cast<std::uint32_t>(QX_ERR_FAILURE), 1);
    EXPECT_EQ(completion(of(CertificateStore::machinePersonal(), machine), ""), C::ERR_INTERNAL_ERROR);
    EXPECT_NE(log().find("Client certificate chain has not been built"), std::string::npos);
}

TEST_F(ClientCertificateEventsTest, ListsComeFromTheirSources) {
    ASSERT_TRUE(updateAndWait({"card1"}, 1));
    struct Row {
        int source;
        const char* name;
        const char* list;
    };
    const Row rows[] = {
        {1, "SmartCards", "alice card"},
        {2, "OsUser", "alice"},
        {3, "OsUserOrSmartCards", "alice,alice card"},
        {0, "None", ""},
        {7, "None", ""},
    };
    for (const Row& row : rows) {
        LogCapture capture(root.log());
        EXPECT_EQ(listFrom(row.source), row.list) << row.source;
        EXPECT_TRUE(capture.contains(std::string("Creating certificate list from ") + row.name + "\n"))
            << row.source;
    }
    EXPECT_STREQ(CertificateListEventImpl::sourceName(3), "OsMachine");
    EXPECT_STREQ(CertificateListEventImpl::sourceName(5), "<unknown>");
}

}  // namespace
}  // namespace tamsel::test
