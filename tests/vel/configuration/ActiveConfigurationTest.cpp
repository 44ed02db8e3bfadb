#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "ostrum.h"
#include "platform/base/FailureInjection.h"
#include "tests/keys/ConfigurationSigner.h"
#include "tests/support/AdministratorFileMutations.h"
#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "tests/vel/xml/XmlConfigurationTestSupport.h"
#include "vel/configuration/ActiveConfiguration.h"
#include "vel/configuration/MetaConnection.h"
#include "vel/credmgr/Credential.h"
#include "vel/exception/FileIOException.h"
#include "vel/multithread/EventQueue.h"
#include "vel/timer/TimerList.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

const char* const INVALID = "The configuration is invalid and will be ignored. Error: ";

std::string signedText(const std::string& text) {
    return ConfigurationSigner::sign(text, ConfigurationSigner::readFile(TAMSEL_TEST_PRIVATE_KEY));
}

// The office file and the full administrator sample, signed once for the whole program.
const std::string& office() {
    static const std::string text = signedText(fileText(OFFICE_CONFIGURATION_SOURCE));
    return text;
}
const std::string& sample() {
    static const std::string text = fileText(TAMSEL_SAMPLE_CONFIGURATION);
    return text;
}

// A user file of groups, each given as its inner elements, and meta connections.
std::string userFile(const std::string& groups, const std::string& meta = "") {
    std::string text = R"(<UserConfiguration major_version="5" minor_version="1" development_version="1">)";
    if (!groups.empty()) text += "<networks>" + groups + "</networks>";
    if (!meta.empty()) text += "<metaConnections>" + meta + "</metaConnections>";
    return text + "</UserConfiguration>";
}
std::string userGroup(const char* name, const std::string& networks) {
    return std::string("<group><groupName>") + name +
           "</groupName><allowUserToSeeScanlist>true</allowUserToSeeScanlist>" + networks + "</group>";
}
std::string wiredNetwork(const char* name) {
    return std::string("<wiredNetwork><displayName>") + name +
           "</displayName><connectionTimeout>40</connectionTimeout><openNetwork><userConnection/></"
           "openNetwork>"
           "</wiredNetwork>";
}
std::string metaConnection(const char* group, const char* network) {
    return std::string("<metaConnection><network><groupName>") + group + "</groupName><displayName>" +
           network +
           "</displayName></network><vpnConnectionEntry>vpn</vpnConnectionEntry><autoConnectVpn>true</"
           "autoConnectVpn>"
           "</metaConnection>";
}

class RecordingSubscriberImpl : public ReferenceImpl, public ActiveConfigurationSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void activeConfigurationChanged() override { ++active; }
    void userConfigurationChanged() override { ++user; }
    int active = 0;
    int user = 0;
};

// The engine's setting around the active configuration: the real event queue and timer list, the
// test driving the ticks, everything the object does run on the queue's thread.
class ActiveConfigurationTest : public ConfigurationTest {
protected:
    void SetUp() override {
        ConfigurationTest::SetUp();
        initializer = new RecordingInitializerImpl;
        queue = EventQueue::Create(initializer);
        list = TimerList::Create();
        subscriber = new RecordingSubscriberImpl;
    }
    void TearDown() override {
        stop();
        base::clearFailures();
        queue.stop();
        queue.reset();
        list.reset();
        subscriber->release();
        initializer->release();
        ConfigurationTest::TearDown();
    }

    // Runs the function on the engine thread and waits for it.
    void onEngine(const std::function<void()>& f) {
        queue.post(functionEvent(f));
        ASSERT_TRUE(drain(queue));
    }

    // Service start: the singleton with its subscriber, then its first read.
    void start() {
        onEngine([this] {
            active = ActiveConfiguration::create();
            active->addSubscriber(subscriber);
        });
        ASSERT_TRUE(drain(queue));
    }
    void stop() {
        if (!active) return;
        onEngine([this] {
            active->stop();
            active.reset();
        });
    }
    void restart() {
        stop();
        start();
    }

    // The 2-second check timer runs out.
    void expireCheckTimer() {
        for (int i = 0; i < 2 * osTimerGetHz(); ++i) list.impl()->countDown();
        ASSERT_TRUE(drain(queue));
    }

