#pragma once

#include <QByteArray>
#include <QStringList>
#include <QtGlobal>

#include "ConnApiConstants.h"

// A message as the service writes it: unprefixed elements in the product's default namespace,
// children enclosed in and separated by line feeds.
inline QByteArray serviceMessage(const QByteArray& method, const QByteArray& children) {
    return QByteArray("<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"") +
           ConnApiConstants::SOAP_ENVELOPE_NAMESPACE_URI + "\" xmlns=\"" + ConnApiConstants::NAMESPACE_URI +
           "\" encodingStyle=\"" + ConnApiConstants::SOAP_ENCODING_NAMESPACE_URI + "\">\n<SOAP-ENV:Body>\n<" +
           method + ">\n" + children + "\n</" + method + ">\n</SOAP-ENV:Body>\n</SOAP-ENV:Envelope>";
}

// Collects the lines the client core logs while it lives.
class LogCapture {
public:
    LogCapture() {
        s_lines.clear();
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const QStringList& lines() const { return s_lines; }

private:
    static void handler(QtMsgType, const QMessageLogContext& context, const QString& text) {
        if (context.category != nullptr && QByteArray(context.category) == "tamsel.guiclient")
            s_lines << text;
    }

    inline static QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
};
