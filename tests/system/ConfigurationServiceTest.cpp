// The service's configuration files as an administrator sees them: the signed file it starts on,
// files dropped while it runs, refused ones set aside, and saves that fail or are cut short.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/system/OfficeLab.h"
#include "tests/system/ServiceLog.h"
#include "tests/system/ServiceProcess.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const char* const INTERNAL_FILE = "system/internalConfiguration.xml";
const char* const USER_FILE = "system/userConfiguration.xml";

std::string userFile(const std::string& networks) {
    return R"(<UserConfiguration major_version="5" minor_version="1" development_version="1"><networks>)"
           R"(<group><groupName>Home</groupName><allowUserToSeeScanlist>true</allowUserToSeeScanlist>)" +
           networks + "</group></networks></UserConfiguration>";
}
std::string wiredNetwork(const std::string& name) {
    return "<wiredNetwork><displayName>" + name +
           "</displayName><connectionTimeout>40</connectionTimeout><openNetwork><userConnection/></"
           "openNetwork>"
           "</wiredNetwork>";
}

// A root holding the signed office configuration in system/, and the service on the office lab
// with no link: a configuration that connects stops looking at the drop folder.
class ConfigurationService : public ::testing::Test {
protected:
    void SetUp() override {
        root.write("system/configuration.xml", office);
        root.write("lab.xml", officeLab(false));
    }

    std::unique_ptr<ServiceProcess> start(std::map<std::string, std::string> env = {}) {
        auto service = std::make_unique<ServiceProcess>(root, std::vector<std::string>{"-run"}, env);
        EXPECT_TRUE(service->started());
        return service;
    }
    // SIGINT ends a console run normally.
    void stop(ServiceProcess& service) {
        service.signal(SIGINT);
        EXPECT_EQ(service.waitForExit(), 0) << service.output();
    }

    std::string path(const std::string& relative) const { return root.path() + "/" + relative; }
    std::string text(const std::string& relative) const { return readText(path(relative)); }
    bool present(const std::string& relative) const { return fs::exists(path(relative)); }
    // A file appears in the drop folder whole, as an administrator's copy by rename makes it.
    void drop(const std::string& name, const std::string& contents) const {
        root.write("incoming.tmp", contents);
        fs::create_directories(path("newConfigFiles"));
        fs::rename(path("incoming.tmp"), path("newConfigFiles/" + name));
    }
    // The dropped file is still there, at its drop name or at the private name the service takes
    // it over under.
    bool dropPending(const std::string& name) const {
        if (!fs::exists(path("newConfigFiles"))) return false;
        for (const auto& entry : fs::directory_iterator(path("newConfigFiles"))) {
            const std::string file = entry.path().filename().string();
            if (file == name || file.rfind(name + ".", 0) == 0) return true;
        }
        return false;
    }
    bool logHas(const std::string& part) const { return root.logText().find(part) != std::string::npos; }
    std::vector<std::string> temporaries() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(path("system")))
            if (entry.path().extension() == ".tmp") found.push_back(entry.path().filename());
        return found;
    }

    TempRoot root;
    const std::string office = readText(OFFICE_CONFIGURATION);
    const std::string sample = readText(TAMSEL_SAMPLE_CONFIGURATION);
};

TEST_F(ConfigurationService, StartsOnTheSignedFileAndTakesOverDroppedOnes) {
    auto service = start();
    ASSERT_TRUE(waitFor([&] { return present(INTERNAL_FILE); })) << root.logText();
    EXPECT_TRUE(logHas("]: Opening file system/configuration.xml ...\n"));
    EXPECT_FALSE(logHas("Error: Unable to verify signature."));

    auto dropped = std::chrono::steady_clock::now();
    drop("configuration.xml", sample);
    // The drop name is cleared first, the file in force replaced once the copy is verified.
    ASSERT_TRUE(waitFor([&] { return text("system/configuration.xml") == sample; }, 10s)) << root.logText();
    EXPECT_LT(std::chrono::steady_clock::now() - dropped, 4s);
    EXPECT_FALSE(present("newConfigFiles/configuration.xml"));

    std::string tampered = office;
    tampered.insert(tampered.find("<networks>"), " ");
    drop("configuration.xml", tampered);
    ASSERT_TRUE(waitFor([&] { return present("newConfigFiles/configuration_bad.xml"); }, 10s))
        << root.logText();
    EXPECT_EQ(text("newConfigFiles/configuration_bad.xml"), tampered);
    EXPECT_TRUE(
        logHas("The configuration is invalid and will be ignored. Error: Unable to verify signature."));
    EXPECT_EQ(text("system/configuration.xml"), sample);
    stop(*service);
}

