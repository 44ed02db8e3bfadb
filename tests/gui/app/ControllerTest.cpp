#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>

#include "gui/app/CMainControl.h"
#include "gui/app/CPclient.h"
#include "gui/windows/DynamicMenu.h"
#include "gui/windows/ScanModel.h"
#include "gui/windows/TrayIcon.h"
#include "gui/windows/TrayIconControlDialog.h"
#include "tests/gui/app/AppTestSupport.h"
#include "tests/gui/app/ServiceMessages.h"

using namespace tamsel::test;

namespace {

const QString RED = ":/Icons/red";
const QString NOT_REACHED = "Varnel Tamsel:\n The application has encountered an error.";

class ControllerTest : public GuiRuntimeTest {
protected:
    void TearDown() override {
        control.reset();
        GuiRuntimeTest::TearDown();
    }

    // A controller that has reached the scripted service and sent its start-up requests.
    void connectController() {
        startService();
        control.emplace();
        ASSERT_TRUE(waitForMethods(startUpRequests().size()));
        ASSERT_TRUE(waitUntil([&] { return control->timedRequestsStarted(); }));
    }

    // The requests that reached the service once the sentinel's were handled, without them.
    QStringList requestsUpToSentinel() {
        EXPECT_TRUE(service->subscriber->push(sentinel()));
        EXPECT_TRUE(waitUntil(
            [&] { return methods().endsWith("getAdministratorPolicyRequest") && methods().size() >= 3; }));
        const QStringList all = methods();
        return all.mid(0, all.size() - 3);
    }

    std::optional<CMainControl> control;
};

}  // namespace

TEST_F(ControllerTest, FaultsShowWhatTheirCodeMeans) {
    control.emplace();
    const QString before = control->toolTip();
    const struct {
        const char* code;
        QMessageBox::Icon icon;  // NoIcon: no box
        const char* text;        // the box's text, or the line logged
    } rows[] = {
        {"2", QMessageBox::Warning, "The request is denied by administrator policy."},
        {"4", QMessageBox::Warning, "Unsupported option."},
        {"5", QMessageBox::Warning, "Request not permitted in auto-connect mode."},
        {"6", QMessageBox::Warning, "Location service not available."},
        {"9", QMessageBox::Critical, "Invalid XML."},
        {"11", QMessageBox::Critical, "Automated VPN capabilities is not enabled in client."},
        {"12", QMessageBox::Warning, "No VPN activity."},
        {"13", QMessageBox::Critical,
         "Your profile changes were not allowed. You must use Varnel Tamsel to make profile changes."},
        {"7", QMessageBox::NoIcon, "Location error - additional info will be available in error string."},
        {"8", QMessageBox::NoIcon, "An internal error was reported by the Service."},
        {"3", QMessageBox::NoIcon, ""},
        {"10", QMessageBox::NoIcon, ""},
        {"x", QMessageBox::NoIcon, ""},
    };
    for (const auto& row : rows) {
        control->serviceMessageBox().hide();
        control->Fault(row.code);
        QMessageBox& box = control->serviceMessageBox();
        if (row.icon != QMessageBox::NoIcon) {
            EXPECT_TRUE(box.isVisible()) << row.code;
            EXPECT_EQ(box.windowTitle(), "Varnel Tamsel");
            EXPECT_EQ(box.text(), row.text) << row.code;
            EXPECT_EQ(box.icon(), row.icon) << row.code;
        } else {
            EXPECT_FALSE(box.isVisible()) << row.code;
            if (*row.text != '\0') {
                EXPECT_TRUE(log.contains(row.text)) << row.code;
            }
        }
        EXPECT_EQ(control->toolTip(), before) << row.code;
    }
}

TEST_F(ControllerTest, MissingConfigurationSaysSoAndLeavesRepairOpen) {
    control.emplace();
    control->Fault("1");
    EXPECT_EQ(control->toolTip(),
              "Varnel Tamsel: Disconnected\nConfiguration file is missing or invalid.\nContact your "
              "administrator.");
    EXPECT_EQ(control->trayIcon().toolTip(), control->toolTip());
    EXPECT_EQ(control->mainStatus(),
              "Disconnected...  Configuration file is missing or invalid. Contact your administrator.");
    EXPECT_FALSE(control->serviceMessageBox().isVisible());
    EXPECT_TRUE(control->trayIcon().repairItem()->isEnabled());
    EXPECT_FALSE(control->trayIcon().vpnItem()->isEnabled());
    EXPECT_FALSE(control->trayIcon().statusItem()->isEnabled());
}