    std::string path(const std::string& relative) const { return root.path() + "/" + relative; }
    void put(const std::string& relative, const std::string& text) const { root.write(relative, text); }
    bool present(const std::string& relative) const { return fs::exists(path(relative)); }
    std::string textOf(const std::string& relative) const { return fileText(path(relative)); }
    // The files below the root's configuration folders.
    std::set<std::string> configurationFiles() const {
        std::set<std::string> files;
        for (const char* folder : {"system", "newConfigFiles"}) {
            if (!fs::exists(path(folder))) continue;
            for (const auto& entry : fs::directory_iterator(path(folder)))
                files.insert(std::string(folder) + "/" + entry.path().filename().string());
        }
        return files;
    }

    bool exists() {
        bool result = false;
        onEngine([&] { result = active->exists(); });
        return result;
    }
    // "group: network(origin) ..." per group of the configuration in force.
    std::vector<std::string> groups() {
        std::vector<std::string> summary;
        onEngine([&] {
            if (!active->exists()) return;
            for (const Reference& held : active->configuration().groups().snapshot()) {
                NetworkGroup group = handleOf<NetworkGroup>(held.m);
                std::string text = str(group.name()) + ":";
                for (const Reference& network : group.networkVector().snapshot()) {
                    Network member = handleOf<Network>(network.m);
                    text += " " + str(member.name()) + "(" + std::to_string(member.getOrigin()) + ")";
                }
                summary.push_back(text);
            }
        });
        return summary;
    }
    std::vector<std::string> metaConnections() {
        std::vector<std::string> entries;
        onEngine([&] {
            for (const Reference& held : active->configuration().vpnManager().metaConnections().snapshot()) {
                MetaConnection entry = handleOf<MetaConnection>(held.m);
                entries.push_back(str(entry.groupName()) + ":" + str(entry.networkName()));
            }
        });
        return entries;
    }
    Network network(const char* groupName, const char* name) {
        Network found;
        onEngine(
            [&] { found = active->configuration().findGroup(groupName).networkGroup().findNetwork(name); });
        return found;
    }
    bool logs(const std::string& part) { return !logged(part).empty(); }
    // The user "alice" with the password "pass-1" for the sample's "Corp FAST", saved.
    void saveCredentialsOfCorpFast() {
        onEngine([this] {
            Network fast =
                active->configuration().findGroup("Office").networkGroup().findNetwork("Corp FAST");
            AuthenticationParameters user =
                fast.getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
            user.setIdentity(Credential::newIdentity("alice"));
            user.setPasswordOrKeyCredential(Credential::newPassword("pass-1"));
            active->writeInternalConfiguration();
        });
    }

    RecordingInitializerImpl* initializer = nullptr;
    EventQueue queue;
    TimerList list;
    RecordingSubscriberImpl* subscriber = nullptr;
    std::optional<ActiveConfiguration> active;
};

// --- Start ---

struct StartRow {
    const char* label;
    // Files below the root before start.
    std::vector<std::pair<std::string, std::string>> files;
    bool exists;
    std::vector<std::string> lines;
    std::set<std::string> filesAfter;
    int notified;
    // The rejected file's text, when one is set aside.
    std::string bad = "";
};