TEST_F(ConfigurationService, AFolderInPlaceOfTheInternalFileIsLoggedAndTheServiceRunsOn) {
    fs::create_directories(path(INTERNAL_FILE));
    auto service = start();
    ASSERT_TRUE(waitFor([&] { return logHas("Failed to write file: system/internalConfiguration.xml"); }))
        << root.logText();
    // Still running: it takes over a dropped user file.
    drop("userConfiguration.xml", userFile(wiredNetwork("Den")));
    ASSERT_TRUE(waitFor([&] { return present(USER_FILE); }, 10s)) << root.logText();
    EXPECT_TRUE(service->running());
    stop(*service);
}

// --- Saves cut short by kill -9 ---

struct KillRow {
    const char* file;
    const char* point;
};

class InterruptedSave : public ConfigurationService, public ::testing::WithParamInterface<KillRow> {};

// The internal file is saved at every start; the user file when a dropped one is merged; the
// administrator file is replaced when a dropped one is taken over. Each kill point leaves the file
// in force old or new, whole, and the next start reads it, finishes what was dropped and leaves no
// temporary behind.
TEST_P(InterruptedSave, LeavesTheOldOrTheNewFileWhole) {
    const KillRow& row = GetParam();
    const std::string file = row.file;
    const std::string target = "system/" + file;
    std::string oldText = office;
    if (file == "internalConfiguration.xml") {
        // An entry of a group the configuration lacks, which the next save leaves out.
        oldText =
            "<internalConfigurationData><group><groupName>Gone</groupName><network><networkName>X"
            "</networkName><credentials><credential>00</credential></credentials></network></group>"
            "</internalConfigurationData>";
        root.write(target, oldText);
    } else if (file == "userConfiguration.xml") {
        oldText = userFile(wiredNetwork("Den"));
        root.write(target, oldText);
        drop(file, userFile(wiredNetwork("Attic")));
    } else {
        drop(file, sample);
    }

    auto killed = start({{"TAMSEL_TEST_KILL_IN_WRITE", file + ":" + row.point}});
    EXPECT_EQ(killed->waitForExit(), 128 + SIGKILL) << root.logText();
    const std::string after = text(target);
    if (std::string(row.point) == "after") {
        EXPECT_NE(after, oldText);
        EXPECT_EQ(after.back(), '\n');
    } else {
        EXPECT_EQ(after, oldText);
    }

    // The next start's log alone.
    fs::remove(root.log());
    auto restarted = start();
    ASSERT_TRUE(waitFor([&] { return logHas("]: Opening file system/internalConfiguration.xml ..."); }))
        << root.logText();
    // A drop caught half-way is taken up again from its start.
    ASSERT_TRUE(waitFor(
        [&] {
            return !dropPending(file) &&
                   (file != "configuration.xml" || text(target) == sample);
        },
        10s))
        << root.logText();
    if (file == "userConfiguration.xml") {
        EXPECT_NE(text(target).find("<displayName>Attic</displayName>"), std::string::npos);
    }
    if (file == "configuration.xml") {
        EXPECT_EQ(text(target), sample);
    }
    stop(*restarted);
    // What the killed save left is gone; the new run's own saves were whole.
    EXPECT_EQ(temporaries(), std::vector<std::string>{});
    EXPECT_FALSE(logHas("XmlReadBuffer")) << root.logText();
}

