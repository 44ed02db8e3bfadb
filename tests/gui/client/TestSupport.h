#pragma once

#include <QByteArray>
#include <QStringList>
#include <QtGlobal>

#include "tests/gui/support/ServiceMessage.h"

using tamsel::test::serviceMessage;

// Collects the lines the client core logs while it lives.
class ClientLogCapture {
public:
    ClientLogCapture() {
        s_lines.clear();
        m_previous = qInstallMessageHandler(&ClientLogCapture::handler);
    }
    ~ClientLogCapture() { qInstallMessageHandler(m_previous); }
    ClientLogCapture(const ClientLogCapture&) = delete;
    ClientLogCapture& operator=(const ClientLogCapture&) = delete;

    const QStringList& lines() const { return s_lines; }

private:
    static void handler(QtMsgType, const QMessageLogContext& context, const QString& text) {
        if (context.category != nullptr && QByteArray(context.category) == "tamsel.guiclient")
            s_lines << text;
    }

    inline static QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
};
