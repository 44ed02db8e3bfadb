#include <gtest/gtest.h>

#include <optional>

#include "tests/support/TestText.h"
#include "tests/vel/certificate/CertificateLabTest.h"
#include "vel/certificate/SmartCardList.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/WorkerQueue.h"

namespace tamsel::test {
namespace {

// The smart-card list on the real event and worker queues.
using SmartCardListTest = CertificateQueuesTest;

TEST_F(SmartCardListTest, InsertionRemovalAndReinsertionKeepEveryCertificateOnce) {
    ASSERT_TRUE(updateAndWait({"card1"}, 1)) << log();
    std::string text = log();
    for (const char* line :
         {"Initiating smart card list update #1 (0 -> 1 card(s))...",
          "Found new smart card Alice card(card1)", "No smart card removed.", "(1 store): started...",
          "(1 store): added 1 certificate(s) from store Alice card(card1)",
          "...enumeration #1 of 1 smart card(s) (1 certificate(s)) completed.",
          "Smart card Alice card(card1) added to the list",
          "Number of certificates ever detected on smart cards: 1 (1 usable (1 new, 0 reincarnated), 0 "
          "unusable)",
          "1 smart card(s) added, smart card list update #1 completed."})
        EXPECT_EQ(countOf(text, line), 1) << line << "\n" << text;
    std::vector<Certificate> found = list->certificates();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].isUsable());
    EXPECT_NE(found[0].handle(), 0u);
    EXPECT_TRUE(found[0].hasX509());
    const std::string hash = card.hashHex();

    // Removed: the store and its certificate become unusable and the handle goes.
    ASSERT_TRUE(updateAndWait({}, 2)) << log();
    text = log();
    for (std::string line :
         {std::string("Smart card Alice card(card1) removed from the list and marked as unusable"),
          std::string("1 smart card(s) removed and marked as unusable."),
          "Destroying handle for certificate " + hash + " on the removed smart card Alice card(card1)",
          std::string("(0 usable (0 new, 0 reincarnated), 1 unusable)")})
        EXPECT_EQ(countOf(text, line), 1) << line << "\n" << text;
    EXPECT_FALSE(found[0].isUsable());
    EXPECT_EQ(found[0].handle(), 0u);
    EXPECT_EQ(callsOf("qxCertDestroy(&certificate#"), 1);

    // Inserted again: the new certificate replaces the old one.
    ASSERT_TRUE(updateAndWait({"card1"}, 3)) << log();
    text = log();
    EXPECT_EQ(countOf(text, "Previously unusable certificate " + hash +
                                " on smart card Alice card(card1) has reincarnated"),
              1)
        << text;
    EXPECT_EQ(
        countOf(text,
                "Number of certificates ever detected on smart cards: 1 (1 usable (1 new, 0 reincarnated), 0 "
                "unusable)"),
        2);
    ASSERT_EQ(list->certificates().size(), 1u);
    EXPECT_TRUE(list->certificates()[0].isUsable());

    // The same cards again: nothing removed, no store to enumerate.
    ASSERT_TRUE(updateAndWait({"card1"}, 4)) << log();
    text = log();
    EXPECT_EQ(countOf(text, "Smart card Alice card(card1) is still inserted"), 1);
    EXPECT_EQ(countOf(text, "Certificate store enumeration #4/"), 2);
    EXPECT_NE(text.find("(0 stores): started..."), std::string::npos);
    EXPECT_EQ(countOf(text, "No smart card removed."), 3);
    ASSERT_TRUE(findCertificateByHash(list->certificates(), Ascii(hash.c_str())).exists());
    EXPECT_FALSE(findCertificateByHash(list->certificates(), Ascii("00")).exists());
}

TEST_F(SmartCardListTest, AResultThatComesAfterALaterUpdateIsIgnored) {
    // The engine queue is held, so the first enumeration's result waits behind the second update.
    Gate gate;
    events.post(gate.event());
    ASSERT_TRUE(gate.entered());
    list->update(ids({"card1"}));
    ASSERT_TRUE(waitFor([&] { return countOf(log(), "...completed. (1 certificates).") == 1; })) << log();
    list->update(ids({}));
    gate.open();
    ASSERT_TRUE(waitFor([&] { return countOf(log(), "smart card list update #2 completed.") == 1; }))
        << log();
    std::string text = log();
    EXPECT_EQ(countOf(text, "...however it is too late now, igrnoring it (current enumeration is #2)."), 1)
        << text;
    EXPECT_EQ(countOf(text, "Smart card Alice card(card1) added to the list"), 0);
    EXPECT_TRUE(list->certificates().empty());
    // A later update finds the card again.
    ASSERT_TRUE(updateAndWait({"card1"}, 3)) << log();
    EXPECT_EQ(countOf(log(), "Found new smart card Alice card(card1)"), 2);
    EXPECT_EQ(list->certificates().size(), 1u);
}

TEST_F(SmartCardListTest, TheEngineManagersListReachesTheSingleton) {
    events.post(MessageEvent(new SmartCardIdListEventImpl(ids({"card1"}))));
    ASSERT_TRUE(waitFor([&] { return countOf(log(), "smart card list update #1 completed.") == 1; }))
        << log();
    EXPECT_EQ(list->certificates().size(), 1u);
}

}  // namespace
}  // namespace tamsel::test
