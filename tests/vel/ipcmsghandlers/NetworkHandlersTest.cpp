// The group and network requests act on the active configuration and its user file: groups are
// listed, chosen, added and removed; networks added, changed, moved and removed as the tray
// program's editor and groups dialog ask.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/ipcmsghandlers/HandlerTestSupport.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/configuration/AuthenticationMethod.h"
#include "vel/configuration/MetaConnection.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/network/Association.h"
#include "vel/xml/UserAuthenticationSettings.h"

using namespace tamsel::test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr std::int32_t USER = AdapterConstants::CONNECTION_USER;

std::string addRequest(const std::string& group, const std::string& name, const std::string& more,
                       const std::string& media = "wifi") {
    return tag("groupName", group) + tag("networkName", name) + tag("networkMedia", media) + more;
}

std::string changeRequest(const std::string& group, const std::string& name, const std::string& more) {
    return tag("groupName", group) + tag("networkName", name) + more;
}

std::string vpn(const std::string& entry, bool automatic) {
    return "<tamsel:vpnParameters>" + tag("connectionEntry", entry) +
           tag("autoConnectVpn", automatic ? "true" : "false") + "</tamsel:vpnParameters>";
}

class NetworkHandlersTest : public HandlerTest {
protected:
    // "group/network/entry/auto" of every VPN entry.
    std::vector<std::string> vpnEntries() {
        std::vector<std::string> entries;
        for (const Reference& held : configuration.vpnManager().metaConnections().snapshot()) {
            MetaConnection entry = handleOf<MetaConnection>(held.m);
            entries.push_back(std::string(entry.groupName().text()) + "/" + entry.networkName().text() + "/" +
                              entry.connectionEntry().text() + "/" + (entry.autoConnectVpn() ? "1" : "0"));
        }
        return entries;
    }

    // The entry of the network in the group's list, as "child=text" lines of the children the
    // test looks at.
    std::vector<std::string> listed(const std::string& groupName, const std::string& networkName) {
        SentMessage reply = ask("getNetworksInGroupRequest", tag("groupName", groupName));
        std::vector<std::string> lines;
        SharedXmlNode list = reply.element().findChild("networkList");
        for (SharedXmlNode n = list.firstChild(); n.isNonNull(); n = n.nextSibling()) {
            if (!n.isElement() || std::string(n.findChild("networkName").content()) != networkName) continue;
            for (SharedXmlNode c = n.firstChild(); c.isNonNull(); c = c.nextSibling()) {
                if (!c.isElement()) continue;
                if (c.findChild("connectionEntry").isNonNull()) {
                    lines.push_back(std::string("vpn=") + c.findChild("connectionEntry").content() + "/" +
                                    c.findChild("autoConnectVpn").content());
                } else {
                    const char* text = c.content();
                    lines.push_back(std::string(c.name()) + "=" + (text != nullptr ? text : ""));
                }
            }
        }
        return lines;
    }

    // A network the user added to a group, made as the add handler makes it.
    Network userNetwork(const NetworkGroup& into, const char* name) {
        Network network = Network::create(name);
        network.setOrigin(NetworkImpl::ORIGIN_USER);
        network.setConnectionTypes(NetworkImpl::CONNECTION_TYPES_USER);
        network.setMediaType(AdapterConstants::MEDIA_TYPE_80211);
        network.setGlobal(into.isGlobal());
        network.setAssociationMode(1);
        network.setEncryption(1);
        network.setSsid(ByteArray("made"));
        into.addNetwork(network);
        return network;
    }
};

