#include "vel/libxml2/XmlCanonical.h"

#include <libxml/c14n.h>
#include <libxml/xmlIO.h>

#include <cstring>

#include "runtime/lum/Assert.h"
#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/string/StringConstants.h"

namespace {

// Namespace nodes and attributes come here cast to nodes; their type field sits where a node's does.
int signatureVisibility(void* userData, xmlNodePtr node, xmlNodePtr parent) {
    xmlNodePtr root = static_cast<xmlNodePtr>(userData);
    if (node == root) return 0;
    if (parent == root) return node->type == XML_ELEMENT_NODE ? 1 : 0;
    return 1;
}

class OutputBuffer {
public:
    OutputBuffer() : m_buffer(xmlAllocOutputBuffer(nullptr)) {}
    ~OutputBuffer() {
        if (m_buffer != nullptr) xmlOutputBufferClose(m_buffer);
    }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;
    xmlOutputBufferPtr get() const { return m_buffer; }

private:
    xmlOutputBufferPtr m_buffer;
};

}  // namespace

Ascii xmlCanonicalize(const XmlDocument& document) {
    xmlDocPtr doc = document.get();
    xmlNodePtr root = xmlDocGetRootElement(doc);
    bool signatureRoot = root != nullptr && root->name != nullptr &&
                         std::strcmp(reinterpret_cast<const char*>(root->name), "Signature") == 0;

    OutputBuffer buffer;
    if (buffer.get() == nullptr) XmlException::raise(__FILE__, __LINE__, "xmlAllocOutputBuffer");
    int result = xmlC14NExecute(doc, signatureRoot ? &signatureVisibility : nullptr,
                                signatureRoot ? root : nullptr, XML_C14N_1_0, nullptr, 0, buffer.get());
    if (result < 0) XmlException::raise(__FILE__, __LINE__, "xmlC14NExecute");
    const xmlChar* content = xmlOutputBufferGetContent(buffer.get());
    size_t size = xmlOutputBufferGetSize(buffer.get());
    if (size >= static_cast<size_t>(StringConstants::MAX_LENGTH))
        XmlException::raise(__FILE__, __LINE__, "xmlC14NExecute");
    return content != nullptr ? Ascii(reinterpret_cast<const char*>(content), static_cast<int>(size))
                              : Ascii("");
}
