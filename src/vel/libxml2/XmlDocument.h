#pragma once

#include <libxml/tree.h>

#include "vel/libxml2/OwnedXmlNode.h"
#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/string/ByteArray.h"

// Owns one libxml2 document; the nodes handed out point into it.
class XmlDocument : public XmlParentBase {
public:
    XmlDocument();
    ~XmlDocument() override;
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Replaces the document with the one parsed from the text.
    void parse(const char* buffer, int length);
    // The same for a message from a client of the pipe: a document type declaration is refused
    // before anything it declares is read, and no entity is substituted. The parser's error lines
    // are logged only when `logErrors`.
    void parseMessage(const char* buffer, int length, bool logErrors = true);
    // The same for a configuration file, refused with FILE_DOCUMENT_TYPE_REFUSED: nothing a file
    // may say needs declarations, and an entity or external subset in one is a file that lies.
    void parseFile(const char* buffer, int length);
    static constexpr const char* FILE_DOCUMENT_TYPE_REFUSED =
        "Document type declarations (DOCTYPE) are not allowed in configuration files.";
    SharedXmlNode rootElement() const;
    // The document as formatted UTF-8 text.
    ByteArray dump() const;
    // Takes the node as the root; a root it replaces is freed.
    void setRootElement(OwnedXmlNode& node);

    // True only when the enveloped signature matches the document and the built-in key.
    bool verifySignature();

    SharedXmlNode addChild(const char* name) override;
    SharedXmlNode addTextChild(const char* name, const char* text) override;

    xmlDocPtr get() const { return m_doc; }

private:
    void parseRefusingDocumentType(const char* buffer, int length, int options, const char* refusal,
                                   bool logErrors);

    xmlDocPtr m_doc = nullptr;
};
