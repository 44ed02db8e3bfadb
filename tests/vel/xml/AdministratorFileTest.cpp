#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "tests/keys/ConfigurationSigner.h"
#include "tests/support/AdministratorFileMutations.h"
#include "tests/vel/xml/XmlConfigurationTestSupport.h"
#include "vel/libxml2/XmlSignature.h"
#include "vel/xml/Xml_Configuration.h"

namespace tamsel::test {
namespace {

using M = XmlMessages;

// A message format as a pattern that its filled-in texts match: every %s a name without quotes,
// every %d a number.
std::regex formatPattern(const std::string& format) {
    std::string pattern;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format.compare(i, 2, "%s") == 0) {
            pattern += "[^\"]+";
            ++i;
        } else if (format.compare(i, 2, "%d") == 0) {
            pattern += "[0-9]+";
            ++i;
        } else if (std::string("\\^$.|?*+()[]{}").find(format[i]) != std::string::npos) {
            pattern += std::string("\\") + format[i];
        } else {
            pattern += format[i];
        }
    }
    return std::regex(pattern);
}

Configuration readText(const std::string& text) {
    XmlDocument document;
    return Xml_Configuration::readAdministratorFile(parseRoot(document, text));
}

class AdministratorFileTest : public ConfigurationFileTest {};

TEST_F(AdministratorFileTest, TheSampleIsSignedAtBuildTimeWithTheTestKey) {
    const std::string text = sampleText();
    ASSERT_NE(text.find("<Signature"), std::string::npos);
    XmlDocument document;
    parseRoot(document, text);
    EXPECT_TRUE(
        XmlSignature::verify(document, ConfigurationSigner::readFile(TAMSEL_TEST_PUBLIC_KEY).c_str()));
    // The signed text is the source's, signature apart.
    const std::string source = fileText(TAMSEL_SAMPLE_CONFIGURATION_SOURCE);
    EXPECT_NE(source.find("<displayName>Lab TTLS MSCHAP</displayName>"), std::string::npos);
    EXPECT_NE(text.find("<displayName>Lab TTLS MSCHAP</displayName>"), std::string::npos);
}

struct ModelRow {
    const char* network;
    const char* field;
    const char* value;
};

