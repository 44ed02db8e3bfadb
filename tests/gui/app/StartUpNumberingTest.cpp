// In a process of its own: the request counter is the process's, so the first requests the
// controller writes are the process's first.
#include <gtest/gtest.h>

#include "gui/app/CMainControl.h"
#include "tests/gui/app/AppTestSupport.h"

using namespace tamsel::test;

TEST_F(GuiRuntimeTest, StartUpRequestsAreTheProcesssFirstSixInOrder) {
    startService();
    std::optional<CMainControl> control;
    control.emplace();
    ASSERT_TRUE(waitForMethods(startUpRequests().size()));
    const QList<ReceivedMessage> received = service->subscriber->received();
    for (int i = 0; i < startUpRequests().size(); ++i) {
        EXPECT_EQ(received[i].method, startUpRequests()[i]);
        EXPECT_EQ(received[i].sequenceNumber, QString::number(i + 1));
    }
    control.reset();
}