TEST_F(ActiveConfigurationTest, StartsOnTheFilesInSystem) {
    const std::string tampered = [] {
        std::string text = office();
        text.insert(text.find("<networks>"), " ");
        return text;
    }();
    const std::string userText =
        userFile(userGroup("Office", wiredNetwork("Desk")) + userGroup("Home", wiredNetwork("Den")));
    const std::vector<StartRow> rows = {
        {"no file",
         {},
         false,
         {std::string(INVALID) + "Administrator Configuration (system/configuration.xml) file not found."},
         {},
         0},
        {"the sample alone",
         {{"system/configuration.xml", office()}},
         true,
         {"Opening file system/configuration.xml ...",
          std::string(INVALID) + "User Configuration (system/userConfiguration.xml) file not found - only "
                                 "user configuration will be ignored.",
          "Internal Configuration (system/internalConfiguration.xml) file not found - you might need to "
          "re-enter "
          "credentials if required."},
         {"system/configuration.xml", "system/internalConfiguration.xml"},
         1},
        {"sample, user and internal files",
         {{"system/configuration.xml", office()},
          {"system/userConfiguration.xml", userText + std::string(1, '\0')},
          {"system/internalConfiguration.xml", "<internalConfigurationData/>"}},
         true,
         {"Opening file system/userConfiguration.xml ...",
          "Opening file system/internalConfiguration.xml ..."},
         {"system/configuration.xml", "system/userConfiguration.xml", "system/internalConfiguration.xml"},
         1},
        {"a blank outside the signature",
         {{"system/configuration.xml", tampered}, {"system/configuration_bad.xml", "older"}},
         false,
         {std::string(INVALID) + "Unable to verify signature."},
         {"system/configuration_bad.xml"},
         0,
         tampered},
        {"a bad user file, kept aside before a save can replace it",
         {{"system/configuration.xml", office()}, {"system/userConfiguration.xml", "<UserConfiguration>"}},
         true,
         {std::string(INVALID) + "XmlReadBuffer",
          "The refused user configuration system/userConfiguration.xml is kept as "
          "system/userConfiguration_bad.xml"},
         {"system/configuration.xml", "system/userConfiguration_bad.xml", "system/internalConfiguration.xml"},
         1},
        {"a bad internal file",
         {{"system/configuration.xml", office()}, {"system/internalConfiguration.xml", "<internal"}},
         true,
         {std::string(INVALID) + "XmlReadBuffer"},
         {"system/configuration.xml", "system/internalConfiguration.xml"},
         1},
        {"a temporary of an interrupted save",
         {{"system/configuration.xml", office()}, {"system/internalConfiguration.xml.77.3.tmp", "<half"}},
         true,
         {"Removing system/internalConfiguration.xml.77.3.tmp left by an interrupted save"},
         {"system/configuration.xml", "system/internalConfiguration.xml"},
         1},
        {"a drop caught under its private name",
         {{"system/configuration.xml", office()}, {"newConfigFiles/configuration.xml.77.4.tmp", office()}},
         true,
         {"Taking up newConfigFiles/configuration.xml again, left by an interrupted check"},
         {"system/configuration.xml", "system/internalConfiguration.xml", "newConfigFiles/configuration.xml"},
         1},
        {"a user drop caught under its private name, and one dropped since",
         {{"system/configuration.xml", office()},
          {"newConfigFiles/userConfiguration.xml.77.5.tmp", userText},
          {"newConfigFiles/configuration.xml.77.6.tmp", office()},
          {"newConfigFiles/configuration.xml", sample()}},
         true,
         {"Taking up newConfigFiles/userConfiguration.xml again, left by an interrupted check"},
         {"system/configuration.xml", "system/internalConfiguration.xml", "newConfigFiles/configuration.xml",
          "newConfigFiles/userConfiguration.xml"},
         1},
    };
    for (const StartRow& row : rows) {
        SCOPED_TRACE(row.label);
        fs::remove_all(path("system"));
        fs::remove_all(path("newConfigFiles"));
        for (const auto& [file, text] : row.files) put(file, text);
        subscriber->active = 0;
        markLog();
        start();
        EXPECT_EQ(exists(), row.exists);
        for (const std::string& line : row.lines) EXPECT_TRUE(logs(line)) << line;
        EXPECT_EQ(configurationFiles(), row.filesAfter);
        EXPECT_EQ(subscriber->active, row.notified);
        // It replaced an older rejected file.
        if (!row.bad.empty()) {
            EXPECT_EQ(textOf("system/configuration_bad.xml"), row.bad);
        }
        stop();
    }
}

TEST_F(ActiveConfigurationTest, MergesTheUsersNetworksIntoTheAdministratorsGroups) {
    put("system/configuration.xml", office());
    put("system/userConfiguration.xml",
        userFile(userGroup("Office", wiredNetwork("Desk")) +
                     userGroup("Home", wiredNetwork("Den") + wiredNetwork("Attic")),
                 metaConnection("Home", "Den") + metaConnection("Home", "Gone")));
    start();
    EXPECT_EQ(groups(), (std::vector<std::string>{"Office: Wired-LAN(2) Corp-WiFi(2) Desk(1)",
                                                  "Home: Den(1) Attic(1)"}));
    // Entries whose network is not there are dropped.
    EXPECT_EQ(metaConnections(), (std::vector<std::string>{"Home:Den"}));
    EXPECT_TRUE(logs("Unknown network in metaConnections. Group: Home Network: Gone"));

    // Saving writes the user's networks and empty groups only, and reads back the same.
    onEngine([this] { active->configuration().addGroup(NetworkGroup::create("Empty")); });
    onEngine([this] { active->writeUserConfiguration(); });
    const std::string saved = textOf("system/userConfiguration.xml");
    EXPECT_EQ(saved.find("Wired-LAN"), std::string::npos);
    EXPECT_EQ(saved.back(), '\n');
    restart();
    EXPECT_EQ(groups(), (std::vector<std::string>{"Office: Wired-LAN(2) Corp-WiFi(2) Desk(1)",
                                                  "Home: Den(1) Attic(1)", "Empty:"}));
}