// What the sample reads to: the configuration ("" network), then every network.
const ModelRow SAMPLE_MODEL[] = {
    {"", "name", "xml config"},
    {"", "versions", "5.1.1"},
    {"", "vpn", "3"},
    {"", "connection", "1/20/1"},
    {"", "defaults", "45/5"},
    {"", "media", "wifi wired"},
    {"", "control", "vpn=1 script=1"},
    {"Global Wired", "media", "wired"},
    {"Global Wired", "global", "true"},
    {"Global Wired", "origin", "2"},
    {"Global Wired", "timeouts", "25"},
    {"Global Wired", "mode", "openNoEncryption"},
    {"Global Wired", "types", "3"},
    {"Global Wired", "8021x", "none"},
    {"Global Wired", "further", "0/30/1/0"},
    {"Global Guest", "media", "wifi"},
    {"Global Guest", "global", "true"},
    {"Global Guest", "timeouts", "30/8"},
    {"Global Guest", "ssid", "guest"},
    {"Global Guest", "mode", "openNoEncryption"},
    {"Global Guest", "types", "2"},
    {"Wired MD5", "global", "false"},
    {"Wired MD5", "origin", "2"},
    {"Wired MD5", "timeouts", "40"},
    {"Wired MD5", "script", "C:\\scripts\\wired.cmd"},
    {"Wired MD5", "8021x", "31/61/32/4"},
    {"Wired MD5", "types", "2"},
    {"Wired MD5", "mode", "0,1"},
    {"Wired MD5", "user", "eapMd5 credential=1 source=3 identity=[domain]\\[username]| fast=0/0"},
    {"Wired MD5", "machine", "none"},
    {"Wired MD5", "collection", "storage=0 source=0 pin=0 extend=0"},
    {"Wired MSCHAPv2", "types", "1"},
    {"Wired MSCHAPv2", "machine",
     "eapMschapv2 credential=1 source=1 identity=host/<machine>| secret=se&cret\"' fast=0/0"},
    {"Wired MSCHAPv2", "user", "none"},
    {"Wired MSCHAPv2", "8021x", "30/60/30/3"},
    {"Wired GTC", "types", "3"},
    {"Wired GTC", "machine", "eapGtc credential=1 source=6 identity=host/[machine]| fast=0/0"},
    {"Wired GTC", "user", "eapGtc credential=3 source=2 identity=[username]| fast=0/0"},
    {"Wired GTC", "collection", "storage=3 source=0 pin=0 extend=1"},
    {"Wired PEAP", "machine",
     "eapPeap[eapMschapv2] credential=1 source=6 identity=anonymous|host/[machine] "
     "validate=rules(0:1:radius.example.com,1:2:.example.com)/cas(1:Example Root CA,2:0a0b0c0d) fast=0/0"},
    {"Wired PEAP", "user",
     "eapPeap[eapTls] credential=2 source=2 identity=anonymous|[username]@example.com fast=1/0"},
    {"Wired PEAP", "collection", "storage=1 source=1 pin=2 extend=0"},
    {"Corp LEAP", "timeouts", "40/3"},
    {"Corp LEAP", "ssid", "corp-leap"},
    {"Corp LEAP", "mode", "openStaticWep"},
    {"Corp LEAP", "types", "2"},
    {"Corp LEAP", "user", "leap credential=1 source=2 identity=[username]| fast=0/0"},
    {"Corp LEAP", "collection", "storage=2 source=0 pin=0 extend=0"},
    {"Corp TLS", "mode", "wpa2EnterpriseAes"},
    {"Corp TLS", "types", "1"},
    {"Corp TLS", "machine",
     "eapTls credential=2 source=1 identity=host/[machine]| "
     "certificate=00112233445566778899aabbccddeeff00112233 "
     "validate=any/cas(1:Corp CA) fast=1/0"},
    {"Corp TLS User", "mode", "wpaEnterpriseTkip"},
    {"Corp TLS User", "user",
     "eapTls credential=2 source=3 identity=[username]| validate=rules(0:1:radius.corp)/any fast=1/1"},
    {"Corp TLS User", "collection", "storage=3 source=3 pin=1 extend=0"},
    {"Corp TTLS PAP", "mode", "quillanEnterpriseAes"},
    {"Corp TTLS PAP", "machine",
     "eapTtls[pap] credential=1 source=1 identity=anonymous|host/[machine] secret=tunnel&pass fast=0/0"},
    {"Corp TTLS PAP", "user",
     "eapTtls[eapMd5,eapMschapv2] credential=1 source=2 identity=anonymous|[username] fast=1/0"},
    {"Corp TTLS PAP", "collection", "storage=0 source=0 pin=0 extend=0"},
    {"Corp TTLS CHAP", "mode", "quillanEnterpriseTkip"},
    {"Corp TTLS CHAP", "machine", "eapTls credential=2 source=6 identity=host/[machine]| fast=0/0"},
    {"Corp TTLS CHAP", "user", "eapTtls[chap] credential=1 source=3 identity=anonymous|[username] fast=0/0"},
    {"Corp FAST", "mode", "wpa2EnterpriseTkip"},
    {"Corp FAST", "machine",
     "eapFast[eapTls] credential=2 source=1 identity=anonymous|host/[machine] certificate=cafe0001 fast=1/0 "
     "mode=1 "
     "pac=1/1 posture=1 pacs=1"},
    {"Corp FAST", "user",
     "eapFast[eapMschapv2,eapGtc] credential=1 source=2 identity=anonymous|[username] fast=1/0 pac=0/0 "
     "posture=0 "
     "pacs=0"},
    {"Corp FAST", "collection", "storage=1 source=0 pin=0 extend=0"},
    {"Corp FAST Token", "mode", "wpaEnterpriseAes"},
    {"Corp FAST Token", "user",
     "eapFast[eapGtc] credential=3 source=2 identity=anonymous|[username] fast=0/0 pac=0/0 posture=1 pacs=0"},
    {"Corp FAST Token", "collection", "storage=2 source=0 pin=0 extend=0"},
    {"Corp FAST Certificate", "mode", "openStaticWep"},
    {"Corp FAST Certificate", "machine",
     "eapFast credential=2 source=6 identity=anonymous|host/[machine] fast=0/0 mode=3 pac=0/0 posture=1 "
     "pacs=0"},
    {"Corp FAST Certificate", "user",
     "eapFast credential=2 source=2 identity=anonymous|[username] fast=0/0 mode=4 pac=0/0 posture=1 pacs=0"},
    {"Corp FAST Certificate", "collection", "storage=1 source=3 pin=3 extend=0"},
    {"Home WEP40", "script", "C:\\scripts\\home.cmd"},
    {"Home WEP40", "mode", "openStaticWep"},
    {"Home WEP40", "types", "1"},
    {"Home WEP40", "key", "hex 0a1b2c3d4e size 5"},
    {"Home WEP128", "mode", "sharedStaticWep"},
    {"Home WEP128", "types", "2"},
    {"Home WEP128", "key", "ascii abc<defghijkl size 13"},
    {"Home WPA", "mode", "wpaPersonalTkip"},
    {"Home WPA", "key", "ascii correct horse"},
    {"Home WPA2 Hex", "mode", "wpa2PersonalAes"},
    {"Home WPA2 Hex", "key", "hex 000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f"},
    {"Home WPA2 Enciphered", "types", "1"},
    {"Home WPA2 Enciphered", "key", "ascii sunflower fields"},
    {"Cafe", "ssid", ""},
    {"Cafe", "mode", "openNoEncryption"},
    {"Cafe", "types", "1"},
    {"Lab Wired", "media", "wired"},
    {"Lab Wired", "types", "2"},
    {"Lab PEAP GTC", "user",
     "eapPeap[eapGtc] credential=1 source=1 identity=anonymous|[username] secret=lab-pass fast=0/0"},
    {"Lab TTLS MSCHAP", "mode", "wpaEnterpriseTkip"},
    {"Lab TTLS MSCHAP", "machine",
     "eapTtls[mschap] credential=1 source=6 identity=anonymous|host/[machine] fast=0/0"},
    {"Lab TTLS MSCHAP", "user",
     "eapTtls[mschapv2] credential=1 source=1 identity=anonymous|[username] secret=user-pass fast=0/0"},
};

