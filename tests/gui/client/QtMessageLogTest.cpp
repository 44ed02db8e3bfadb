// The tray program's Qt messages end up as lines of its own log file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QString>

#include "gui/client/ClientLog.h"
#include "gui/client/QtMessageLog.h"
#include "gui/client/RequestTransport.h"
#include "gui/client/SoapRequest.h"
#include "tests/runtime/lum/LumTestSupport.h"

using ::testing::ContainsRegex;
using ::testing::HasSubstr;

namespace {

// The tray program's log file.
const LogFileSpec TRAY_LOG = {LogConstants::FOLDER_PROGRAM_DATA,
                              LogConstants::ALL_LEVELS,
                              "GuiCurrentLog.txt",
                              "GuiPreviousLog*.txt",
                              1,
                              0};

class QtMessageLogTest : public testing::Test {
protected:
    void SetUp() override { m_previous = QtMessageLog::install(); }
    void TearDown() override { qInstallMessageHandler(m_previous); }
    std::string logText() { return readText(root.log("GuiCurrentLog.txt")); }

    TempRoot root{TRAY_LOG};
    QtMessageHandler m_previous = nullptr;
};

TEST_F(QtMessageLogTest, PipeFailuresOfTheClientCoreReachTheLogFile) {
    RequestTransport::withdraw();
    SoapRequest(QStringLiteral("getScanListRequest")).sendRequest();
    EXPECT_THAT(logText(),
                ContainsRegex("%BRISEL-6-INFO_MSG: %\\[tid=[0-9]+\\]: NoConnectionException\\.\n"));
}

TEST_F(QtMessageLogTest, EachKindOfMessageHasItsLevel) {
    setLogLevelMask(LogConstants::ALL_LEVELS);
    qCDebug(lcGuiClient, "a debug message");
    qCInfo(lcGuiClient, "an information");
    qCWarning(lcGuiClient, "a warning %d", 4);
    qCritical("a critical message \u00e9");
    const std::string text = logText();
    EXPECT_THAT(text, ContainsRegex("%BRISEL-7-DEBUG_MSG: %\\[tid=[0-9]+\\]: a debug message\n"));
    EXPECT_THAT(text, ContainsRegex("%BRISEL-6-INFO_MSG: %\\[tid=[0-9]+\\]: an information\n"));
    EXPECT_THAT(text, ContainsRegex("%BRISEL-4-WARNING_MSG: %\\[tid=[0-9]+\\]: a warning 4\n"));
    EXPECT_THAT(text, ContainsRegex("%BRISEL-3-ERROR_MSG: %\\[tid=[0-9]+\\]: a critical message \xc3\xa9\n"));
}

}  // namespace
