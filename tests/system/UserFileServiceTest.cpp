// What a client adds and changes, the user's file keeps: every network the service accepts comes back
// the same after a restart, a user file the service cannot take is set aside before anything can
// overwrite it, and the user's global networks join the administrator's or are refused.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/keys/ConfigurationSigner.h"
#include "tests/support/AdministratorFile.h"
#include "tests/support/LabBuilder.h"
#include "tests/system/TrayClientTest.h"

namespace {

namespace fs = std::filesystem;
using tamsel::test::AdministratorFile;
using tamsel::test::LabBuilder;
using tamsel::test::TrayChildren;
using tamsel::test::TrayMessage;
using tamsel::test::TrayPipe;
using ::testing::HasSubstr;

const char* const USER_FILE = "system/userConfiguration.xml";
const char* const KEPT_FILE = "system/userConfiguration_bad.xml";

const std::vector<std::string> PAIRS = {"openNoEncryption",      "openStaticWep",       "sharedStaticWep",
                                        "open1xDynamicWep",      "wpaPersonalTkip",     "wpaPersonalAes",
                                        "wpa2PersonalTkip",      "wpa2PersonalAes",     "wpaEnterpriseTkip",
                                        "wpaEnterpriseAes",      "wpa2EnterpriseTkip",  "wpa2EnterpriseAes",
                                        "quillanEnterpriseTkip", "quillanEnterpriseAes"};
const std::vector<std::string> METHODS = {"",       "eapMd5",  "eapMschapv2", "eapGtc", "leap",
                                          "eapTls", "eapTtls", "eapPeap",     "eapFast"};
const std::vector<std::string> CREDENTIALS = {"", "password", "certificate", "token"};
// A key as the editor sends it, by the kind the test names.
const std::map<std::string, std::pair<QString, QString>> KEYS = {{"wep", {"wepHex40Key", "0a0b0c0d0e"}},
                                                                 {"psk", {"wpaAsciiKey", "sunflower seeds"}}};

std::string policyFile(bool globalGroup) {
    AdministratorFile file;
    file.associationModes.clear();
    for (const std::string& pair : PAIRS) file.associationModes += "<" + pair + "/>";
    file.eapMethods.clear();
    for (size_t i = 1; i < METHODS.size(); ++i) file.eapMethods += "<" + METHODS[i] + "/>";
    file.media = "<wifi/><wired/>";
    std::string text = file.text(R"(      <wiredNetwork>
        <displayName>Wired-LAN</displayName>
        <connectionTimeout>40</connectionTimeout>
        <openNetwork><userConnection/></openNetwork>
      </wiredNetwork>
)");
    if (globalGroup) {
        text.insert(text.find("    <group>"), R"(    <globalNetworks>
      <wiredNetwork>
        <displayName>Everywhere</displayName>
        <connectionTimeout>40</connectionTimeout>
        <openNetwork><userConnection/></openNetwork>
      </wiredNetwork>
    </globalNetworks>
)");
    }
    return text;
}

// The pair a network is listed under: the service writes the one pair two texts share as the first.
std::string listedPair(const std::string& pair) {
    return pair == "open1xDynamicWep" ? "openStaticWep" : pair;
}

// The pairs that authenticate with an EAP method: enterprise, and open with WEP keys made by it.
bool takesEapMethod(const std::string& pair) {
    return pair.find("Enterprise") != std::string::npos || listedPair(pair) == "openStaticWep";
}

// One network as a client sends it or the list gives it back.
struct Sent {
    std::string group;
    std::string name;
    bool wireless = true;
    std::string pair;
    std::string method;
    std::string credential;
    std::string key;
};

// The children of the list entry that a client set, as "child=text".
std::string describe(bool wireless, const std::string& pair, const std::string& method,
                     const std::string& credential) {
    return std::string(wireless ? "wifi" : "wired") + " " + pair + " " + method + " " + credential;
}

// A user file holding the groups given; a group; a wired network.
std::string userFileOf(const std::string& groups) {
    return R"(<UserConfiguration major_version="5" minor_version="1" development_version="1"><networks>)" +
           groups + "</networks></UserConfiguration>";
}
std::string userGroup(const std::string& name, const std::string& networks) {
    return "<group><groupName>" + name + "</groupName><allowUserToSeeScanlist>true</allowUserToSeeScanlist>" +
           networks + "</group>";
}
std::string wiredNetwork(const std::string& name) {
    return "<wiredNetwork><displayName>" + name +
           "</displayName><connectionTimeout>40</connectionTimeout><openNetwork><userConnection/></"
           "openNetwork>"
           "</wiredNetwork>";
}

class UserFileTest : public TrayClientTest {
protected:
    void SetUp() override {}
    void start(bool globalGroup = false) {
        m_globalGroup = globalGroup;
        TrayClientTest::SetUp();
    }
    void prepareRoot() override {
        LabBuilder lab;
        lab.wiredAdapter(1, "eth0", {{"link", "down"}});
        root.write("lab.xml", lab.text());
        root.write("system/configuration.xml",
                   ConfigurationSigner::sign(policyFile(m_globalGroup),
                                             ConfigurationSigner::readFile(TAMSEL_TEST_PRIVATE_KEY)));
        for (const auto& [file, text] : m_files) root.write(file, text);
    }
    void restart() {
        tray.reset();
        EXPECT_EQ(restartService(), 0);
        connectTray();
    }