// Every refusal of the administrator file's reader, signed as an administrator would, is logged
// with its own text and sets the file aside.
TEST_F(ActiveConfigurationTest, RefusedAdministratorFilesAreSetAsideWithTheirReason) {
    start();
    const std::string source = fileText(TAMSEL_SAMPLE_CONFIGURATION_SOURCE);
    int rows = 0;
    for (const AdministratorFileMutation& row : administratorFileMutations()) {
        if (row.message.empty()) continue;
        std::string text = mutatedSample(source, row);
        std::string signedRow;
        try {
            signedRow = signedText(text);
        } catch (const std::exception&) {
            continue;  // not a document the signer can sign
        }
        SCOPED_TRACE(row.label);
        ++rows;
        put("system/configuration.xml", signedRow);
        markLog();
        bool taken = true;
        onEngine([&] { taken = active->impl()->readConfigurationDirectory("system"); });
        EXPECT_FALSE(taken);
        EXPECT_TRUE(logs(INVALID + row.message)) << row.message;
        EXPECT_FALSE(present("system/configuration.xml"));
        EXPECT_EQ(textOf("system/configuration_bad.xml"), signedRow);
    }
    EXPECT_GT(rows, 20);
    EXPECT_FALSE(exists());
}

// --- Drops ---

TEST_F(ActiveConfigurationTest, ADroppedAdministratorFileIsTakenOverOrSetAside) {
    put("system/configuration.xml", office());
    start();
    put("newConfigFiles/configuration.xml", sample());
    expireCheckTimer();
    EXPECT_EQ(subscriber->active, 2);
    EXPECT_EQ(groups().size(), 4u);
    EXPECT_EQ(textOf("system/configuration.xml"), sample());
    EXPECT_FALSE(present("newConfigFiles/configuration.xml"));

    std::string tampered = office();
    tampered.insert(tampered.find("<networks>"), "\n");
    put("newConfigFiles/configuration.xml", tampered);
    markLog();
    expireCheckTimer();
    EXPECT_TRUE(logs(std::string(INVALID) + "Unable to verify signature."));
    EXPECT_EQ(subscriber->active, 2);
    EXPECT_EQ(groups().size(), 4u);
    EXPECT_EQ(textOf("newConfigFiles/configuration_bad.xml"), tampered);
    EXPECT_EQ(textOf("system/configuration.xml"), sample());
}

// What lies at the drop name while the service works on a file is the next drop; what goes into
// "system" is what was checked, once.
TEST_F(ActiveConfigurationTest, ADroppedFileGoesIntoForceAsItWasVerifiedAndOnce) {
    std::string tampered = office();
    tampered.insert(tampered.find("<networks>"), "\n");
    put("system/configuration.xml", office());
    start();
    put("newConfigFiles/configuration.xml", sample());
    int swapped = 0;
    ActiveConfigurationImpl::DropVerifiedHook = [&] {
        put("newConfigFiles/configuration.xml", tampered);
        for (const std::string& file : configurationFiles()) {
            if (file.rfind("newConfigFiles/configuration.xml.", 0) != 0) continue;
            put(file, tampered);
            ++swapped;
        }
    };
    expireCheckTimer();
    ActiveConfigurationImpl::DropVerifiedHook = nullptr;
    EXPECT_EQ(swapped, 1);
    EXPECT_EQ(subscriber->active, 2);
    EXPECT_EQ(textOf("system/configuration.xml"), sample());

    // The file written meanwhile is checked on its own, and refused.
    markLog();
    expireCheckTimer();
    EXPECT_TRUE(logs(std::string(INVALID) + "Unable to verify signature."));
    EXPECT_EQ(subscriber->active, 2);
    EXPECT_EQ(textOf("system/configuration.xml"), sample());
    EXPECT_EQ(configurationFiles(),
              (std::set<std::string>{"system/configuration.xml", "system/internalConfiguration.xml",
                                     "newConfigFiles/configuration_bad.xml"}));
    EXPECT_EQ(textOf("newConfigFiles/configuration_bad.xml"), tampered);
}

