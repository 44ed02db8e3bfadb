#pragma once
// What the tray program's controller and client tests share: a run-time in a root of the test's
// own, the lines the client core logs, waiting on a condition with a deadline while Qt's events
// run, and the scripted service.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QMutex>
#include <QStringList>
#include <QTest>
#include <functional>
#include <optional>

#include "gui/client/ClientLog.h"
#include "runtime/lum/LumMain.h"
#include "tests/gui/app/ScriptedService.h"
#include "tests/gui/support/ServiceMessage.h"
#include "tests/runtime/lum/LumTestSupport.h"

namespace tamsel::test {

constexpr int DEADLINE_MS = 20000;

// The client core's log lines while it lives (other categories go on to the previous handler).
class GuiLogCapture {
public:
    GuiLogCapture() {
        s_capture = this;
        m_previous = qInstallMessageHandler(&GuiLogCapture::handle);
    }
    ~GuiLogCapture() {
        qInstallMessageHandler(m_previous);
        s_capture = nullptr;
    }
    QStringList lines() {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }
    int count(const QString& line) { return static_cast<int>(lines().count(line)); }
    bool contains(const QString& line) { return lines().contains(line); }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        GuiLogCapture* capture = s_capture;
        if (capture != nullptr && context.category != nullptr &&
            QByteArray(context.category) == QByteArray(lcGuiClient().categoryName())) {
            QMutexLocker lock(&capture->m_mutex);
            capture->m_lines << text;
            return;
        }
        if (capture != nullptr && capture->m_previous != nullptr) capture->m_previous(type, context, text);
    }

    static inline GuiLogCapture* s_capture = nullptr;
    QtMessageHandler m_previous = nullptr;
    QMutex m_mutex;
    QStringList m_lines;
};

inline bool waitUntil(const std::function<bool()>& condition, int milliseconds = DEADLINE_MS) {
    return QTest::qWaitFor(condition, milliseconds);
}

// A run-time of its own in a fresh root for each test; the service is started by the test.
class GuiRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override { runtime.emplace(); }
    void TearDown() override {
        service.reset();
        runtime.reset();
        EXPECT_EQ(LumMain::leakCount(), 0);
    }

    ScriptedService& startService() {
        service.emplace();
        EXPECT_TRUE(service->running());
        return *service;
    }
    QStringList methods() { return service ? service->subscriber->methods() : QStringList(); }
    bool waitForMethods(int count) {
        return waitUntil([&] { return methods().size() >= count; });
    }

    TempRoot root;
    std::optional<LumRuntime> runtime;
    GuiLogCapture log;
    std::optional<ScriptedService> service;
};

// The six requests the tray program sends once it has reached the service, in their order.
inline const QStringList& startUpRequests() {
    static const QStringList requests = {"getGroupsRequest",
                                         "getScanListRequest",
                                         "getConnectionModeRequest",
                                         "getServiceStateRequest",
                                         "getAdministratorPolicyRequest",
                                         "getLocationCapabilitiesRequest"};
    return requests;
}

}  // namespace tamsel::test
