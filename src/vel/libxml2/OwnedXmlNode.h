#pragma once

#include <libxml/tree.h>

#include "vel/libxml2/SharedXmlNode.h"

// A node that belongs to no tree yet; freed with the wrapper unless it was handed on.
class OwnedXmlNode {
public:
    OwnedXmlNode() = default;
    explicit OwnedXmlNode(xmlNodePtr p) : m_p(p) {}
    OwnedXmlNode(OwnedXmlNode&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    OwnedXmlNode(const OwnedXmlNode&) = delete;
    OwnedXmlNode& operator=(const OwnedXmlNode&) = delete;
    ~OwnedXmlNode();

    bool isNull() const { return m_p == nullptr; }
    SharedXmlNode shared() const { return SharedXmlNode(m_p); }
    // Gives the node up to its new owner.
    xmlNodePtr release();

private:
    xmlNodePtr m_p = nullptr;
};