INSTANTIATE_TEST_SUITE_P(
    KillPoints, InterruptedSave,
    ::testing::Values(KillRow{"internalConfiguration.xml", "half"},
                      KillRow{"internalConfiguration.xml", "before"},
                      KillRow{"internalConfiguration.xml", "after"}, KillRow{"userConfiguration.xml", "half"},
                      KillRow{"userConfiguration.xml", "before"}, KillRow{"userConfiguration.xml", "after"},
                      // Replaced by one rename: there is no temporary to cut in half.
                      KillRow{"configuration.xml", "before"}, KillRow{"configuration.xml", "after"}),
    [](const auto& info) { return std::string(info.param.file).substr(0, 4) + "_" + info.param.point; });

// Kills at random moments while dropped files are taken over: whatever the moment, the next start
// finds every file whole and no temporary.
TEST_F(ConfigurationService, RandomKillsWhileDropsAreTakenOverLeaveEveryFileWhole) {
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        auto service = start();
        ASSERT_TRUE(waitFor([&] { return present(INTERNAL_FILE); })) << root.logText();
        drop("configuration.xml", round % 2 == 0 ? sample : office);
        drop("userConfiguration.xml", userFile(wiredNetwork("Den" + std::to_string(round))));
        // Killed once both drops are taken over, or at a random moment before.
        auto moment = std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 3000)(random));
        waitFor(
            [&] {
                return !dropPending("configuration.xml") && !dropPending("userConfiguration.xml");
            },
            moment);
        service->signal(SIGKILL);
        EXPECT_EQ(service->waitForExit(), 128 + SIGKILL);
        const std::string configuration = text("system/configuration.xml");
        EXPECT_TRUE(configuration == office || configuration == sample);
    }
    fs::remove(root.log());
    auto service = start();
    ASSERT_TRUE(waitFor([&] { return logHas("]: Opening file system/internalConfiguration.xml ..."); }))
        << root.logText();
    stop(*service);
    EXPECT_EQ(temporaries(), std::vector<std::string>{});
    EXPECT_FALSE(logHas("XmlReadBuffer")) << root.logText();
}

// The user's stored key through kills at random moments while administrator files are taken over:
// the user's file, saved once with the key protected, is found whole with the same key each time.
TEST_F(ConfigurationService, RandomKillsKeepTheKeyTheUserStored) {
    const std::string home =
        "<wifiNetwork><displayName>Home</displayName><connectionTimeout>40</"
        "connectionTimeout><ssid><name>home"
        "</name></ssid><associationTimeout>3</associationTimeout><sharedKeyNetwork><userConnection><wpa2>"
        "<keyFromProfile><ascii encryptContent=\"true\">correct horse battery</ascii></keyFromProfile>"
        "<encryption>AES</encryption></wpa2></userConnection></sharedKeyNetwork></wifiNetwork>";
    auto first = start();
    drop("userConfiguration.xml", userFile(home));
    ASSERT_TRUE(
        waitFor([&] { return !dropPending("userConfiguration.xml") && present(USER_FILE); }, 10s))
        << root.logText();
    stop(*first);
    const std::string saved = text(USER_FILE);
    ASSERT_NE(saved.find("<CipherValue>"), std::string::npos) << saved;
    ASSERT_EQ(saved.find("correct horse"), std::string::npos) << "the key is kept protected";

    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        auto service = start();
        drop("configuration.xml", round % 2 == 0 ? sample : office);
        auto moment = std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 3000)(random));
        waitFor([&] { return !present("newConfigFiles/configuration.xml"); }, moment);
        service->signal(SIGKILL);
        EXPECT_EQ(service->waitForExit(), 128 + SIGKILL);
        EXPECT_EQ(text(USER_FILE), saved);
    }
    fs::remove(root.log());
    auto service = start();
    ASSERT_TRUE(waitFor([&] { return logHas("]: Opening file system/internalConfiguration.xml ..."); }))
        << root.logText();
    stop(*service);
    EXPECT_EQ(text(USER_FILE), saved);
    EXPECT_FALSE(logHas("The configuration is invalid")) << root.logText();
    EXPECT_EQ(temporaries(), std::vector<std::string>{});
}

}  // namespace
