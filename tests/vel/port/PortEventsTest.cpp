#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "tests/vel/port/PortTestSupport.h"
#include "vel/port/PortStateMachine.h"
#include "vel/port/RealNvoPort.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

std::vector<std::uint8_t> pairRecord(std::int32_t first, std::int32_t second) {
    std::int32_t words[2] = {first, second};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(words);
    return std::vector<std::uint8_t>(bytes, bytes + sizeof words);
}

// A location answer: the fixed part, then the items at the offsets given.
struct LocationRecord {
    QX_LOC_RESPONSE fixed = {};
    std::vector<std::uint8_t> items;

    std::uint32_t add(const std::vector<std::uint8_t>& item) {
        auto at = static_cast<std::uint32_t>(items.size());
        items.insert(items.end(), item.begin(), item.end());
        return at;
    }
    std::vector<std::uint8_t> bytes() const {
        const auto* p = reinterpret_cast<const std::uint8_t*>(&fixed);
        std::vector<std::uint8_t> all(p, p + sizeof fixed);
        all.insert(all.end(), items.begin(), items.end());
        return all;
    }
};

class PortEventsTest : public PortTest {
protected:
    void start(const char* wiredLink = "up") {
        LabBuilder builder;
        builder.wiredAdapter(1, "eth0", {{"link", wiredLink}}).wirelessAdapter(2, "wlan0");
        startLab(builder);
    }
    // A notification as the library's thread gives it, then the events it posted.
    void notify(int type, const std::vector<std::uint8_t>& record) {
        pm()->portEventCallback(type, record.data(), static_cast<int>(record.size()));
        ASSERT_TRUE(drain(queue));
    }
};

TEST_F(PortEventsTest, NotificationsReachTheAdapterAsItsEvents) {
    start();
    makeManager(2);
    settle();
    listener->lines.clear();
    struct Row {
        int type;
        std::vector<std::uint8_t> record;
        std::vector<std::string> lines;
    } rows[] = {
        {QX_PORT_EVENT_LINK_MODE, pairRecord(1, 0), {}},
        {QX_PORT_EVENT_LINK_MODE, pairRecord(2, 54000), {"up 54000"}},
        {QX_PORT_EVENT_LINK_MODE, pairRecord(3, 0), {"down"}},
        {QX_PORT_EVENT_STATE_STATUS, pairRecord(1, 100), {"state 0 0"}},
        {QX_PORT_EVENT_STATE_STATUS, pairRecord(2, 601), {"state 13 0"}},
        {QX_PORT_EVENT_STATE_STATUS, pairRecord(3, 200), {"state 14 0"}},
        {QX_PORT_EVENT_STATE_STATUS, pairRecord(4, 600), {"state 0 0"}},
        {QX_PORT_EVENT_STATE_STATUS, pairRecord(4, 601), {"state 13 0"}},
        {QX_PORT_EVENT_STATE_STATUS, pairRecord(5, 203), {"state 0 0"}},
        {QX_PORT_EVENT_STATE_STATUS, pairRecord(5, 710), {"state 0 0"}},
        {QX_PORT_EVENT_STATE_STATUS, pairRecord(5, 205), {"state 17 3"}},
        {QX_PORT_EVENT_STATE_STATUS, pairRecord(5, 201), {"state 17 3"}},
        {QX_PORT_EVENT_STATUS, pairRecord(0, 101), {}},
        // The record holds {error, request number}; the listener takes the number first.
        {QX_PORT_EVENT_LOCATION_ERROR, pairRecord(-7, 3), {"location error 3 -7"}},
        {9, pairRecord(0, 0), {}},
    };
    for (const Row& row : rows) {
        listener->lines.clear();
        notify(row.type, row.record);
        EXPECT_EQ(listener->lines, row.lines) << row.type << " " << row.record[0];
    }
    std::string text = log();
    EXPECT_THAT(text, HasSubstr(LabBuilder::guid(2) + ": Port State HELD and status SERVER_REJECTED"));
    EXPECT_THAT(text, HasSubstr(LabBuilder::guid(2) + " - Received STATE_AUTHENTICATED"));
    EXPECT_THAT(text, HasSubstr(LabBuilder::guid(2) + ": Connection Authentication Started"));
    EXPECT_THAT(text, HasSubstr("Internal error 173, contact software manufacturer"));
    EXPECT_THAT(text, HasSubstr("unknown nvo port event 9"));
}

TEST_F(PortEventsTest, WiredLinkUpGoesOnOnlyWhileTheLinkIsUp) {
    start("down");
    makeManager(1);
    settle();
    notify(QX_PORT_EVENT_LINK_MODE, pairRecord(2, 100000));
    EXPECT_THAT(listener->lines, IsEmpty());
    EXPECT_THAT(log(), HasSubstr("Ignoring port up status notification, as link state changed"));
    ASSERT_EQ(lab::Lab::instance().command("link eth0 up"), "ok");
    settle();
    EXPECT_THAT(listener->lines, ElementsAre("up 100000"));
}

TEST_F(PortEventsTest, EapStatusesBecomeAdapterEventsOrALine) {
    start();
    makeManager(2);
    settle();
    listener->lines.clear();
    for (int status : {318, 402, 400}) {
        pm()->eapStatusCallback(&status);
        ASSERT_TRUE(drain(queue));
    }
    pm()->eapStatusCallback(nullptr);
    ASSERT_TRUE(drain(queue));
    EXPECT_THAT(listener->lines, ElementsAre("event 1", "event 2"));
    EXPECT_THAT(log(), HasSubstr(LabBuilder::guid(2) + " Eap status QX_EAP_STATUS_SUCCESS."));
}

