#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "platform/lab/Lab.h"
#include "platform/qxauth/QxLibrary.h"
#include "platform/qxauth/qxAuth.h"
#include "platform/win/WinImpersonation.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestPki.h"

namespace tamsel::test {
namespace {

constexpr const char* MACHINE_MY = "certStore://winsys/LOCAL_MACHINE/MY";
constexpr const char* MACHINE_ROOT = "certStore://winsys/LOCAL_MACHINE/ROOT";
constexpr const char* USER_MY = "certStore://winsys/CURRENT_USER/MY";
constexpr const char* CARD = "certStore://scard/card1";

struct CardEvents {
    std::vector<std::string> lists;  // each list's ids joined by ","
};

void onEvent(void* context, int kind, const void* data, int length) {
    if (kind != QX_EVENT_SMART_CARD_LIST) return;
    std::string joined;
    const char* text = static_cast<const char*>(data);
    for (int at = 0; at < length;) {
        std::string id(text + at);
        joined += (joined.empty() ? "" : ",") + id;
        at += static_cast<int>(id.size()) + 1;
    }
    static_cast<CardEvents*>(context)->lists.push_back(joined);
}

// A lab with the machine's and the user's stores and two cards, over certificates made here: the
// machine's personal store holds eleven certificates without keys and the machine's with its key.
class QxCertificatesTest : public testing::Test {
protected:
    void SetUp() override {
        lab::clearCalls();
        base::clearFailures();
        lab().setManual(true);
        CertificateSpec root;
        root.commonName = "Test Root";
        root.ca = true;
        root.keyUsage = 0x60;
        m_ca = TestPki::selfSigned(root);
        CertificateSpec machine;
        machine.commonName = "host.corp.example";
        m_machine = TestPki::issue(machine, m_ca);
        std::string eleven;
        for (int i = 0; i < 11; ++i) {
            CertificateSpec spec;
            spec.commonName = "bulk " + std::to_string(i);
            eleven += TestPki::issue(spec, m_ca).pem();
        }
        CertificateSpec user;
        user.commonName = "alice";
        m_user = TestPki::issue(user, m_ca);
        CertificateSpec card = user;
        card.extendedUsages = {EKU_SMART_CARD_LOGON};
        m_card = TestPki::issue(card, m_ca);

        m_home.write("ca.pem", m_ca.pem());
        m_home.write("host.pem", m_machine.pem() + m_machine.keyPem());
        m_home.write("eleven.pem", eleven);
        m_home.write("alice.p12", m_user.pkcs12("pw"));
        m_home.write("card.p12", m_card.pkcs12("1234"));
        LabBuilder builder;
        builder.add("certificateStore", {{"store", "LOCAL_MACHINE/ROOT"}, {"file", "ca.pem"}})
            .add("certificateStore", {{"store", "LOCAL_MACHINE/MY"}, {"file", "eleven.pem"}})
            .add("certificateStore", {{"store", "LOCAL_MACHINE/MY"}, {"file", "host.pem"}})
            .add("certificateStore",
                 {{"store", "CURRENT_USER/MY"}, {"file", "alice.p12"}, {"password", "pw"}})
            .add("smartCard", {{"id", "card1"},
                               {"name", "Alice card"},
                               {"file", "card.p12"},
                               {"pin", "1234"},
                               {"tries", "2"}})
            .add("smartCard",
                 {{"id", "card2"}, {"file", "card.p12"}, {"pin", "1234"}, {"inserted", "false"}});
        builder.writeTo(m_home.file("lab.xml"));
        QX_INIT init = {&m_events, onEvent};
        ASSERT_EQ(qxInit(&init), QX_OK);
    }
    void TearDown() override {
        if (qxauth::initialized()) qxExit();
        while (lab().running()) lab().release();
        lab().setManual(false);
        base::clearFailures();
    }

public:
    static lab::Lab& lab() { return lab::Lab::instance(); }

    QX_HANDLE store(const char* url) {
        QX_HANDLE handle = 0;
        EXPECT_EQ(qxCertStoreUrlCreate(&handle, url), QX_OK) << url;
        return handle;
    }
    // The hashes of a store, asked with room for `room`; the result code first.
    std::pair<int, std::vector<std::string>> list(const char* url, int room) {
        std::vector<uint8_t> hashes(static_cast<size_t>(room) * QX_CERT_HASH_LENGTH + 1);
        int count = room;
        int result = qxCertStoreGetCertList(store(url), hashes.data(), &count);
        std::vector<std::string> texts;
        for (int i = 0; result == QX_OK && i < count; ++i)
            texts.push_back(hex(hashes.data() + i * QX_CERT_HASH_LENGTH));
        if (result != QX_OK) texts.push_back("count " + std::to_string(count));
        return {result, texts};
    }
    static std::string hex(const uint8_t* bytes) {
        char text[41];
        for (int i = 0; i < 20; ++i) std::snprintf(text + 2 * i, 3, "%02x", bytes[i]);
        return text;
    }
    QX_HANDLE certificate(const char* url, const TestCertificate& c, int* result = nullptr) {
        QX_HANDLE handle = 0;
        int r = qxCertCreate(&handle, store(url), c.hash().data(), QX_CERT_HASH_LENGTH);
        if (result != nullptr) *result = r;
        return handle;
    }
    int loadKey(QX_HANDLE c, const char* pin) {
        QX_HANDLE p = 0;
        if (pin != nullptr) {
            EXPECT_EQ(qxPinCreate(&p, pin, static_cast<int>(std::strlen(pin))), QX_OK);
        }
        return qxCertLoadPrivateKey(c, p);
    }

