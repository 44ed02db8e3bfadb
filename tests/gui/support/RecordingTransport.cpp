#include "tests/gui/support/RecordingTransport.h"

#include <gtest/gtest.h>

#include "platform/qtsoap/QtSoapMessage.h"

namespace tamsel::test {

class RecordingTransport::Sink : public RequestTransport {
public:
    Result sendFrame(const QByteArray& frame) override {
        frames << frame;
        return Result::Sent;
    }
    QList<QByteArray> frames;
};

QStringList SentMessage::childNames() const {
    QStringList names;
    for (const auto& child : children) names << child.first;
    return names;
}

QString SentMessage::child(const QString& name) const {
    for (const auto& child : children) {
        if (child.first == name) return child.second;
    }
    return QString();
}

RecordingTransport::RecordingTransport() : m_sink(std::make_shared<Sink>()) {
    RequestTransport::publish(m_sink);
}

RecordingTransport::~RecordingTransport() {
    RequestTransport::withdraw();
}

const QList<QByteArray>& RecordingTransport::frames() const {
    return m_sink->frames;
}

void RecordingTransport::clear() {
    m_sink->frames.clear();
}

QList<SentMessage> RecordingTransport::messages() const {
    QList<SentMessage> messages;
    for (const QByteArray& frame : m_sink->frames) {
        SentMessage message;
        const qsizetype headerEnd = frame.indexOf('\n');
        message.payload = frame.mid(headerEnd + 1);
        EXPECT_EQ(frame.left(headerEnd).toLongLong(), message.payload.size()) << frame.constData();
        QtSoapMessage soap;
        EXPECT_TRUE(soap.setContent(message.payload)) << message.payload.constData();
        const QtSoapElement method = soap.method();
        message.method = method.name();
        for (const QtSoapElement& child : method.items()) {
            if (child.name() == QLatin1String("sequenceNumber")) {
                message.sequenceNumber = child.text();
            } else {
                message.children.append({child.name(), child.text()});
            }
        }
        messages << message;
    }
    return messages;
}

QStringList RecordingTransport::methods() const {
    QStringList methods;
    for (const SentMessage& message : messages()) methods << message.method;
    return methods;
}

}  // namespace tamsel::test