// The same for the user's drop, whose merge runs in steps: a user file written at the drop name
// meanwhile is neither merged with this one nor deleted with it, but taken at the next check.
TEST_F(ActiveConfigurationTest, AUserFileDroppedDuringAMergeIsTakenAtTheNextCheck) {
    const std::string attic = userFile(userGroup("Home", wiredNetwork("Attic")));
    put("system/configuration.xml", office());
    start();
    put("newConfigFiles/userConfiguration.xml", userFile(userGroup("Home", wiredNetwork("Den"))));
    int staged = 0;
    ActiveConfigurationImpl::DropVerifiedHook = [&] {
        put("newConfigFiles/userConfiguration.xml", attic);
        for (const std::string& file : configurationFiles())
            if (file.rfind("newConfigFiles/userConfiguration.xml.", 0) == 0) ++staged;
    };
    expireCheckTimer();
    ActiveConfigurationImpl::DropVerifiedHook = nullptr;
    EXPECT_EQ(staged, 1);
    EXPECT_EQ(subscriber->user, 1);
    EXPECT_EQ(groups(), (std::vector<std::string>{"Office: Wired-LAN(2) Corp-WiFi(2)", "Home: Den(1)"}));
    EXPECT_EQ(textOf("newConfigFiles/userConfiguration.xml"), attic);
    EXPECT_EQ(textOf("system/userConfiguration.xml").find("Attic"), std::string::npos);

    expireCheckTimer();
    EXPECT_EQ(subscriber->user, 2);
    EXPECT_EQ(groups(),
              (std::vector<std::string>{"Office: Wired-LAN(2) Corp-WiFi(2)", "Home: Den(1) Attic(1)"}));
    EXPECT_NE(textOf("system/userConfiguration.xml").find("<displayName>Attic</displayName>"),
              std::string::npos);
    EXPECT_EQ(configurationFiles(), (std::set<std::string>{"system/configuration.xml",
                                                           "system/internalConfiguration.xml",
                                                           "system/userConfiguration.xml"}));
}

TEST_F(ActiveConfigurationTest, ADropOnARootWithoutSystemIsTakenOnce) {
    start();
    EXPECT_FALSE(exists());
    put("newConfigFiles/configuration.xml", sample());
    expireCheckTimer();
    expireCheckTimer();
    EXPECT_EQ(subscriber->active, 1);
    EXPECT_EQ(textOf("system/configuration.xml"), sample());
    EXPECT_EQ(configurationFiles(),
              (std::set<std::string>{"system/configuration.xml", "system/internalConfiguration.xml"}));
}

struct UserDropRow {
    const char* label;
    std::string text;
    bool taken;
    const char* line;
};

