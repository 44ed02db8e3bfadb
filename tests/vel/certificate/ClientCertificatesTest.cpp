#include <gtest/gtest.h>

#include <optional>

#include "tests/support/TestText.h"
#include "tests/vel/certificate/CertificateLabTest.h"
#include "vel/certificate/ClientCertificates.h"
#include "vel/certificate/SmartCardList.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/WorkerQueue.h"

namespace tamsel::test {
namespace {

using Source = ClientCertificateSource;

// card1 in the smart-card list; the user's personal store holds alice's certificate and a copy of
// the card's.
class ClientCertificatesTest : public CertificateQueuesTest {
public:
    void arrange() override {
        root.write("copy.pem", card.pem());
        builder.add("certificateStore", {{"store", "CURRENT_USER/MY"}, {"file", "copy.pem"}});
    }
    void SetUp() override {
        CertificateQueuesTest::SetUp();
        ASSERT_TRUE(updateAndWait({"card1"}, 1));
    }
    // What a source gives, each as "store type:common name".
    std::vector<std::string> collected(int source) {
        Impersonation user;
        std::vector<std::string> out;
        for (const Certificate& c : collectClientCertificates(source)) {
            EXPECT_NE(c.handle(), 0u);
            out.push_back(std::to_string(c.store().type()) + ":" +
                          (c.subjectNames().length() > 0 ? c.subjectNames().get(0).text() : "?"));
        }
        return out;
    }
    static CertificateSpec spec(const char* name, std::vector<std::string> usages, int keyUsage,
                                const char* notBefore = "20000101000000Z",
                                const char* notAfter = "20601231235959Z") {
        CertificateSpec s;
        s.commonName = name;
        s.extendedUsages = std::move(usages);
        s.keyUsage = keyUsage;
        s.notBefore = notBefore;
        s.notAfter = notAfter;
        return s;
    }
    static std::vector<std::string> names(const std::vector<Certificate>& list) {
        std::vector<std::string> out;
        for (const Certificate& c : list)
            out.push_back(c.subjectNames().length() > 0 ? c.subjectNames().get(0).text() : "?");
        return out;
    }
};

TEST_F(ClientCertificatesTest, SourcesTakeCardsAndTheUsersStoreOnce) {
    using V = std::vector<std::string>;
    EXPECT_EQ(collected(Source::NONE), V{});
    // The card's certificate sits in the user's store too: it is taken from the card only.
    EXPECT_EQ(collected(Source::OS_USER_OR_SMART_CARDS), (V{"5:alice", "2:alice card"}));
    EXPECT_EQ(
        countOf(log(), "Ignoring OS store copy of the smart card certificate: " + card.hashHex() + "\n"), 1);
    EXPECT_EQ(countOf(log(), "Creating handle for certificate " + user.hashHex()), 1);
    // The user's store (not an assertion and nothing, as a store of kind 0 would give).
    EXPECT_EQ(collected(Source::OS_USER), (V{"5:alice"}));
    EXPECT_TRUE(takeAssertions().empty());
    lab::clearCalls();
    EXPECT_EQ(collected(Source::SMART_CARDS), (V{"2:alice card"}));
    EXPECT_EQ(callsOf("qxCertStoreUrlCreate(&store#"), 0);  // the OS store was never opened
    EXPECT_EQ(collected(Source::OS_MACHINE), (V{"8:host.corp.example"}));
}

TEST_F(ClientCertificatesTest, SelectionKeepsTheBestClassOfValidCertificates) {
    const int SIGNATURE = 0x01;
    Certificate signature1 = memory(spec("sign 1", {}, SIGNATURE));
    Certificate client = memory(spec("client", {EKU_CLIENT_AUTH}, 0x05));
    Certificate signature2 = memory(spec("sign 2", {}, SIGNATURE));
    Certificate plain = memory(spec("plain", {}, -1));
    Certificate expired =
        memory(spec("expired", {EKU_CLIENT_AUTH}, -1, "20000101000000Z", "20011231235959Z"));
    Certificate future = memory(spec("future", {EKU_CLIENT_AUTH}, -1, "20500101000000Z"));
    Certificate undated = memory(spec("undated", {EKU_CLIENT_AUTH}, -1), false);
    Certificate logonCopy = memory(spec("logon copy", {EKU_CLIENT_AUTH, EKU_SMART_CARD_LOGON}, -1));
    Certificate handleless = memory(spec("no handle", {EKU_CLIENT_AUTH}, -1));
    handleless.destroyHandle();
    Certificate onCard = list->certificates().at(0);

    using V = std::vector<std::string>;
    struct Row {
        std::vector<Certificate> in;
        V out;
    };
    const Row rows[] = {
        {{signature1, client, signature2}, {"client"}},
        {{plain, signature1, signature2}, {"sign 1", "sign 2"}},
        {{plain}, {"plain"}},
        {{expired, future, undated, handleless, logonCopy}, {}},
        {{logonCopy, onCard}, {"alice card"}},
    };
    for (const Row& row : rows) EXPECT_EQ(names(selectClientCertificates(row.in)), row.out);
    std::string text = log();
    for (std::string line :
         {"Ignoring user certificate that is expired or not valid yet: " +
              std::string(expired.hash().toHex().text()) + " (expired@)",
          "Ignoring user certificate that is expired or not valid yet: " +
              std::string(future.hash().toHex().text()),
          "Ignoring user certificate that is expired or not valid yet: " +
              std::string(undated.hash().toHex().text()),
          "Ignoring user certificate " + std::string(handleless.hash().toHex().text()) + " without a handle",
          "Ignoring OS store copy of the smart card certificate: " +
              std::string(logonCopy.hash().toHex().text()) + " (logon copy@)",
          "Found valid client authentication certificate: " + std::string(client.hash().toHex().text()) +
              " (client@)",
          "Found valid digital signature certificate: " + std::string(signature1.hash().toHex().text()),
          "Found valid user certificate without proper key usage: " +
              std::string(plain.hash().toHex().text())})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

}  // namespace
}  // namespace tamsel::test
