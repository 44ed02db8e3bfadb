#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>

#include "platform/base/Folders.h"
#include "platform/base/Root.h"
#include "tests/support/TempHome.h"

namespace tamsel::test {
namespace {

struct RootCase {
    const char* name;
    base::RootInputs inputs;
    const char* root;
};

// Every program of the system resolves its root with this one rule.
const RootCase ROOT_CASES[] = {
    {"root user", {nullptr, true, "/root", "/root"}, "/var/lib/tamsel"},
    {"root user, empty TAMSEL_HOME", {"", true, "/root", "/root"}, "/var/lib/tamsel"},
    {"user with HOME", {nullptr, false, "/home/ann", "/home/other"}, "/home/ann/.local/state/tamsel"},
    {"user with HOME ending in '/'",
     {nullptr, false, "/home/ann/", nullptr},
     "/home/ann/.local/state/tamsel"},
    {"user without HOME", {nullptr, false, nullptr, "/home/bob"}, "/home/bob/.local/state/tamsel"},
    {"user with empty HOME", {nullptr, false, "", "/home/bob"}, "/home/bob/.local/state/tamsel"},
    {"user without HOME or home entry", {nullptr, false, nullptr, nullptr}, "/tmp/.local/state/tamsel"},
    {"user whose home is /", {nullptr, false, "/", nullptr}, "/.local/state/tamsel"},
    {"TAMSEL_HOME", {"/srv/t", false, "/home/ann", nullptr}, "/srv/t"},
    {"TAMSEL_HOME with a trailing '/'", {"/srv/t/", false, "/home/ann", nullptr}, "/srv/t"},
    {"TAMSEL_HOME with trailing '//'", {"/srv/t//", true, nullptr, nullptr}, "/srv/t"},
    {"TAMSEL_HOME for root", {"/srv/t", true, "/root", "/root"}, "/srv/t"},
    {"TAMSEL_HOME of /", {"/", false, nullptr, nullptr}, "/"},
};

TEST(RootTest, EveryKindOfUserResolvesItsRootByOneRule) {
    for (const RootCase& c : ROOT_CASES) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(base::resolveRoot(c.inputs), c.root);
    }
}

struct ClientCase {
    const char* name;
    const char* tamselHome;
    bool ownPipe;
    const char* root;
};

const ClientCase CLIENT_CASES[] = {
    {"TAMSEL_HOME", "/srv/t", false, "/srv/t"},
    {"TAMSEL_HOME with a trailing '/'", "/srv/t/", true, "/srv/t"},
    {"own root serving", nullptr, true, "/home/ann/.local/state/tamsel"},
    {"own root not serving", nullptr, false, "/var/lib/tamsel"},
    {"empty TAMSEL_HOME", "", false, "/var/lib/tamsel"},
};

TEST(RootTest, ClientFindsTheServicesRoot) {
    for (const ClientCase& c : CLIENT_CASES) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(base::resolveClientRoot(c.tamselHome, "/home/ann/.local/state/tamsel", c.ownPipe), c.root);
    }
}

TEST(RootTest, EnvironmentNamesTheRootWithoutItsTrailingSlash) {
    TempHome home("base-root");
    setenv("TAMSEL_HOME", (home.path() + "/").c_str(), 1);
    EXPECT_EQ(base::programDataRoot(), home.path());
    EXPECT_EQ(base::clientRoot(), home.path());
}

TEST(RootTest, RootFolderIsCreatedOnDemand) {
    TempHome home("base-folder");
    std::string logs = base::rootFolder(base::RootFolders::LOGS);
    EXPECT_EQ(logs, home.path() + "/logs");
    EXPECT_TRUE(base::isFolder(logs));
    EXPECT_EQ(base::rootFolder("a/b/c"), home.path() + "/a/b/c");
    EXPECT_TRUE(base::isFolder(home.path() + "/a/b/c"));
}

TEST(RootTest, RootFolderIsEmptyWhenAFileStandsInTheWay) {
    TempHome home("base-blocked");
    std::ofstream(home.file("run")) << "not a folder";
    EXPECT_EQ(base::rootFolder(base::RootFolders::RUN), "");
    EXPECT_FALSE(base::makeFolders(home.path() + "/run/deeper"));
}

}  // namespace
}  // namespace tamsel::test