TEST_F(ActiveConfigurationTest, ADroppedUserFileIsMergedOrSetAside) {
    const std::string wpaTkip =
        R"(<wifiNetwork><displayName>Cafe</displayName><connectionTimeout>40</connectionTimeout><ssid><name>cafe</name></ssid>
<associationTimeout>3</associationTimeout><sharedKeyNetwork><userConnection><wpa2><keyFromProfile><ascii encryptContent="true">correct horse</ascii>
</keyFromProfile><encryption>TKIP</encryption></wpa2></userConnection></sharedKeyNetwork></wifiNetwork>)";
    const std::vector<UserDropRow> rows = {
        {"new groups and networks", userFile(userGroup("Home", wiredNetwork("Den"))), true,
         "Opening file newConfigFiles/userConfiguration.xml ..."},
        {"a network already there",
         userFile(userGroup("Home", wiredNetwork("Cellar")) + userGroup("Office", wiredNetwork("Wired-LAN"))),
         false, "Cannot add network \"Wired-LAN\" in group \"Office\". The network already exists."},
        {"refused by policy", userFile(userGroup("Home", wpaTkip)), false,
         "The configuration is invalid and will be ignored. Error: Invalid user configuration due to "
         "policy."},
        {"without groups", userFile("", metaConnection("Office", "Wired-LAN")), false,
         "Opening file newConfigFiles/userConfiguration.xml ..."},
        {"not a document", "<UserConfiguration", false, "Error: XmlReadBuffer"},
    };
    put("system/configuration.xml", office());
    start();
    const std::vector<std::string> before = groups();
    for (const UserDropRow& row : rows) {
        SCOPED_TRACE(row.label);
        put("newConfigFiles/userConfiguration.xml", row.text);
        markLog();
        subscriber->user = 0;
        expireCheckTimer();
        EXPECT_TRUE(logs(row.line)) << row.line << "\n" << ::testing::PrintToString(logged());
        EXPECT_FALSE(present("newConfigFiles/userConfiguration.xml"));
        EXPECT_EQ(subscriber->user, row.taken ? 1 : 0);
        if (row.taken) continue;
        EXPECT_EQ(textOf("newConfigFiles/userConfiguration_bad.xml"), row.text);
        EXPECT_EQ(groups(), (std::vector<std::string>{"Office: Wired-LAN(2) Corp-WiFi(2)", "Home: Den(1)"}));
    }
    EXPECT_NE(groups(), before);
    // The merged result is in force and saved.
    EXPECT_NE(textOf("system/userConfiguration.xml").find("<displayName>Den</displayName>"),
              std::string::npos);
    // The file without groups left the VPN entries alone.
    EXPECT_TRUE(metaConnections().empty());
}

struct HostileRow {
    const char* label;
    // Dropped as the administrator file (signed) or as the user file.
    bool administrator;
    std::string text;
    // The refusal's text after the prefix; empty when the file is taken.
    std::string message;
};

// Files that try what a reader must not let through: each is refused with a line that says why,
// before anything of it is in force, or read as the value it means.
TEST_F(ActiveConfigurationTest, HostileFilesAreRefusedWithTheirReason) {
    const auto withDocumentType = [](const std::string& text, const std::string& declaration) {
        const size_t root = text.find("<configuration ");
        return text.substr(0, root) + declaration + "\n" + text.substr(root);
    };
    const std::string den = wiredNetwork("Den");
    const std::string huge =
        std::regex_replace(den, std::regex("<connectionTimeout>40<"), "<connectionTimeout>4294967301<");
    const std::string doctype = XmlDocument::FILE_DOCUMENT_TYPE_REFUSED;
    const std::vector<HostileRow> rows = {
        {"an unused external entity beside a signed file", true,
         withDocumentType(office(), "<!DOCTYPE configuration [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"),
         doctype},
        {"an external subset beside a signed file", true,
         withDocumentType(office(), "<!DOCTYPE configuration SYSTEM \"/dev/zero\">"), doctype},
        {"an external entity in a name", false,
         "<!DOCTYPE UserConfiguration [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" +
             userFile(userGroup("Home", wiredNetwork("Den&x;"))),
         doctype},
        {"an internal entity", false,
         "<!DOCTYPE UserConfiguration [<!ENTITY x \"Den\">]>" +
             userFile(userGroup("Home", wiredNetwork("&x;"))),
         doctype},
        {"two global groups", false,
         userFile("<globalNetworks>" + wiredNetwork("Hall") + "</globalNetworks><globalNetworks/>" +
                  userGroup("Home", den)),
         xmlMessage(XmlMessages::MULTIPLE_GLOBAL_NETWORKS, "globalNetworks")},
        {"a timeout no timer runs", false, userFile(userGroup("Home", huge)),
         xmlMessage(XmlMessages::TIMEOUT_TOO_LONG, "connectionTimeout", 600)},
        {"names in CDATA and around comments", false,
         userFile("<group><groupName><![CDATA[Ho]]>me</groupName><allowUserToSeeScanlist>true<!-- yes -->"
                  "</allowUserToSeeScanlist>" +
                  wiredNetwork("D<!-- the den -->e<![CDATA[n]]>") + "</group>"),
         ""},
    };
    put("system/configuration.xml", office());
    start();
    for (const HostileRow& row : rows) {
        SCOPED_TRACE(row.label);
        const std::string file = row.administrator ? "configuration.xml" : "userConfiguration.xml";
        put("newConfigFiles/" + file, row.text);
        markLog();
        subscriber->active = 0;
        subscriber->user = 0;
        expireCheckTimer();
        EXPECT_FALSE(present("newConfigFiles/" + file));
        if (!row.message.empty()) {
            EXPECT_TRUE(logs(INVALID + row.message)) << ::testing::PrintToString(logged());
            EXPECT_EQ(subscriber->active + subscriber->user, 0);
            const std::string bad = row.administrator ? "configuration_bad.xml" : "userConfiguration_bad.xml";
            EXPECT_EQ(textOf("newConfigFiles/" + bad), row.text);
            EXPECT_EQ(groups(), (std::vector<std::string>{"Office: Wired-LAN(2) Corp-WiFi(2)"}));
            continue;
        }
        EXPECT_EQ(subscriber->user, 1);
        EXPECT_EQ(groups(), (std::vector<std::string>{"Office: Wired-LAN(2) Corp-WiFi(2)", "Home: Den(1)"}));
    }
    EXPECT_EQ(textOf("system/configuration.xml"), office());
}