    TrayMessage add(const Sent& sent) {
        TrayChildren children = {{"groupName", QString::fromStdString(sent.group)},
                                 {"networkName", QString::fromStdString(sent.name)},
                                 {"networkMedia", sent.wireless ? "wifi" : "wired"}};
        if (sent.wireless) {
            children.push_back({"ssid", "air"});
            children.push_back({"associationAndEncryptionMode", QString::fromStdString(sent.pair)});
        }
        if (!sent.key.empty()) children.push_back(KEYS.at(sent.key));
        if (!sent.method.empty()) children.push_back({"eapMethod", QString::fromStdString(sent.method)});
        if (!sent.credential.empty())
            children.push_back({"credentialType", QString::fromStdString(sent.credential)});
        return tray->ask("addNetworkRequest", children);
    }
    // "media pair method credential" of every network of the group, by name.
    std::map<std::string, std::string> listed(const std::string& group) {
        TrayMessage list =
            tray->ask("getNetworksInGroupRequest", {{"groupName", QString::fromStdString(group)}});
        EXPECT_EQ(list.name(), "getNetworksInGroupResponse") << list.text;
        std::map<std::string, std::string> found;
        const std::vector<std::string> names = list.items("networkList", "networkName");
        const std::vector<std::string> media = list.items("networkList", "networkMedia");
        const std::vector<std::string> pairs = list.items("networkList", "associationAndEncryptionMode");
        const std::vector<std::string> methods = list.items("networkList", "eapMethod");
        const std::vector<std::string> credentials = list.items("networkList", "credentialType");
        for (size_t i = 0; i < names.size(); ++i)
            found[names[i]] = describe(media[i] == "wifi", pairs[i], methods[i], credentials[i]);
        return found;
    }
    std::map<std::string, std::map<std::string, std::string>> listedGroups(
        const std::vector<std::string>& groups) {
        std::map<std::string, std::map<std::string, std::string>> all;
        for (const std::string& group : groups) all[group] = listed(group);
        return all;
    }
    std::string file(const std::string& relative) const { return root.path() + "/" + relative; }

