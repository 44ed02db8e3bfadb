#include "vel/libxml2/XmlDocument.h"

#include <libxml/parser.h>

#include <cstring>

#include "runtime/lum/Assert.h"
#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlLibrary.h"
#include "vel/string/ByteOutputBuffer.h"
#include "vel/string/StringConstants.h"

namespace {

const xmlChar* X(const char* s) {
    return reinterpret_cast<const xmlChar*>(s);
}

// Stops the parse at the first document type declaration, before its internal subset.
void refuseDocumentType(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    *static_cast<bool*>(parser->_private) = true;
    xmlStopParser(parser);
}

void ignoreError(void*, xmlErrorPtr) {}

}  // namespace

XmlDocument::XmlDocument() : m_doc(xmlNewDoc(nullptr)) {
    if (m_doc == nullptr) XmlException::raise(__FILE__, __LINE__, "xmlNewDoc");
}

XmlDocument::~XmlDocument() {
    xmlFreeDoc(m_doc);
}

void XmlDocument::parse(const char* buffer, int length) {
    if (!LUM_ASSERT(buffer && length >= 0)) XmlException::raise(__FILE__, __LINE__, "XmlReadBuffer");
    xmlDocPtr doc = xmlReadMemory(buffer, length, nullptr, nullptr, XmlLibrary::parseOptions());
    if (doc == nullptr) XmlException::raise(__FILE__, __LINE__, "XmlReadBuffer");
    xmlFreeDoc(m_doc);
    m_doc = doc;
}

void XmlDocument::parseRefusingDocumentType(const char* buffer, int length, int options,
                                            const char* refusal, bool logErrors) {
    if (!LUM_ASSERT(buffer && length >= 0)) XmlException::raise(__FILE__, __LINE__, "XmlReadBuffer");
    XmlLibrary::protectParser();
    xmlParserCtxtPtr parser = xmlNewParserCtxt();
    if (parser == nullptr) XmlException::raise(__FILE__, __LINE__, "xmlNewParserCtxt");
    bool refused = false;
    parser->_private = &refused;
    parser->sax->internalSubset = &refuseDocumentType;
    // The context's own handler comes before the library's, which logs.
    if (!logErrors) parser->sax->serror = &ignoreError;
    xmlDocPtr doc = xmlCtxtReadMemory(parser, buffer, length, nullptr, nullptr, options);
    xmlFreeParserCtxt(parser);
    if (doc != nullptr && refused) {
        xmlFreeDoc(doc);
        doc = nullptr;
    }
    if (doc == nullptr) XmlException::raise(__FILE__, __LINE__, refused ? refusal : "XmlReadBuffer");
    xmlFreeDoc(m_doc);
    m_doc = doc;
}

void XmlDocument::parseMessage(const char* buffer, int length, bool logErrors) {
    parseRefusingDocumentType(buffer, length, XML_PARSE_NONET, "DOCTYPE", logErrors);
}

void XmlDocument::parseFile(const char* buffer, int length) {
    parseRefusingDocumentType(buffer, length, XmlLibrary::parseOptions(), FILE_DOCUMENT_TYPE_REFUSED, true);
}

SharedXmlNode XmlDocument::rootElement() const {
    xmlNodePtr root = xmlDocGetRootElement(m_doc);
    if (root == nullptr) XmlException::raise(__FILE__, __LINE__, "xmlDocGetRootElement");
    return SharedXmlNode(root);
}

ByteArray XmlDocument::dump() const {
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(m_doc, &text, &size, "UTF-8", 1);
    // Sized to the text and its terminating zero, so that the array borrows it without a copy.
    ByteOutputBuffer buffer(text != nullptr && size > 0 && size < StringConstants::MAX_LENGTH ? size + 1 : 0);
    const bool fits = text != nullptr && size > 0 && buffer.allocedSize() == size + 1;
    if (fits) {
        std::memcpy(buffer.data(), text, size);
        buffer.complete(size);
    }
    xmlFree(text);
    if (!fits) XmlException::raise(__FILE__, __LINE__, "xmlDocDumpFormatMemoryEnc");
    return ByteArray(buffer);
}

void XmlDocument::setRootElement(OwnedXmlNode& node) {
    if (!LUM_ASSERT(!node.isNull())) XmlException::raise(__FILE__, __LINE__, "xmlDocSetRootElement");
    xmlNodePtr old = xmlDocSetRootElement(m_doc, node.release());
    LUM_ASSERT(node.isNull());
    if (old != nullptr) xmlFreeNode(old);
}

SharedXmlNode XmlDocument::addChild(const char* name) {
    OwnedXmlNode root(xmlNewDocNode(m_doc, nullptr, X(name), nullptr));
    if (root.isNull()) XmlException::raise(__FILE__, __LINE__, "xmlNewDocNode");
    SharedXmlNode shared = root.shared();
    setRootElement(root);
    LUM_ASSERT(root.isNull());
    return shared;
}

SharedXmlNode XmlDocument::addTextChild(const char* name, const char* text) {
    OwnedXmlNode root(xmlNewDocRawNode(m_doc, nullptr, X(name), X(text)));
    if (root.isNull()) XmlException::raise(__FILE__, __LINE__, "xmlNewDocRawNode");
    SharedXmlNode shared = root.shared();
    setRootElement(root);
    LUM_ASSERT(root.isNull());
    return shared;
}