TEST_F(NetworkHandlersTest, GroupsAreListedChosenAddedAndRemoved) {
    SentMessage groups = ask("getGroupsRequest");
    EXPECT_EQ(groups.name(), "getGroupsResponse");
    EXPECT_THAT(groups.text(), HasSubstr("<groupName>Office</groupName>\n<groupName>Home</groupName>\n"
                                         "<groupName>Lab</groupName>"));
    EXPECT_EQ(ask("getActiveGroupRequest").child("groupName"), "Office");

    EXPECT_EQ(ask("setActiveGroupRequest", tag("groupName", "Home")).child("groupName"), "Home");
    EXPECT_EQ(ask("getActiveGroupRequest").child("groupName"), "Home");
    EXPECT_THAT(networks->takeCalls(), ::testing::Contains("stop Wired MD5"));
    EXPECT_EQ(engine.userFileWrites, 0) << "the active group is not kept in the user file";

    struct Case {
        const char* request;
        const char* group;
        const char* outcome;
        int userWrites;
        int internalWrites;
    };
    const Case cases[] = {
        {"setActiveGroupRequest", "Nowhere", "3", 0, 0}, {"addGroupRequest", "Travel", "reply", 1, 0},
        {"addGroupRequest", "Travel", "3", 0, 0},        {"removeGroupRequest", "Home", "3", 0, 0},
        {"removeGroupRequest", "Nowhere", "3", 0, 0},    {"removeGroupRequest", "Lab", "reply", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.request) + " " + c.group);
        engine.userFileWrites = 0;
        engine.internalFileWrites = 0;
        EXPECT_EQ(outcome(c.request, tag("groupName", c.group)), c.outcome);
        EXPECT_EQ(engine.userFileWrites, c.userWrites);
        EXPECT_EQ(engine.internalFileWrites, c.internalWrites);
    }
    EXPECT_FALSE(group("Travel").isNull());
    EXPECT_TRUE(group("Lab").isNull());
    EXPECT_THAT(userFileText(), HasSubstr("Travel"));
}

