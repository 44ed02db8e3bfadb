#include "gui/client/SoapRequest.h"

#include <QRegularExpression>
#include <string_view>

#include "gui/client/ClientLog.h"
#include "gui/client/RequestTransport.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

namespace {

// Never reset, not even when the pipe is reconnected, so the service never sees a number twice
// from one tray program.
quint32 g_requestCounter = 0;

const char* const CHILD_INDENT = "\n      ";
const char* const METHOD_INDENT = "\n    ";

QByteArray prefixed(const QByteArray& name) {
    return QByteArray(ConnApiConstants::NAMESPACE_PREFIX) + ':' + name;
}

}  // namespace

const QByteArray& soapEnvelopeHead() {
    static const QByteArray head =
        QByteArray("<") + ConnApiConstants::SOAP_ENV_PREFIX +
        ":Envelope xmlns:" + ConnApiConstants::SOAP_ENV_PREFIX + "=\"" +
        ConnApiConstants::SOAP_ENVELOPE_NAMESPACE_URI + "\" xmlns:" + ConnApiConstants::NAMESPACE_PREFIX +
        "=\"" + ConnApiConstants::NAMESPACE_URI + "\" " + ConnApiConstants::ENCODING_STYLE_ATTRIBUTE + "=\"" +
        ConnApiConstants::SOAP_ENCODING_NAMESPACE_URI + "\">" + "\n  <" + ConnApiConstants::SOAP_ENV_PREFIX +
        ":Body>";
    return head;
}

const QByteArray& soapEnvelopeTail() {
    static const QByteArray tail = QByteArray("\n  </") + ConnApiConstants::SOAP_ENV_PREFIX + ":Body>\n</" +
                                   ConnApiConstants::SOAP_ENV_PREFIX + ":Envelope>";
    return tail;
}

SoapRequest::SoapRequest(const QString& method) : m_method(method.toUtf8()) {
    begin(QByteArray::number(++g_requestCounter));
}

SoapRequest::SoapRequest(const QString& method, const QString& sequenceNumber) : m_method(method.toUtf8()) {
    // The number comes from the service's message as parsed text; escaped, a number stays as it was
    // and anything else cannot break out of its element.
    begin(xmlEscape(sequenceNumber.toUtf8()));
}

void SoapRequest::begin(const QByteArray& sequenceNumber) {
    const QByteArray sequenceElement = prefixed(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT);
    m_text = soapEnvelopeHead();
    m_text += METHOD_INDENT + QByteArray("<") + prefixed(m_method) + '>';
    m_text += CHILD_INDENT + QByteArray("<") + sequenceElement + '>' + sequenceNumber + "</" +
              sequenceElement + '>';
}

void SoapRequest::addRequestParam(const QString& name, const QString& value) {
    const QByteArray element = prefixed(name.toUtf8());
    m_text +=
        CHILD_INDENT + QByteArray("<") + element + '>' + xmlEscape(value.toUtf8()) + "</" + element + '>';
}

void SoapRequest::openElement(const QString& name) {
    m_text += CHILD_INDENT + QByteArray("<") + prefixed(name.toUtf8()) + '>';
}

void SoapRequest::closeElement(const QString& name) {
    m_text += CHILD_INDENT + QByteArray("</") + prefixed(name.toUtf8()) + '>';
}

void SoapRequest::endRequest() {
    m_text += METHOD_INDENT + QByteArray("</") + prefixed(m_method) + '>';
    m_text += soapEnvelopeTail();
}

void SoapRequest::sendRequest() const {
    // The frame is the service's own; a message over the protocol's limit has none and is not sent.
    const QByteArray frame = QByteArray::fromStdString(
        ConnApiFrame::frame(std::string_view(m_text.constData(), static_cast<std::size_t>(m_text.size()))));
    if (RequestTransport::sendLogged(frame) == RequestTransport::Result::Sent && ClientLog::verboseDumps()) {
        qCInfo(lcGuiClient, "\nRequest sent ==\n %s", maskedForLog(m_text).constData());
    }
}

void SoapRequest::send(const QString& method, const QList<QPair<QString, QString>>& children) {
    SoapRequest request(method);
    for (const auto& [name, value] : children) request.addRequestParam(name, value);
    request.endRequest();
    request.sendRequest();
}

QByteArray SoapRequest::maskedForLog(const QByteArray& text) {
    // A dump is for finding faults in the conversation; the user's secrets stay out of the log file.
    static const QRegularExpression secret(
        QStringLiteral("(<(?:\\w+:)?(password|oldPassword|pin|\\w*[Kk]ey)>)[^<]*(</(?:\\w+:)?\\2>)"));
    return QString::fromUtf8(text).replace(secret, QStringLiteral("\\1********\\3")).toUtf8();
}

QByteArray SoapRequest::xmlEscape(const QByteArray& bytes) {
    // The ampersand goes first so that the entities written below are not escaped twice.
    QByteArray escaped = bytes;
    escaped.replace("&", "&amp;");
    escaped.replace("<", "&lt;");
    escaped.replace(">", "&gt;");
    escaped.replace("'", "&apos;");
    escaped.replace("\"", "&quot;");
    return escaped;
}
