#pragma once

#include <QDomElement>
#include <QList>
#include <QString>

// Read-only view of one element of a received SOAP message. Lookups never fail: a child that is
// not there is a null element whose text is empty and whose boolean is false, so a reader can walk
// a reply whose optional parts the service left out without checking every step.
class QtSoapElement {
public:
    QtSoapElement() = default;
    explicit QtSoapElement(const QDomElement& element) : m_element(element) {}

    bool isNull() const { return m_element.isNull(); }

    // Local name, without any prefix.
    QString name() const;

    // First child element of that local name. Names are compared without regard to case, since the
    // readers do not always spell a name the way the service writes it ("Ssid" for "ssid").
    QtSoapElement child(const QString& localName) const;
    QtSoapElement operator[](const QString& localName) const { return child(localName); }

    QString text() const;
    // "true" or "1" (any case, surrounding blanks ignored) is true; anything else, a missing element
    // included, is false.
    bool toBool() const;
    // Decimal value of the text; `ok` tells whether it was one.
    int toInt(bool* ok = nullptr) const;

    // A container of repeated children carries type="array".
    bool isArray() const;
    // The element children, in document order (the items of an array).
    QList<QtSoapElement> items() const;
    int count() const;
    QtSoapElement at(int index) const;

private:
    QDomElement m_element;
};
