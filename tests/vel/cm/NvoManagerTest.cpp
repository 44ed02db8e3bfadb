#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>

#include "platform/base/FailureInjection.h"
#include "platform/lab/Lab.h"
#include "platform/qxauth/qxAuth.h"
#include "platform/win/ServiceControl.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TestText.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/cm/NvoManager.h"
#include "vel/multithread/EventQueue.h"
#include "vel/symbolicname/SymbolicNameAdapterList.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

// The engine manager on a lab in manual mode, the engine event queue and the adapter list that
// its adapter names reach.
class NvoManagerTest : public RuntimeTest {
public:
    void SetUp() override {
        RuntimeTest::SetUp();
        lab::clearCalls();
        base::clearFailures();
        lab::Lab::instance().setManual(true);
        setenv("TAMSEL_UNIT_DIR", units().c_str(), 1);
        fs::create_directories(units());
        LabBuilder lab;
        lab.wiredAdapter(1, "eth0").wirelessAdapter(2, "wlan0").library("4.1.0.7", "2009-12-31 23:59:59");
        lab.writeTo(root.path() + "/lab.xml");
        initializer = new RecordingInitializerImpl;
        queue = EventQueue::Create(initializer);
        adapters = SymbolicNameAdapterList::create();
        manager = NvoManager::create();
    }
    void TearDown() override {
        if (lab::Lab::instance().running()) manager->exit();
        queue.stop();
        adapters->clearReferences();
        adapters->reset();
        manager->reset();
        queue.reset();
        initializer->release();
        lab::Lab::instance().setManual(false);
        base::clearFailures();
        unsetenv("TAMSEL_UNIT_DIR");
        RuntimeTest::TearDown();
    }

