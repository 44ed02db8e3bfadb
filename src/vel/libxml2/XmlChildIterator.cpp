#include "vel/libxml2/XmlChildIterator.h"

XmlChildIterator::XmlChildIterator(const SharedXmlNode& parent) : m_current(parent.firstChild()) {}

void XmlChildIterator::next() {
    if (!atEnd()) m_current = m_current.nextSibling();
}
