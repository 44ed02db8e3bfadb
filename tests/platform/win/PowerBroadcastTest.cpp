#include <gtest/gtest.h>

#include <vector>

#include "platform/lab/Lab.h"
#include "platform/win/ServiceControl.h"
#include "tests/support/TempHome.h"

using namespace winsvc;

namespace tamsel::test {
namespace {

struct Delivery {
    DWORD control;
    DWORD type;
    void* context;
};
std::vector<Delivery> Delivered;

DWORD record(DWORD control, DWORD type, void*, void* context) {
    Delivered.push_back({control, type, context});
    return NO_ERROR;
}

class PowerBroadcastTest : public testing::Test {
protected:
    void SetUp() override {
        Delivered.clear();
        lab().setManual(true);
        std::string error;
        ASSERT_TRUE(lab().acquire(&error)) << error;
    }
    void TearDown() override {
        RegisterPowerBroadcastHandler(nullptr, nullptr);
        lab().release();
        lab().setManual(false);
    }
    static lab::Lab& lab() { return lab::Lab::instance(); }

    TempHome m_home{"power"};
};

TEST_F(PowerBroadcastTest, TheLabsBroadcastsReachTheHandlerOnTheLabThread) {
    int context = 0;
    ASSERT_TRUE(RegisterPowerBroadcastHandler(record, &context));
    struct Case {
        const char* command;
        const char* answer;
        DWORD type;  // delivered, unless the answer is an error
    };
    const Case cases[] = {
        {"power suspend", "ok", PBT_APMSUSPEND},
        {"power resume", "ok", PBT_APMRESUMEAUTOMATIC},
        {"power 7", "ok", PBT_APMRESUMESUSPEND},
        {"power 0x9", "ok", PBT_APMBATTERYLOW},
        {"power sleep", "error: power suspend|resume|<broadcast type>", 0},
        {"power", "error: power suspend|resume|<broadcast type>", 0},
    };
    for (const Case& c : cases) {
        Delivered.clear();
        EXPECT_EQ(lab().command(c.command), c.answer) << c.command;
        EXPECT_TRUE(Delivered.empty()) << "delivered before the lab thread ran: " << c.command;
        lab().pump();
        if (std::string(c.answer) != "ok") {
            EXPECT_TRUE(Delivered.empty()) << c.command;
            continue;
        }
        ASSERT_EQ(Delivered.size(), 1u) << c.command;
        EXPECT_EQ(Delivered[0].control, SERVICE_CONTROL_POWEREVENT);
        EXPECT_EQ(Delivered[0].type, c.type) << c.command;
        EXPECT_EQ(Delivered[0].context, &context);
    }
}

TEST_F(PowerBroadcastTest, WithoutAHandlerTheCommandSaysSo) {
    ASSERT_TRUE(RegisterPowerBroadcastHandler(nullptr, nullptr));
    EXPECT_EQ(lab().command("power resume"), "error: nobody takes power broadcasts");
}

}  // namespace
}  // namespace tamsel::test