    std::string units() const { return root.path() + "/units"; }
    std::string systemFolder() const { return root.path() + "/c/Windows/system32"; }
    // The plug-in where the loader looks after the program's folder.
    void installAgent() {
        fs::create_directories(systemFolder());
        fs::copy_file(QXTIVRA_LIBRARY, systemFolder() + "/libqxTivra.so",
                      fs::copy_options::overwrite_existing);
    }
    // The agent's service, whose program file carries its version.
    void registerAgentService() {
        using namespace winsvc;
        SC_HANDLE scm = OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        ASSERT_NE(scm, nullptr);
        SC_HANDLE service = CreateService(scm, "TivraEoU", "Tivra", SERVICE_ALL_ACCESS,
                                          SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                          SERVICE_ERROR_NORMAL, (systemFolder() + "/libqxTivra.so").c_str(),
                                          nullptr, nullptr, "", nullptr, nullptr);
        ASSERT_NE(service, nullptr);
        CloseServiceHandle(service);
        CloseServiceHandle(scm);
    }
    std::string log() { return readText(root.log()); }
    // The calls so far, each record the library made written "tlv#N": its number counts the
    // records of the whole process.
    std::vector<std::string> calls() {
        std::vector<std::string> lines = lab::recordedCalls();
        static const std::regex record("tlv#[0-9]+");
        for (std::string& line : lines) line = std::regex_replace(line, record, "tlv#N");
        return lines;
    }
    int callsOf(const std::string& prefix) {
        int n = 0;
        for (const std::string& line : calls()) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

    RecordingInitializerImpl* initializer = nullptr;
    EventQueue queue;
    // Empty until made: a default handle binds to an existing singleton.
    std::optional<SymbolicNameAdapterList> adapters;
    std::optional<NvoManager> manager;
};

struct SetUpCase {
    const char* name;
    std::function<void(NvoManagerTest&)> arrange;
    std::vector<std::string> lines;   // in the log
    std::vector<std::string> absent;  // not in the log
    std::vector<std::string> calls;   // in the calls record
};

class NvoManagerSetUp : public NvoManagerTest, public testing::WithParamInterface<SetUpCase> {};

void installed(NvoManagerTest& test) {
    test.installAgent();
    test.registerAgentService();
}

void failing(const char* function, int code, NvoManagerTest& test) {
    installed(test);
    base::failNext(function, static_cast<std::uint32_t>(code), 1);
}

TEST_P(NvoManagerSetUp, StartsTheLibraryAndItsPartsAsTheySay) {
    const SetUpCase& c = GetParam();
    c.arrange(*this);
    manager->init();
    std::string text = log();
    for (const std::string& line : c.lines)
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    for (const std::string& line : c.absent) EXPECT_EQ(text.find(line), std::string::npos) << line;
    std::vector<std::string> recorded = calls();
    for (const std::string& call : c.calls)
        EXPECT_NE(std::find(recorded.begin(), recorded.end(), call), recorded.end()) << call;
    // Whatever the plug-in did, the library runs with fourteen log levels on.
    EXPECT_EQ(callsOf("qxLogEnable("), 14);
    EXPECT_EQ(callsOf("qxLogEnable(15"), 0);
    EXPECT_EQ(callsOf("qxInit("), 1);
}

const std::string STARTED = "Successfully initialized FIPS module.";
const std::string VERSION = "Successfully initialized qxAuth Ver: 4.1.0.7 ";
const std::string NO_CARDS = "qxSmartCardInit: smart cards are not supported on this platform";
const std::string LOADED = "Tivra Ver. " TAMSEL_VERSION_TEXT " successfully loaded";
const std::string UNKNOWN_VERSION = "Tivra unknown version successfully loaded.";
const std::string NOT_LOADED = "Failed to load Tivra";
const std::string INIT2 = "qxTivraInit2(&tlv#N, \"VEL Tivra NetTrans\")";

INSTANTIATE_TEST_SUITE_P(
    Setups, NvoManagerSetUp,
    testing::Values(SetUpCase{"Everything",
                              installed,
                              {STARTED, VERSION, LOADED},
                              {NOT_LOADED, "Internal error", NO_CARDS},
                              {"qxInit(&init) = 0", "qxLogSet(context, callback) = 0",
                               "qxSmartCardInit(context) = 0", "qxEapTTLSInit(context) = 0",
                               "qxTlvInit(&tlv#N) = 0", INIT2 + " = 0"}},
                    SetUpCase{"CardsNotSupported",
                              [](NvoManagerTest& t) { failing("qxSmartCardInit", -15, t); },
                              {NO_CARDS, LOADED},
                              {"NvoError for function 'qxSmartCardInit'"},
                              {"qxSmartCardInit(context) = -15"}},
                    SetUpCase{"CardsFailingOtherwise",
                              [](NvoManagerTest& t) { failing("qxSmartCardInit", -1, t); },
                              {"NvoError for function 'qxSmartCardInit' => -1", LOADED},
                              {NO_CARDS},
                              {}},
                    SetUpCase{"AnEapMethodFailing",
                              [](NvoManagerTest& t) { failing("qxEapLEAPInit", -4, t); },
                              {"NvoError for function 'qxEapLEAPInIt' => -4", LOADED},
                              {},
                              {"qxEapFASTInit(context) = 0"}},
                    SetUpCase{"VersionUnknownToTheLibrary",
                              [](NvoManagerTest& t) { failing("qxVersion", -1, t); },
                              {STARTED, LOADED},
                              {"Successfully initialized qxAuth Ver"},
                              {}},
                    SetUpCase{"PlugInAbsent",
                              [](NvoManagerTest&) {},
                              {NOT_LOADED},
                              {LOADED, "Tivra:"},
                              {"LoadLibraryW(L\"qxTivra\") = 126"}},
                    SetUpCase{"EntryMissing",
                              [](NvoManagerTest& t) { failing("GetProcAddress", 127, t); },
                              {"Tivra: can't load  qxTivraInit2()", NOT_LOADED},
                              {LOADED},
                              {"FreeLibrary(module) = 0"}},
                    SetUpCase{"RecordRefused",
                              [](NvoManagerTest& t) { failing("qxTlvInit", -1, t); },
                              {"FAILURE: qxTlvInit()=QX_ERR_FAILURE", NOT_LOADED},
                              {LOADED},
                              {"FreeLibrary(module) = 0"}},
                    SetUpCase{"AgentHasNothingToDo",
                              [](NvoManagerTest& t) { failing("qxTivraInit2", -32, t); },
                              {NOT_LOADED},
                              {"FAILURE:", LOADED},
                              {INIT2 + " = -32", "FreeLibrary(module) = 0"}},
                    SetUpCase{"AgentFailing",
                              [](NvoManagerTest& t) { failing("qxTivraInit2", -1, t); },
                              {"FAILURE: qxTivraInit2()=QX_ERR_FAILURE", NOT_LOADED},
                              {LOADED},
                              {INIT2 + " = -1"}},
                    SetUpCase{"AgentVersionUnknown",
                              [](NvoManagerTest& t) { t.installAgent(); },
                              {UNKNOWN_VERSION},
                              {NOT_LOADED, LOADED},
                              {}}),
    [](const testing::TestParamInfo<SetUpCase>& info) { return std::string(info.param.name); });

// The agent's record stays valid from one load to the next: an agent loaded again on a record the
// library calls already made still starts.
TEST_F(NvoManagerTest, AgentStartsOnTheRecordOfAnEarlierLoad) {
    installed(*this);
    manager->init();
    manager->exit();
    manager->reset();
    lab::clearCalls();
    base::failNext("qxTlvInit", static_cast<std::uint32_t>(QX_ERR_NOT_APPLICABLE), 1);
    manager = NvoManager::create();
    manager->init();
    std::vector<std::string> recorded = calls();
    EXPECT_EQ(std::count(recorded.begin(), recorded.end(), "qxTlvInit(&tlv) = -32"), 1);
    EXPECT_EQ(std::count(recorded.begin(), recorded.end(), INIT2 + " = 0"), 1);
    EXPECT_EQ(countOf(log(), LOADED), 2);
}

TEST_F(NvoManagerTest, ALibraryThatCannotStartEndsTheService) {
    base::failNext("qxInit", static_cast<std::uint32_t>(QX_ERR_FAILURE), 1);
    EXPECT_EXIT(manager->init(), testing::ExitedWithCode(3), "FATAL: Unable to initialize qxAuth library.");
}

// As a library that cannot start: a deliberate stop that names the call, not an exception that
// ends the thread.
TEST_F(NvoManagerTest, ALibraryLogThatCannotBeSetOrEnabledEndsTheServiceNamingTheCall) {
    for (const char* function : {"qxLogSet", "qxLogEnable"}) {
        SCOPED_TRACE(function);
        base::failNext(function, static_cast<std::uint32_t>(QX_ERR_FAILURE), 1);
        EXPECT_EXIT(manager->init(), testing::ExitedWithCode(3),
                    std::string("FATAL: Unable to (set|enable) the qxAuth library's log: ") + function +
                        " failed\\.");
        base::clearFailures();
    }
}

TEST_F(NvoManagerTest, AdapterNamesReachTheAdapterListAndNothingFollowsExit) {
    installed(*this);
    manager->init();
    lab::Lab::instance().pump();
    ASSERT_TRUE(drain(queue));
    std::vector<VelAdapter> list = adapters->adapters();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].symbolicName(), LabBuilder::guid(1).c_str());

    manager->exit();
    EXPECT_NE(log().find("Tivra: unloaded"), std::string::npos);
    EXPECT_EQ(callsOf("qxTivraExit() = 0"), 1);
    EXPECT_EQ(callsOf("qxExit() = 0"), 1);
    // The library sends nothing more; were it to, the manager would only say so.
    const char names[] = "{6F1A0C2E-0000-4000-8000-000000000009}";
    manager->impl()->globalCallback(QX_EVENT_ADAPTER_LIST, names, sizeof names);
    manager->impl()->globalCallback(QX_EVENT_SMART_CARD_LIST, "card1", 6);
    ASSERT_TRUE(drain(queue));
    EXPECT_EQ(adapters->adapters().size(), 2u);
    EXPECT_EQ(countOf(log(), "Ignoring QX_EVENT_ADAPTER_LIST event: qxExit() already called"), 1);
    EXPECT_EQ(countOf(log(), "Ignoring QX_EVENT_SMART_CARD_LIST event: qxExit() already called"), 1);
}

