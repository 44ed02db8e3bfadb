#include <gtest/gtest.h>

#include <functional>

#include "tests/vel/certificate/CertificateLabTest.h"
#include "vel/certificate/Base64CertificateStore.h"
#include "vel/certificate/Certificate.h"
#include "vel/certificate/CertificateConstants.h"
#include "vel/certificate/CertificateStore.h"

namespace tamsel::test {
namespace {

using C = CertificateConstants;

ByteArray bytesOf(const std::vector<uint8_t>& v) {
    return ByteArray(v.data(), static_cast<std::int32_t>(v.size()));
}

class CertificateTest : public CertificateLabTest {
public:
    // The certificate of a store by its hash, with a handle and its properties.
    Certificate prepared(const CertificateStore& store, const TestCertificate& c) {
        Certificate certificate = Certificate::create(bytesOf(c.hash()), store);
        EXPECT_EQ(certificate.createHandle(), C::OK);
        certificate.populateX509();
        return certificate;
    }
};

TEST_F(CertificateTest, StoreKindsTellTheirTypeUrlNameAndUse) {
    start();
    struct Row {
        CertificateStore store;
        int type;
        const char* url;
        const char* name;
        bool usable;
        bool user;
    };
    AsciiVector pem;
    pem.add(Ascii(ca.pem().c_str()));
    const Row rows[] = {
        {CertificateStore::base(), 0, "", "dummy", false, false},
        {CertificateStore::url("certStore://x"), 1, "certStore://x", "certStore://x", true, false},
        {CertificateStore::url(""), 1, "", "", false, false},
        {CertificateStore::smartCard("card1"), 2, "card1", "Alice card", true, false},
        {CertificateStore::smartCard("card2"), 2, "card2", "certStore://scard/card2", false, false},
        {CertificateStore::base64(pem), 4, "PEM", "List of concatenated base64 encoded certificates", true,
         false},
        {CertificateStore::base64(AsciiVector()), 4, "PEM",
         "List of concatenated base64 encoded certificates", false, false},
        {CertificateStore::userPersonal(), 5, "certStore://winsys/CURRENT_USER/MY", "user personal", true,
         true},
        {CertificateStore::userIntermediateCa(), 6, "certStore://winsys/CURRENT_USER/CA",
         "user intermediate CA", true, true},
        {CertificateStore::userRootCa(), 7, "certStore://winsys/CURRENT_USER/ROOT", "user root CA", true,
         true},
        {CertificateStore::machinePersonal(), 8, "certStore://winsys/LOCAL_MACHINE/MY", "machine personal",
         true, false},
        {CertificateStore::machineIntermediateCa(), 9, "certStore://winsys/LOCAL_MACHINE/CA",
         "machine intermediate CA", true, false},
        {CertificateStore::machineRootCa(), 10, "certStore://winsys/LOCAL_MACHINE/ROOT", "machine root CA",
         true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.store.type(), row.type);
        EXPECT_STREQ(row.store.url().text(), row.url);
        EXPECT_STREQ(row.store.name().text(), row.name);
        EXPECT_EQ(row.store.isUsable(), row.usable);
        EXPECT_EQ(row.store.isUserStore(), row.user);
    }
    // The card without a registered name was logged; marking a card unusable takes it out of use.
    EXPECT_NE(log().find("Internal error 203, contact software manufacturer"), std::string::npos);
    EXPECT_NE(log().find("qxSmartCardGetRegisteredName() error -21 [SmartCardCertificateStore.cpp:"),
              std::string::npos);
    rows[3].store.markUnusable();
    EXPECT_FALSE(rows[3].store.isUsable());
    rows[7].store.markUnusable();
    EXPECT_TRUE(rows[7].store.isUsable());

    CertificateStore invalid = CertificateStore::os(3);
    EXPECT_EQ(takeAssertions(), std::vector<std::string>{"name"});
    EXPECT_STREQ(invalid.name().text(), "invalid");
    EXPECT_FALSE(invalid.isUsable());
}

TEST(Base64Normalisation, LinesLoseTheirLeadingBlanksAndEndInOneLineFeed) {
    LumRuntime runtime;
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"A", "A\n"},
        {"  -----BEGIN\r\n\tAB CD\r\n\n   -----END", "-----BEGIN\nAB CD\n-----END\n"},
        {"\n\n \t\r", ""},
        {"x\ry", "x\ny\n"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_STREQ(Base64CertificateStoreImpl::normalise(Ascii(in)).text(), out) << in;
}

TEST_F(CertificateTest, ElevenCertificatesNeedTheSecondCallAndTheOpenedHandleEnds) {
    addElevenMachineCertificates();
    start();
    std::vector<Certificate> list = certificates(CertificateStore::machinePersonal());
    ASSERT_EQ(list.size(), 12u);
    EXPECT_EQ(callsOf("qxCertStoreGetCertList(store#", ", hashes, 10) = -3"), 1);
    EXPECT_EQ(callsOf("qxCertStoreGetCertList(store#", ", hashes, 12) = 0"), 1);
    EXPECT_EQ(callsOf("qxCertStoreDestroy(&store#", ") = 0"), 1);
    int found = 0;
    for (const Certificate& c : list) found += c.hash() == bytesOf(machine.hash()) ? 1 : 0;
    EXPECT_EQ(found, 1);
    EXPECT_NE(log().find("Enumerating certificate store 'machine personal'"), std::string::npos);
    EXPECT_NE(log().find("  found certificate " + machine.hashHex()), std::string::npos);

    // The base64 store keeps its handle; an unusable store and a failing list give nothing.
    AsciiVector pem;
    pem.add(Ascii(ca.pem().c_str()));
    CertificateStore memory = CertificateStore::base64(pem);
    EXPECT_EQ(certificates(memory).size(), 1u);
    EXPECT_EQ(certificates(memory).size(), 1u);
    EXPECT_EQ(callsOf("qxCertStoreDestroy"), 1);
    EXPECT_TRUE(certificates(CertificateStore::base()).empty());
    EXPECT_NE(log().find("Attempt to get certificates from unusable store"), std::string::npos);
    base::failNext("qxCertStoreGetCertList", static_cast<std::uint32_t>(QX_ERR_FAILURE), 1);
    EXPECT_TRUE(certificates(CertificateStore::machineRootCa()).empty());
    EXPECT_NE(log().find("Internal error 198"), std::string::npos);
    EXPECT_NE(log().find("qxCertStoreGetCertList() error -1 [CertificateStore.cpp:"), std::string::npos);
}

TEST_F(CertificateTest, HandlesKeysAndChainsGiveTheirStatusCodes) {
    start();
    const CertificateStore machineMy = CertificateStore::machinePersonal();
    const CertificateStore machineRoot = CertificateStore::machineRootCa();
    const CertificateStore cardStore = CertificateStore::smartCard("card1");
    struct Row {
        const char* what;
        std::function<int()> run;
        int status;
        const char* line;  // in the log, or ""
    };
    const Row rows[] = {
        {"no handle",
         [&] { return Certificate::create(bytesOf(machine.hash()), machineMy).loadPrivateKey(""); },
         C::ERR_NO_HANDLE, ""},
        {"not in the store",
         [&] { return Certificate::create(bytesOf(user.hash()), machineMy).createHandle(); },
         C::ERR_NOT_FOUND, "in the machine personal certificate store"},
        {"creation failing",
         [&] {
             base::failNext("qxCertCreate", static_cast<std::uint32_t>(QX_ERR_FAILURE), 1);
             return Certificate::create(bytesOf(machine.hash()), machineMy).createHandle();
         },
         C::ERR_INTERNAL_ERROR, "qxCertCreate() error -1 [Certificate.cpp:"},
        {"an OS store's key", [&] { return prepared(machineMy, machine).loadPrivateKey("ignored"); }, C::OK,
         ""},
        {"no private key", [&] { return prepared(machineRoot, ca).loadPrivateKey(""); },
         C::ERR_NO_PRIVATE_KEY, "has no private key available"},
        {"wrong PIN", [&] { return prepared(cardStore, card).loadPrivateKey("0000"); }, C::ERR_WRONG_PIN,
         "Wrong smart card PIN for smart card 'Alice card'"},
        {"blocked",
         [&] {
             EXPECT_EQ(command("set smartCard id=card1 blocked=true"), "ok");
             return prepared(cardStore, card).loadPrivateKey("1234");
         },
         C::ERR_CARD_BLOCKED, "Smart card 'Alice card' is blocked"},
        {"card removed",
         [&] {
             Certificate c = prepared(cardStore, card);
             EXPECT_EQ(command("card remove card1"), "ok");
             return c.loadPrivateKey("1234");
         },
         C::ERR_NOT_FOUND, " disappeared (smart card removed?)"},
        {"key loading failing",
         [&] {
             Certificate c = prepared(machineMy, machine);
             base::failNext("qxCertLoadPrivateKey", static_cast<std::uint32_t>(-5), 1);
             return c.loadPrivateKey("");
         },
         C::ERR_INTERNAL_ERROR, "NvoError for function 'qxCertLoadPrivateKey' => -5"},
        {"PIN refused",
         [&] {
             Certificate c = prepared(cardStore, card);
             base::failNext("qxPinCreate", static_cast<std::uint32_t>(QX_ERR_FAILURE), 1);
             return c.loadPrivateKey("1234");
         },
         C::ERR_INTERNAL_ERROR, "qxPinCreate() error -1 [Certificate.cpp:"},
        {"chain without a handle",
         [&] { return Certificate::create(bytesOf(machine.hash()), machineMy).loadChain({machineRoot}); },
         C::ERR_NO_HANDLE, ""},
        {"chain failing",
         [&] {
             Certificate c = prepared(machineMy, machine);
             base::failNext("qxCertLoadChain", static_cast<std::uint32_t>(QX_ERR_FAILURE), 1);
             return c.loadChain({machineRoot});
         },
         C::ERR_INTERNAL_ERROR, "NvoError for function 'qxCertLoadChain' => -1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        LogCapture capture(root.log());
        EXPECT_EQ(row.run(), row.status);
        EXPECT_NE(capture.text().find(row.line), std::string::npos) << capture.text();
        EXPECT_EQ(command("card insert card1"), "ok");
        EXPECT_EQ(command("set smartCard id=card1 blocked=false"), "ok");
    }
}

TEST_F(CertificateTest, AWrongPinLeavesTheCertificateUsableAMissingKeyDoesNot) {
    start();
    Certificate onCard = prepared(CertificateStore::smartCard("card1"), card);
    EXPECT_EQ(onCard.loadPrivateKey("0000"), C::ERR_WRONG_PIN);
    EXPECT_TRUE(onCard.isUsable());
    EXPECT_EQ(onCard.loadPrivateKey("1234"), C::OK);
    EXPECT_TRUE(onCard.isPrivateKeyLoaded());
    EXPECT_EQ(callsOf("qxPinDestroy(&pin#"), 2);

    Certificate root = prepared(CertificateStore::machineRootCa(), ca);
    EXPECT_EQ(root.loadPrivateKey(""), C::ERR_NO_PRIVATE_KEY);
    EXPECT_FALSE(root.isUsable());
    EXPECT_EQ(root.loadPrivateKey(""), C::ERR_UNUSABLE);
    EXPECT_EQ(root.createHandle(), C::OK);  // nothing to do
}

TEST_F(CertificateTest, ChainsAreCompleteWithTheRootAndDestroyClearsHandleAndFlags) {
    start();
    Certificate alone = prepared(CertificateStore::machinePersonal(), machine);
    EXPECT_EQ(alone.loadChain({CertificateStore::machinePersonal()}), C::OK);
    EXPECT_TRUE(alone.isChainLoaded());
    EXPECT_FALSE(alone.hasCompleteChain());
    EXPECT_EQ(alone.loadChain({CertificateStore::machineRootCa()}), C::OK);  // loaded already
    EXPECT_FALSE(alone.hasCompleteChain());

    Certificate full = prepared(CertificateStore::machinePersonal(), machine);
    EXPECT_EQ(full.loadPrivateKey(""), C::OK);
    EXPECT_EQ(full.loadChain({CertificateStore::base(), CertificateStore::machineRootCa()}), C::OK);
    EXPECT_TRUE(full.hasCompleteChain());
    EXPECT_NE(
        log().find("Considering certificate store 'machine root CA' for completing the client certificate "
                   "chain"),
        std::string::npos);
    EXPECT_EQ(log().find("Considering certificate store 'dummy'"), std::string::npos);

    QX_HANDLE handle = full.handle();
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(full.destroyHandle(), C::OK);
    EXPECT_EQ(full.handle(), 0u);
    EXPECT_FALSE(full.isPrivateKeyLoaded() || full.isChainLoaded() || full.hasCompleteChain());
    EXPECT_TRUE(full.hasX509());  // the properties stay
    EXPECT_EQ(callsOf("qxCertDestroy(&certificate#"), 1);
    // A failing destroy is logged while the certificate is usable.
    Certificate other = prepared(CertificateStore::machinePersonal(), machine);
    base::failNext("qxCertDestroy", static_cast<std::uint32_t>(QX_ERR_FAILURE), 1);
    other.destroyHandle();
    EXPECT_NE(log().find("Internal error 110"), std::string::npos);
    EXPECT_EQ(other.handle(), 0u);
}

TEST_F(CertificateTest, EqualityByObjectHandleOrHashAndStoreUrl) {
    start();
    Certificate a = prepared(CertificateStore::machinePersonal(), machine);
    Certificate sameHandle = a;
    Certificate b = Certificate::create(bytesOf(machine.hash()), CertificateStore::machinePersonal());
    Certificate otherStore = Certificate::create(bytesOf(machine.hash()), CertificateStore::machineRootCa());
    Certificate otherHash = Certificate::create(bytesOf(user.hash()), CertificateStore::machinePersonal());
    EXPECT_TRUE(a.equals(sameHandle));
    EXPECT_TRUE(a.equals(b));  // same hash and store URL
    EXPECT_FALSE(b.equals(otherStore));
    // Two certificates without a handle are not equal for that alone.
    EXPECT_FALSE(b.equals(otherHash));
}

}  // namespace
}  // namespace tamsel::test