TEST_F(AdministratorFileTest, TheSampleReadsToItsModel) {
    Configuration configuration = readText(sampleText());
    for (const ModelRow& row : SAMPLE_MODEL) {
        EXPECT_EQ(describe(configuration, row.network, row.field), row.value)
            << row.network << " " << row.field;
    }
    // Groups in file order, the global one flagged, each with its networks in file order.
    std::vector<std::string> groups;
    for (const Reference& held : configuration.groups().snapshot()) {
        NetworkGroup group = handleOf<NetworkGroup>(held.m);
        groups.push_back(str(group.name()) + (group.isGlobal() ? "*" : "") + ":" +
                         std::to_string(group.allowUserToSeeScanlist()) + ":" +
                         std::to_string(group.networkVector().length()));
    }
    EXPECT_EQ(groups, (std::vector<std::string>{"*:0:2", "Office:1:12", "Home:0:6", "Lab:1:3"}));
    // The policy's entries in file order; the one named open1xDynamicWep is told from static WEP.
    std::vector<Reference> modes = configuration.networkPolicy().allowedAssociationModes().snapshot();
    ASSERT_EQ(modes.size(), 14u);
    for (size_t i = 0; i < modes.size(); ++i)
        EXPECT_EQ(Association::fromElement(modes[i].m).isDynamicWep(), i == 3);
    EXPECT_EQ(configuration.networkPolicy().allowedEapMethods().length(), 13);
    EXPECT_EQ(logged("Manual pac provisioning.").size(), 1u);
    configuration.impl()->clearReferences();
}

TEST_F(AdministratorFileTest, EveryChangeOfTheTableGivesItsAnswer) {
    const std::string sample = sampleText();
    for (const AdministratorFileMutation& row : administratorFileMutations()) {
        SCOPED_TRACE(row.label);
        const std::string text = mutatedSample(sample, row);
        ASSERT_FALSE(text.empty()) << "the sample does not hold the text to change";
        ASSERT_NE(text, sample);
        Configuration configuration;
        const std::string answer = refusalOf([&] { configuration = readText(text); });
        if (row.message.empty()) {
            ASSERT_EQ(answer, "accepted");
            EXPECT_EQ(describe(configuration, row.network, row.field), row.value);
            configuration.impl()->clearReferences();
        } else {
            EXPECT_EQ(answer, row.message);
        }
        Network::setDefaultConnectionTimeout(NetworkImpl::INITIAL_DEFAULT_CONNECTION_TIMEOUT);
        Network::setDefaultAssociationTimeout(NetworkImpl::INITIAL_DEFAULT_ASSOCIATION_TIMEOUT);
    }
}

