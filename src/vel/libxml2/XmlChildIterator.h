#pragma once

#include "vel/libxml2/SharedXmlNode.h"

// Walks the children of one node in document order, whatever their kind.
class XmlChildIterator {
public:
    explicit XmlChildIterator(const SharedXmlNode& parent);

    bool atEnd() const { return m_current.isNull(); }
    const SharedXmlNode& current() const { return m_current; }
    void next();

private:
    SharedXmlNode m_current;
};