    TempHome m_home{"qxcert"};
    CardEvents m_events;
    TestCertificate m_ca, m_machine, m_user, m_card;
};

TEST_F(QxCertificatesTest, StoresKeysAndChainsAsTheLabHoldsThem) {
    struct Row {
        const char* what;
        std::function<std::string(QxCertificatesTest&)> run;
        std::string expected;
    };
    auto code = [](int c) { return std::to_string(c); };
    const Row rows[] = {
        {"eleven and one need a second call",
         [](QxCertificatesTest& t) {
             auto first = t.list(MACHINE_MY, 10);
             auto second = t.list(MACHINE_MY, 12);
             return std::to_string(first.first) + " " + first.second.at(0) + "; " +
                    std::to_string(second.first) + " " + std::to_string(second.second.size());
         },
         "-3 count 12; 0 12"},
        {"the machine's certificate is among them",
         [](QxCertificatesTest& t) {
             auto all = t.list(MACHINE_MY, 12).second;
             return std::to_string(std::count(all.begin(), all.end(), t.m_machine.hashHex()));
         },
         "1"},
        {"unknown hash",
         [code](QxCertificatesTest& t) {
             int result = 0;
             t.certificate(MACHINE_MY, t.m_user, &result);
             return code(result);
         },
         "-21"},
        {"an OS store's key ignores the PIN; none: -25",
         [code](QxCertificatesTest& t) {
             QX_HANDLE machine = t.certificate(MACHINE_MY, t.m_machine);
             QX_HANDLE ca = t.certificate(MACHINE_ROOT, t.m_ca);
             return code(t.loadKey(machine, "anything")) + " " + code(t.loadKey(ca, nullptr));
         },
         "0 -25"},
        {"card PINs: wrong, right, wrong twice, then blocked even when right",
         [code](QxCertificatesTest& t) {
             QX_HANDLE c = t.certificate(CARD, t.m_card);
             std::string out;
             for (const char* pin : {"0000", "1234", "0000", static_cast<const char*>(nullptr), "1234"})
                 out += (out.empty() ? "" : " ") + code(t.loadKey(c, pin));
             return out;
         },
         "-29 0 -29 -29 -36"},
        {"a removed card's key is gone",
         [code](QxCertificatesTest& t) {
             QX_HANDLE c = t.certificate(CARD, t.m_card);
             EXPECT_EQ(lab().command("card remove card1"), "ok");
             QX_HANDLE s = 0;
             std::string out = code(t.loadKey(c, "1234"));
             return out + " " + code(qxCertStoreUrlCreate(&s, CARD));
         },
         "-21 -21"},
        {"a blocked card",
         [code](QxCertificatesTest& t) {
             QX_HANDLE c = t.certificate(CARD, t.m_card);
             EXPECT_EQ(lab().command("set smartCard id=card1 blocked=true"), "ok");
             return code(t.loadKey(c, "1234"));
         },
         "-36"},
        {"chains: complete with the root, incomplete without",
         [code](QxCertificatesTest& t) {
             QX_HANDLE c = t.certificate(MACHINE_MY, t.m_machine);
             QX_HANDLE stores[] = {t.store(MACHINE_MY), t.store(MACHINE_ROOT)};
             int complete = -1;
             std::string out = code(qxCertLoadChain(c, stores, 1, &complete));
             out += " " + code(complete);
             out += "; " + code(qxCertLoadChain(c, stores, 2, &complete));
             out += " " + code(complete);
             std::vector<std::vector<uint8_t>> chain;
             qxauth::certificateValue(c, nullptr, nullptr, &chain);
             return out + " " + code(static_cast<int>(chain.size())) + " " +
                    code(chain.size() == 2 && chain[1] == t.m_ca.der());
         },
         "0 0; 0 1 2 1"},
        {"a user's store without a token shows nothing, with one the user's certificate",
         [](QxCertificatesTest& t) {
             std::string out = std::to_string(t.list(USER_MY, 10).second.size());
             winfile::HANDLE token = nullptr;
             EXPECT_TRUE(winfile::DuplicateHandle(winfile::GetCurrentProcess(),
                                                  reinterpret_cast<winfile::HANDLE>(0x44),
                                                  winfile::GetCurrentProcess(), &token, 0, false, 0));
             EXPECT_TRUE(winfile::ImpersonateLoggedOnUser(token));
             auto seen = t.list(USER_MY, 10).second;
             winfile::RevertToSelf();
             winfile::CloseHandle(token);
             return out + " " + std::to_string(seen.size()) + " " +
                    (seen.empty()                    ? ""
                     : seen[0] == t.m_user.hashHex() ? "alice"
                                                     : "?");
         },
         "0 1 alice"},
        {"destroyed handles are refused",
         [code](QxCertificatesTest& t) {
             QX_HANDLE c = t.certificate(MACHINE_MY, t.m_machine);
             QX_HANDLE s = t.store(MACHINE_MY);
             QX_HANDLE copy = c;
             QX_HANDLE storeCopy = s;
             EXPECT_EQ(qxCertDestroy(&c), QX_OK);
             EXPECT_EQ(qxCertStoreDestroy(&s), QX_OK);
             int usage = 0;
             int count = 0;
             std::string out = code(qxCertGetKeyUsage(copy, &usage));
             out += " " + code(qxCertStoreGetCertList(storeCopy, nullptr, &count));
             return out + " " + code(qxCertDestroy(&copy));
         },
         "-4 -4 -4"},
        {"an unknown URL",
         [code](QxCertificatesTest&) {
             QX_HANDLE s = 0;
             return code(qxCertStoreUrlCreate(&s, "certStore://winsys/LOCAL_MACHINE/OTHER")) + " " +
                    code(qxCertStoreUrlCreate(&s, "certStore://scard/nocard"));
         },
         "-21 -21"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.run(*this), row.expected);
        EXPECT_EQ(lab().command("card insert card1"), "ok");
        EXPECT_EQ(lab().command("set smartCard id=card1 blocked=false"), "ok");
        loadKey(certificate(CARD, m_card), "1234");  // the right PIN resets the count
    }
    // Calls are recorded with their handles and the hash in hexadecimal.
    int created = 0;
    for (const std::string& call : lab::recordedCalls())
        created += call.rfind("qxCertCreate(&certificate#", 0) == 0 &&
                   call.find(", store#") != std::string::npos &&
                   call.find(", " + m_machine.hashHex() + ", 20) = 0") != std::string::npos;
    EXPECT_EQ(created, 3);
}

TEST_F(QxCertificatesTest, FieldsAndKeyUsageOfACertificate) {
    CertificateSpec spec;
    spec.commonName = "Alice Example";
    spec.domain = "corp.example";
    spec.organization = "Corp";
    spec.unit = "Lab";
    spec.dnsNames = {"alice.corp.example"};
    spec.emails = {"alice@mail.example"};
    spec.upn = "alice@corp.example";
    spec.extendedUsages = {EKU_CLIENT_AUTH, EKU_SMART_CARD_LOGON};
    spec.keyUsage = 0x01 | 0x04 | 0x100;
    spec.notBefore = "20091231235959Z";
    spec.serial = 0x1234AB;
    TestCertificate c = TestPki::issue(spec, m_ca);
    QX_HANDLE memory = 0;
    std::string pem = c.pem();
    ASSERT_EQ(qxCertStoreMemCreate(&memory, pem.c_str(), static_cast<int>(pem.size())), QX_OK);
    QX_HANDLE handle = 0;
    ASSERT_EQ(qxCertCreate(&handle, memory, c.hash().data(), QX_CERT_HASH_LENGTH), QX_OK);

    auto values = [&](int field) {
        std::string joined;
        char buffer[512];
        for (int index = 0;; ++index) {
            int length = sizeof buffer;
            int result = qxCertGetField(handle, field, index, buffer, &length);
            if (result != QX_OK) return joined + "|" + std::to_string(result);
            EXPECT_EQ(length, static_cast<int>(std::strlen(buffer)));
            joined += (index > 0 ? ";" : "") + std::string(buffer);
        }
    };
    const std::pair<int, std::string> fields[] = {
        {QX_CERT_SERIAL, "1234AB|-21"},
        {QX_CERT_SUBJECT, "CN=Alice Example,OU=Lab,O=Corp,DC=corp,DC=example|-21"},
        {QX_CERT_SUBJECT_CN, "Alice Example|-21"},
        {QX_CERT_SUBJECT_DC, "corp.example|-21"},
        {QX_CERT_SUBJECT_ORG, "Corp;Lab|-21"},
        {QX_CERT_UPN, "alice@corp.example|-21"},
        {QX_CERT_ALT_NAMES, "alice.corp.example;alice@mail.example|-21"},
        {QX_CERT_ISSUER, "CN=Test Root|-21"},
        {QX_CERT_ISSUER_CN, "Test Root|-21"},
        {QX_CERT_ISSUER_DC, "|-21"},
        {QX_CERT_ISSUER_ALT_NAMES, "|-21"},
        {QX_CERT_NOT_BEFORE, "091231235959Z|-21"},
        {QX_CERT_NOT_AFTER, "20601231235959Z|-21"},
        {QX_CERT_EXTENDED_KEY_USAGE, "1.3.6.1.5.5.7.3.2;1.3.6.1.4.1.311.20.2.2|-21"},
        {QX_CERT_SIGNATURE_ALGORITHM, "ecdsa-with-SHA256|-21"},
        {4711, "|-21"},
    };
    for (const auto& [field, expected] : fields) EXPECT_EQ(values(field), expected) << field;

    char small[4];
    int length = sizeof small;
    EXPECT_EQ(qxCertGetField(handle, QX_CERT_SUBJECT_CN, 0, small, &length), QX_ERR_BUFFER_TOO_SMALL);
    EXPECT_EQ(length, 13);
    int usage = -1;
    ASSERT_EQ(qxCertGetKeyUsage(handle, &usage), QX_OK);
    EXPECT_EQ(usage, 0x105);
    QX_HANDLE ca = 0;
    std::string caPem = m_ca.pem();
    ASSERT_EQ(qxCertStoreMemCreate(&ca, caPem.c_str(), static_cast<int>(caPem.size())), QX_OK);
    QX_HANDLE root = 0;
    ASSERT_EQ(qxCertCreate(&root, ca, m_ca.hash().data(), QX_CERT_HASH_LENGTH), QX_OK);
    ASSERT_EQ(qxCertGetKeyUsage(root, &usage), QX_OK);
    EXPECT_EQ(usage, QX_KEY_USAGE_KEY_CERT_SIGN | QX_KEY_USAGE_CRL_SIGN);
    CertificateSpec bare;
    bare.commonName = "no usage";
    TestCertificate none = TestPki::issue(bare, m_ca);
    QX_HANDLE noneStore = 0;
    std::string nonePem = none.pem();
    ASSERT_EQ(qxCertStoreMemCreate(&noneStore, nonePem.c_str(), static_cast<int>(nonePem.size())), QX_OK);
    QX_HANDLE noneHandle = 0;
    ASSERT_EQ(qxCertCreate(&noneHandle, noneStore, none.hash().data(), QX_CERT_HASH_LENGTH), QX_OK);
    ASSERT_EQ(qxCertGetKeyUsage(noneHandle, &usage), QX_OK);
    EXPECT_EQ(usage, 0);
    QX_HANDLE bad = 0;
    EXPECT_EQ(qxCertStoreMemCreate(&bad, "not a certificate", 17), QX_ERR_FAILURE);
}

TEST_F(QxCertificatesTest, CardsGoOutOnceStartedAndOnEachChange) {
    lab().pump();
    EXPECT_TRUE(m_events.lists.empty());  // not before qxSmartCardInit
    ASSERT_EQ(qxSmartCardInit(nullptr), QX_OK);
    lab().pump();
    EXPECT_EQ(lab().command("card insert card2"), "ok");
    EXPECT_EQ(lab().command("card insert card2"), "ok");  // no change: nothing
    lab().pump();
    EXPECT_EQ(lab().command("card remove card1"), "ok");
    lab().pump();
    EXPECT_EQ(lab().command("card remove nocard"), "error: no smartCard nocard");
    EXPECT_EQ(lab().command("card eject card1"), "error: card insert|remove <id>");
    EXPECT_EQ(m_events.lists, (std::vector<std::string>{"card1", "card1,card2", "card2"}));

    char buffer[256];
    int length = sizeof buffer;
    ASSERT_EQ(qxCertStoreUrlScardString("card2", buffer, &length), QX_OK);
    EXPECT_STREQ(buffer, "certStore://scard/card2");
    length = sizeof buffer;
    ASSERT_EQ(qxSmartCardGetRegisteredName("card1", buffer, &length), QX_OK);
    EXPECT_STREQ(buffer, "Alice card");
    length = sizeof buffer;
    EXPECT_EQ(qxSmartCardGetRegisteredName("card2", buffer, &length), QX_ERR_NOT_FOUND);  // no name

    EXPECT_EQ(lab().command("fail qxSmartCardInit -15"), "ok");
    EXPECT_EQ(qxSmartCardInit(nullptr), QX_ERR_NOT_SUPPORTED);
}

}  // namespace
}  // namespace tamsel::test
