#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/vel/port/PortTestSupport.h"
#include "vel/port/RealNvoPort.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

QX_ASSOCIATE associateRecord(const char* ssid) {
    QX_ASSOCIATE record = {};
    std::memcpy(record.ssid, ssid, std::strlen(ssid));
    record.ssidLength = static_cast<uint32_t>(std::strlen(ssid));
    record.mode = QX_ASSOC_OPEN;
    record.encryption = QX_ENCRYPTION_NONE;
    return record;
}

class NvoPortTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        LabBuilder builder;
        builder.wirelessAdapter(2, "wlan0");
        builder.add("accessPoint", {{"ssid", "cafe"}, {"bssid", "02:aa:00:00:00:01"}});
        startLab(builder);
        port = new RealNvoPortImpl;
    }
    void TearDown() override {
        if (attached) port->detach();
        if (eap) port->eapDestroy();
        port->clearReferences();
        port->release();
        PortTest::TearDown();
    }
    void open() {
        ASSERT_EQ(port->eapCreate(), QX_OK);
        eap = true;
        ASSERT_EQ(port->attach(LabBuilder::guid(2).c_str()), QX_OK);
        attached = true;
        lab::clearCalls();
    }
    // The calls one operation made, with its result.
    std::vector<std::string> callsOf(const std::function<int()>& operation, int* result = nullptr) {
        lab::clearCalls();
        int r = operation();
        if (result != nullptr) *result = r;
        return calls();
    }

    RealNvoPortImpl* port = nullptr;
    bool eap = false;
    bool attached = false;
};

TEST_F(NvoPortTest, EachOperationMakesItsOneLibraryCall) {
    open();
    QX_ASSOCIATE record = associateRecord("cafe");
    std::string name = portName(2);
    struct Row {
        const char* what;
        std::function<int()> operation;
        std::string call;
    } rows[] = {
        {"associate", [&] { return port->associate(record); },
         "qxPortAssociate(" + name + ", \"cafe\", 2, 1) = 0"},
        {"disassociate", [&] { return port->disassociate(); }, "qxPortDisassociate(" + name + ") = 0"},
        {"auth 1", [&] { return port->auth(1); }, "qxPortAuth(" + name + ", 2) = 0"},
        {"auth 2", [&] { return port->auth(2); }, "qxPortAuth(" + name + ", 3) = 0"},
        {"auth 0", [&] { return port->auth(0); }, "qxPortAuth(" + name + ", 1) = 0"},
        {"auth 5", [&] { return port->auth(5); }, "qxPortAuth(" + name + ", 1) = 0"},
        {"probe 1", [&] { return port->rsnProbeIeVerifyEnable(1); },
         "qxRsnProbeIeVerifyEnable(" + name + ", 0) = 0"},
        {"probe 0", [&] { return port->rsnProbeIeVerifyEnable(0); },
         "qxRsnProbeIeVerifyEnable(" + name + ", 1) = 0"},
        {"scan", [&] { return port->ssidScan(); }, "qxPortSsidScan(" + name + ") = 0"},
        {"802.1X settings",
         [&] {
             return port->set8021xCfg(QX_8021X_CFG{30, 60, 30, 3});
         },
         "qx8021xCfg(" + name + ", {30, 60, 30, 3}) = 0"},
        {"link state",
         [&] {
             std::int32_t state = 0;
             return port->getLinkState(&state);
         },
         "qxPortGetLinkState(" + name + ", &state) = 0"},
        {"reset", [&] { return port->authReset(); }, "qxPortAuthReset(" + name + ") = 0"},
    };
    for (const Row& row : rows) {
        int result = -99;
        EXPECT_THAT(callsOf(row.operation, &result), ElementsAre(row.call)) << row.what;
        EXPECT_EQ(result, QX_OK) << row.what;
    }
}