// Once the engine resets the port's authentication, the old session's end may still be on its way:
// it must not decide the next session, which starts with the reset's notice or a connecting port.
TEST_F(PortEventsTest, ReportsOfAnEndedSessionDoNotDecideTheNextOne) {
    start();
    makeManager(1);
    settle();
    auto eapStatus = [this](int status) {
        pm()->eapStatusCallback(&status);
        ASSERT_TRUE(drain(queue));
    };
    struct Row {
        std::vector<std::uint8_t> opener;
        std::vector<std::uint8_t> failure;
        const char* openerLine;
    } rows[] = {
        {pairRecord(QX_PORT_STATE_CONNECTING, QX_PORT_STATUS_IN_PROGRESS),
         pairRecord(QX_PORT_STATE_HELD, QX_PORT_STATUS_EAP_FAILURE), "state 13 0"},
        {pairRecord(QX_PORT_STATE_DISCONNECTED, QX_PORT_STATUS_LOGOFF),
         pairRecord(QX_PORT_STATE_HELD, QX_PORT_STATUS_KEY_MISMATCH), "state 0 0"},
    };
    for (const Row& row : rows) {
        listener->lines.clear();
        pm()->authReset();
        eapStatus(QX_EAP_STATUS_CLEARTEXT_FAILURE);
        notify(QX_PORT_EVENT_STATE_STATUS, pairRecord(QX_PORT_STATE_HELD, QX_PORT_STATUS_EAP_FAILURE));
        notify(QX_PORT_EVENT_STATE_STATUS, pairRecord(QX_PORT_STATE_AUTHENTICATED, QX_PORT_STATUS_SUCCESS));
        notify(QX_PORT_EVENT_STATE_STATUS,
               pairRecord(QX_PORT_STATE_AUTHENTICATING, QX_PORT_STATUS_IN_PROGRESS));
        EXPECT_THAT(listener->lines, IsEmpty()) << row.openerLine;
        notify(QX_PORT_EVENT_STATE_STATUS, row.opener);
        eapStatus(QX_EAP_STATUS_CLEARTEXT_FAILURE);
        notify(QX_PORT_EVENT_STATE_STATUS, row.failure);
        EXPECT_THAT(listener->lines, ElementsAre(row.openerLine, "event 2", "state 17 3"));
    }
    std::string text = log();
    EXPECT_THAT(text,
                HasSubstr(LabBuilder::guid(1) + ": port state 5 and status 201 of an ended session ignored"));
    EXPECT_THAT(text, HasSubstr(LabBuilder::guid(1) + ": Eap status 402 of an ended session ignored"));
}

TEST_F(PortEventsTest, LocationResponseIsReadItemByItem) {
    start();
    makeManager(2);
    LocationRecord record;
    record.fixed.sequence = 9;
    record.fixed.format = 1;
    record.fixed.dataOffset = record.add({4, 0, 'r', 'o', 'o', 'm'});
    record.fixed.idOffset = record.add({2, 0, 'i', 'd'});
    record.fixed.accuracyOffset = record.add({25, 0, 0, 0});
    notify(QX_PORT_EVENT_LOCATION, record.bytes());
    ASSERT_EQ(listener->responses.size(), 1u);
    LocationResponse response = listener->responses[0];
    EXPECT_EQ(response.getSequenceNumber(), 9);
    EXPECT_EQ(response.getLocationFormat(), 1);
    EXPECT_EQ(std::string(response.getLocationData().text(), 4), "room");
    EXPECT_EQ(response.getSignatureType(), 100);
    EXPECT_EQ(response.getDigitalSignature().length(), 0);
    EXPECT_EQ(std::string(response.getLocationId().text(), 2), "id");
    EXPECT_EQ(response.getLocationAccuracy(), 25);

    // Items that run past the record are refused with an error, and nothing is posted.
    LocationRecord broken = record;
    broken.fixed.signatureOffset = 200;
    notify(QX_PORT_EVENT_LOCATION, broken.bytes());
    broken = record;
    broken.items[0] = 250;  // the data item's length
    notify(QX_PORT_EVENT_LOCATION, broken.bytes());
    EXPECT_EQ(listener->responses.size(), 1u);
    EXPECT_THAT(log(), HasSubstr("location response items lie outside its"));
}

TEST_F(PortEventsTest, PortNoticeAfterDetachBeganIsDropped) {
    start();
    makeManager(2);
    settle();
    listener->lines.clear();
    auto* port = static_cast<RealNvoPortImpl*>(pm()->port().impl());
    std::vector<std::uint8_t> down = pairRecord(3, 0);
    RealNvoPortImpl::portCallback(port, QX_PORT_EVENT_LINK_MODE, down.data(), 8);
    ASSERT_TRUE(drain(queue));
    EXPECT_THAT(listener->lines, ElementsAre("down"));
    onEngine([&] { manager.clearReferences(); });
    RealNvoPortImpl::portCallback(port, QX_PORT_EVENT_LINK_MODE, down.data(), 8);
    ASSERT_TRUE(drain(queue));
    EXPECT_THAT(listener->lines, ElementsAre("down"));
}

TEST(PortStateMachinePrefix, OnlyALeadingWholePrefixIsRemoved) {
    EXPECT_EQ(PortStateMachine::withoutPrefix("QX_PORT_STATE_HELD", "QX_PORT_STATE_"), "HELD");
    EXPECT_EQ(PortStateMachine::withoutPrefix("QX_PORT_STATE_", "QX_PORT_STATE_"), "");
    EXPECT_EQ(PortStateMachine::withoutPrefix("QX_PORT", "QX_PORT_STATE_"), "QX_PORT");
    EXPECT_EQ(PortStateMachine::withoutPrefix("HELD_QX_PORT_STATE_", "QX_PORT_STATE_"),
              "HELD_QX_PORT_STATE_");
}

}  // namespace
}  // namespace tamsel::test