TEST_F(ControllerTest, ServiceAbsentAtStartShowsRedAndKeepsTrying) {
    control.emplace();
    EXPECT_EQ(control->iconName(), RED);
    EXPECT_EQ(control->toolTip(), NOT_REACHED);
    EXPECT_EQ(control->trayIcon().toolTip(), NOT_REACHED);
    EXPECT_EQ(control->mainStatus(), "Disconnected... The application has encountered an error.");
    EXPECT_FALSE(control->trayIcon().statusItem()->isEnabled());
    // One failure line per attempt, an attempt every 3000 ms.
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(waitUntil([&] { return log.count("Connection to Service Failed.") >= 2; }));
    EXPECT_GE(timer.elapsed(), CPclient::CONNECT_RETRY_MS - 500);
    startService();
    ASSERT_TRUE(waitForMethods(startUpRequests().size()));
    EXPECT_EQ(requestsUpToSentinel(), startUpRequests());
    EXPECT_EQ(log.count("Connected to Service."), 1);
    EXPECT_EQ(service->subscriber->connections(), 1);
    EXPECT_EQ(control->toolTip(), "Varnel Tamsel: Disconnected\nAttempting Connection...");
    EXPECT_EQ(control->mainStatus(), "Attempting Connection...");
    EXPECT_TRUE(control->trayIcon().statusItem()->isEnabled());
}

TEST_F(ControllerTest, PeriodicRequestsStopAndStartOnce) {
    connectController();
    EXPECT_TRUE(control->scanListTimer().isActive());
    EXPECT_EQ(control->scanListTimer().interval(), CMainControl::SCAN_LIST_PERIOD_MS);
    EXPECT_FALSE(control->statusTimer().isActive());
    EXPECT_FALSE(control->vpnTimer().isActive());

    control->StopTimedRequests();
    EXPECT_FALSE(control->scanListTimer().isActive());
    EXPECT_TRUE(control->client()->disabledByUser());
    EXPECT_EQ(control->iconName(), RED);
    EXPECT_EQ(control->toolTip(), "Varnel Tamsel: Disabled by user\nSelect Enable Client in Settings menu.");

    control->StartTimedRequests();
    control->StartTimedRequests();
    EXPECT_TRUE(control->scanListTimer().isActive());
    EXPECT_EQ(control->scanListTimer().interval(), CMainControl::SCAN_LIST_PERIOD_MS);
    EXPECT_FALSE(control->client()->disabledByUser());
    // One connection per timer: a tick asks once.
    EXPECT_EQ(QObject::disconnect(&control->scanListTimer(), &QTimer::timeout, control->client(),
                                  &CPclient::ScanlistRequest),
              true);
    EXPECT_EQ(QObject::disconnect(&control->scanListTimer(), &QTimer::timeout, control->client(),
                                  &CPclient::ScanlistRequest),
              false);
}

TEST_F(ControllerTest, RepairRestartsTheServiceAndStartsOverNumberingOn) {
    connectController();
    ASSERT_TRUE(control->clientRunning());
    const int lastNumber = service->subscriber->received().last().sequenceNumber.toInt();
    service->subscriber->clear();

    emit control->trayIcon().repairAction();
    ASSERT_TRUE(waitForMethods(1));
    EXPECT_EQ(service->subscriber->received().first().payload, QByteArray("Q"));
    EXPECT_TRUE(control->repairRequested());
    EXPECT_FALSE(control->clientRunning());

    // The service restarts its adapters and stops: the tray waits for it to come back.
    service.reset();
    ASSERT_TRUE(waitUntil([&] { return control->serviceMessageBox().isVisible(); }));
    EXPECT_EQ(control->serviceMessageBox().text(),
              "The 'Varnel Tamsel' is stopped...\nPlease wait until the repair is finished.");
    EXPECT_EQ(control->serviceMessageBox().icon(), QMessageBox::Information);
    EXPECT_EQ(control->toolTip(), "Varnel Tamsel: Repairing...");
    EXPECT_EQ(control->iconName(), RED);
    EXPECT_FALSE(control->repairRequested());
    EXPECT_TRUE(log.contains("Service shutdown and restarting..."));

    startService();
    ASSERT_TRUE(waitForMethods(startUpRequests().size()));
    const QList<ReceivedMessage> again = service->subscriber->received();
    QStringList names;
    for (int i = 0; i < startUpRequests().size(); ++i) {
        names << again[i].method;
        EXPECT_EQ(again[i].sequenceNumber.toInt(), lastNumber + 1 + i) << again[i].method.toStdString();
    }
    EXPECT_EQ(names, startUpRequests());
    EXPECT_TRUE(waitUntil([&] { return !control->serviceMessageBox().isVisible(); }));
}

