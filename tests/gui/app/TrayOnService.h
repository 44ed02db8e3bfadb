#pragma once
// A user's machine in a root of the test's own: the real service program tamselsvc on a lab and a
// signed administrator configuration the test writes, and the tray program's real controller and
// windows (offscreen) in the test's process over the real socket. A test reads what the user sees in
// the tray and what the service logged, and drives the lab over run/lab.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QStringList>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "gui/app/CMainControl.h"
#include "gui/client/SecurityTables.h"
#include "gui/windows/ScanModel.h"
#include "tests/gui/app/AppTestSupport.h"
#include "tests/gui/support/QtPrinters.h"
#include "tests/keys/ConfigurationSigner.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/AdministratorFile.h"
#include "tests/support/LabBuilder.h"
#include "tests/system/LabClient.h"
#include "tests/system/ServiceLog.h"

namespace tamsel::test {

// An administrator file with one group "Office" holding the networks given as XML, allowing every
// association mode and EAP method the scenarios use. User networks connect before any logon.
inline std::string officeConfiguration(const std::string& networks) {
    AdministratorFile file;
    file.associationModes = "<openNoEncryption/><wpa2PersonalAes/><wpa2EnterpriseAes/>";
    file.eapMethods = "<eapPeap/><eapMschapv2/>";
    file.connectionAtLogon =
        "<attemptConnectionBeforeUserLogon><secondsToWaitForConnection>20</secondsToWaitForConnection>"
        "</attemptConnectionBeforeUserLogon>";
    file.media = "<wifi/><wired/>";
    return file.text(networks);
}

// The test's own run-time logs beside the programs', never into their files.
inline const LogFileSpec& trayTestLogSpec() {
    static const LogFileSpec spec = {
        LogConstants::FOLDER_PROGRAM_DATA, LogConstants::ALL_LEVELS, "TrayTestLog.txt", nullptr, 1, 0};
    return spec;
}

class TrayOnServiceTest : public ::testing::Test {
protected:
    void SetUp() override { runtime.emplace(); }
    void TearDown() override {
        control.reset();
        // A test that ended early: the service goes at once.
        service.reset();
        runtime.reset();
        EXPECT_EQ(LumMain::leakCount(), 0);
    }

    // Writes the lab and the signed configuration, starts `tamselsvc -run` and waits for its pipe.
    void startService(const LabBuilder& lab, const std::string& configuration) {
        lab.writeTo(root.file("lab.xml"));
        root.write("system/configuration.xml",
                   ConfigurationSigner::sign(configuration, ConfigurationSigner::readFile(TAMSEL_TEST_PRIVATE_KEY)));
        ASSERT_NO_FATAL_FAILURE(launchService());
    }
    // Starts the service on what the root holds, as the system's service manager starts it again.
    void launchService() {
        std::filesystem::remove(root.file("run/vel"));
        ChildProcess::Options options;
        options.arguments = {"-run"};
        options.environment = {{"TAMSEL_HOME", root.path()}, {"ASAN_OPTIONS", "detect_leaks=0"}};
        options.outputFile = root.file("service-output.txt");
        options.errorToOutput = true;
        options.endSignal = SIGKILL;
        service.emplace();
        ASSERT_TRUE(service->start(TAMSELSVC_PATH, options));
        ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(root.file("run/vel")); })) << serviceLog();
    }

    // The tray program's controller, as the program makes it at its start.
    CMainControl& startTray() {
        control.emplace();
        return *control;
    }

    std::string serviceLog() const { return readText(root.log()); }
    // What a failed wait prints: the service's own output (the lab's complaints), then its log.
    std::string serviceRecord() const { return readText(root.file("service-output.txt")) + serviceLog(); }
    bool logged(const std::string& part, int times = 1) {
        return waitUntil([&] { return countOf(serviceLog(), part) >= times; });
    }
    // The log once it holds `last`. The service's log has a thread of its own, which may write a
    // line after the reply or notification that the tray already shows.
    std::string serviceLogWith(const std::string& last) {
        EXPECT_TRUE(logged(last)) << "never logged: " << last << "\n" << serviceRecord();
        return serviceLog();
    }

    std::vector<std::string> labCommand(const std::string& line) {
        LabClient lab(root.file("run/lab"));
        return lab.command(line);
    }

    // The tray's tool tip once it holds every part.
    bool toolTipShows(const QStringList& parts) {
        return waitUntil([&] {
            for (const QString& part : parts)
                if (!control->toolTip().contains(part)) return false;
            return true;
        });
    }

    // The rows of the scan list model as the user reads them: name, SSID and signal words.
    QStringList scanRows() const {
        QStringList rows;
        const ScanModel& model = control->model();
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.isSeparatorRow(row)) continue;
            // The signal shows as the icon of its level, named by its word.
            const int level = model.data(model.index(row, ScanModel::SignalColumn), Qt::UserRole).toInt();
            rows << QStringList{model.text(row, ScanModel::NameColumn),
                                model.text(row, ScanModel::SsidColumn), signalLevelNames().value(level)}
                        .join(QLatin1Char('|'));
        }
        return rows;
    }

    // The tray goes first, then Ctrl+C stops the service in order, and its whole log is sound.
    void stopInOrder() {
        control.reset();
        service->signal(SIGINT);
        EXPECT_EQ(service->waitForExit(std::chrono::seconds(60)), 0)
            << readText(root.file("service-output.txt"));
        const std::string log = serviceLog();
        for (const std::string& line : messages(log)) {
            for (const char* fault : {"Internal error", "FATAL", "Fatal Shutdown", "Assertion"})
                EXPECT_EQ(line.find(fault), std::string::npos) << line;
        }
        EXPECT_EQ(countOf(log, "]: Normal Shutdown"), 1);
    }

    TempRoot root{trayTestLogSpec()};
    std::optional<LumRuntime> runtime;
    GuiLogCapture log;
    // Its end signal is SIGKILL: a test that ended early leaves no service behind.
    std::optional<ChildProcess> service;
    std::optional<CMainControl> control;
};

}  // namespace tamsel::test