    bool m_globalGroup = false;
    std::map<std::string, std::string> m_files;
};

// Every network a client may add: media, pair, EAP method, credential type and key. Each is either
// refused with fault 4 or listed as it was sent, and after a restart the service lists every
// accepted network exactly as before.
TEST_F(UserFileTest, EveryAddedNetworkIsRefusedOrComesBackAsSentAfterARestart) {
    start();
    connectTray();
    std::vector<Sent> variants;
    for (const std::string& pair : PAIRS)
        for (const std::string key : {"", "wep", "psk"})
            for (const std::string& method : METHODS)
                for (const std::string& credential : CREDENTIALS) {
                    if (method.empty() != credential.empty()) continue;
                    variants.push_back(
                        {pair, method + "-" + credential + "-" + key, true, pair, method, credential, key});
                }
    for (const std::string& method : METHODS)
        for (const std::string& credential : CREDENTIALS)
            if (method.empty() == credential.empty())
                variants.push_back({"Wired", method + "-" + credential, false, "", method, credential, ""});
    std::vector<std::string> groups = PAIRS;
    groups.push_back("Wired");
    for (const std::string& group : groups)
        ASSERT_EQ(tray->ask("addGroupRequest", {{"groupName", QString::fromStdString(group)}}).name(),
                  "addGroupResponse");

    std::map<std::string, std::map<std::string, std::string>> expected;
    std::vector<std::string> refused;
    for (const Sent& sent : variants) {
        TrayMessage answer = add(sent);
        const std::string what = sent.group + "/" + sent.name;
        if (answer.isFault()) {
            EXPECT_EQ(answer.errorCode(), 4) << what << "\n" << answer.text;
            refused.push_back(what);
            continue;
        }
        ASSERT_EQ(answer.name(), "addNetworkResponse") << what << "\n" << answer.text;
        expected[sent.group][sent.name] =
            describe(sent.wireless, listedPair(sent.pair), sent.method, sent.credential);
    }
    EXPECT_EQ(listedGroups(groups), expected) << "as sent";

    // What the file has always held, and the networks the file used to lose, each in one row.
    for (const char* kept : {"openNoEncryption/--", "openStaticWep/--wep", "wpa2PersonalAes/--psk",
                             "wpa2EnterpriseAes/eapPeap-password-", "open1xDynamicWep/eapTls-certificate-",
                             "wpaEnterpriseTkip/eapFast-token-psk", "Wired/eapMd5-password", "Wired/-"})
        EXPECT_THAT(refused, ::testing::Not(::testing::Contains(kept)));
    for (const char* lost :
         {"wpa2EnterpriseAes/eapMd5-password-", "wpa2PersonalAes/eapPeap-password-psk",
          "sharedStaticWep/eapPeap-password-wep", "openStaticWep/--", "open1xDynamicWep/--",
          "wpa2EnterpriseAes/--", "openNoEncryption/eapPeap-password-", "wpa2EnterpriseAes/eapTtls-token-",
          "Wired/eapTls-password"})
        EXPECT_THAT(refused, ::testing::Contains(lost));

    restart();
    EXPECT_EQ(listedGroups(groups), expected) << "after a restart";
    EXPECT_THAT(root.logText(),
                ::testing::Not(HasSubstr("The configuration is invalid and will be ignored. Error: ")));
}

// Every change of pair, EAP method and key a client may send to a network of each kind: refused
// with fault 4, or listed with what was sent, without a method its new pair cannot use, and the same
// after a restart.
TEST_F(UserFileTest, EveryChangedNetworkIsRefusedOrComesBackAsListedAfterARestart) {
    start();
    connectTray();
    const std::vector<Sent> starts = {
        {"", "Enterprise", true, "wpa2EnterpriseAes", "eapPeap", "password", ""},
        {"", "Personal", true, "wpa2PersonalAes", "", "", "psk"},
        {"", "Open", true, "openNoEncryption", "", "", ""},
        {"", "Wep", true, "openStaticWep", "", "", "wep"}};
    // A group of each start and pair, short enough to be listed whole; one start after the other,
    // each checked across a restart and then removed, so that the file stays small.
    int number = 0;
    for (const Sent& first : starts) {
        SCOPED_TRACE(first.name);
        std::map<std::string, std::map<std::string, std::string>> expected;
        int refusals = 0;
        int changes = 0;
        for (const std::string& pair : PAIRS) {
            const std::string group = first.name + "-" + pair;
            ASSERT_EQ(tray->ask("addGroupRequest", {{"groupName", QString::fromStdString(group)}}).name(),
                      "addGroupResponse");
            for (const std::string method : {"", "eapPeap", "eapMd5"})
                for (const std::string key : {"", "wep", "psk"}) {
                    Sent sent = first;
                    sent.group = group;
                    sent.name = "n" + std::to_string(++number);
                    ASSERT_EQ(add(sent).name(), "addNetworkResponse") << sent.name;
                    TrayChildren change = {{"groupName", QString::fromStdString(group)},
                                           {"networkName", QString::fromStdString(sent.name)},
                                           {"associationAndEncryptionMode", QString::fromStdString(pair)}};
                    if (!key.empty()) change.push_back(KEYS.at(key));
                    if (!method.empty()) {
                        change.push_back({"eapMethod", QString::fromStdString(method)});
                        change.push_back({"credentialType", "password"});
                    }
                    const std::string what = group + "/" + sent.name + ": " + method + " " + key;
                    TrayMessage answer = tray->ask("changeNetworkRequest", change);
                    std::string entry = listed(group)[sent.name];
                    ++changes;
                    if (answer.isFault()) {
                        EXPECT_EQ(answer.errorCode(), 4) << what << "\n" << answer.text;
                        EXPECT_EQ(entry,
                                  describe(true, listedPair(first.pair), first.method, first.credential))
                            << what << ": refused, it stays as it was";
                        ++refusals;
                    } else {
                        ASSERT_EQ(answer.name(), "changeNetworkResponse") << what << "\n" << answer.text;
                        EXPECT_THAT(entry, ::testing::StartsWith("wifi " + listedPair(pair) + " ")) << what;
                        if (!method.empty()) {
                            EXPECT_THAT(entry, ::testing::EndsWith(method + " password")) << what;
                        }
                        if (!takesEapMethod(pair)) {
                            EXPECT_EQ(entry, "wifi " + pair + "  ") << what;
                        }
                    }
                    expected[group][sent.name] = entry;
                }
        }
        EXPECT_GT(refusals, 0);
        EXPECT_LT(refusals, changes);
        std::vector<std::string> groups;
        for (const auto& [group, networks] : expected) groups.push_back(group);
        restart();
        EXPECT_EQ(listedGroups(groups), expected) << "after a restart";
        for (const std::string& group : groups)
            ASSERT_EQ(tray->ask("removeGroupRequest", {{"groupName", QString::fromStdString(group)}}).name(),
                      "removeGroupResponse");
    }
}

// A save that fails (a folder stands where the user's file goes) is answered with fault 8 by every
// request that changes groups or networks, and what the request changed is undone: what the client
// lists is what the next start would find.
TEST_F(UserFileTest, EveryRequestWhoseSaveFailsAnswersFault8AndIsUndone) {
    start();
    connectTray();
    ASSERT_EQ(tray->ask("addGroupRequest", {{"groupName", "Spare"}}).name(), "addGroupResponse");
    ASSERT_EQ(add({"Spare", "Home", true, "wpa2PersonalAes", "", "", "psk"}).name(), "addNetworkResponse");
    ASSERT_EQ(add({"Spare", "Corp", true, "wpa2EnterpriseAes", "eapPeap", "password", ""}).name(),
              "addNetworkResponse");
    fs::remove(file(USER_FILE));
    fs::create_directories(file(USER_FILE));
    const auto state = [&] {
        std::vector<std::string> groups = tray->ask("getGroupsRequest").items("groupList");
        return std::make_pair(groups, listedGroups(groups));
    };
    const auto before = state();
    const std::vector<std::pair<QString, TrayChildren>> requests = {
        {"addGroupRequest", {{"groupName", "Travel"}}},
        {"removeGroupRequest", {{"groupName", "Spare"}}},
        {"addNetworkRequest", {{"groupName", "Spare"}, {"networkName", "Desk"}, {"networkMedia", "wired"}}},
        {"removeNetworkRequest", {{"groupName", "Spare"}, {"networkName", "Home"}}},
        {"changeNetworkRequest",
         {{"groupName", "Spare"}, {"networkName", "Home"}, {"newNetworkName", "Away"}}},
        {"changeNetworkRequest",
         {{"groupName", "Spare"}, {"networkName", "Home"}, {"priority", "decrement"}}},
        {"changeNetworkRequest",
         {{"groupName", "Spare"}, {"networkName", "Home"}, {"newGroupName", "Office"}}},
        {"changeNetworkRequest",
         {{"groupName", "Spare"},
          {"networkName", "Corp"},
          {"associationAndEncryptionMode", "wpa2PersonalAes"},
          {"wpaAsciiKey", "sunflower seeds"}}},
    };
    for (const auto& [request, children] : requests) {
        SCOPED_TRACE(request.toStdString() + " " + children.back().second.toStdString());
        EXPECT_EQ(tray->ask(request, children).errorCode(), 8);
        EXPECT_EQ(state(), before);
    }
    EXPECT_THAT(root.logText(), HasSubstr("Failed to write file: system/userConfiguration.xml"));
}

// A dropped user file whose merge cannot be saved stays on the disk, set aside, instead of being
// deleted as taken over.
TEST_F(UserFileTest, ADroppedUserFileThatCannotBeSavedIsSetAsideNotDeleted) {
    const std::string dropped = userFileOf(userGroup("Attic", wiredNetwork("Loft")));
    start();
    connectTray();
    fs::create_directories(file(USER_FILE));
    root.write("incoming.tmp", dropped);
    fs::create_directories(file("newConfigFiles"));
    fs::rename(file("incoming.tmp"), file("newConfigFiles/userConfiguration.xml"));
    ASSERT_TRUE(waitFor([&] { return fs::exists(file("newConfigFiles/userConfiguration_bad.xml")); }))
        << root.logText();
    EXPECT_EQ(readText(file("newConfigFiles/userConfiguration_bad.xml")), dropped);
    EXPECT_THAT(root.logText(), HasSubstr("Failed to write file: system/userConfiguration.xml"));
}

// A user file the service cannot take (here the nameless group an earlier release wrote for the
// user's global networks) is kept aside at the start, before the save of a dropped user file that
// the kill interrupts right after its rename: the user's networks are still on the disk.
TEST_F(UserFileTest, ARefusedUserFileIsKeptAsideBeforeASaveCanReplaceIt) {
    const std::string refusedFile = userFileOf(userGroup("", wiredNetwork("Den")));
    m_files[USER_FILE] = refusedFile;
    m_files["newConfigFiles/userConfiguration.xml"] = userFileOf(userGroup("Attic", wiredNetwork("Loft")));
    serviceEnvironment["TAMSEL_TEST_KILL_IN_WRITE"] = "userConfiguration.xml:after";
    start();
    EXPECT_EQ(service->waitForExit(), 128 + SIGKILL) << root.logText();
    EXPECT_THAT(readText(file(USER_FILE)), HasSubstr("<displayName>Loft</displayName>"));
    ASSERT_TRUE(fs::exists(file(KEPT_FILE))) << root.logText();
    EXPECT_EQ(readText(file(KEPT_FILE)), refusedFile);
    EXPECT_THAT(root.logText(),
                HasSubstr("The refused user configuration system/userConfiguration.xml is kept "
                          "as system/userConfiguration_bad.xml"));
    // The service again: a second refused file does not replace the first one kept.
    root.write(USER_FILE, refusedFile + " ");
    serviceEnvironment.clear();
    service.emplace(root, std::vector<std::string>{"-run"}, serviceEnvironment);
    ASSERT_TRUE(service->started());
    startWatchdog();
    connectTray();
    ASSERT_TRUE(waitFor([&] { return fs::exists(file("system/userConfiguration_bad2.xml")); }))
        << root.logText();
    EXPECT_EQ(readText(file(KEPT_FILE)), refusedFile);
    EXPECT_EQ(readText(file("system/userConfiguration_bad2.xml")), refusedFile + " ");
}

const std::string USER_GLOBAL_FILE =
    userFileOf("<globalNetworks>" + wiredNetwork("Den") + "</globalNetworks>" + userGroup("Attic", ""));

// The user's global networks join the administrator's global group, are listed in every group and
// saved as global networks again.
TEST_F(UserFileTest, UserGlobalNetworksJoinTheAdministratorsGlobalGroup) {
    m_files[USER_FILE] = USER_GLOBAL_FILE;
    start(true);
    connectTray();
    std::map<std::string, std::string> office = listed("Office");
    EXPECT_EQ(office.count("Den"), 1u);
    EXPECT_EQ(office.count("Everywhere"), 1u);
    EXPECT_EQ(listed("Attic").count("Den"), 1u) << "a global network runs in every group";
    // Saved again by a change, and taken again by the next start.
    ASSERT_EQ(tray->ask("addGroupRequest", {{"groupName", "Cellar"}}).name(), "addGroupResponse");
    EXPECT_THAT(readText(file(USER_FILE)), HasSubstr("<globalNetworks>"));
    EXPECT_THAT(readText(file(USER_FILE)), ::testing::Not(HasSubstr("Everywhere")));
    restart();
    EXPECT_EQ(listed("Cellar").count("Den"), 1u);
    EXPECT_FALSE(fs::exists(file(KEPT_FILE)));
}

// Without an administrator's global group the user's file is refused with the reason, and kept.
TEST_F(UserFileTest, UserGlobalNetworksWithoutAnAdministratorsGlobalGroupAreRefused) {
    m_files[USER_FILE] = USER_GLOBAL_FILE;
    start(false);
    connectTray();
    EXPECT_EQ(listed("Office").count("Den"), 0u);
    EXPECT_EQ(tray->ask("getNetworksInGroupRequest", {{"groupName", "Attic"}}).errorCode(), 3);
    EXPECT_THAT(root.logText(),
                HasSubstr("The configuration is invalid and will be ignored. Error: \"globalNetworks\" "
                          "of the user cannot be kept: the administrator's file has none."));
    EXPECT_EQ(readText(file(KEPT_FILE)), USER_GLOBAL_FILE);
}

}  // namespace
