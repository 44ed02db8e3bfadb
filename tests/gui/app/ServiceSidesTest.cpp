// Both sides for real: the service program tamselsvc in the test's root, the tray program's
// controller in the test's process over the real socket. What one side writes, the other reads.
#include <gtest/gtest.h>

#include <filesystem>

#include "gui/app/CMainControl.h"
#include "gui/windows/TrayIcon.h"
#include "tests/gui/app/TrayOnService.h"

using namespace tamsel::test;

TEST_F(TrayOnServiceTest, TheServiceReadsTheStartUpRequestsAndTheTrayEveryAnswer) {
    std::filesystem::copy_file(TAMSEL_OFFICE_LAB, root.file("lab.xml"));
    // Every message either side of the tray writes or reads is dumped in full.
    root.write("veldebug.txt", "");
    ASSERT_NO_FATAL_FAILURE(launchService());

    startTray();
    // Without a configuration, the service refuses each request with fault 1, which the tray shows.
    const QString missing =
        "Varnel Tamsel: Disconnected\nConfiguration file is missing or invalid.\nContact your administrator.";
    ASSERT_TRUE(waitUntil([&] { return control->toolTip() == missing; }));
    EXPECT_EQ(control->mainStatus(),
              "Disconnected...  Configuration file is missing or invalid. Contact your administrator.");

    // The dumps: the six requests in their order, each answered and every answer classified.
    ASSERT_TRUE(waitUntil([&] {
        int answers = 0;
        for (const QString& line : log.lines()) answers += line.contains("<SOAP-ENV:Fault>");
        return answers >= startUpRequests().size();
    }));
    QStringList sentOrder;
    for (const QString& line : log.lines()) {
        if (!line.startsWith("\nRequest sent ==")) continue;
        for (const QString& request : startUpRequests()) {
            if (line.contains(":" + request + ">")) sentOrder << request;
        }
    }
    EXPECT_EQ(sentOrder.mid(0, startUpRequests().size()), startUpRequests());
    for (const QString& line : log.lines())
        EXPECT_FALSE(line.startsWith("Response Type not defined")) << line.toStdString();

    stopInOrder();
}