TEST_F(NetworkHandlersTest, AddedNetworksAreCheckedStoredAndSaved) {
    // The policy allows every pair of the sample but WPA personal with TKIP.
    const std::int64_t tkip = TextToAssociationMode("wpaPersonalTkip");
    ElementVector allowed = configuration.networkPolicy().allowedAssociationModes();
    for (const Reference& held : allowed.snapshot()) {
        Association mode = Association::fromElement(held.m);
        if (mode.getAssociationMode() == (tkip & 0xffffffff) && mode.getEncryption() == (tkip >> 32))
            allowed.remove(held.m);
    }
    struct Case {
        const char* name;
        std::string request;
        const char* outcome;
        // The user key's type afterwards (1 hex, 2 ASCII, 0 none); -1 when no network stays.
        int keyType;
    };
    const Case cases[] = {
        {"wpa2 personal without key",
         addRequest("Office", "n1",
                    tag("ssid", "s") + tag("associationAndEncryptionMode", "wpa2PersonalAes")),
         "4", -1},
        {"wpa2 personal with key",
         addRequest("Office", "n2",
                    tag("ssid", "s") + tag("associationAndEncryptionMode", "wpa2PersonalAes") +
                        tag("wpaAsciiKey", "sunflower")),
         "reply", 2},
        {"enterprise without key",
         addRequest("Office", "n3",
                    tag("ssid", "s") + tag("associationAndEncryptionMode", "wpa2EnterpriseAes") +
                        tag("eapMethod", "eapPeap") + tag("credentialType", "password")),
         "reply", 0},
        {"open without encryption keeps no WEP key",
         addRequest("Office", "n4",
                    tag("ssid", "s") + tag("associationAndEncryptionMode", "openNoEncryption") +
                        tag("wepHex40Key", "0a0b0c0d0e")),
         "reply", 0},
        {"open with WEP takes the key",
         addRequest("Office", "n5",
                    tag("ssid", "s") + tag("associationAndEncryptionMode", "openStaticWep") +
                        tag("wepHex40Key", "0a0b0c0d0e")),
         "reply", 1},
        {"shared without key",
         addRequest("Office", "n6",
                    tag("ssid", "s") + tag("associationAndEncryptionMode", "sharedStaticWep")),
         "4", -1},
        {"wireless without SSID",
         addRequest("Office", "n7", tag("associationAndEncryptionMode", "openNoEncryption")), "4", -1},
        {"no association", addRequest("Office", "n8", tag("ssid", "s")), "4", -1},
        {"refused by the policy",
         addRequest("Office", "n9",
                    tag("ssid", "s") + tag("associationAndEncryptionMode", "wpaPersonalTkip") +
                        tag("wpaAsciiKey", "sunflower")),
         "2", -1},
        {"unknown group", addRequest("Nowhere", "n10", "", "wired"), "3", -1},
        {"name taken", addRequest("Office", "Wired MD5", "", "wired"), "4", -1},
        {"EAP method alone", addRequest("Office", "n11", tag("eapMethod", "eapPeap"), "wired"), "4", -1},
        {"wired with EAP",
         addRequest("Office", "n12", tag("eapMethod", "eapTls") + tag("credentialType", "certificate"),
                    "wired"),
         "reply", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int writes = engine.userFileWrites;
        SentMessage answer = ask("addNetworkRequest", c.request);
        EXPECT_EQ(answer.name() == "Fault" ? answer.detail("errorCode") : "reply", c.outcome);
        const std::string name = SentMessage(trayEnvelope(element("x", 1, c.request))).child("networkName");
        Network added = network(
            SentMessage(trayEnvelope(element("x", 1, c.request))).child("groupName").c_str(), name.c_str());
        if (c.keyType < 0) {
            EXPECT_TRUE(added.isNull() || added.getOrigin() == NetworkImpl::ORIGIN_ADMINISTRATOR);
            EXPECT_EQ(engine.userFileWrites, writes);
            continue;
        }
        ASSERT_FALSE(added.isNull());
        EXPECT_EQ(answer.child("networkName"), name);
        EXPECT_EQ(added.getOrigin(), NetworkImpl::ORIGIN_USER);
        EXPECT_EQ(added.getConnectionTypes(), NetworkImpl::CONNECTION_TYPES_USER);
        EXPECT_EQ(added.getAuthenticationParameters(USER).getStaticKeyType(), c.keyType);
        EXPECT_EQ(engine.userFileWrites, writes + 1);
        EXPECT_THAT(userFileText(), HasSubstr(name));
        EXPECT_THAT(networks->takeCalls(), ElementsAre("start " + name))
            << "the active group's new network starts";
    }
    EXPECT_EQ(network("Office", "n5").getAuthenticationParameters(USER).getStaticKeyValue(), 5);
}

TEST_F(NetworkHandlersTest, NetworkThatTheUserFileCannotHoldIsRemovedAgain) {
    userFileFails = true;
    EXPECT_EQ(outcome("addNetworkRequest", addRequest("Office", "Lost", vpn("Branch", true), "wired")), "8");
    EXPECT_TRUE(network("Office", "Lost").isNull());
    EXPECT_EQ(vpnEntries(), std::vector<std::string>{});
    EXPECT_THAT(networks->takeCalls(), ElementsAre("start Lost", "stop Lost"));
}

// Whatever a group or network request changed stays in force only when the user's file is saved:
// otherwise the next start would not have it. Each request answers fault 8 and leaves the groups,
// their networks in order, the networks' settings and the VPN entries as they were.
TEST_F(NetworkHandlersTest, AFailedSaveUndoesTheChangeOfEveryRequest) {
    ASSERT_EQ(outcome("addNetworkRequest",
                      addRequest("Lab", "Wep",
                                 tag("ssid", "w") + tag("associationAndEncryptionMode", "openStaticWep") +
                                     tag("wepAscii40Key", "abcde") + tag("runScriptSpec", "wep.cmd") +
                                     vpn("Branch", true))),
              "reply");
    ASSERT_EQ(outcome("addNetworkRequest",
                      addRequest("Lab", "Corp",
                                 tag("ssid", "c") + tag("associationAndEncryptionMode", "wpa2EnterpriseAes") +
                                     tag("eapMethod", "eapPeap") + tag("credentialType", "password"))),
              "reply");
    ASSERT_EQ(outcome("addGroupRequest", tag("groupName", "Spare")), "reply");
    // Every group with its networks in order, and what each network holds.
    auto state = [&] {
        std::vector<std::string> lines;
        for (const Reference& held : configuration.groups().snapshot()) {
            NetworkGroup g = handleOf<NetworkGroup>(held.m);
            lines.push_back(std::string("group ") + g.name().text());
            for (const Reference& element : g.networkVector().snapshot()) {
                Network n = handleOf<Network>(element.m);
                AuthenticationParameters user = n.getAuthenticationParameters(USER);
                std::string methods;
                ElementVector list = user.authenticationMethods();
                for (std::int32_t i = 0; i < list.length(); ++i)
                    methods += std::to_string(AuthenticationMethod::at(list, i).authenticationType()) + ",";
                lines.push_back(
                    std::string(n.name().text()) + " " + Ascii::fromByteArray(n.getSsid()).text() + " " +
                    std::to_string(n.getAssociationMode()) + "/" + std::to_string(n.getEncryption()) +
                    " 8021x=" + std::to_string(n.getFlagB()) + " methods=" + methods +
                    " key=" + user.getStaticKeyText().text() + " script=" + n.getScript().text() +
                    " global=" + std::to_string(n.isGlobal()));
            }
        }
        for (const std::string& entry : vpnEntries()) lines.push_back("vpn " + entry);
        return lines;
    };
    const std::vector<std::string> before = state();
    const std::string savedFile = userFileText();
    userFileFails = true;
    const std::pair<const char*, std::string> requests[] = {
        {"addGroupRequest", tag("groupName", "Travel")},
        {"removeGroupRequest", tag("groupName", "Spare")},
        {"removeGroupRequest", tag("groupName", "Lab")},
        {"removeNetworkRequest", tag("groupName", "Lab") + tag("networkName", "Wep")},
        {"addNetworkRequest", addRequest("Lab", "New", vpn("Branch", false), "wired")},
        {"changeNetworkRequest", changeRequest("Lab", "Wep", tag("newNetworkName", "Renamed"))},
        {"changeNetworkRequest", changeRequest("Lab", "Wep", tag("priority", "decrement"))},
        {"changeNetworkRequest",
         changeRequest("Lab", "Wep",
                       tag("newGroupName", "Home") + tag("priority", "top") + vpn("Other", false))},
        {"changeNetworkRequest",
         changeRequest("Lab", "Wep",
                       tag("ssid", "x") + tag("associationAndEncryptionMode", "wpa2PersonalAes") +
                           tag("wpaAsciiKey", "sunflower seeds") + tag("runScriptSpec", "new.cmd"))},
        {"changeNetworkRequest",
         changeRequest("Lab", "Corp", tag("eapMethod", "eapTls") + tag("credentialType", "certificate"))},
        {"changeNetworkRequest", changeRequest("Lab", "Corp",
                                               tag("associationAndEncryptionMode", "wpa2PersonalAes") +
                                                   tag("wpaAsciiKey", "sunflower seeds"))},
    };
    for (const auto& [request, children] : requests) {
        SCOPED_TRACE(std::string(request) + " " + children);
        EXPECT_EQ(outcome(request, children), "8");
        EXPECT_EQ(state(), before);
    }
    EXPECT_EQ(userFileText(), savedFile);
}

TEST_F(NetworkHandlersTest, DynamicWepIsListedUnderTheTextTheServiceWrites) {
    EXPECT_EQ(
        outcome("addNetworkRequest",
                addRequest("Lab", "Dynamic",
                           tag("ssid", "dyn") + tag("associationAndEncryptionMode", "open1xDynamicWep") +
                               tag("eapMethod", "eapPeap") + tag("credentialType", "password"))),
        "reply");
    EXPECT_THAT(listed("Lab", "Dynamic"),
                ElementsAre("networkName=Dynamic", "networkCreator=user", "networkMedia=wifi",
                            "isGlobal=false", "ssid=dyn", "associationAndEncryptionMode=openStaticWep",
                            "eapMethod=eapPeap", "credentialType=password", "runScriptSpec="));
}

TEST_F(NetworkHandlersTest, AdministratorNetworkTakesOnlyItsVpnEntry) {
    const std::vector<std::pair<const char*, std::string>> fields = {
        {"new group", tag("newGroupName", "Lab")},
        {"new name", tag("newNetworkName", "Other")},
        {"priority", tag("priority", "decrement")},
        {"media", tag("networkMedia", "wired")},
        {"ssid", tag("ssid", "x")},
        {"pair", tag("associationAndEncryptionMode", "openNoEncryption")},
        {"key", tag("wpaAsciiKey", "sunflower")},
    };
    for (const auto& [name, child] : fields) {
        SCOPED_TRACE(name);
        EXPECT_EQ(outcome("changeNetworkRequest", changeRequest("Office", "Wired GTC", child)), "2");
    }
    EXPECT_THAT(namesIn("Office")[2], "Wired GTC");
    EXPECT_EQ(engine.userFileWrites, 0);

    SentMessage reply =
        ask("changeNetworkRequest",
            changeRequest("Office", "Wired GTC", vpn("Branch", true) + tag("runScriptSpec", "x.cmd")));
    EXPECT_EQ(reply.child("networkName"), "Wired GTC");
    EXPECT_FALSE(reply.has("newGroupName"));
    EXPECT_EQ(vpnEntries(), std::vector<std::string>{"Office/Wired GTC/Branch/1"});
    EXPECT_EQ(network("Office", "Wired GTC").getScript().length(), 0) << "an administrator's script stays";
    EXPECT_EQ(engine.userFileWrites, 1);
}

TEST_F(NetworkHandlersTest, UserNetworkIsRenamedMovedAndKeepsItsScriptUnlessGivenOne) {
    Network mine = userNetwork(group("Home"), "Mine");
    mine.setScript("keep.cmd");
    userNetwork(group("Home"), "Taken");
    struct Case {
        const char* name;
        std::string request;
        const char* outcome;
        const char* group;
        std::vector<std::string> order;
        const char* script;
    };
    const std::vector<std::string> admins = {"Home WEP40",    "Home WEP128",          "Home WPA",
                                             "Home WPA2 Hex", "Home WPA2 Enciphered", "Cafe"};
    auto homeWith = [&](std::vector<std::string> tail) {
        std::vector<std::string> all = admins;
        all.insert(all.end(), tail.begin(), tail.end());
        return all;
    };
    const Case cases[] = {
        {"rename to a taken name", changeRequest("Home", "Mine", tag("newNetworkName", "Taken")), "4", "Home",
         homeWith({"Mine", "Taken"}), "keep.cmd"},
        {"top inside the group", changeRequest("Home", "Mine", tag("priority", "top")), "4", "Home",
         homeWith({"Mine", "Taken"}), "keep.cmd"},
        {"one place down", changeRequest("Home", "Mine", tag("priority", "increment")), "reply", "Home",
         homeWith({"Taken", "Mine"}), "keep.cmd"},
        {"empty script clears", changeRequest("Home", "Mine", tag("runScriptSpec", "")), "reply", "Home",
         homeWith({"Taken", "Mine"}), ""},
        {"script given", changeRequest("Home", "Mine", tag("runScriptSpec", "new.cmd")), "reply", "Home",
         homeWith({"Taken", "Mine"}), "new.cmd"},
        {"decrement into another group",
         changeRequest("Home", "Mine", tag("newGroupName", "Lab") + tag("priority", "decrement")), "4",
         "Home", homeWith({"Taken", "Mine"}), "new.cmd"},
        {"moved without priority goes to the end",
         changeRequest("Home", "Mine", tag("newGroupName", "Lab")),
         "reply",
         "Lab",
         {"Lab Wired", "Lab PEAP GTC", "Lab TTLS MSCHAP", "Mine"},
         "new.cmd"},
        {"moved to the top goes before the user's networks",
         changeRequest("Lab", "Mine",
                       tag("newGroupName", "Home") + tag("newNetworkName", "Moved") + tag("priority", "top")),
         "reply", "Home", homeWith({"Moved", "Taken"}), "new.cmd"},
        {"media cannot change", changeRequest("Home", "Moved", tag("networkMedia", "wired")), "4", "Home",
         homeWith({"Moved", "Taken"}), "new.cmd"},
        {"unknown network", changeRequest("Home", "Nothing", tag("runScriptSpec", "")), "4", "Home",
         homeWith({"Moved", "Taken"}), "new.cmd"},
        {"unknown group", changeRequest("Nowhere", "Moved", ""), "3", "Home", homeWith({"Moved", "Taken"}),
         "new.cmd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(outcome("changeNetworkRequest", c.request), c.outcome);
        EXPECT_EQ(namesIn(c.group), c.order);
        EXPECT_EQ(std::string(mine.getScript().text()), c.script);
    }
    EXPECT_EQ(std::string(mine.name().text()), "Moved");
    EXPECT_THAT(userFileText(), HasSubstr("Moved"));
}

TEST_F(NetworkHandlersTest, ChangedPairAndKeyAreCheckedAsAddingChecksThem) {
    ASSERT_EQ(outcome("addNetworkRequest",
                      addRequest("Lab", "Wep",
                                 tag("ssid", "w") + tag("associationAndEncryptionMode", "openStaticWep") +
                                     tag("wepAscii40Key", "abcde"))),
              "reply");
    Network wep = network("Lab", "Wep");
    AuthenticationParameters user = wep.getAuthenticationParameters(USER);
    ASSERT_EQ(user.getStaticKeyValue(), 5);
    networks->takeCalls();

    EXPECT_EQ(
        outcome("changeNetworkRequest", changeRequest("Lab", "Wep", tag("wepAscii128Key", "thirteen-char"))),
        "reply");
    EXPECT_EQ(user.getStaticKeyValue(), 13) << "the key's length comes from its child";
    EXPECT_EQ(std::string(user.getStaticKeyText().text()), "thirteen-char");
    EXPECT_THAT(networks->takeCalls(), ElementsAre("accessChanged Wep"));

    // A held key serves a shared pair; a personal pair on a network without key is refused and
    // leaves the network as it was.
    EXPECT_EQ(outcome("changeNetworkRequest",
                      changeRequest("Lab", "Wep", tag("associationAndEncryptionMode", "sharedStaticWep"))),
              "reply");
    EXPECT_EQ(wep.getAssociationMode(), 2);
    EXPECT_EQ(outcome("changeNetworkRequest",
                      changeRequest("Lab", "Wep", tag("associationAndEncryptionMode", "openNoEncryption"))),
              "reply");
    EXPECT_EQ(wep.getAssociationMode(), 1);
    EXPECT_EQ(wep.getEncryption(), 1);

    Network open = userNetwork(group("Lab"), "Open");
    EXPECT_EQ(
        outcome("changeNetworkRequest", changeRequest("Lab", "Open",
                                                      tag("associationAndEncryptionMode", "wpa2PersonalAes") +
                                                          tag("newNetworkName", "Closed"))),
        "4");
    EXPECT_EQ(std::string(open.name().text()), "Open");
    EXPECT_EQ(open.getAssociationMode(), 1);
}

TEST_F(NetworkHandlersTest, VpnEntryFollowsTheNetworkAndGlobalNetworksKeepTheirsUnderNoGroup) {
    NetworkGroupProxy global = configuration.globalGroup();
    ASSERT_TRUE(global.exists());
    Network roaming = userNetwork(global.networkGroup(), "Roaming");
    userNetwork(group("Home"), "Mine");
    ASSERT_EQ(outcome("changeNetworkRequest", changeRequest("Home", "Mine", vpn("Branch", false))), "reply");
    ASSERT_EQ(
        outcome("changeNetworkRequest", changeRequest("Home", "Mine", tag("newNetworkName", "Renamed"))),
        "reply");
    EXPECT_EQ(vpnEntries(), std::vector<std::string>{"Home/Renamed/Branch/0"});
    EXPECT_THAT(listed("Home", "Renamed"), ::testing::Contains("vpn=Branch/false"));

    // A global network through any group.
    SentMessage reply =
        ask("changeNetworkRequest",
            changeRequest("Lab", "Roaming", vpn("Anywhere", true) + tag("runScriptSpec", "r.cmd")));
    EXPECT_EQ(reply.child("groupName"), "Lab");
    EXPECT_EQ(std::string(roaming.getScript().text()), "r.cmd");
    EXPECT_EQ(vpnEntries(), (std::vector<std::string>{"Home/Renamed/Branch/0", "/Roaming/Anywhere/1"}));
    for (const char* listing : {"Office", "Home", "Lab"}) {
        SCOPED_TRACE(listing);
        EXPECT_THAT(listed(listing, "Roaming"), ::testing::Contains("vpn=Anywhere/true"));
        EXPECT_THAT(listed(listing, "Roaming"), ::testing::Contains("isGlobal=true"));
    }
}

TEST_F(NetworkHandlersTest, RemovedNetworkLeavesBothFiles) {
    userNetwork(group("Home"), "Mine");
    struct Case {
        const char* group;
        const char* network;
        const char* outcome;
    };
    const Case cases[] = {{"Nowhere", "Mine", "3"}, {"Home", "Nothing", "4"}, {"Home", "Mine", "reply"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.outcome);
        engine.userFileWrites = 0;
        engine.internalFileWrites = 0;
        EXPECT_EQ(outcome("removeNetworkRequest", tag("groupName", c.group) + tag("networkName", c.network)),
                  c.outcome);
        const int written = std::string(c.outcome) == "reply" ? 1 : 0;
        EXPECT_EQ(engine.userFileWrites, written);
        EXPECT_EQ(engine.internalFileWrites, written);
    }
    EXPECT_TRUE(network("Home", "Mine").isNull());
}

TEST_F(NetworkHandlersTest, ListHoldsTheFirstHundredNetworks) {
    for (int i = 0; i < 98; ++i) userNetwork(group("Lab"), ("n" + std::to_string(i)).c_str());
    LogCapture log;
    SentMessage reply = ask("getNetworksInGroupRequest", tag("groupName", "Lab"));
    SharedXmlNode list = reply.element().findChild("networkList");
    std::vector<std::string> names;
    for (SharedXmlNode n = list.firstChild(); n.isNonNull(); n = n.nextSibling()) {
        if (n.isElement()) names.emplace_back(n.findChild("networkName").content());
    }
    ASSERT_EQ(names.size(), 100u);
    EXPECT_EQ(names.front(), "Global Wired") << "the global networks come first";
    EXPECT_EQ(names.back(), "n94");
    EXPECT_TRUE(log.contains("Sending the first 100 networks")) << log.text();
    EXPECT_EQ(outcome("getNetworksInGroupRequest", tag("groupName", "Nowhere")), "3");
}

TEST_F(NetworkHandlersTest, ListNamesTheMethodOfTheConnectionTypeTheNetworkRunsAs) {
    Network both = userNetwork(group("Lab"), "Both");
    both.setFlagB(true);
    createUserAuthenticationSettings(25, 1, both);
    both.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE)
        .addAuthenticationMethod(AuthenticationMethod::ofType(13));
    struct Case {
        std::int32_t types;
        std::int32_t logonStatus;
        std::vector<std::string> method;
    };
    const std::vector<std::string> none;
    const std::vector<std::string> user = {"eapMethod=eapPeap", "credentialType=password"};
    const std::vector<std::string> machine = {"eapMethod=eapTls"};
    const Case cases[] = {
        {1, 0, machine}, {2, 0, user}, {3, 1, machine}, {3, 2, user},
        {3, 0, none},    {0, 2, none}, {4, 2, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.types) + "/" + std::to_string(c.logonStatus));
        both.setConnectionTypes(c.types);
        engine.logonStatus = c.logonStatus;
        std::vector<std::string> lines = listed("Lab", "Both");
        std::vector<std::string> methods;
        for (const std::string& line : lines) {
            if (line.rfind("eapMethod=", 0) == 0 || line.rfind("credentialType=", 0) == 0)
                methods.push_back(line);
        }
        EXPECT_EQ(methods, c.method);
    }
}

}  // namespace