TEST_F(ControllerTest, QuitWithThePipeUpStartsNoRepair) {
    connectController();
    bool released = false;
    control->setInstanceRelease([&] { released = true; });
    QSignalSpy done(&*control, &CMainControl::done);
    emit control->trayIcon().quitAction();
    EXPECT_EQ(done.count(), 1);
    EXPECT_TRUE(released);
    EXPECT_TRUE(control->quitting());
    EXPECT_FALSE(control->clientRunning());
    // The client's report of its pipe's end was posted before the client went; it changes nothing.
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(control->serviceMessageBox().isVisible());
    EXPECT_FALSE(control->isRunning());
    EXPECT_EQ(service->subscriber->connections(), 1);
    EXPECT_TRUE(log.contains("tamselgui.exe is now shutting down gracefully."));
}

TEST_F(ControllerTest, QuitWithTheServiceAbsentEndsAtOnce) {
    control.emplace();
    ASSERT_TRUE(waitUntil([&] { return log.count("Connection to Service Failed.") >= 1; }));
    QElapsedTimer timer;
    timer.start();
    control->OnClose();
    EXPECT_LT(timer.elapsed(), CPclient::CONNECT_RETRY_MS / 2);
    EXPECT_FALSE(control->isRunning());
}

// The replies of a start come in any order: the active group, its networks and the scan each may be
// first. Whatever the order, the list and the tray's menu read configured networks, the separator,
// then the scanned ones.
TEST_F(ControllerTest, TheSeparatorSitsBetweenConfiguredAndScannedNetworksInEveryArrivalOrder) {
    const QByteArray active = activeGroupReply("Office");
    const QByteArray networks = networksReply("Office", {"Corp", "Home"});
    // Corp's point belongs to the configured row; Cafe and OldNet are the scanned rows.
    const QByteArray scan = scanReply({{"Corp", "02:01", "-50", "6", {"wpa2EnterpriseAes"}},
                                       {"Cafe", "02:02", "-60", "6", {"openNoEncryption"}},
                                       {"OldNet", "02:03", "-70", "11", {"wep"}}});
    const QStringList expected = {"Corp", "Home", "-------", "Cafe", "OldNet"};
    // A start's own order first: the scan is asked for beside the groups, so it comes before the
    // active group, which comes before the group's networks.
    QList<QList<QByteArray>> orders = {{scan, active, networks}, {active, networks, scan},
                                       {active, scan, networks}, {networks, active, scan},
                                       {networks, scan, active}, {scan, networks, active}};
    for (int order = 0; order < orders.size(); ++order) {
        connectController();
        ASSERT_TRUE(service->subscriber->push(groupsReply({"Office"})));
        for (const QByteArray& message : orders[order]) ASSERT_TRUE(service->subscriber->push(message));
        const ScanModel& model = control->model();
        const auto listRows = [&] {
            QStringList rows;
            for (int row = 0; row < model.rowCount(); ++row) rows << model.text(row, ScanModel::NameColumn);
            return rows;
        };
        ASSERT_TRUE(waitUntil([&] { return listRows().size() == expected.size(); }))
            << "order " << order << ": " << listRows().join(", ").toStdString();
        EXPECT_EQ(listRows(), expected) << "order " << order;
        EXPECT_TRUE(model.isSeparatorRow(2)) << "order " << order;

        DynamicMenu& menu = *control->trayIcon().menu();
        emit menu.aboutToShow();
        QStringList entries;
        for (QAction* action : menu.dynamicActions()) entries << action->text();
        EXPECT_EQ(entries, expected) << "order " << order;
        control.reset();
        service.reset();
    }
}
