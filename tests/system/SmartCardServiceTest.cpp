#include <gtest/gtest.h>
#include <signal.h>

#include "tests/support/LabBuilder.h"
#include "tests/support/TestPki.h"
#include "tests/system/LabClient.h"
#include "tests/system/ServiceLog.h"
#include "tests/system/ServiceProcess.h"

namespace {

using tamsel::test::LabBuilder;
using tamsel::test::LabClient;

// The service follows a card taken out and put back over run/lab: its certificates are found,
// made unusable with their handles given back, and found again.
TEST(SmartCardService, ACardInsertedRemovedAndInsertedAgainIsFollowed) {
    TempRoot root;
    LabBuilder lab;
    lab.wiredAdapter(1, "eth0");
    lab.add("smartCard", {{"id", "card1"},
                          {"name", "Alice card"},
                          {"file", std::string(TEST_PKI) + "/" + tamsel::test::pki::CARD_P12},
                          {"pin", tamsel::test::pki::CARD_PIN},
                          {"inserted", "false"}});
    lab.writeTo(root.path() + "/lab.xml");
    ServiceProcess service(root, {"-run"}, {{"TAMSEL_TEST_ONE_TIME_TIMER_S", "0"}});
    ASSERT_TRUE(waitFor([&] { return countOf(root.logText(), "smart card list update #1 completed.") == 1; }))
        << root.logText();
    LabClient client(root.path() + "/run/lab");
    ASSERT_TRUE(client.connected());
    const std::vector<std::string> ok = {"ok"};
    EXPECT_EQ(client.command("card insert card1"), ok);
    ASSERT_TRUE(waitFor([&] { return countOf(root.logText(), "smart card list update #2 completed.") == 1; }))
        << root.logText();
    EXPECT_EQ(client.command("card remove card1"), ok);
    ASSERT_TRUE(waitFor([&] { return countOf(root.logText(), "smart card list update #3 completed.") == 1; }))
        << root.logText();
    EXPECT_EQ(client.command("card insert card1"), ok);
    ASSERT_TRUE(waitFor([&] { return countOf(root.logText(), "smart card list update #4 completed.") == 1; }))
        << root.logText();

    std::string log = root.logText();
    for (const char* line :
         {"]: Smart card change event: 1 smart card(s) detected\n",
          "]: Found new smart card Alice card(card1)\n",
          "]: Smart card Alice card(card1) added to the list\n",
          "]: Smart card Alice card(card1) removed from the list and marked as unusable\n",
          "on the removed smart card Alice card(card1)\n", "]: Previously unusable certificate ",
          "]: Number of certificates ever detected on smart cards: 2 (2 usable (2 new, 0 reincarnated), 0 "
          "unusable)\n"})
        EXPECT_GE(countOf(log, line), 1) << line << "\n" << log;
    // The card holds its certificate and its CA's: both come back.
    EXPECT_EQ(countOf(log, "has reincarnated\n"), 2) << log;
    EXPECT_EQ(countOf(log, "Internal error"), 0) << log;
    service.signal(SIGINT);
    ASSERT_EQ(service.waitForExit(), 0) << service.output();
    EXPECT_EQ(countOf(root.logText(), "Internal error"), 0) << root.logText();
}

}  // namespace
