#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/support/AdministratorFileMutations.h"
#include "tests/vel/xml/XmlConfigurationTestSupport.h"
#include "vel/configuration/MetaConnection.h"
#include "vel/xml/UserAuthenticationSettings.h"
#include "vel/xml/UserFileReadBack.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/Xml_Configuration.h"
#include "vel/xml/Xml_DistributionPackage.h"
#include "vel/xmlconnectionapi/ConnApiLimitConstants.h"

namespace tamsel::test {
namespace {

using M = XmlMessages;

const char* const NETWORK_FIELDS[] = {"media", "global", "timeouts", "script",     "ssid",    "mode", "types",
                                      "8021x", "key",    "keyform",  "collection", "machine", "user"};

std::string written(const Configuration& configuration) {
    XmlDocument document;
    Xml_DistributionPackage::Write(document, Xml_DistributionPackage::recordOf(configuration),
                                   Xml_DistributionPackage::USER_CONFIGURATION);
    return str(document.dump());
}

Configuration readUserText(const std::string& text) {
    XmlDocument document;
    return Xml_DistributionPackage::readUserFile(parseRoot(document, text));
}

Configuration readSample() {
    XmlDocument document;
    return Xml_Configuration::readAdministratorFile(parseRoot(document, sampleText()));
}

std::vector<std::string> metaConnectionsOf(const Configuration& configuration) {
    std::vector<std::string> entries;
    for (const Reference& held : configuration.vpnManager().metaConnections().snapshot()) {
        MetaConnection entry = handleOf<MetaConnection>(held.m);
        entries.push_back(str(entry.groupName()) + "/" + str(entry.networkName()) + "/" +
                          str(entry.connectionEntry()) + "/" + std::to_string(entry.autoConnectVpn()));
    }
    return entries;
}

class UserFileTest : public ConfigurationFileTest {};

bool coherent(std::int32_t type, std::int32_t kind) {
    switch (type) {
        case 13:
            return kind == 2;
        case 6:
            return kind == 1 || kind == 3;
        case 25:
        case 43:
            return true;
        default:
            return kind == 1;
    }
}

std::vector<std::string> descriptionsOf(const Network& network) {
    std::vector<std::string> fields;
    for (const char* field : NETWORK_FIELDS)
        fields.push_back(std::string(field) + " " + describeNetwork(network, field));
    return fields;
}

Configuration roundTrip(const Configuration& configuration) {
    Configuration read;
    EXPECT_EQ(refusalOf([&] { read = readUserText(written(configuration)); }), "accepted");
    return read;
}

TEST_F(UserFileTest, TheSampleAsUserNetworksReadsBackEqualButForTheFurtherSettings) {
    Configuration original = readSample();
    // Networks made through the connection API, every type with every kind of credential.
    NetworkGroup made = NetworkGroup::create("Made");
    for (std::int32_t type : {4, 6, 13, 17, 21, 25, 26, 43}) {
        for (std::int32_t kind : {1, 2, 3}) {
            Network network =
                Network::create(Ascii(("made " + std::to_string(type) + "/" + std::to_string(kind)).c_str()));
            network.setMediaType(AdapterConstants::MEDIA_TYPE_8023);
            network.setFlagB(true);
            network.setConnectionTypes(2);
            network.setConnectionTimeout(40);
            createUserAuthenticationSettings(type, kind, network);
            made.addNetwork(network);
        }
    }
    original.addGroup(made);
    // Patterns that need escaping, and further settings that no element carries.
    findNetwork(original, "Lab PEAP GTC")
        .getAuthenticationParameters(2)
        .setUnprotectedIdentityPattern("a<\"&>'b");
    for (const Reference& held : original.allNetworks().snapshot()) {
        Network network = handleOf<Network>(held.m);
        network.setFurtherFlag1(true);
        network.setFurtherNumber1(7);
        network.setFurtherFlag2(false);
        network.setFurtherNumber2(9);
    }
    ElementVector entries = ElementVector::create();
    MetaConnection office = MetaConnection::create("Office", "Corp TLS", "office vpn", true);
    MetaConnection guest = MetaConnection::create("", "Global Guest", "guest vpn", false);
    entries.add(office.m);
    entries.add(guest.m);
    original.vpnManager().setMetaConnections(entries);

    // The sample's own networks are read back as they are written: saving them is never refused.
    {
        Configuration sample = readSample();
        const XmlUserFileRecord record = Xml_DistributionPackage::recordOf(sample);
        XmlDocument document;
        Xml_DistributionPackage::Write(document, record, Xml_DistributionPackage::USER_CONFIGURATION);
        EXPECT_EQ(UserFileReadBack::difference(record, document.dump()), "");
        sample.impl()->clearReferences();
    }
    const std::string text = written(original);
    // Secrets leave only as stored texts, enciphered.
    for (const char* secret : {"correct horse", "lab-pass", "user-pass", "0a1b2c3d4e", "sunflower"}) {
        EXPECT_EQ(text.find(secret), std::string::npos) << secret;
    }
    Configuration read = roundTrip(original);
    ASSERT_FALSE(read.isNull());
    EXPECT_EQ(str(read.name()), "xml config");
    EXPECT_EQ(describeConfiguration(read, "versions"), "5.1.1");
    EXPECT_EQ(metaConnectionsOf(read),
              (std::vector<std::string>{"Office/Corp TLS/office vpn/1", "/Global Guest/guest vpn/0"}));
    // A network the file cannot say as it is (a certificate for EAP-MD5, EAP-TLS inside EAP-TTLS) is
    // saved as the file can say it, and stays so.
    Configuration again = roundTrip(read);
    std::vector<Reference> before = original.allNetworks().snapshot();
    std::vector<Reference> after = read.allNetworks().snapshot();
    std::vector<Reference> afterAgain = again.allNetworks().snapshot();
    ASSERT_EQ(after.size(), before.size());
    ASSERT_EQ(afterAgain.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        Network was = handleOf<Network>(before[i].m);
        Network is = handleOf<Network>(after[i].m);
        SCOPED_TRACE(str(was.name()));
        EXPECT_EQ(str(is.name()), str(was.name()));
        const std::string name = str(was.name());
        int type = 0, kind = 0;
        if (std::sscanf(name.c_str(), "made %d/%d", &type, &kind) != 2) {
            EXPECT_EQ(descriptionsOf(is), descriptionsOf(was));
        } else if (coherent(type, kind)) {
            // What a method's element does not carry (a protected pattern or fast reconnect for a
            // method without a tunnel) is not kept; the method, its inner methods and its source are.
            const auto method = [](const Network& network) {
                const std::string user = describeNetwork(network, "user");
                return user.substr(0, user.find(" identity="));
            };
            EXPECT_EQ(method(is), method(was));
            EXPECT_EQ(describeNetwork(is, "collection"), describeNetwork(was, "collection"));
        }
        EXPECT_EQ(descriptionsOf(handleOf<Network>(afterAgain[i].m)), descriptionsOf(is));
        EXPECT_EQ(describeNetwork(is, "further"), "0/30/1/0");
        EXPECT_EQ(is.getOrigin(), NetworkImpl::ORIGIN_USER);
    }
    EXPECT_EQ(describeNetwork(findNetwork(read, "Lab PEAP GTC"), "user"),
              "eapPeap[eapGtc] credential=1 source=1 identity=a<\"&>'b|[username] secret=lab-pass fast=0/0");
    EXPECT_EQ(describeNetwork(findNetwork(read, "made 21/2"), "user"),
              "eapTtls[eapMschapv2] credential=1 source=2 identity=[username]|[username] fast=1/0");
    original.impl()->clearReferences();
    read.impl()->clearReferences();
    again.impl()->clearReferences();
}

TEST_F(UserFileTest, WrittenSecretsAreStoredTextsWithTheFlagAndPatternsEscapedWithout) {
    Configuration original = readSample();
    const std::string text = written(original);
    XmlDocument document;
    SharedXmlNode root = parseRoot(document, text);
    EXPECT_STREQ(root.name(), "UserConfiguration");
    for (const char* attribute : {"major_version", "minor_version", "development_version"}) {
        EXPECT_FALSE(root.attribute(attribute).isNull()) << attribute;
    }
    // The first WPA key and the first identity pattern in document order.
    const auto findNamed = [](SharedXmlNode node, const char* name, auto& self) -> SharedXmlNode {
        for (SharedXmlNode child = node.firstChild(); child.isNonNull(); child = child.nextSibling()) {
            if (child.hasName(name)) return child;
            SharedXmlNode found = self(child, name, self);
            if (found.isNonNull()) return found;
        }
        return SharedXmlNode();
    };
    SharedXmlNode key = findNamed(findNamed(root, "sharedKeyNetwork", findNamed), "hex", findNamed);
    ASSERT_TRUE(key.isNonNull());
    EXPECT_STREQ(key.attribute("persistentHandle").text(), "true");
    EXPECT_TRUE(key.findChild("EncryptedData").isNonNull());
    SharedXmlNode password = findNamed(root, "passwordFromProfile", findNamed);
    ASSERT_TRUE(password.isNonNull());
    EXPECT_STREQ(password.attribute("persistentHandle").text(), "true");
    SharedXmlNode pattern = findNamed(root, "unprotectedIdentityPattern", findNamed);
    ASSERT_TRUE(pattern.isNonNull());
    EXPECT_TRUE(pattern.attribute("persistentHandle").isNull());
    EXPECT_EQ(str(vel::xmlDecryptContent(pattern).bytes), "[domain]\\[username]");
    original.impl()->clearReferences();
}

// A user file to change, with one group of one network and one meta connection.
const char* const USER_FILE =
    R"(<UserConfiguration major_version="5" minor_version="1" development_version="1">
<networks>
<group><groupName>Mine</groupName><allowUserToSeeScanlist>true</allowUserToSeeScanlist>
<wiredNetwork><displayName>Desk</displayName><connectionTimeout>40</connectionTimeout><openNetwork><userConnection/></openNetwork></wiredNetwork>
</group>
</networks>
<metaConnections>
<metaConnection><network><groupName>Mine</groupName><displayName>Desk</displayName></network><vpnConnectionEntry>desk vpn</vpnConnectionEntry><autoConnectVpn>true</autoConnectVpn></metaConnection>
</metaConnections>
</UserConfiguration>
)";

// A user file as its configuration: name, versions, group:network pairs and meta connections.
std::string summaryOf(const Configuration& configuration) {
    std::string summary = str(configuration.name()) + " " + describeConfiguration(configuration, "versions");
    for (const Reference& held : configuration.groups().snapshot()) {
        NetworkGroup group = handleOf<NetworkGroup>(held.m);
        for (const Reference& network : group.networkVector().snapshot()) {
            summary += " " + str(group.name()) + ":" + str(handleOf<Network>(network.m).name());
        }
    }
    for (const std::string& entry : metaConnectionsOf(configuration)) summary += " " + entry;
    return summary;
}

TEST_F(UserFileTest, UserFilesAreReadAsTheyAreWritten) {
    const auto m = [](const char* format, auto... names) { return xmlMessage(format, names...); };
    // Changes of the file above; an accepted one is summed up in the row's value.
    const AdministratorFileMutation rows[] = {
        {"as written", "<UserConfiguration", "<UserConfiguration", "", "", "",
         "xml config 5.1.1 Mine:Desk Mine/Desk/desk vpn/1"},
        {"any versions", "major_version=\"5\" minor_version=\"1\" development_version=\"1\"",
         "major_version=\"9\" minor_version=\"0x10\" development_version=\"4294967301\"", "", "", "",
         "xml config 9.16.2147483647 Mine:Desk Mine/Desk/desk vpn/1"},
        {"without major_version", "major_version=\"5\" ", "", m(M::ATTRIBUTE_REQUIRED, "major_version")},
        {"without minor_version", "minor_version=\"1\" ", "", m(M::ATTRIBUTE_REQUIRED, "minor_version")},
        {"without development_version", " development_version=\"1\"", "",
         m(M::TAG_REQUIRED, "development_version")},
        {"without networks", "<networks>", "<ignored>", "", "", "", "xml config 5.1.1 Mine/Desk/desk vpn/1",
         "</networks>", "</ignored>"},
        {"networks without a group", "<group>", "<team>", m(M::TAG_REQUIRED, "group"), "", "", "", "</group>",
         "</team>"},
        {"without metaConnections", "<metaConnections>", "<ignored>", "", "", "",
         "xml config 5.1.1 Mine:Desk", "</metaConnections>", "</ignored>"},
        {"meta", "<metaConnection>", "<meta/><metaConnection>", m(M::TAG_IS_INVALID, "meta")},
        {"metaConnection without network",
         "<network><groupName>Mine</groupName><displayName>Desk</displayName></network>", "",
         m(M::TAG_REQUIRED, "network")},
        {"network of no group", "<groupName>Mine</groupName><displayName>Desk</displayName></network>",
         "<displayName>Desk</displayName></network>",
         m(M::TWO_TAGS_ONE_REQUIRED, "groupName", "globalNetwork")},
        {"network of the global group",
         "<groupName>Mine</groupName><displayName>Desk</displayName></network>",
         "<globalNetwork/><displayName>Desk</displayName></network>", "", "", "",
         "xml config 5.1.1 Mine:Desk /Desk/desk vpn/1"},
        {"network of an empty group name",
         "<groupName>Mine</groupName><displayName>Desk</displayName></network>",
         "<groupName/><displayName>Desk</displayName></network>", m(M::EMPTY_TAG, "groupName")},
        {"network without displayName", "<displayName>Desk</displayName></network>", "</network>",
         m(M::TAG_REQUIRED_WITHOUT_STOP, "displayName")},
        {"vpnConnectionEntry missing", "<vpnConnectionEntry>desk vpn</vpnConnectionEntry>", "",
         m(M::TAG_REQUIRED_WITHOUT_STOP, "vpnConnectionEntry")},
        {"vpnConnectionEntry empty", "<vpnConnectionEntry>desk vpn</vpnConnectionEntry>",
         "<vpnConnectionEntry/>", m(M::EMPTY_TAG, "vpnConnectionEntry")},
        {"autoConnectVpn missing", "<autoConnectVpn>true</autoConnectVpn>", "",
         m(M::TAG_REQUIRED, "autoConnectVpn")},
        {"autoConnectVpn not a boolean", ">true</autoConnectVpn>", ">sometimes</autoConnectVpn>",
         "TextToBool: Unknown boolean value."},
    };
    for (const AdministratorFileMutation& row : rows) {
        SCOPED_TRACE(row.label);
        const std::string text = mutatedSample(USER_FILE, row);
        ASSERT_FALSE(text.empty());
        Configuration configuration;
        const std::string answer = refusalOf([&] { configuration = readUserText(text); });
        if (!row.message.empty()) {
            EXPECT_EQ(answer, row.message);
            continue;
        }
        ASSERT_EQ(answer, "accepted");
        EXPECT_EQ(summaryOf(configuration), row.value);
        configuration.impl()->clearReferences();
    }
}

TEST_F(UserFileTest, NamesAndTextsLongerThanAClientMaySendRefuseTheFile) {
    using L = ConnApiLimitConstants;
    const struct {
        const char* element;
        // The text in the sample, or its place for a text the sample does not hold.
        std::string from;
        std::string before;
        std::string after;
        int limit;
    } rows[] = {
        {"groupName", "Mine", "<groupName>", "</groupName>", L::MAX_GROUP_NAME_LENGTH},
        {"displayName", "Desk", "<displayName>", "</displayName>", L::MAX_NETWORK_NAME_LENGTH},
        {"runScriptAfterConnection", "</connectionTimeout>", "</connectionTimeout><runScriptAfterConnection>",
         "</runScriptAfterConnection>", L::MAX_SCRIPT_LENGTH},
        {"vpnConnectionEntry", "desk vpn", "<vpnConnectionEntry>", "</vpnConnectionEntry>",
         L::MAX_CONNECTION_ENTRY_LENGTH},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.element);
        const bool inserted = row.from.front() == '<';
        for (int length : {row.limit, row.limit + 1}) {
            const std::string text = std::string(static_cast<size_t>(length), 'n');
            const std::string file =
                inserted ? replacedEverywhere(USER_FILE, row.from, row.before + text + row.after)
                         : replacedEverywhere(USER_FILE, row.before + row.from + row.after,
                                              row.before + text + row.after);
            ASSERT_FALSE(file.empty());
            Configuration configuration;
            const std::string answer = refusalOf([&] { configuration = readUserText(file); });
            if (length > row.limit) {
                EXPECT_EQ(answer, xmlMessage("Invalid \"%s\" length.", row.element));
                continue;
            }
            EXPECT_EQ(answer, "accepted");
            if (answer == "accepted") {
                // Kept whole: written back as it was read.
                EXPECT_NE(written(configuration).find(">" + text + "<"), std::string::npos);
                configuration.impl()->clearReferences();
            }
        }
    }
}