TEST_F(NvoManagerTest, SmartCardListsAreDroppedWhileCardsAreNotSupported) {
    failing("qxSmartCardInit", QX_ERR_NOT_SUPPORTED, *this);
    manager->init();
    int sunk = 0;
    manager->impl()->setSmartCardIdListSink([&](const AsciiVector&) { ++sunk; });
    manager->impl()->globalCallback(QX_EVENT_SMART_CARD_LIST, "card1", 6);
    manager->impl()->globalCallback(QX_EVENT_IP_CONFIG_CHANGED, nullptr, 0);
    EXPECT_EQ(sunk, 0);
    EXPECT_EQ(countOf(log(), "Smart card change event"), 0);
    EXPECT_EQ(countOf(log(), "NvoManagerImpl.GlobalCallback: QX_EVENT_SMART_CARD_LIST ["), 1);
    EXPECT_EQ(countOf(log(), "NvoManagerImpl.GlobalCallback: QX_EVENT_IP_CONFIG_CHANGED ["), 1);
}

TEST_F(NvoManagerTest, TheInsertedCardsReachTheSinkOnceCardsAreFollowed) {
    installed(*this);
    LabBuilder lab;
    lab.wiredAdapter(1, "eth0")
        .add("smartCard", {{"id", "card1"}, {"pin", "1234"}})
        .add("smartCard", {{"id", "card2"}, {"pin", "1234"}, {"inserted", "false"}});
    lab.writeTo(root.path() + "/lab.xml");
    std::vector<std::string> sunk;
    manager->impl()->setSmartCardIdListSink([&](const AsciiVector& ids) {
        for (std::int32_t i = 0; i < ids.length(); ++i) sunk.push_back(ids.get(i).text());
        sunk.push_back("|");
    });
    manager->init();
    lab::Lab::instance().pump();
    EXPECT_EQ(lab::Lab::instance().command("card insert card2"), "ok");
    lab::Lab::instance().pump();
    EXPECT_EQ(sunk, (std::vector<std::string>{"card1", "|", "card1", "card2", "|"}));
    EXPECT_EQ(countOf(log(), "Smart card change event: 2 smart card(s) detected"), 1);
}

