#pragma once

#include <libxml/xmlstring.h>

// A text that libxml2 allocated for the caller (xmlGetProp and the like); freed with the object.
class XmlString {
public:
    XmlString() = default;
    explicit XmlString(xmlChar* s) : m_s(s) {}
    XmlString(XmlString&& other) noexcept : m_s(other.m_s) { other.m_s = nullptr; }
    XmlString& operator=(XmlString&& other) noexcept;
    XmlString(const XmlString&) = delete;
    XmlString& operator=(const XmlString&) = delete;
    ~XmlString();

    bool isNull() const { return m_s == nullptr; }
    // The text; asserts that there is one.
    const char* text() const;

private:
    xmlChar* m_s = nullptr;
};