TEST_F(UserFileTest, ARootOfAnotherNameIsReadAsNetworks) {
    const std::string groups =
        "<group><groupName>Mine</groupName><allowUserToSeeScanlist>true</allowUserToSeeScanlist>"
        "<wiredNetwork><displayName>Desk</displayName><connectionTimeout>40</connectionTimeout>"
        "<openNetwork><userConnection/></openNetwork></wiredNetwork></group>"
        "<metaConnections><metaConnection/></metaConnections>";
    Configuration configuration = readUserText("<networks major_version=\"5\">" + groups + "</networks>");
    EXPECT_EQ(summaryOf(configuration), "UserConfiguration 1.0.0 Mine:Desk");
    EXPECT_EQ(describe(configuration, "Desk", "origin"), "1");
    configuration.impl()->clearReferences();
    EXPECT_EQ(refusalOf([&] { readUserText("<networks><globalNetworks/></networks>"); }),
              xmlMessage(M::TAG_REQUIRED, "group"));
}

TEST_F(UserFileTest, AnEmptyConfigurationIsWrittenWithoutItsOptionalElements) {
    Configuration empty = Configuration::create("UserConfiguration");
    const std::string text = written(empty);
    EXPECT_EQ(text.find(XmlElements::NETWORKS), std::string::npos);
    EXPECT_EQ(text.find(XmlElements::META_CONNECTIONS), std::string::npos);
    Configuration read = readUserText(text);
    EXPECT_EQ(read.groups().length(), 0);
    EXPECT_EQ(describeConfiguration(read, "versions"), "5.1.1");
}