TEST_F(ActiveConfigurationTest, NothingIsTakenOverWhileConnectedOrForADisabledClient) {
    put("system/configuration.xml", office());
    start();
    put("newConfigFiles/userConfiguration.xml", userFile(userGroup("Home", wiredNetwork("Den"))));

    onEngine([this] { active->impl()->configurationEvent(Configuration::CONNECTED); });
    expireCheckTimer();
    EXPECT_TRUE(present("newConfigFiles/userConfiguration.xml"));

    matchmaker->setClientEnabled(false);
    markLog();
    onEngine([this] { active->impl()->configurationEvent(Configuration::STARTED); });
    expireCheckTimer();
    EXPECT_TRUE(logs("Ignore new configuration checking for disabled client"));
    EXPECT_TRUE(present("newConfigFiles/userConfiguration.xml"));
    EXPECT_EQ(subscriber->user, 0);

    // The next other state takes it at once, without waiting for the timer.
    matchmaker->setClientEnabled(true);
    onEngine([this] { active->impl()->configurationEvent(Configuration::CONNECTING); });
    EXPECT_FALSE(present("newConfigFiles/userConfiguration.xml"));
    EXPECT_EQ(subscriber->user, 1);
    // The timer runs again and one expiry brings one check.
    markLog();
    expireCheckTimer();
    EXPECT_EQ(logged("Checking for new configuration").size(), 1u);
}

// --- Saved credentials ---

TEST_F(ActiveConfigurationTest, SavedCredentialsSurviveARestartAndADroppedAdministratorFile) {
    put("system/configuration.xml", sample());
    start();
    saveCredentialsOfCorpFast();
    const std::string saved = textOf("system/internalConfiguration.xml");
    EXPECT_EQ(saved.find("pass-1"), std::string::npos);
    EXPECT_EQ(saved.find("alice"), std::string::npos);

    const auto password = [this] {
        std::string text;
        onEngine([&] {
            Network fast =
                active->configuration().findGroup("Office").networkGroup().findNetwork("Corp FAST");
            AuthenticationParameters user =
                fast.getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
            CredentialProxy identity = user.getIdentity();
            if (identity.exists()) text = str(identity.credential().identity()) + "/";
            if (!user.getPasswordOrKeyCredential().exists()) return;
            text += str(user.getPasswordOrKey());
        });
        return text;
    };
    restart();
    EXPECT_EQ(password(), "alice/pass-1");
    put("newConfigFiles/configuration.xml", sample());
    subscriber->active = 0;
    expireCheckTimer();
    EXPECT_EQ(subscriber->active, 1);
    EXPECT_EQ(password(), "alice/pass-1");
    restart();
    EXPECT_EQ(password(), "alice/pass-1");
}

// --- Secrets ---

TEST_F(ActiveConfigurationTest, FilesThatHoldSecretsAreClosedToOtherUsers) {
    const auto mode = [this](const std::string& relative) {
        return static_cast<unsigned>(fs::status(path(relative)).permissions() & fs::perms::mask);
    };
    put("system/configuration.xml", office());
    start();
    onEngine([this] { active->writeUserConfiguration(); });
    EXPECT_EQ(mode("system/userConfiguration.xml"), 0600u);
    EXPECT_EQ(mode("system/internalConfiguration.xml"), 0600u);
    // A dropped file comes into "system" as the service's own.
    put("newConfigFiles/configuration.xml", sample());
    fs::permissions(path("newConfigFiles/configuration.xml"), fs::perms(0666));
    expireCheckTimer();
    EXPECT_EQ(textOf("system/configuration.xml"), sample());
    EXPECT_EQ(mode("system/configuration.xml"), 0600u);
    EXPECT_EQ(static_cast<unsigned>(fs::status(root.log()).permissions() & fs::perms::mask), 0640u);
}

