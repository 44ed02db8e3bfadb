// The credential kinds over the lab's authentication library: what each kind answers and refuses,
// the library handles they make, an ASCII key moved to another SSID, keys an older release stored
// as text, and stored text that is no credential at all.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/lab/Lab.h"
#include "platform/qxauth/qxAuth.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TestText.h"
#include "tests/vel/credmgr/CredentialFixtures.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/credmgr/Credential.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/credmgr/CredentialProxy.h"

namespace tamsel::test {
namespace {

using C = CredentialConstants;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

ByteArray bytesOf(const std::string& text) {
    return ByteArray(reinterpret_cast<const std::uint8_t*>(text.data()),
                     static_cast<std::int32_t>(text.size()));
}
std::string textOf(const ByteArray& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.bytes()), static_cast<size_t>(bytes.length()));
}

class CredentialKindsTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        lab::clearCalls();
        lab::Lab::instance().setManual(true);
        LabBuilder().writeTo(root.path() + "/lab.xml");
        QX_INIT init = {nullptr, [](void*, int, const void*, int) {}};
        ASSERT_EQ(qxInit(&init), QX_OK);
    }
    void TearDown() override {
        qxExit();
        while (lab::Lab::instance().running()) lab::Lab::instance().release();
        lab::Lab::instance().setManual(false);
        RuntimeTest::TearDown();
    }
    // The library calls so far whose text starts so.
    static std::vector<std::string> callsOf(const std::string& prefix) {
        std::vector<std::string> found;
        for (const std::string& line : lab::recordedCalls())
            if (line.rfind(prefix, 0) == 0) found.push_back(line);
        return found;
    }
    // The log's lines since the last call.
    std::string newLog() {
        const std::string text = readText(root.log());
        std::string added = text.substr(std::min(m_logged, text.size()));
        m_logged = text.size();
        return added;
    }

    size_t m_logged = 0;
};

