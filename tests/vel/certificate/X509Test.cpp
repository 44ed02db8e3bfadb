#include <gtest/gtest.h>

#include "tests/vel/certificate/CertificateLabTest.h"
#include "vel/certificate/Certificate.h"
#include "vel/certificate/X509Time.h"

namespace tamsel::test {
namespace {

TEST(X509Time, TextsAndTheirTimesOrErrors) {
    LumRuntime runtime;
    TempRoot root;
    struct Case {
        const char* text;
        const char* time;   // "undefined" on an error
        const char* error;  // the reason in the log line, or ""
    };
    const Case cases[] = {
        {"091231235959Z", "2009-12-31 23:59:59 UTC", ""},
        {"491231235959Z", "2049-12-31 23:59:59 UTC", ""},
        {"500101000000Z", "1950-01-01 00:00:00 UTC", ""},
        {"0912312359Z", "2009-12-31 23:59:00 UTC", ""},
        {"2009123123", "2009-12-31 23:00:00 UTC", ""},
        {"20601231235959Z", "2060-12-31 23:59:59 UTC", ""},
        // A zone's offset is taken off: the time becomes UTC.
        {"20091231235959.123+0100", "2009-12-31 22:59:59 UTC", ""},
        {"20091231235959,5-0130", "2010-01-01 01:29:59 UTC", ""},
        {"0912312359", "undefined", "invalid time format"},
        {"20090230120000Z", "undefined", "invalid time format"},
        {"20091331235959Z", "undefined", "invalid time format"},
        {"20091231Z", "undefined", "value is too short"},
        {"2009123123595Z", "undefined", "invalid [YY]YYMMDDhh[mm[ss]] length"},
        {"2009x231235959Z", "undefined", "invalid symbol"},
        {"091231235959ZZ", "undefined", "multiple UTC flags ('Z') / time zones"},
        {"20091231235959.1.2Z", "undefined", "multiple milliseconds parts"},
        {"20091231235959Z.12", "undefined", "milliseconds after time zone"},
        {"2009123123Z59", "undefined", "extra symbols after 'Z'"},
        {"20091231235959+2400", "undefined", "invalid time zone"},
        {"20091231235959+01", "undefined", "invalid time zone"},
        {"20091231235959.Z", "undefined", "missing milliseconds"},
        {"20091231236059Z", "undefined", "invalid number of minutes"},
        {"20091231235960Z", "undefined", "invalid number seconds"},
        {"", "undefined", "value is too short"},
    };
    for (const Case& c : cases) {
        LogCapture log(root.log());
        EXPECT_STREQ(parseX509Time(Ascii(c.text)).toText().text(), c.time) << c.text;
        std::string line = std::string("X509 time string parser error: ") + c.error + ", time=" + c.text;
        if (*c.error != '\0') {
            EXPECT_TRUE(log.contains(line)) << c.text << "\n" << log.text();
        } else {
            EXPECT_FALSE(log.contains("X509 time string parser error")) << c.text;
        }
    }
}

using X509NamesTest = CertificateLabTest;

TEST_F(X509NamesTest, DerivedNamesFollowTheirOrderOfChoice) {
    start();
    struct Case {
        const char* what;
        CertificateSpec spec;
        const char* issuedTo;
        const char* certificateName;
        const char* issuedToName;
    };
    auto spec = [](const char* cn, const char* domain, const char* upn, std::vector<std::string> dns,
                   std::vector<std::string> emails, const char* org = "") {
        CertificateSpec s;
        s.commonName = cn;
        s.domain = domain;
        s.upn = upn;
        s.dnsNames = std::move(dns);
        s.emails = std::move(emails);
        s.organization = org;
        return s;
    };
    const Case cases[] = {
        {"principal name first", spec("Bob", "corp.example", "bob@ad.example", {"bob.example"}, {}), "bob",
         "bob@ad.example", "bob.example"},
        {"common name and domain", spec("alice", "corp.example", "", {}, {}), "alice", "alice@corp.example",
         "corp.example"},
        {"e-mail as the principal name", spec("Carol", "", "", {}, {"carol@mail.example"}), "carol",
         "carol@mail.example", "carol@mail.example"},
        {"an @ at the end takes the domain", spec("x", "corp.example", "dave@", {}, {}), "dave",
         "dave@corp.example", "corp.example"},
        {"subject with = and no names", spec("", "corp.example", "", {}, {}, "Corp"), "", "@corp.example",
         "corp.example"},
        {"common name only", spec("erin", "", "", {}, {}), "erin", "erin@", "erin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Certificate certificate = memory(c.spec);
        EXPECT_STREQ(certificate.issuedTo().text(), c.issuedTo);
        EXPECT_STREQ(certificate.certificateName().text(), c.certificateName);
        EXPECT_STREQ(certificate.issuedToName().text(), c.issuedToName);
        EXPECT_STREQ(certificate.issuedBy().text(), "Test Root");
        EXPECT_EQ(certificate.expiryDate().toText(), Ascii("2060-12-31 23:59:59 UTC"));
        EXPECT_EQ(certificate.validFrom().toText(), Ascii("2000-01-01 00:00:00 UTC"));
    }
}

TEST_F(X509NamesTest, WithoutPropertiesTextsAreEmptyAndTimesUndefined) {
    start();
    CertificateSpec s;
    s.commonName = "frank";
    s.serial = 0x2A;
    s.keyUsage = 0x01;
    s.extendedUsages = {EKU_CLIENT_AUTH};
    Certificate bare =
        Certificate::create(ByteArray("12345678901234567890"), CertificateStore::machinePersonal());
    EXPECT_FALSE(bare.hasX509());
    EXPECT_STREQ(bare.certificateName().text(), "");
    EXPECT_EQ(bare.subjectNames().length(), 0);
    EXPECT_FALSE(bare.expiryDate().isDefined());
    EXPECT_EQ(bare.keyUsage(), 0);
    bare.populateX509();  // no handle: still none
    EXPECT_FALSE(bare.hasX509());

    Certificate read = memory(s);
    EXPECT_TRUE(read.hasX509());
    EXPECT_STREQ(read.serialNumber().text(), "2A");
    EXPECT_EQ(read.keyUsage(), 1);
    ASSERT_EQ(read.extendedKeyUsages().length(), 1);
    EXPECT_STREQ(read.extendedKeyUsages().get(0).text(), EKU_CLIENT_AUTH);
    ASSERT_EQ(read.subjectNames().length(), 1);
    EXPECT_STREQ(read.subjectNames().get(0).text(), "frank");
}

}  // namespace
}  // namespace tamsel::test
