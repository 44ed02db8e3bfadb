// In a process whose application object is the tray program's own.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QWidget>

#include "gui/app/GuiStartup.h"
#include "gui/app/MainApp.h"
#include "tests/gui/app/AppTestSupport.h"

using tamsel::test::GuiLogCapture;

TEST(MainAppTest, PowerEventsLogTheirLineAndOnlySuspendAndResumeDisconnectTheVpn) {
    auto* app = qobject_cast<MainApp*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    GuiLogCapture log;
    QSignalSpy disconnects(app, &MainApp::vpnResumeDisconnectGUI);
    const struct {
        int code;
        const char* line;
        int disconnects;
    } rows[] = {
        {0, "Received PBT_APMQUERYSUSPEND event", 0},
        {3, "Received PBT_APMQUERYSTANDBYFAILED event", 0},
        {4, "Received PBT_APMSUSPEND event", 1},
        {7, "Received PBT_APMRESUMESUSPEND event", 1},
        {10, "Received PBT_APMPOWERSTATUSCHANGE event", 0},
        {11, "Received PBT_APMOEMEVENT event", 0},
        {12, nullptr, 0},
        {-1, nullptr, 0},
    };
    for (const auto& row : rows) {
        const int linesBefore = static_cast<int>(log.lines().size());
        disconnects.clear();
        EXPECT_FALSE(app->handlePlatformMessage(MainApp::PlatformMessage::PowerBroadcast, row.code));
        EXPECT_EQ(disconnects.count(), row.disconnects) << row.code;
        const QStringList lines = log.lines().mid(linesBefore);
        EXPECT_EQ(lines, row.line ? QStringList{row.line} : QStringList()) << row.code;
    }
}

TEST(MainAppTest, SessionEndDisconnectsTheVpnOnceAndQuitAsks) {
    auto* app = qobject_cast<MainApp*>(QCoreApplication::instance());
    GuiLogCapture log;
    QSignalSpy disconnects(app, &MainApp::vpnResumeDisconnectGUI);
    QSignalSpy quits(app, &MainApp::quitApplication);
    app->commitData();
    EXPECT_EQ(disconnects.count(), 1);
    EXPECT_EQ(log.lines(), (QStringList{"commitData, invoking vpnDisconnect",
                                        "commitData, after invoking vpnDisconnect"}));
    app->handlePlatformMessage(MainApp::PlatformMessage::SessionChange);
    EXPECT_EQ(disconnects.count(), 1);
    EXPECT_EQ(quits.count(), 0);
    app->handlePlatformMessage(MainApp::PlatformMessage::Quit);
    EXPECT_EQ(quits.count(), 1);
}

TEST(MainAppTest, TheShowMessageBringsTheMainWindowUp) {
    auto* app = qobject_cast<MainApp*>(QCoreApplication::instance());
    QWidget other;
    other.setWindowTitle("Something else");
    QWidget main;
    main.setWindowTitle(MainApp::MAIN_WINDOW_TITLE);
    app->handlePlatformMessage(MainApp::PlatformMessage::Show);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(other.isVisible());
}

TEST(MainAppTest, TheAccessSwitchIsTheFirstArgumentInAnyCase) {
    const struct {
        std::vector<const char*> arguments;
        bool set;
    } rows[] = {
        {{"tamselgui", "-aCCeSS"}, true},       {{"tamselgui", "-Access", "x"}, true},
        {{"tamselgui", "x", "-Access"}, false}, {{"tamselgui"}, false},
        {{"tamselgui", "-Accessx"}, false},
    };
    for (const auto& row : rows) {
        std::vector<char*> argv;
        for (const char* a : row.arguments) argv.push_back(const_cast<char*>(a));
        EXPECT_EQ(GuiStartup::firstArgumentIs(static_cast<int>(argv.size()), argv.data(),
                                              GuiStartup::ACCESS_SWITCH),
                  row.set)
            << row.arguments.size();
    }
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    MainApp app(argc, argv);
    return RUN_ALL_TESTS();
}