// Every kind carries its type; only the two pre-shared keys answer psk(), only the PAC expired();
// the others log their internal error and give the empty or expired answer.
TEST_F(CredentialKindsTest, EachKindAnswersItsOwnQuestionsAndLogsTheOthers) {
    const ByteArray key = bytesOf(std::string(32, '\x5c'));
    const struct Row {
        const char* name;
        std::function<Credential()> make;
        std::int32_t type;
        std::string psk;  // empty: psk() is refused with internal error 126
        bool pac;         // expired() answered (a PAC without a lifetime has not expired)
    } rows[] = {
        {"password", [] { return Credential::newPassword(Ascii("secret")); }, C::TYPE_PASSWORD, "", false},
        {"identity", [] { return Credential::newIdentity(Ascii("alice")); }, C::TYPE_IDENTITY, "", false},
        {"pin", [] { return Credential::newPin(Ascii("1234")); }, C::TYPE_PIN, "", false},
        {"ascii psk", [] { return Credential::newAsciiPsk(Ascii("correct horse"), bytesOf("home")); },
         C::TYPE_ASCII_PSK, "correct horse", false},
        {"hex psk", [&] { return Credential::newHexPsk(1, key); }, C::TYPE_HEX_PSK, textOf(key), false},
        {"certificate", [] { return Credential::newCertificate(bytesOf(std::string(20, '\x01'))); },
         C::TYPE_CERTIFICATE_HASH, "", false},
        {"pac",
         [] {
             return Credential::newPac(bytesOf(std::string(32, '\x11')), bytesOf("opaque"), bytesOf("aid"),
                                       Ascii("alice"), Ascii("Office"), PacLifetime{}, 1);
         },
         C::TYPE_PAC, "", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Credential credential = row.make();
        newLog();
        EXPECT_EQ(credential.type(), row.type);
        // Read back from its stored text by the generic constructor, it is of the same type.
        EXPECT_EQ(Credential(credential.storedText()).type(), row.type);

        EXPECT_EQ(textOf(credential.psk()), row.psk);
        std::string log = newLog();
        if (row.psk.empty()) {
            EXPECT_THAT(log, HasSubstr("Internal error 126, contact software manufacturer"));
            EXPECT_THAT(log, HasSubstr("psk: valid only for PSK credentials"));
        } else {
            EXPECT_THAT(log, Not(HasSubstr("Internal error")));
            EXPECT_EQ(credential.length(), static_cast<std::int32_t>(row.psk.size()));
        }

        EXPECT_EQ(credential.expired(), !row.pac);
        log = newLog();
        EXPECT_EQ(log.find("Internal error 127, contact software manufacturer") != std::string::npos,
                  !row.pac);
        EXPECT_EQ(log.find("expired: valid only for PAC credentials") != std::string::npos, !row.pac);
    }
}

// A library handle is made on the first use and kept; the credential's end destroys it.
TEST_F(CredentialKindsTest, TheIdentityHandleIsCreatedOnceAndDestroyedWithTheCredential) {
    {
        Credential identity = Credential::newIdentity(Ascii("alice@corp.example"));
        const QX_HANDLE first = identity.volatileH();
        EXPECT_NE(first, 0u);
        EXPECT_EQ(identity.volatileH(), first);
        EXPECT_EQ(callsOf("qxIdentityCreate(").size(), 1u);
        EXPECT_THAT(callsOf("qxIdentityDestroy("), IsEmpty());
    }
    EXPECT_EQ(callsOf("qxIdentityDestroy(").size(), 1u);
    EXPECT_THAT(takeAssertions(), IsEmpty());
}

// A new SSID re-protects the stored text with the same pass phrase and lets the old key go: the next
// use derives the key over the new SSID.
TEST_F(CredentialKindsTest, AnAsciiKeyMovedToAnotherSsidKeepsItsPassPhraseAndMakesANewHandle) {
    Credential psk = Credential::newAsciiPsk(Ascii("correct horse"), bytesOf("home"));
    ASSERT_NE(psk.volatileH(), 0u);
    const ByteArray before = psk.storedText();
    psk.setSsid(bytesOf("office"));
    EXPECT_FALSE(psk.storedText() == before);
    EXPECT_EQ(textOf(psk.psk()), "correct horse");
    EXPECT_EQ(callsOf("qxRsnPskDestroy(").size(), 1u) << "the old key destroyed at once";
    ASSERT_NE(psk.volatileH(), 0u);
    const std::vector<std::string> created = callsOf("qxRsnPskCreate(");
    ASSERT_EQ(created.size(), 2u);
    EXPECT_THAT(created[0], HasSubstr("\"home\", 4"));
    EXPECT_THAT(created[1], HasSubstr("\"office\", 6"));
    // Read back from its stored text, the key is bound to the new SSID.
    Credential stored = Credential::createAsciiPsk(psk.storedText());
    ASSERT_NE(stored.volatileH(), 0u);
    EXPECT_THAT(callsOf("qxRsnPskCreate(").back(), HasSubstr("\"office\", 6"));
}

// Keys an older release kept as slash-separated text: only four fields with the tag third become a
// key, an ASCII one bound to the SSID given or a hexadecimal one of the decoded bytes.
TEST_F(CredentialKindsTest, LegacyKeysConvertOnlyFromTheirFourFieldForm) {
    const struct Row {
        const char* text;
        std::int32_t type;  // -1: nothing
        std::string key;
    } rows[] = {
        {"wlan/home/psk_asciicorrect horse", C::TYPE_ASCII_PSK, "correct horse"},
        {"wlan//home/psk_asciicorrect horse", C::TYPE_ASCII_PSK, "correct horse"},
        {"wlan/home/psk_hex0a0b0c0d0e", C::TYPE_HEX_PSK, "\x0a\x0b\x0c\x0d\x0e"},
        {"home/psk_asciicorrect horse", -1, ""},
        {"a/wlan/home/psk_asciicorrect horse", -1, ""},
        {"wlan/home/wep_keycorrect horse", -1, ""},
        {"wlan/home/psk_ascii/", -1, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const Bytes stored = aesStoredText(row.text, Bytes(16, '\x42'));
        CredentialProxy converted = Credential::convertLegacyPsk(bytesOf(stored), bytesOf("home"));
        ASSERT_EQ(converted.exists(), row.type != -1);
        if (!converted.exists()) continue;
        Credential credential = converted.credential();
        EXPECT_EQ(credential.type(), row.type);
        EXPECT_EQ(textOf(credential.psk()), row.key);
        if (row.type == C::TYPE_ASCII_PSK) {
            ASSERT_NE(credential.volatileH(), 0u);
            EXPECT_THAT(callsOf("qxRsnPskCreate(").back(), HasSubstr("\"home\", 4"));
        }
    }
    EXPECT_FALSE(Credential::convertLegacyPsk(bytesOf("not a stored text"), bytesOf("home")).exists());
}

// Stored text that cannot be read, or that holds no known type, gives the sentinel type -1 with the
// generic internal error, and nothing else breaks.
TEST_F(CredentialKindsTest, JunkStoredTextGivesTheSentinelType) {
    const struct Row {
        const char* name;
        Bytes text;
        const char* line;
    } rows[] = {
        {"not a stored text", "junk", "Decryption failed in CredentialImpl"},
        {"an unknown type", aesStoredText(vectorBytes({"Secret", "Disc", "x"}), Bytes(16, '\x07')),
         "Invalid credential"},
        {"no vector", aesStoredText("plain words", Bytes(16, '\x07')), "Invalid credential"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        newLog();
        Credential junk{bytesOf(row.text)};
        EXPECT_EQ(junk.type(), -1);
        const std::string log = newLog();
        EXPECT_THAT(log, HasSubstr("Internal error 194, contact software manufacturer"));
        EXPECT_THAT(log, HasSubstr(row.line));
    }
    EXPECT_THAT(takeAssertions(), IsEmpty());
}

}  // namespace
}  // namespace tamsel::test