TEST(NameList, TextsEndAtTheirNulOrAtTheLength) {
    struct Case {
        std::string data;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {std::string(), {}},
        {std::string("A\0", 2), {"A"}},
        {std::string("A\0BC\0", 5), {"A", "BC"}},
        // The last text without its NUL ends at the length.
        {std::string("A\0BC", 4), {"A", "BC"}},
        {std::string("A\0\0", 3), {"A", ""}},
    };
    LumRuntime runtime;
    for (const Case& c : cases) {
        AsciiVector names = splitNameList(c.data.data(), static_cast<int>(c.data.size()));
        std::vector<std::string> got;
        for (std::int32_t i = 0; i < names.length(); ++i) got.emplace_back(names.get(i).text());
        EXPECT_EQ(got, c.names);
    }
}

TEST_F(NvoManagerTest, TheLibrarysOwnLinesAreLoggedOnlyWithBit32) {
    installed(*this);
    manager->init();
    QX_LOG_LINE line = {QX_LOG_EAP, 7, 1262303999, "eap.c", 42};
    manager->impl()->logCallback(&line, "method chosen");
    EXPECT_EQ(countOf(log(), "method chosen"), 0);
    setLogLevelMask(LogConstants::INITIAL_MASK | 32);
    manager->impl()->logCallback(&line, "method chosen");
    std::string text = log();
    std::time_t when = 1262303999;
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "[time=%Y-%m-%d %H:%M:%S]", std::localtime(&when));
    EXPECT_EQ(countOf(text, stamp), 1) << text;
    EXPECT_EQ(countOf(text, "EAP (7) method chosen (eap.c 42)"), 1) << text;
}

}  // namespace
}  // namespace tamsel::test