TEST_F(NvoPortTest, ByNameOperationsNeedNoAttachedPort) {
    int length = 0;
    EXPECT_EQ(port->getSsidList(LabBuilder::guid(2).c_str(), nullptr, &length), QX_OK);
    EXPECT_EQ(length, static_cast<int>(sizeof(QX_SSID_ENTRY)));
    QX_PORT_ATTR attributes = {};
    EXPECT_EQ(port->getAttributes(LabBuilder::guid(2).c_str(), &attributes), QX_OK);
    EXPECT_NE(attributes.flags & QX_ATTR_WIRELESS, 0u);
}

TEST_F(NvoPortTest, RadioOffBlocksAssociationUntilRadioOn) {
    open();
    QX_ASSOCIATE record = associateRecord("cafe");
    std::string name = portName(2);
    EXPECT_THAT(callsOf([&] { return port->radioOff(); }), ElementsAre("qxPortRadioOff(" + name + ") = 0"));
    EXPECT_FALSE(port->isRadioOn());
    int result = -99;
    EXPECT_THAT(callsOf([&] { return port->associate(record); }, &result), IsEmpty());
    EXPECT_EQ(result, QX_OK);
    EXPECT_THAT(callsOf([&] { return port->disassociate(); }, &result), IsEmpty());
    EXPECT_EQ(result, QX_OK);
    EXPECT_THAT(log(), ::testing::HasSubstr("::qxPortAssociate() - Cmd Blocked - Radio is Disabled"));
    EXPECT_THAT(log(), ::testing::HasSubstr("::qxPortDisassociate() - Cmd Blocked - Radio is Disabled"));

    // Radio on disassociates, and its result is 0 whatever the library answers.
    base::failNext("qxPortDisassociate", static_cast<std::uint32_t>(QX_ERR_FAILURE), 1);
    EXPECT_THAT(callsOf([&] { return port->radioOn(); }, &result),
                ElementsAre(::testing::AllOf(::testing::StartsWith("qxPortDisassociate("),
                                             ::testing::EndsWith(" = -1"))));
    EXPECT_EQ(result, QX_OK);
    EXPECT_TRUE(port->isRadioOn());
    EXPECT_THAT(callsOf([&] { return port->associate(record); }),
                ElementsAre(::testing::StartsWith("qxPortAssociate(")));
}

TEST_F(NvoPortTest, MissingHandleOrOutPointerFailsWithoutLibraryCall) {
    std::int32_t length = 0;
    QX_EAP_METHOD method = {};
    QX_ASSOCIATE record = associateRecord("cafe");
    struct Row {
        std::function<int()> operation;
        const char* assertion;
    } rows[] = {
        {[&] { return port->associate(record); }, "m_qxPort"},
        {[&] { return port->detach(); }, "m_qxPort"},
        {[&] { return port->rsnProbeIeVerifyEnable(1); }, "m_qxPort"},
        {[&] { return port->getEapMethod(1, &method, 0); }, "m_qxEap"},
        {[&] { return port->credComplete(1, 0); }, "m_qxEap"},
        {[&] { return port->attach(LabBuilder::guid(2).c_str()); }, "m_qxEap"},
        {[&] { return port->eapDestroy(); }, "m_qxEap != null"},
    };
    for (const Row& row : rows) {
        int result = 0;
        EXPECT_THAT(callsOf(row.operation, &result), IsEmpty()) << row.assertion;
        EXPECT_EQ(result, QX_ERR_INV_PARAM) << row.assertion;
        EXPECT_THAT(takeAssertions(), ElementsAre(row.assertion));
    }
    open();
    int result = 0;
    EXPECT_THAT(callsOf([&] { return port->getEapFastAid(1, nullptr, nullptr); }, &result), IsEmpty());
    EXPECT_EQ(result, QX_ERR_INV_PARAM);
    EXPECT_THAT(callsOf([&] { return port->eapCreate(); }, &result), IsEmpty());
    EXPECT_THAT(takeAssertions(), ElementsAre("aidLen", "m_qxEap == null"));
    (void)length;
}

}  // namespace
}  // namespace tamsel::test
