#include "vel/libxml2/XmlDocument.h"

#include <libxml/parser.h>

#include "vel/libxml2/XmlFailure.h"
#include "vel/libxml2/XmlLibrary.h"

namespace {

const xmlChar* X(const char* s) {
    return reinterpret_cast<const xmlChar*>(s);
}

}  // namespace

XmlDocument::XmlDocument() : m_doc(xmlNewDoc(nullptr)) {
    if (m_doc == nullptr) XML_RAISE("xmlNewDoc");
}

XmlDocument::~XmlDocument() {
    xmlFreeDoc(m_doc);
}

void XmlDocument::parse(const char* buffer, int length) {
    if (!XML_CHECK(buffer && length >= 0)) XML_RAISE("XmlReadBuffer");
    xmlDocPtr doc = xmlReadMemory(buffer, length, nullptr, nullptr, XmlLibrary::parseOptions());
    if (doc == nullptr) XML_RAISE("XmlReadBuffer");
    xmlFreeDoc(m_doc);
    m_doc = doc;
}

SharedXmlNode XmlDocument::rootElement() const {
    xmlNodePtr root = xmlDocGetRootElement(m_doc);
    if (root == nullptr) XML_RAISE("xmlDocGetRootElement");
    return SharedXmlNode(root);
}

std::string XmlDocument::dump() const {
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(m_doc, &text, &size, "UTF-8", 1);
    std::string result;
    if (text != nullptr && size > 0) result.assign(reinterpret_cast<const char*>(text), size);
    xmlFree(text);
    if (result.empty()) XML_RAISE("xmlDocDumpFormatMemoryEnc");
    return result;
}

void XmlDocument::setRootElement(OwnedXmlNode& node) {
    if (!XML_CHECK(!node.isNull())) XML_RAISE("xmlDocSetRootElement");
    xmlNodePtr old = xmlDocSetRootElement(m_doc, node.release());
    XML_CHECK(node.isNull());
    if (old != nullptr) xmlFreeNode(old);
}

SharedXmlNode XmlDocument::addChild(const char* name) {
    OwnedXmlNode root(xmlNewDocNode(m_doc, nullptr, X(name), nullptr));
    if (root.isNull()) XML_RAISE("xmlNewDocNode");
    SharedXmlNode shared = root.shared();
    setRootElement(root);
    XML_CHECK(root.isNull());
    return shared;
}

SharedXmlNode XmlDocument::addTextChild(const char* name, const char* text) {
    OwnedXmlNode root(xmlNewDocRawNode(m_doc, nullptr, X(name), X(text)));
    if (root.isNull()) XML_RAISE("xmlNewDocRawNode");
    SharedXmlNode shared = root.shared();
    setRootElement(root);
    return shared;
}
