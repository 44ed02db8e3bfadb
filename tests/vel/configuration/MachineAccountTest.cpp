#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/base/AtomicWrite.h"
#include "platform/base/FailureInjection.h"
#include "platform/base/Root.h"
#include "platform/base/Utf16.h"
#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "vel/configuration/MachineAccount.h"
#include "vel/credmgr/CredentialProxy.h"
#include "vel/network/Network.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

using winaccount::LSA_UNICODE_STRING;

class MachineAccountTest : public ConfigurationTest {
protected:
    void TearDown() override {
        base::clearFailures();
        ConfigurationTest::TearDown();
    }
};

TEST_F(MachineAccountTest, CountedTextPointsAtTheTextItself) {
    const std::u16string longest(MachineAccount::MAX_LSA_STRING_CHARACTERS, u'x');
    const std::u16string tooLong(MachineAccount::MAX_LSA_STRING_CHARACTERS + 1, u'x');
    struct Case {
        const char* name;
        const char16_t* text;
        bool accepted;
        std::uint16_t length;
        std::uint16_t maximumLength;
    };
    const Case cases[] = {
        {"the machine account's key", MachineAccount::PASSWORD_KEY, true, 24, 26},
        {"the longest text", longest.c_str(), true, 65532, 65534},
        {"one character more", tooLong.c_str(), false, 0, 0},
        {"no text", nullptr, true, 0, 2},
        {"an empty text", u"", true, 0, 2},
    };
    for (const Case& c : cases) {
        LSA_UNICODE_STRING target{7, 9, nullptr};
        EXPECT_EQ(MachineAccount::wcStringToLsaString(&target, c.text), c.accepted) << c.name;
        if (!c.accepted) {
            EXPECT_EQ(target.Length, 7) << c.name << ": untouched";
            continue;
        }
        EXPECT_EQ(target.Length, c.length) << c.name;
        EXPECT_EQ(target.MaximumLength, c.maximumLength) << c.name;
        EXPECT_EQ(target.Buffer, c.text) << c.name;
    }
    EXPECT_FALSE(MachineAccount::wcStringToLsaString(nullptr, u"x"));
}

TEST_F(MachineAccountTest, ComputerNameOrEmptyWithTheFailureLogged) {
    winaccount::DWORD size = 256;
    char16_t expected[256];
    ASSERT_TRUE(winaccount::GetComputerNameExW(winaccount::ComputerNameDnsFullyQualified, expected, &size));
    EXPECT_EQ(std::string(MachineAccount::computerName().text()),
              base::utf16ToUtf8(std::u16string(expected, size)));

    struct Case {
        const char* name;
        std::uint32_t passedCalls;
        std::uint32_t code;
    };
    const Case cases[] = {{"measuring fails", 0, winaccount::ERROR_ACCESS_DENIED},
                          {"filling fails", 1, winaccount::ERROR_NOT_ENOUGH_MEMORY}};
    for (const Case& c : cases) {
        if (c.passedCalls != 0) base::failNext("GetComputerNameExW", 0, static_cast<int>(c.passedCalls));
        base::failNext("GetComputerNameExW", c.code, 1);
        markLog();
        EXPECT_EQ(std::string(MachineAccount::computerName().text()), "") << c.name;
        std::vector<std::string> lines = logged("CAUGHT");
        ASSERT_EQ(lines.size(), 1u) << c.name;
        EXPECT_EQ(lines[0].rfind("CAUGHT: LogWindowsException for function 'GetComputerNameEx' => " +
                                     std::to_string(c.code) + "{error} [MachineAccount.cpp:",
                                 0),
                  0u)
            << lines[0];
    }
}

// The machine account's password as the operating system keeps it (UTF-16LE, private file).
void storeMachinePassword(std::u16string_view value) {
    std::string bytes;
    for (char16_t c : value) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    ASSERT_EQ(base::writeFileAtomically(base::rootFolder(base::RootFolders::SECRETS) + "/$machine.acc", bytes,
                                        0600),
              0);
}

std::string machinePasswordOf(const Network& network) {
    CredentialProxy key = network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE)
                              .getPasswordOrKeyCredential();
    return key.exists() ? key.credential().password().text() : "<none>";
}

TEST_F(MachineAccountTest, MachinePasswordGoesToTheMachineCredentials) {
    storeMachinePassword(u"M4chine \u00fc pass");
    Network network = makeNetwork("Office");
    MachineAccount::retrieveMachinePassword(network);
    EXPECT_EQ(machinePasswordOf(network), "M4chine \xc3\xbc pass");
    EXPECT_FALSE(network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER)
                     .getPasswordOrKeyCredential()
                     .exists());
    EXPECT_THAT(logged("CAUGHT"), IsEmpty());
}

TEST_F(MachineAccountTest, WithoutTheSecretNothingIsSetAndNothingThrown) {
    struct Case {
        const char* name;
        const char* call;  // armed to fail; null: no secret stored
        std::uint32_t status;
        const char* function;
        int error;
    };
    const Case cases[] = {
        {"no secret", nullptr, 0, "LsaRetrievePrivateData", 2},
        {"the policy refused", "LsaOpenPolicy", static_cast<std::uint32_t>(winaccount::STATUS_ACCESS_DENIED),
         "LsaOpenPolicy", 5},
        {"the secret refused", "LsaRetrievePrivateData",
         static_cast<std::uint32_t>(winaccount::STATUS_ACCESS_DENIED), "LsaRetrievePrivateData", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.call != nullptr) {
            storeMachinePassword(u"secret");
            base::failNext(c.call, c.status, 1);
        }
        Network network = makeNetwork("Office");
        markLog();
        EXPECT_NO_THROW(MachineAccount::retrieveMachinePassword(network));
        EXPECT_EQ(machinePasswordOf(network), "<none>");
        std::vector<std::string> lines = logged("CAUGHT");
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind("CAUGHT: LogWindowsException for function '" + std::string(c.function) +
                                     "' => " + std::to_string(c.error) + "{error} [MachineAccount.cpp:",
                                 0),
                  0u)
            << lines[0];
    }
}

}  // namespace
}  // namespace tamsel::test
