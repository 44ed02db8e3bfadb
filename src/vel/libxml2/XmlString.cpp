#include "vel/libxml2/XmlString.h"

#include <libxml/globals.h>

#include "runtime/lum/Assert.h"
#include "vel/exception/XmlException.h"

XmlString& XmlString::operator=(XmlString&& other) noexcept {
    if (this != &other) {
        xmlFree(m_s);
        m_s = other.m_s;
        other.m_s = nullptr;
    }
    return *this;
}

XmlString::~XmlString() {
    xmlFree(m_s);
}

const char* XmlString::text() const {
    if (!LUM_ASSERT_TEXT(m_s, "xmlString")) return "";
    return reinterpret_cast<const char*>(m_s);
}