TEST_F(AdministratorFileTest, TheTableReachesEveryMessageTheReadersGive) {
    // Reached only through records no file can hold.
    const std::set<std::string> elsewhere = {
        M::UNSUPPORTED_EAP_METHOD,    M::EMPTY_CREDENTIAL_TAG,        M::TAG_IS_INVALID,
        M::TWO_TAGS_ONE_REQUIRED,     M::INVALID_DEVELOPMENT_VERSION, M::MANUAL_PAC_PROVISIONING,
        M::UNABLE_TO_VERIFY_SIGNATURE};
    const char* const messages[] = {M::TAG_REQUIRED,
                                    M::TAG_REQUIRED_WITHOUT_STOP,
                                    M::TAG_IS_REQUIRED,
                                    M::TAG_IS_REQUIRED_LEADING_BLANK,
                                    M::TAG_IS_REQUIRED_LOWER_CASE,
                                    M::EMPTY_TAG,
                                    M::TAG_IS_EMPTY,
                                    M::TAG_IS_EMPTY_WITHOUT_STOP,
                                    M::POSITIVE_INTEGER_REQUIRED,
                                    M::ATTRIBUTE_REQUIRED,
                                    M::ATTRIBUTE_SHOULD_BE_FALSE,
                                    M::ATTRIBUTE_SHOULD_BE_TRUE,
                                    M::TYPE_ATTRIBUTE_REQUIRED,
                                    M::TYPE_ATTRIBUTE_VALUE,
                                    M::MULTIPLE_TAGS,
                                    M::ONE_METHOD_ONLY,
                                    M::TWO_TAGS_REQUIRED,
                                    M::THREE_TAGS_REQUIRED,
                                    M::FOUR_TAGS_REQUIRED,
                                    M::INVALID_VERSION,
                                    M::INVALID_CONFIGURATION_FILE,
                                    M::UNDEFINED_CERTIFICATE_CONTAINER,
                                    M::EMPTY_CERTIFICATE_CONTAINER,
                                    M::INVALID_ASCII_SSID_LENGTH,
                                    M::UNDEFINED_CONNECTION_TYPE,
                                    M::INVALID_KEY,
                                    M::INVALID_HEX,
                                    M::INVALID_WEP_KEY_LENGTH,
                                    M::INVALID_HEX_PSK_LENGTH,
                                    M::INVALID_ASCII_PSK_LENGTH,
                                    M::UNKNOWN_USER_AUTHENTICATION_METHOD,
                                    M::UNDEFINED_INNER_TTLS_METHOD,
                                    M::UNDEFINED_TRUSTED_SERVER_RULES,
                                    M::UNDEFINED_VERIFICATION_RULE,
                                    M::EMPTY_SERVER_VERIFICATION_RULE,
                                    M::UNDEFINED_TRUSTED_CAS,
                                    M::INVALID_CREDENTIAL_STORAGE_TYPE,
                                    M::INVALID_CREDENTIAL_STORAGE_TAG,
                                    M::CREDENTIAL_TYPE_MISMATCH,
                                    M::INVALID_PADDING_LENGTH,
                                    M::MULTIPLE_GLOBAL_NETWORKS,
                                    M::TIMEOUT_TOO_LONG};
    for (const char* message : messages) {
        ASSERT_EQ(elsewhere.count(message), 0u);
        const std::regex pattern = formatPattern(message);
        bool reached = false;
        for (const AdministratorFileMutation& row : administratorFileMutations()) {
            if (std::regex_match(row.message, pattern)) reached = true;
        }
        EXPECT_TRUE(reached) << message;
    }
}

TEST_F(AdministratorFileTest, TheMessagesKeepTheSystemsOwnSpelling) {
    EXPECT_STREQ(M::TAG_IS_REQUIRED_LEADING_BLANK, " Tag \"%s\" is required.");
    EXPECT_STREQ(M::TAG_IS_REQUIRED_LOWER_CASE, "tag \"%s\" is required.");
    EXPECT_STREQ(M::INVALID_HEX_PSK_LENGTH, "Invalid hexadimal PSK length.");
    EXPECT_STREQ(M::TAG_REQUIRED_WITHOUT_STOP, "\"%s\" tag is required");
    EXPECT_STREQ(M::TAG_IS_EMPTY_WITHOUT_STOP, "Tag \"%s\" is empty");
    EXPECT_STREQ(M::ONE_METHOD_ONLY, "\"%s\" tag should contain just one authentication method");
    EXPECT_STREQ(M::TWO_TAGS_ONE_REQUIRED, "\"%s\" or \"%s\" tag is required.");
    EXPECT_STREQ(M::INVALID_PADDING_LENGTH, "Invalid padding length");
}

