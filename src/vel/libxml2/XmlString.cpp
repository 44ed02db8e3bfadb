#include "vel/libxml2/XmlString.h"

#include <libxml/globals.h>

#include "vel/libxml2/XmlFailure.h"

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
    if (!XML_CHECK(m_s)) return "";
    return reinterpret_cast<const char*>(m_s);
}
