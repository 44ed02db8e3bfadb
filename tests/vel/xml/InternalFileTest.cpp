#include <gtest/gtest.h>

#include <string>

#include "tests/support/AdministratorFileMutations.h"
#include "tests/vel/xml/XmlConfigurationTestSupport.h"
#include "vel/xml/Xml_InternalConfiguration.h"

namespace tamsel::test {
namespace {

using M = XmlMessages;
using K = XmlCredentialsGroupImpl;

// Each entry as "kind name: network(credential hex, ...) ...".
std::vector<std::string> summaryOf(const XmlCredentialsEntries& entries) {
    std::vector<std::string> summary;
    for (const XmlCredentialsGroup& group : entries.groups) {
        std::string text = std::to_string(group.impl()->m_kind) + " " + str(group.impl()->m_name) + ":";
        for (const XmlCredentialsNetwork& network : group.impl()->m_networks) {
            text += " " + str(network.impl()->m_networkName) + "(";
            for (size_t i = 0; i < network.impl()->m_credentials.size(); ++i) {
                text += (i ? "," : "") + hexOf(network.impl()->m_credentials[i]);
            }
            text += ")";
        }
        summary.push_back(text);
    }
    return summary;
}

XmlCredentialsGroup entry(const char* name, std::int32_t kind,
                          std::initializer_list<std::pair<const char*, std::vector<std::string>>> networks) {
    XmlCredentialsGroup group = XmlCredentialsGroup::create(name, kind);
    for (const auto& [networkName, credentials] : networks) {
        XmlCredentialsNetwork network = XmlCredentialsNetwork::create(networkName);
        for (const std::string& credential : credentials)
            network.impl()->m_credentials.push_back(bytesOf(credential));
        group.impl()->m_networks.push_back(network);
    }
    return group;
}

XmlCredentialsEntries readText(const std::string& text) {
    XmlDocument document;
    return Xml_InternalConfiguration::Read(parseRoot(document, text));
}

class InternalFileTest : public ConfigurationFileTest {};

TEST_F(InternalFileTest, WrittenEntriesReadBackWithTheGlobalNetworksNamedGlobal) {
    XmlCredentialsEntries entries;
    entries.groups = {entry("Office", K::KIND_GROUP, {{"Desk", {"\x01\xff", "ab"}}, {"Empty", {}}}),
                      entry("globalGroup", K::KIND_GLOBAL_NETWORKS, {{"Guest", {"g"}}}),
                      entry("Kept", K::KIND_GLOBAL_CREDENTIALS, {{"Old", {"o"}}}),
                      entry("Home", K::KIND_GROUP, {{"Den", {"d"}}})};
    entries.hasGlobalNetworks = true;
    XmlDocument document;
    Xml_InternalConfiguration::Write(document, entries);
    const std::string text = str(document.dump());
    EXPECT_NE(text.find("<credential>01ff</credential>"), std::string::npos);
    // Kinds in the file's order; a network with no credential keeps its empty credentials.
    EXPECT_EQ(summaryOf(readText(text)),
              (std::vector<std::string>{"1 globalCredentials: Old(6f)", "2 global: Guest(67)",
                                        "3 Office: Desk(01ff,6162) Empty()", "3 Home: Den(64)"}));
    EXPECT_FALSE(readText(text).hasGlobalNetworks);

    // Without the flag the global networks' entry is not written.
    entries.hasGlobalNetworks = false;
    XmlDocument unflagged;
    Xml_InternalConfiguration::Write(unflagged, entries);
    EXPECT_EQ(summaryOf(readText(str(unflagged.dump()))),
              (std::vector<std::string>{"1 globalCredentials: Old(6f)", "3 Office: Desk(01ff,6162) Empty()",
                                        "3 Home: Den(64)"}));
}

// The logged-on user's session reference is written while there is one and read back.
TEST_F(InternalFileTest, TheUserSessionReferenceIsKeptWhileThereIsOne) {
    XmlCredentialsEntries entries;
    entries.groups = {entry("Office", K::KIND_GROUP, {{"Desk", {"d"}}})};
    for (std::int32_t reference : {0x5001, 0}) {
        SCOPED_TRACE(reference);
        entries.userSessionReference = reference;
        XmlDocument document;
        Xml_InternalConfiguration::Write(document, entries);
        const std::string text = str(document.dump());
        EXPECT_EQ(text.find("<userSessionReference>") != std::string::npos, reference != 0) << text;
        XmlCredentialsEntries read = readText(text);
        EXPECT_EQ(read.userSessionReference, reference);
        EXPECT_EQ(summaryOf(read), std::vector<std::string>{"3 Office: Desk(64)"});
    }
}

const char* const INTERNAL_FILE = R"(<internalConfigurationData>
<group><groupName>Office</groupName>
<network><networkName>Desk</networkName><credentials><credential>0a0b</credential><other/></credentials></network>
<network><networkName>Spare</networkName></network>
</group>
<group><groupName>Home</groupName>
<network><networkName>Den</networkName><credentials><credential>cc</credential></credentials></network>
</group>
<group><groupName>Skipped</groupName>
<network><networkName>Nothing</networkName></network>
</group>
<globalNetworks><network><networkName>Guest</networkName><credentials><credential>99</credential></credentials></network></globalNetworks>
</internalConfigurationData>
)";

TEST_F(InternalFileTest, InternalFilesAreReadAsTheyAreWritten) {
    const auto m = [](const char* format, auto... names) { return xmlMessage(format, names...); };
    const AdministratorFileMutation rows[] = {
        {"two groups, networks without credentials skipped", "<internalConfigurationData>",
         "<internalConfigurationData>", "", "", "",
         "2 global: Guest(99)|3 Office: Desk(0a0b)|3 Home: Den(cc)"},
        {"credential of odd length", ">0a0b<", ">0a0<", M::INVALID_HEX},
        {"credential not hexadecimal", ">0a0b<", ">0a0x<", M::INVALID_HEX},
        {"credential empty", "<credential>cc</credential>", "<credential/>", M::EMPTY_CREDENTIAL_TAG},
        {"networkName missing", "<networkName>Den</networkName>", "",
         m(M::TAG_REQUIRED_WITHOUT_STOP, "networkName")},
        {"networkName empty", "<networkName>Den</networkName>", "<networkName/>",
         m(M::EMPTY_TAG, "networkName")},
        {"groupName missing", "<groupName>Home</groupName>", "",
         m(M::TAG_REQUIRED_WITHOUT_STOP, "groupName")},
        {"global credentials need a group name", "<globalNetworks>",
         "<globalCredentials><network/></globalCredentials><globalNetworks>",
         m(M::TAG_REQUIRED_WITHOUT_STOP, "groupName")},
        {"global credentials", "<globalNetworks>",
         "<globalCredentials><groupName>Any</groupName><network><networkName>Old</"
         "networkName><credentials><credential>01</credential></credentials></network></"
         "globalCredentials><globalNetworks>",
         "", "", "", "1 globalCredentials: Old(01)|2 global: Guest(99)|3 Office: Desk(0a0b)|3 Home: Den(cc)"},
    };
    for (const AdministratorFileMutation& row : rows) {
        SCOPED_TRACE(row.label);
        const std::string text = mutatedSample(INTERNAL_FILE, row);
        ASSERT_FALSE(text.empty());
        XmlCredentialsEntries entries;
        const std::string answer = refusalOf([&] { entries = readText(text); });
        if (!row.message.empty()) {
            EXPECT_EQ(answer, row.message);
            continue;
        }
        ASSERT_EQ(answer, "accepted");
        std::string summary;
        for (const std::string& group : summaryOf(entries)) summary += (summary.empty() ? "" : "|") + group;
        EXPECT_EQ(summary, row.value);
    }
}

}  // namespace
}  // namespace tamsel::test