TEST_F(AdministratorFileTest, OnlyAnAcceptedFileSetsTheDefaultTimeoutsAndTellsTheMatchmakerItsMedia) {
    matchmaker->takeCalls();
    const AdministratorFileMutation refused = {"", "<eapMd5/><eapGtc/>", "<eapGtc/>", "x"};
    EXPECT_EQ(refusalOf([&] { readText(mutatedSample(sampleText(), refused)); }),
              M::INVALID_CONFIGURATION_FILE);
    EXPECT_EQ(describeConfiguration(Configuration::create("probe"), "defaults"), "40/3");
    EXPECT_TRUE(matchmaker->takeCalls().empty());

    const AdministratorFileMutation wiredOnly = {"", "<wifi/><wired/>", "<wired/>", ""};
    Configuration configuration = readText(mutatedSample(sampleText(), wiredOnly));
    EXPECT_EQ(describeConfiguration(configuration, "defaults"), "45/5");
    EXPECT_EQ(matchmaker->takeCalls(),
              (std::vector<std::string>{"removeMediaTypeSupport 1", "addMediaTypeSupport 0"}));
    configuration.impl()->clearReferences();

    // The next file without defaults has the built-in ones, not those of the file before.
    const AdministratorFileMutation noDefaults = {
        "", "<defaultConnectionTimeout>45</defaultConnectionTimeout>",  "", "", "", "",
        "", "<defaultAssociationTimeout>5</defaultAssociationTimeout>", ""};
    configuration = readText(mutatedSample(sampleText(), noDefaults));
    EXPECT_EQ(describeConfiguration(Configuration::create("probe"), "defaults"), "40/3");
    configuration.impl()->clearReferences();
}

TEST_F(AdministratorFileTest, ADevelopmentVersionOtherThanOneIsOnlyLogged) {
    const AdministratorFileMutation row = {"", "development_version=\"1\"", "development_version=\"0\"", ""};
    Configuration configuration = readText(mutatedSample(sampleText(), row));
    EXPECT_EQ(logged(M::INVALID_DEVELOPMENT_VERSION).size(), 1u);
    configuration.impl()->clearReferences();
}

TEST_F(AdministratorFileTest, TheRecordHoldsWhatTheModelDoesNotKeep) {
    // Empty policy lists are no error for the reader; the model then refuses the networks.
    const AdministratorFileMutation row = {
        "", "<openNoEncryption/><openStaticWep/><sharedStaticWep/><open1xDynamicWep/>", "", ""};
    XmlDocument document;
    XmlConfigurationRecord record =
        Xml_Configuration::ReadRoot(parseRoot(document, mutatedSample(sampleText(), row)));
    EXPECT_EQ(record.networkPolicy.allowedAssociationModes().length(), 10);
    EXPECT_TRUE(record.metaConnections.empty());
    EXPECT_EQ(record.connectionSettings.defaultConnectionTimeout, 45);
    EXPECT_EQ(record.connectionSettings.defaultAssociationTimeout, 5);
    const AdministratorFileMutation none = {
        "",
        "<openNoEncryption/><openStaticWep/><sharedStaticWep/><open1xDynamicWep/>\n      "
        "<wpaPersonalTkip/><wpaPersonalAes/><wpa2PersonalTkip/><wpa2PersonalAes/>\n      "
        "<wpaEnterpriseTkip/><wpaEnterpriseAes/><wpa2EnterpriseTkip/><wpa2EnterpriseAes/>\n      "
        "<quillanEnterpriseTkip/><quillanEnterpriseAes/>",
        "", ""};
    XmlDocument empty;
    EXPECT_EQ(Xml_Configuration::ReadRoot(parseRoot(empty, mutatedSample(sampleText(), none)))
                  .networkPolicy.allowedAssociationModes()
                  .length(),
              0);
}

}  // namespace
}  // namespace tamsel::test