// The debug log shows each file read with every secret masked: keys, passwords and saved
// credentials alike.
TEST_F(ActiveConfigurationTest, TheDebugLogShowsTheFilesWithoutTheirSecrets) {
    put("system/configuration.xml", sample());
    put("system/userConfiguration.xml",
        userFile(userGroup(
            "Home", R"(<wifiNetwork><displayName>Corner Cafe</displayName><connectionTimeout>40</connectionTimeout>
<ssid><name>cafe</name></ssid><associationTimeout>3</associationTimeout><sharedKeyNetwork><userConnection><wpa2>
<keyFromProfile><ascii encryptContent="true">correct horse</ascii></keyFromProfile><encryption>AES</encryption>
</wpa2></userConnection></sharedKeyNetwork></wifiNetwork>)")));
    start();
    saveCredentialsOfCorpFast();
    const std::string internal = textOf("system/internalConfiguration.xml");
    const size_t at = internal.find("<credential>");
    ASSERT_NE(at, std::string::npos);
    const std::string credential = internal.substr(at + 12, internal.find('<', at + 12) - at - 12);
    markLog();
    restart();
    std::string log;
    for (const std::string& line : logged()) log += line + "\n";
    EXPECT_NE(log.find("<displayName>Corner Cafe</displayName>"), std::string::npos) << log;
    EXPECT_NE(log.find("<ascii encryptContent=\"true\">***</ascii>"), std::string::npos) << log;
    EXPECT_NE(log.find("<credential>***</credential>"), std::string::npos) << log;
    EXPECT_EQ(log.find("correct horse"), std::string::npos);
    EXPECT_EQ(log.find(credential), std::string::npos);
}

// --- Failures on disk ---

TEST_F(ActiveConfigurationTest, AFailedSaveIsLoggedAndTheServiceGoesOn) {
    put("system/configuration.xml", office());
    fs::create_directories(path("system/internalConfiguration.xml"));
    start();
    EXPECT_TRUE(exists());
    EXPECT_TRUE(logs("Failed to write file: system/internalConfiguration.xml"));
    EXPECT_TRUE(logs(std::string(INVALID) + "Failed to write file"));

    // The connection API's save still raises it for its caller.
    fs::create_directories(path("system/userConfiguration.xml"));
    bool raised = false;
    onEngine([&] {
        try {
            active->writeUserConfiguration();
        } catch (const FileIOException&) {
            raised = true;
        }
    });
    EXPECT_TRUE(raised);
    // A dropped user file is merged although its save fails, and the drop folder is emptied.
    put("newConfigFiles/userConfiguration.xml", userFile(userGroup("Home", wiredNetwork("Den"))));
    expireCheckTimer();
    EXPECT_EQ(subscriber->user, 1);
    EXPECT_FALSE(present("newConfigFiles/userConfiguration.xml"));
}

TEST_F(ActiveConfigurationTest, AFailedMoveLeavesTheFileInForceWhole) {
    put("system/configuration.xml", office());
    start();
    put("newConfigFiles/configuration.xml", sample());
    base::failNext("MoveFileExW", 5, 1);
    markLog();
    expireCheckTimer();
    EXPECT_TRUE(
        logs("Failed to move configuration.xml file from directory newConfigFiles to directory system"));
    EXPECT_EQ(textOf("system/configuration.xml"), office());

    // A rejected drop that cannot be set aside stays where it is.
    std::string tampered = office();
    tampered.insert(tampered.find("<networks>"), " ");
    put("newConfigFiles/configuration.xml", tampered);
    put("newConfigFiles/configuration_bad.xml", "older");
    base::failNext("MoveFileExW", 5, 1);
    markLog();
    expireCheckTimer();
    EXPECT_TRUE(logs(
        "Failed to move configuration.xml file to configuration_bad.xml file in directory newConfigFiles"));
    EXPECT_EQ(textOf("newConfigFiles/configuration_bad.xml"), "older");
}

}  // namespace
}  // namespace tamsel::test