// A user's wireless network as the connection API makes it: the pair, a pass phrase when given, and
// an EAP method when given.
Network userWireless(const char* name, std::int32_t association, std::int32_t encryption, const char* key,
                     std::int32_t eapMethod) {
    Network network = Network::create(name);
    network.setMediaType(AdapterConstants::MEDIA_TYPE_80211);
    network.setConnectionTypes(2);
    network.setConnectionTimeout(40);
    network.setAssociationTimeout(3);
    network.setSsid(ByteArray("air"));
    network.setAssociationMode(association);
    network.setEncryption(encryption);
    if (key != nullptr)
        network.getAuthenticationParameters(2).setStaticKeyText(ByteArray(key), 2, false, ByteArray("air"));
    if (eapMethod != 0) {
        network.setFlagB(true);
        if (eapMethod > 0) createUserAuthenticationSettings(eapMethod, 1, network);
    }
    return network;
}

Configuration holding(const Network& network, const char* groupName = "Den") {
    Configuration configuration = Configuration::create("UserConfiguration");
    NetworkGroup group = NetworkGroup::create(groupName);
    group.addNetwork(network);
    configuration.addGroup(group);
    return configuration;
}

// A network whose elements would read back as another one, or not at all, is not written.
TEST_F(UserFileTest, TheWriterRefusesANetworkItWouldGiveBackOtherwise) {
    struct Row {
        const char* name;
        Network network;
        std::string refusal;
    };
    const Row rows[] = {
        {"open without encryption, with an EAP method", userWireless("a", 1, 1, nullptr, 25),
         xmlMessage(M::NO_FORM_FOR_PAIR, "associationMode", 1, 1)},
        {"personal without a key", userWireless("b", 7, 4, nullptr, 0),
         xmlMessage(M::NO_KEY_TO_WRITE, "sharedKeyNetwork")},
        {"enterprise without 802.1X", userWireless("c", 8, 4, "sunflower seeds", 0),
         xmlMessage(M::NO_FORM_FOR_PAIR, "sharedKeyNetwork", 8, 4)},
        {"a method of wired networks on the air", userWireless("d", 8, 4, nullptr, 4),
         xmlMessage(M::NO_FORM_FOR_METHOD, "userAuthentication", 4)},
        {"802.1X without a method", userWireless("e", 8, 4, nullptr, -1),
         xmlMessage(M::NO_FORM_FOR_METHOD, "userAuthentication", 0)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Configuration configuration = holding(row.network);
        EXPECT_EQ(refusalOf([&] { written(configuration); }), row.refusal);
        configuration.impl()->clearReferences();
    }
}

// The check before a save: the text read back with the user file's reader gives the groups,
// networks and VPN entries written, or the difference is named.
TEST_F(UserFileTest, AReadBackNamesWhatDiffersFromWhatWasWritten) {
    // Every configuration holds the same key as the same stored text, as one read from a file does:
    // a plain key is stored anew, as another text, each time it is written.
    Configuration keyHolder = holding(userWireless("Key", 7, 4, "sunflower seeds", 0));
    const ByteArray storedKey =
        Xml_DistributionPackage::recordOf(keyHolder).groups[0].impl()->m_networks[0].impl()->m_key.key;
    keyHolder.impl()->clearReferences();
    const auto make = [&](const std::function<void(const Network&, Configuration&)>& change) {
        Network home = userWireless("Home", 7, 4, nullptr, 0);
        home.getAuthenticationParameters(2).setStaticKeyText(storedKey, 2, true, ByteArray("air"));
        home.setScript("home.cmd");
        Configuration configuration = holding(home);
        ElementVector entries = ElementVector::create();
        entries.add(MetaConnection::create("Den", "Home", "office vpn", true).m);
        configuration.vpnManager().setMetaConnections(entries);
        change(home, configuration);
        return configuration;
    };
    Configuration original = make([](const Network&, Configuration&) {});
    const XmlUserFileRecord record = Xml_DistributionPackage::recordOf(original);
    XmlDocument document;
    Xml_DistributionPackage::Write(document, record, Xml_DistributionPackage::USER_CONFIGURATION);
    const ByteArray text = document.dump();
    EXPECT_EQ(UserFileReadBack::difference(record, text), "");

    struct Row {
        const char* name;
        std::function<void(const Network&, Configuration&)> change;
        std::string difference;
    };
    const std::string ofHome = " of network \"Home\" in group \"Den\" differs";
    const Row rows[] = {
        {"SSID", [](const Network& n, Configuration&) { n.setSsid(ByteArray("else")); }, "the SSID" + ofHome},
        {"pair", [](const Network& n, Configuration&) { n.setAssociationMode(5); },
         "the association mode" + ofHome},
        {"script", [](const Network& n, Configuration&) { n.setScript(""); }, "the script" + ofHome},
        {"key",
         [](const Network& n, Configuration&) {
             n.getAuthenticationParameters(2).setStaticKeyText(ByteArray("other phrase"), 2, false,
                                                               ByteArray("air"));
         },
         "the key" + ofHome},
        {"802.1X",
         [](const Network& n, Configuration&) {
             createUserAuthenticationSettings(25, 1, n), n.setFlagB(true);
         },
         "the 802.1X" + ofHome},
        {"name", [](const Network& n, Configuration&) { n.impl()->m_name = "Away"; },
         "the networks of group \"Den\" differs"},
        {"global",
         [](const Network&, Configuration& c) {
             handleOf<NetworkGroup>(c.groups().snapshot()[0].m).setGlobal(true);
         },
         "the global networks differs"},
        {"VPN entry",
         [](const Network&, Configuration& c) {
             ElementVector entries = ElementVector::create();
             entries.add(MetaConnection::create("Den", "Home", "office vpn", false).m);
             c.vpnManager().setMetaConnections(entries);
         },
         "the VPN entry of network \"Home\" differs"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Configuration changed = make(row.change);
        EXPECT_EQ(UserFileReadBack::difference(Xml_DistributionPackage::recordOf(changed), text),
                  "read back, " + row.difference);
        changed.impl()->clearReferences();
    }
    EXPECT_EQ(UserFileReadBack::difference(record, ByteArray("<UserConfiguration/>")),
              "read back: " + xmlMessage(M::ATTRIBUTE_REQUIRED, "major_version"));
    original.impl()->clearReferences();
}

}  // namespace
}  // namespace tamsel::test
