#include "platform/qtsoap/QtSoapElement.h"

#include "vel/xmlconnectionapi/ConnApiConstants.h"

namespace {

QString localNameOf(const QDomElement& element) {
    // Without a namespace declaration in scope the parser leaves localName empty; fall back to the
    // tag name stripped of its prefix.
    QString name = element.localName();
    if (name.isEmpty()) {
        name = element.tagName();
        const qsizetype colon = name.indexOf(QLatin1Char(':'));
        if (colon >= 0) name = name.mid(colon + 1);
    }
    return name;
}

}  // namespace

QString QtSoapElement::name() const {
    return isNull() ? QString() : localNameOf(m_element);
}

QtSoapElement QtSoapElement::child(const QString& localName) const {
    for (QDomElement e = m_element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (localNameOf(e).compare(localName, Qt::CaseInsensitive) == 0) return QtSoapElement(e);
    }
    return QtSoapElement();
}

QString QtSoapElement::text() const {
    return isNull() ? QString() : m_element.text();
}

bool QtSoapElement::toBool() const {
    const QString value = text().trimmed();
    return value.compare(QLatin1String(ConnApiConstants::TRUE_TEXT), Qt::CaseInsensitive) == 0 ||
           value == QLatin1String("1");
}

int QtSoapElement::toInt(bool* ok) const {
    return text().trimmed().toInt(ok, 10);
}

bool QtSoapElement::isArray() const {
    if (isNull()) return false;
    const QDomNamedNodeMap attributes = m_element.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        QString attributeName = attribute.localName();
        if (attributeName.isEmpty()) attributeName = attribute.name().section(QLatin1Char(':'), -1);
        if (attributeName == QLatin1String(ConnApiConstants::ARRAY_TYPE_ATTRIBUTE) &&
            attribute.value() == QLatin1String(ConnApiConstants::ARRAY_TYPE_VALUE)) {
            return true;
        }
    }
    return false;
}

QList<QtSoapElement> QtSoapElement::items() const {
    QList<QtSoapElement> result;
    for (QDomElement e = m_element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        result.append(QtSoapElement(e));
    }
    return result;
}

int QtSoapElement::count() const {
    int n = 0;
    for (QDomElement e = m_element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) ++n;
    return n;
}

QtSoapElement QtSoapElement::at(int index) const {
    if (index < 0) return QtSoapElement();
    QDomElement e = m_element.firstChildElement();
    for (int i = 0; i < index && !e.isNull(); ++i) e = e.nextSiblingElement();
    return QtSoapElement(e);
}
